#include "menus/settings/SetKeysMenuFrame.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/settings/JoyCfgMenuFrame.h"
#include "platform/Clock.h"
#include "platform/Input.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <string>

SetKeysMenuFrame* MenuFrameRegistry::setKeysMenu()
{
    return slot<SetKeysMenuFrame>(Page::SetKeys);
}

namespace {
constexpr Color4 kWhite{255, 255, 255, 255};
constexpr Color4 kCaptureRed{255, 0, 0, 255};
constexpr int kPanelFrame = 95;
constexpr float kPanelBorder = 6.0f;   // the panel art's rim, x the UI scale
constexpr float kFollowUpRate = 300.0f, kFollowDownRate = 150.0f;   // x the UI scale, pixels a second

// Key, button and axis names are 8-bit texts: each byte is one unit.
std::u16string widen(const std::string& text)
{
    std::u16string out;
    for (char c : text.substr(0, std::min<std::size_t>(text.size(), SpriteButton::kMaxLabel)))
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return out;
}

ResizableButton* makeCornerButton(int stringId)
{
    auto* button = new ResizableButton(stringId);
    button->setup(158, 156, 157, 1);
    button->anchorMode = MenuItem::kAnchorAbsolute;
    button->alignment = MenuItem::kAlignLeft | MenuItem::kAlignTop;
    button->focusable = true;
    button->updateLabel();
    return button;
}
}  // namespace

SetKeysMenuFrame::SetKeysMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    backButton()->labelStringId = kBackString;
    backButton()->updateLabel();

    // The filled panel becomes the scrolling list of rows.
    MenuPanel* panel = content();
    panel->layoutMode = kLayoutStacked;
    panel->childAlignment = kChildLeft;
    panel->alignment = kAlignLeft | kAlignTop;
    panel->backgroundFrame = kPanelFrame;
    panel->ninePatch = true;
    panel->setBackground(getSprite(kSpriteSetMenus), true);
    panel->setScrollBar(kScrollThumbFrame, 0.0f, 0.0f);
    panel->spacing = panel->paddingX = panel->paddingY = 0;
    // Rows scrolled to the edge are cut inside the panel's border, not over it.
    panel->clipMarginY = -kPanelBorder * s;
    const int titleY = titleLabel->absY, titleH = titleLabel->height;
    panel->x = 0;
    panel->width = m.screenWidth;
    panel->y = titleY + 2 * titleH;
    panel->height = std::max(0, m.screenHeight - 3 * titleH - titleY);

    resetButton = makeCornerButton(kResetString);
    resetButton->x = static_cast<int>(static_cast<float>(m.screenWidth) - 20.0f * s) - resetButton->width;
    resetButton->y = backButton()->absY;
    resetButton->onClick = [this] { onReset(); };
    addItem(resetButton);
    joystickButton = makeCornerButton(kJoystickString);
    joystickButton->x = resetButton->x + resetButton->width - joystickButton->width;
    joystickButton->y = resetButton->y + resetButton->height + static_cast<int>(20.0f * s);
    joystickButton->onClick = [this] { openJoyCfg(); };
    addItem(joystickButton);

    layout(0, 0);
    focusedItem = nullptr;
    inputDelay = 0;
}

void SetKeysMenuFrame::applyControlType()
{
    const int device = settings().controlDevice;
    controls().setCurrentScheme(device);
    const int titles[3] = {1709, 1708, 1710};
    if (device >= 0 && device <= 2) {
        titleLabel->stringId = titles[device];
        titleLabel->updateSize();
    }
    joystickButton->visible = device == 1;
    joystickButton->enabled = device == 1;
}

void SetKeysMenuFrame::onShow()
{
    FilledMenuFrame::onShow();
    list()->clear();
    list()->scrollY = 0.0f;
    buildRows();
    layout(0, 0);
    captureRow = captureSlot = -1;
    refreshBindingLabels();
    m_lastFocus = m_followTarget = nullptr;
    rebuildFocusLinks();
}

