#pragma once
#include "ui/MenuItem.h"

#include <string>
#include <string_view>

class CFont;
class CSprite;

// A number drum: zero-padded numbers seen through a window, turned by
// dragging, flinging or the wheel, settling on whole values between the
// minimum and the maximum. Owners read and write the range and the value.
class SpriteCounter : public MenuItem {
public:
    static constexpr std::size_t kMaxTitle = 127;
    static constexpr int kBackgroundFrame = 56, kWindowFrame = 57;

    // A literal title, or none when empty.
    explicit SpriteCounter(std::u16string_view title = {});

    // MenuItem
    void draw() override;
    void update() override;
    bool onTouchDown(int x, int y) override;
    bool onTouchMove(int x, int y) override;
    bool onTouchUp(int x, int y) override;
    bool onTouchCancel() override;
    bool onScroll(float dx, float dy) override;
    bool onSwipe(float vx, float vy) override;
    void activate() override;

    void setTitle(std::u16string_view text);
    // Another sheet and fonts; sizes measured again.
    void setArt(CSprite* sheet, CFont* titleFace, CFont* digitFace);
    // The value under the middle of the window, a real number inside the range.
    float shownValue() const;
    // The text drawn for a value: at least three digits.
    static std::u16string valueText(int value);
    bool flinging() const { return m_flinging; }
    bool returning() const { return m_returning; }

    int titleStringId = -1;
    CFont* titleFont = nullptr;
    CFont* digitFont = nullptr;
    CSprite* sprite = nullptr;
    std::u16string title;
    int minimum = 1, maximum = 13, value = 1;
    float dragOffset = 0.0f;
    int rowHeight = 1;

private:
    // Moves the drum by d pixels unless that takes the shown value out of the range.
    void turn(float d);
    // The nearest whole value becomes current and the drum stands still.
    void settle();
    void measureTitle(float lineFactor);
    void measure();

    int m_titleX = 0, m_titleHeight = 0, m_titleLanguage = -1;
    int m_windowWidth = 0, m_windowHeight = 0;
    int m_lastY = 0;
    float m_lastMove = 0.0f;
    bool m_flinging = false;
    float m_velocity = 0.0f;
    float m_deceleration = 0.0f;
    int m_direction = -1;
    bool m_returning = false;
};
