#pragma once
#include "platform/Input.h"
#include "ui/widgets/SceneMenuFrame.h"

#include <array>
#include <string>
#include <vector>

class SpriteButton;
class SpriteCheckbox;
class SpriteLabel;

// The controller page: per connected controller its name, a live meter per
// axis with its trigger and inverted boxes, and its buttons, red while held.
// A controller coming or going leaves the page.
class JoyCfgMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kTitleString = 1706, kTriggerString = 1712, kInvertedString = 1713, kAxisString = 1714;
    static constexpr int kButtonFrame = 285;
    static constexpr int kButtonsPerRow = 8;
    static constexpr Color4 kIdleColour{112, 128, 144, 255};
    static constexpr Color4 kHeldColour{255, 0, 0, 255};

    struct Axis {
        SpriteLabel* name = nullptr;
        SpriteLabel* meter = nullptr;
        SpriteCheckbox* trigger = nullptr;
        SpriteCheckbox* inverted = nullptr;
    };
    struct Pad {
        bool connected = false;   // as seen when the page was built
        std::array<Axis, JoystickDevice::kMaxAxes> axes{};
        SpriteLabel* triggerHeading = nullptr;
        SpriteLabel* invertedHeading = nullptr;
        std::vector<SpriteButton*> buttons;
    };

    JoyCfgMenuFrame();

    void update() override;
    void onShow() override;

    // The boxes' states into the controllers' axis flags.
    void applyAxisFlags();

    std::array<Pad, Input::kJoystickSlots> pads{};

private:
    int buildPad(int slot, int y);
};

// "[---------------------]" with '|' where the axis value -1..1 puts it.
std::u16string axisMeterText(float value);