void SetKeysMenuFrame::buildRows()
{
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    const int x0 = m.screenWidth / 3;
    const int gap = static_cast<int>(10.0f * s);
    MenuPanel* panel = list();
    rowLabels.fill(nullptr);
    for (auto& pair : bindingButtons)
        pair = {nullptr, nullptr};
    int y = 0;
    for (int action = 0; action < kControlActionCount; ++action) {
        if (!controls().binding(action).shown)
            continue;
        auto* label = new SpriteLabel(1, kActionStrings[action]);
        label->alignment = kAlignRight | kAlignTop;
        label->textColor = kWhite;
        label->useTextColor = true;
        y += label->height + static_cast<int>(20.0f * s);
        label->offsetX = static_cast<float>(x0 - gap);
        panel->addItem(label);
        rowLabels[static_cast<std::size_t>(action)] = label;
        float left = static_cast<float>(x0 + gap);
        for (int slot = 0; slot < 2; ++slot) {
            auto* button = new SpriteButtonR(kSpriteSetMenus, kBindingFrame, 1, 0);
            button->setText(u"Backspace");
            button->focusable = true;
            button->textColor = kWhite;
            button->useTextColor = true;
            button->offsetX = left;
            button->offsetY = static_cast<float>(y);
            button->onPress = [this, button] { onBindingButton(*button); };
            panel->addItem(button);
            bindingButtons[static_cast<std::size_t>(action)][static_cast<std::size_t>(slot)] = button;
            left += static_cast<float>(button->width + gap);
        }
        const SpriteButtonR* first = bindingButtons[static_cast<std::size_t>(action)][0];
        label->offsetY = static_cast<float>(y) + static_cast<float>(first->height - label->height) / 2.0f;
        // The buttons reach lower than their label: the list ends under them.
        panel->contentHeight = std::max(static_cast<int>(label->offsetY) + label->height, y + first->height) + gap;
    }
}

void SetKeysMenuFrame::refreshBindingLabels()
{
    const Controls& c = controls();
    for (int action = 0; action < kControlActionCount; ++action) {
        const ActionBinding& b = c.binding(action);
        for (int slot = 0; slot < 2; ++slot) {
            SpriteButtonR* button = bindingButtons[static_cast<std::size_t>(action)][static_cast<std::size_t>(slot)];
            if (!button)
                continue;
            // Sized once for the longest name: the rows stay in line whatever is bound.
            const int w = button->width, h = button->height;
            button->setText(widen(slot == 0 ? c.bindingName(b.kind1, b.code1) : c.bindingName(b.kind2, b.code2)));
            button->width = w;
            button->height = h;
        }
    }
    list()->layout(0, 0);
}

void SetKeysMenuFrame::onReset()
{
    Controls& c = controls();
    switch (c.currentScheme()) {
    case 0: c.setDefaultsProfile0(); break;
    case 1: c.setDefaultsProfile1(); break;
    case 2: c.setDefaultsProfile2(); break;
    default: c.setDefaultsProfile3(); break;
    }
    refreshBindingLabels();
}

void SetKeysMenuFrame::openJoyCfg()
{
    if (JoyCfgMenuFrame* page = MenuFrameRegistry::joyCfgMenu())
        goToFrame(page);
}

void SetKeysMenuFrame::onBindingButton(SpriteButtonR& button)
{
    if (inputDelay > 0 || capturing())
        return;
    for (int action = 0; action < kControlActionCount; ++action)
        for (int slot = 0; slot < 2; ++slot) {
            if (bindingButtons[static_cast<std::size_t>(action)][static_cast<std::size_t>(slot)] != &button)
                continue;
            setCaptureTarget(action, slot);
            inputDelay = kInputDelay;
            // Axis movement counts from where the sticks rest now.
            for (int pad = 0; pad < Input::kJoystickSlots; ++pad)
                input().joystick(pad).captureReferences();
            return;
        }
}

void SetKeysMenuFrame::paintRow(int row, int slot, bool waiting)
{
    if (row < 0 || row >= kControlActionCount || slot < 0 || slot > 1)
        return;
    const Color4 colour = waiting ? kCaptureRed : kWhite;
    if (SpriteLabel* label = rowLabels[static_cast<std::size_t>(row)])
        label->textColor = colour;
    if (SpriteButtonR* button = bindingButtons[static_cast<std::size_t>(row)][static_cast<std::size_t>(slot)]) {
        button->color = colour;
        button->textColor = colour;
        // Waiting for a key the button is red even while it holds the focus
        // (a capture opened by keys or d-pad); afterwards it pulses again.
        button->focusColor = colour;
        button->useFocusColor = waiting;
    }
}

