#pragma once
#include "platform/Controls.h"
#include "ui/widgets/SceneMenuFrame.h"

#include <array>

class ResizableButton;
class SpriteButtonR;
class SpriteLabel;

// The key set-up: one row per action the current scheme offers, with its two
// bindings. Choosing a binding waits for the next key, controller button,
// controller axis or mouse button and binds it through the controls; Esc
// closes the wait, the grave-accent key clears the binding.
class SetKeysMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kBackString = 19, kResetString = 1684, kJoystickString = 1685;
    static constexpr int kBindingFrame = 284, kScrollThumbFrame = 182;
    // Updates that separate the press opening a capture (or a bound click) from the input bound.
    static constexpr int kInputDelay = 5;
    static constexpr int kActionStrings[kControlActionCount] = {
        1726, 1727, 1724, 1725, 1722, 1723, 1720, 1721, 1728, 1729, 1730, 1731, 1732, 1733, 1734, 1736, 1737, 1738,
        1739, 1740, 1741, 1742, 1748, 1743, 1744, 1745, 1746, 1747, 1735, 1749, 1750, 1751, 1752, 1753, 1754};

    SetKeysMenuFrame();

    void update() override;
    void onShow() override;
    bool onEscape() override;

    // The scheme of the control device; the title and the joystick button follow it.
    void applyControlType();
    void onReset();
    void openJoyCfg();
    void onBindingButton(SpriteButtonR& button);
    // -1, -1 closes the capture.
    void setCaptureTarget(int row, int slot);
    // Every shown binding button shows the name of what it is bound to.
    void refreshBindingLabels();

    bool capturing() const { return captureRow >= 0; }
    MenuPanel* list() const { return content(); }

    int captureRow = -1;
    int captureSlot = -1;
    int inputDelay = 0;
    std::array<SpriteLabel*, kControlActionCount> rowLabels{};
    std::array<std::array<SpriteButtonR*, 2>, kControlActionCount> bindingButtons{};
    ResizableButton* resetButton = nullptr;
    ResizableButton* joystickButton = nullptr;

private:
    void buildRows();
    void followFocus();
    // True when input was found and the capture is finished.
    bool captureKey();
    bool captureController();
    bool captureMouse();
    void bind(BindingKind kind, int code);
    void paintRow(int row, int slot, bool waiting);

    MenuItem* m_lastFocus = nullptr;
    MenuItem* m_followTarget = nullptr;
};
