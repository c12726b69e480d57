#pragma once
#include <vector>

// The queue of earned-achievement pop-ups: the first slides in at the right
// of the screen, rests there three seconds and slides out; then the next.
class AchievementPopup {
public:
    static constexpr int kMaxEntries = 15;
    static constexpr float kRestSpeed = 4.0f;
    static constexpr float kAcceleration = 8.0f;  // per second, slowing in and speeding out
    static constexpr float kPanelWidth = 480.0f, kPanelHeight = 80.0f;  // times the UI scale
    static constexpr int kAchievementsSpriteSet = 12;
    static constexpr int kPanelSpriteSet = 7, kPanelFrame = 95;
    static constexpr int kFont = 0;

    struct Entry {
        int nameText;
        int frame;   // of the achievements sprite set
    };

    // False, dropping it, while kMaxEntries wait.
    bool push(int nameText, int frame);
    bool full() const { return static_cast<int>(m_entries.size()) >= kMaxEntries; }
    // Empties the queue; the next starts at rest.
    void clear();

    // Moves the first entry by dt seconds; at 5.0 it leaves and the next starts.
    void update(float dt);
    // The first entry's panel over the screen (inside a 2-D pass).
    void draw() const;

    // 0 outside, 1 to 4 at rest, 5 gone.
    float position() const { return m_position; }
    float speed() const { return m_speed; }
    const std::vector<Entry>& entries() const { return m_entries; }

    struct Panel {
        float x, y, w, h;
    };
    // Where the first entry's panel lies on a screen of that size and UI scale.
    Panel panel(float screenWidth, float screenHeight, float uiScale) const;

private:
    std::vector<Entry> m_entries;
    float m_position = 0.0f;
    float m_speed = kRestSpeed;
};

// The one queue of the program; the main loop updates it after each frame.
AchievementPopup& achievementPopup();
