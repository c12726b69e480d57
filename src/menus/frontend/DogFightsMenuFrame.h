#pragma once
#include "ui/widgets/SceneMenuFrame.h"
#include "ui/widgets/SpriteButton.h"

#include <array>
#include <functional>

class CSprite;
class MenuPanel;
class SpriteCounter;
struct MapInfoCfg;

// One dogfight challenge's card: the map picture, a lock or the medal, the
// enemy skill as a bar, the number of enemies and the goal.
class DogFightEntry : public SpriteButton {
public:
    static constexpr int kFallbackSet = 11;
    static constexpr int kLockFrame = 262, kEmptyBarFrame = 131, kFullBarFrame = 133, kEnemyFrame = 138;
    static constexpr int kMedalFrameBase = 127;
    static constexpr int kGoalString = 1790, kTopGoalString = 1791;

    DogFightEntry(int challenge, int mapSlot);

    void draw() override;
    bool onTouchUp(int x, int y) override;
    bool onTouchDown(int x, int y) override;
    void activate() override;

    // Locked while earlier challenges are open, and always when its map is missing.
    bool locked() const;
    // Writes the challenge's parameters to the dogfight settings.
    void writeParameters() const;
    // The skill bar's filled width out of the whole.
    static float skillBarWidth(float skill, float barWidth);

    int challenge;
    int mapSlot;
    const MapInfoCfg* map = nullptr;
    CSprite* picture = nullptr;
    int pictureFrame = 0;
    int enemies = 0;
    float skill = 0.0f;
    int third = 0, fourth = 0, fifth = 0;
    int goal = 0;
    // Starts the dogfight on the map slot; the game start when empty.
    std::function<void(int mapSlot)> startGame;

private:
    void start();
};

// The thirteen dogfight challenges: one card at a time, chosen with a number
// counter; a click on an open challenge starts it at once.
class DogFightsMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kChallengeCount = 13;
    static constexpr int kBackString = 726, kTitleString = 735, kCounterString = 34;
    static constexpr int kPanelFrame = 95;
    struct Challenge {
        int enemies, skillPercent, third, fourth, fifth, mapSlot;
    };
    static const std::array<Challenge, kChallengeCount> kChallenges;
    static const std::array<int, kChallengeCount> kGoals;

    DogFightsMenuFrame();

    void onShow() override;
    void update() override;
    bool onEscape() override;
    void rebuildConnectorLines() override;

    DogFightEntry* shownCard() const { return cards[static_cast<std::size_t>(shown)]; }
    // The counter's value held to 1..13.
    int counterValue() const;

    MenuPanel* panel = nullptr;
    std::array<DogFightEntry*, kChallengeCount> cards{};
    SpriteCounter* counter = nullptr;
    int shown = 0;

private:
    void showCard(int index);
};
