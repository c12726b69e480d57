#pragma once
#include "ui/widgets/SceneMenuFrame.h"

#include <functional>

class MenuPanel;
class SpriteCheckbox;
class SpriteSlider;

// The sound options: a switch and a volume for the effects and the same pair
// for the music. Switches act and save at once; volumes act at once and are
// saved when the page is left.
class AudioMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kTitleString = 40;
    static constexpr int kSoundOffFrame = 144, kMusicOffFrame = 146;

    AudioMenuFrame();

    void onShow() override;
    void onHide() override;
    void rebuildConnectorLines() override;

    void onSoundOn();
    void onSoundOff();
    void onMusicOn();
    void onMusicOff();
    void onSoundVolume(float value);
    void onMusicVolume(float value);

    MenuPanel* soundRow = nullptr;
    SpriteSlider* soundVolume = nullptr;
    SpriteCheckbox* soundSwitch = nullptr;
    MenuPanel* musicRow = nullptr;
    SpriteSlider* musicVolume = nullptr;
    SpriteCheckbox* musicSwitch = nullptr;
    // True while a game is the current screen: switching music on then
    // starts no menu music. The game screen check unless a test sets its own.
    std::function<bool()> gameScreenCurrent;

private:
    void relayout();
    void setRowFrames();
};
