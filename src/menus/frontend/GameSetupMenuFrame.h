#pragma once
#include "ui/MenuHooks.h"
#include "ui/widgets/SceneMenuFrame.h"

#include <vector>

class MenuPanel;
class SpriteButton;
class SpriteButtonR;
class SpriteCheckbox;
class SpriteLabel;
class SpriteSlider;

// The page where the player picks the map and the match options before a
// skirmish or a hosted game. The caller picks the game type (in the settings),
// the visible rows and the start handler, then goes here; touching a map
// stores the choice and starts through that handler.
class GameSetupMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kTitleString = 731, kRandomMapString = 732, kOnlineString = 389;
    static constexpr int kMapThumbnailSet = 11;
    static constexpr int kMinMinutes = 5, kMaxMinutes = 20;

    // One button of the map strip.
    struct MapEntry {
        int spriteSet = kMapThumbnailSet;
        int frame = 0;
        int titleString = -1;
    };
    // The filled slots of the game's skirmish list, in order.
    static std::vector<MapEntry> skirmishEntries();

    GameSetupMenuFrame();
    explicit GameSetupMenuFrame(std::vector<MapEntry> maps);
    ~GameSetupMenuFrame() override;

    void update() override;
    void draw() override;
    void onShow() override;
    void onHide() override;
    void scrollRight() override { pageScroll = 10; }
    void scrollLeft() override { pageScroll = -10; }

    // Which option rows show, for the page that opens this one.
    void layoutForPlay();
    void showModeChoice(bool online);
    void showHostRows();
    void showOptionRows(bool withSkill);
    // The three sliders' positions into the settings, as their handlers do.
    void applySliders();
    // A survival game at once on a random map, the sliders as they stand,
    // through the start handler.
    void startSurvival();

    void onTimeSlider(float p);
    void onSkillSlider(float p);
    void onSunSlider(float p);
    // A map button released: tag -1 is the random map.
    void onMapChosen(int tag);

    SpriteSlider* timeSlider = nullptr;
    SpriteButton* timeIcon = nullptr;
    SpriteLabel* timeLabel = nullptr;
    SpriteSlider* skillSlider = nullptr;
    SpriteButton* skillIcon = nullptr;
    SpriteSlider* sunSlider = nullptr;
    SpriteButton* sunIconLeft = nullptr;
    SpriteButton* sunIconMid = nullptr;
    SpriteButton* sunIconRight = nullptr;
    MenuPanel* mapStrip = nullptr;
    SpriteCheckbox* onlineOption = nullptr;
    SpriteButtonR* randomMapButton = nullptr;
    // Over the strip's ends while maps lie beyond them: a tap pages the strip.
    SpriteButton* stripLeft = nullptr;
    SpriteButton* stripRight = nullptr;
    int pageScroll = 0;
    bool onlineHost = false;
    // The opening page's start routine; empty: a map click only stores the choice.
    MenuAction startHandler;

private:
    void build(const std::vector<MapEntry>& maps);
    void placeTimeRowForPlay();
    void placeTimeLabel();
    void showTimeRow(bool shown);
    void showSkillRow(bool shown);
    void showSunRow(bool shown);
    void setSkillIcon(float position);
    void stepStrip();
    void showStripEnds();
};