void SetKeysMenuFrame::setCaptureTarget(int row, int slot)
{
    paintRow(captureRow, captureSlot, false);
    captureRow = row;
    captureSlot = slot;
    paintRow(row, slot, true);
}

bool SetKeysMenuFrame::onEscape()
{
    // The update sees the Esc key and closes the capture itself.
    return capturing();
}

void SetKeysMenuFrame::update()
{
    FilledMenuFrame::update();
    followFocus();
    if (inputDelay > 0) {
        --inputDelay;
        return;
    }
    if (!capturing())
        return;
    (void)(captureKey() || captureController() || captureMouse());
}

void SetKeysMenuFrame::bind(BindingKind kind, int code)
{
    // A refused binding (mouse button 0 on a menu action) closes the capture unchanged.
    const bool bound = controls().setBinding(captureRow, kind, code, captureSlot);
    logInfo("menus", "binding %d.%d %s: kind %d code %d", captureRow, captureSlot, bound ? "set" : "refused",
            static_cast<int>(kind), code);
    setCaptureTarget(-1, -1);
    refreshBindingLabels();
}

bool SetKeysMenuFrame::captureKey()
{
    const auto& keys = input().keys();
    int first = -1;
    for (int key = 1; key < Input::kKeyCount && first < 0; ++key)
        if (keys.pressed(key))
            first = key;
    if (first < 0)
        return false;
    if (keys.pressed(Input::kKeyEsc)) {
        setCaptureTarget(-1, -1);
        refreshBindingLabels();
    } else if (keys.pressed(Input::kKeyGrave)) {
        bind(BindingKind::None, -1);
    } else {
        bind(BindingKind::Key, first);
    }
    return true;
}

bool SetKeysMenuFrame::captureController()
{
    const bool paired = controls().binding(captureRow).pairedAction >= 0;
    for (int pad = 0; pad < Input::kJoystickSlots; ++pad) {
        const JoystickDevice& device = input().joystick(pad);
        if (!device.connected())
            continue;
        for (int b = 0; b < JoystickDevice::kMaxButtons; ++b)
            if (device.buttons.pressed(b)) {
                bind(static_cast<BindingKind>(static_cast<int>(BindingKind::Button1) + pad), b);
                return true;
            }
        // A full-range axis only makes sense on a two-sided action; a trigger fits any.
        const int axis = device.findMovedAxis();
        if (axis >= 0 && (paired || device.triggerAxis[static_cast<std::size_t>(axis)])) {
            bind(static_cast<BindingKind>(static_cast<int>(BindingKind::Axis1) + pad), axis);
            return true;
        }
    }
    return false;
}

bool SetKeysMenuFrame::captureMouse()
{
    const auto& buttons = input().mouseButtons();
    for (int b = 0; b < Input::kMouseButtonCount; ++b)
        if (buttons.pressed(b)) {
            bind(BindingKind::Mouse, b);
            // The click just bound must not open the next capture.
            inputDelay = kInputDelay;
            return true;
        }
    return false;
}

void SetKeysMenuFrame::followFocus()
{
    if (focusedItem != m_lastFocus) {
        m_lastFocus = focusedItem;
        m_followTarget = nullptr;
        for (const auto& pair : bindingButtons)
            if (focusedItem && (pair[0] == focusedItem || pair[1] == focusedItem))
                m_followTarget = focusedItem;
    }
    MenuPanel* panel = list();
    if (!m_followTarget)
        return;
    if (panel->dragged() || panel->dragPending()) {
        m_followTarget = nullptr;
        return;
    }
    if (panel->flingVelocityX != 0.0f || panel->flingVelocityY != 0.0f)
        return;
    const float s = screenMetrics().uiScale, dt = frameDelta();
    const int top = m_followTarget->absY - panel->absY;
    if (top < 0) {
        panel->scrollY += kFollowUpRate * s * dt;
        panel->layout(0, 0);
    } else if (top + m_followTarget->height - panel->height > 0) {
        panel->scrollY -= kFollowDownRate * s * dt;
        panel->layout(0, 0);
    } else {
        m_followTarget = nullptr;
    }
}
