#pragma once
#include "ui/widgets/SceneMenuFrame.h"

class MenuPanel;
class ResizableButton;
class SpriteCheckbox;
class SpriteLabel;
class SpriteSlider;

// The flying-controls options: the input device (one of three boxes), a
// sensitivity per device, four on/off preferences and the way to the key
// set-up. A device change writes "controls.cfg" and the settings at once,
// the sensitivities are saved when the page is left.
class ControlsMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kTitleString = 19, kBackString = 40, kArcadeString = 211;
    static constexpr int kKeyboardString = 1709, kJoystickString = 1708, kMouseString = 1710;
    static constexpr int kPanelFrame = 151, kLineFrame = 150;

    ControlsMenuFrame();

    void onShow() override;
    void onHide() override;
    bool onEscape() override { return false; }
    void rebuildConnectorLines() override;

    void onDeviceChosen(int device);
    void keepDeviceBoxOn(SpriteCheckbox& box);
    void onSensitivity(int device, float p);
    // Checked: the arcade control type (1); clear: full control (0).
    void onArcadeBox();
    // The key set-up of the current device.
    void openSetKeys();
    // Goes to the page, its back button named after the page it returns to
    // (the options, or the pause page over a game).
    static void openFrom(int backString);

    SpriteCheckbox* flipBox = nullptr;
    SpriteCheckbox* invertBox = nullptr;
    SpriteCheckbox* aimAssistBox = nullptr;
    SpriteCheckbox* arcadeBox = nullptr;
    SpriteCheckbox* metricBox = nullptr;
    SpriteCheckbox* deviceBoxes[3] = {nullptr, nullptr, nullptr};   // keyboard, joystick, mouse
    SpriteCheckbox* extraBoxA = nullptr;
    SpriteCheckbox* extraBoxB = nullptr;
    MenuPanel* devicePanel = nullptr;
    MenuPanel* devicePanels[3] = {nullptr, nullptr, nullptr};
    ResizableButton* setupButtons[3] = {nullptr, nullptr, nullptr};
    SpriteSlider* sliders[3] = {nullptr, nullptr, nullptr};
    SpriteLabel* captions[3] = {nullptr, nullptr, nullptr};
    MenuPanel* optionsPanel = nullptr;
    MenuPanel* extraPanel = nullptr;

private:
    MenuPanel* makePanel(int y, int w, int h);
    void buildDevicePanel(int device, int y, int w, int h);
    void showDevicePanel(int device);
    void placeSliders();
    void placeSetupButton(int device);
};

// The stored sensitivity as a slider position, kept within the track.
float sensitivityToPosition(float sensitivity);
