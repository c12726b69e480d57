#pragma once
#include "ui/widgets/SceneMenuFrame.h"
#include "ui/widgets/SpriteButton.h"

class CSprite;
class MenuPanel;

// One campaign's button on the campaign map: its frame of the map's sheet.
class CampaignListEntry : public SpriteButton {
public:
    // The map sheet's frame of each campaign's button.
    static constexpr int kFrames[3] = {2, 5, 8};

    CampaignListEntry(int campaignIndex, CSprite* mapSheet);

    void draw() override;
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
