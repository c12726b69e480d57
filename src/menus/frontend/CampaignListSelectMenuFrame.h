#pragma once
#include "ui/widgets/SceneMenuFrame.h"
#include "ui/widgets/SpriteButton.h"

class CSprite;
class MenuPanel;

// One campaign's button on the campaign map: its frame of the map's sheet,
// with the campaign's name written in the player's language.
class CampaignListEntry : public SpriteButton {
public:
    // The map sheet's frame of each campaign's button.
    static constexpr int kFrames[3] = {2, 5, 8};
    // The campaigns' names, one string each from this one on.
    static constexpr int kNameStringBase = 1758, kNameFont = 0;
    // Where the button's art leaves room for the name, right of the number
    // disc, as fractions of the 280 x 72 art.
    static constexpr LabelBox kNameBox = {70.0f / 280.0f, 8.0f / 72.0f, 266.0f / 280.0f, 64.0f / 72.0f};

    CampaignListEntry(int campaignIndex, CSprite* mapSheet);

    void draw() override;
    // The name in the current language: on two lines when one is too wide
    // for its room, and drawn smaller when it still does not fit.
    void updateLabel() override;
    // The name's box as drawn, relative to the button's corner.
    float nameWidth() const;
    float nameHeight() const;
    // Opens the campaign wherever the touch ends; the click needs it to end on the button.
    bool onTouchUp(int x, int y) override;
    void activate() override;

    int campaign;

private:
    void openCampaign();
};

// The page on which the player picks one of the three campaigns: the campaign
// map with one button per campaign. Its picture is loaded while it shows.
class CampaignListSelectMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kMapSet = 21;
    static constexpr int kBackString = 726, kTitleString = 1764;

    CampaignListSelectMenuFrame();

    void onShow() override;
    void onHide() override;

    MenuPanel* mapPanel = nullptr;
    CampaignListEntry* entries[3] = {nullptr, nullptr, nullptr};
};
