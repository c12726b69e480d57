#pragma once
#include "ui/widgets/SceneMenuFrame.h"
#include "ui/widgets/SpriteButton.h"

#include <functional>
#include <string>

class CSprite;
class MenuPanel;
class SpritePageIndicator;
struct MapInfoCfg;

// One mission's card: its picture, number, title and description, and the
// medal earned at the saved difficulty or a lock.
class CampaignMenuEntry : public SpriteButton {
public:
    static constexpr int kFallbackSet = 8;
    static constexpr int kNumberString = 34, kFont = 1;
    static constexpr int kMedalBackFrame = 135, kMedalFrameBase = 127, kLockFrame = 262;
    // The share of the card's height its text band takes (the mission sheets' art).
    static constexpr float kTextBandShare = 118.0f / 300.0f;

    CampaignMenuEntry(const MapInfoCfg& record, int slot);

    void draw() override;
    bool onTouchUp(int x, int y) override;
    void activate() override;

    // The medal of the mission at the difficulty (0 none; 1 to 3 bronze to gold).
    static int medalAt(int campaign, int mission, int difficulty);

    // The card's top line, relative to its corner: the mission's number, then
    // its title after it, drawn smaller when it would run past the card.
    struct Header {
        std::u16string number;
        float numberX = 0.0f, numberWidth = 0.0f;
        float titleX = 0.0f, titleWidth = 0.0f, titleScale = 1.0f;
        float y = 0.0f;
    };
    Header header() const;
    // The description wrapped to the card, in the current language.
    const std::u16string& description();

    const MapInfoCfg& record;
    int slot;             // the mission's slot in its campaign's list
    CSprite* picture = nullptr;
    int pictureFrame = 0;
    int titleId = -1, descriptionId = -1;
    bool locked = false;
    // Where an unlocked card leads; the briefing page when empty.
    std::function<void(const MapInfoCfg&)> openBriefing;

private:
    void openMission();
    std::u16string m_description;
    int m_descriptionLanguage = -1;
};

// The missions of one campaign as a row of cards that scrolls sideways; an
// open mission's card leads to its briefing.
class CampaignMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kBackString = 726, kTitleString = 12, kCampaignTitleBase = 1758;
    static constexpr int kScrollSteps = 10;

    CampaignMenuFrame();

    virtual void setCampaign(int campaign);
    void scrollRight() override;
    void scrollLeft() override;
    void onShow() override;
    void onHide() override;
    void update() override;

    // Whether the mission is open to play: its byte of the campaign progress;
    // missions past the progress table are never open.
    static bool missionOpen(int campaign, int mission);
    // One frame of the pending scroll.
    void stepPendingScroll();
    // The dots mark the card the row was moved to (by a drag, its glide, the
    // dots or keys): the card nearest the row's middle once the row rests
    // from a scroll-to-item. -1 when the row has no card.
    int cardAtMiddle() const;
    void followRowWithDots();

    int campaign = 0;
    MenuPanel* row = nullptr;
    SpritePageIndicator* indicator = nullptr;
    int pendingScroll = 0;
    int highestOpen = 0;
    std::vector<CampaignMenuEntry*> entries;

private:
    float m_dotsScrollX = 0.0f;   // the row's offset the dots last followed
};
