#include "menus/settings/JoyCfgMenuFrame.h"

#include "menus/MenuFrameRegistry.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteCheckbox.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>

JoyCfgMenuFrame* MenuFrameRegistry::joyCfgMenu()
{
    return slot<JoyCfgMenuFrame>(Page::JoyCfg);
}

namespace {
constexpr int kPanelFrame = 95, kScrollThumbFrame = 182, kBoxOn = 143, kBoxOff = 141;

std::u16string widen(const std::string& text)
{
    std::u16string out;
    for (char c : text)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return out;
}

SpriteLabel* addLabel(MenuContainer& list, std::u16string_view text, float x, float y, std::uint32_t alignment)
{
    auto* label = new SpriteLabel(1, text);
    label->alignment = alignment;
    label->offsetX = x;
    label->offsetY = y;
    list.addItem(label);
    return label;
}
}  // namespace

std::u16string axisMeterText(float value)
{
    std::u16string meter = u"[---------------------]";
    // A NaN from a broken driver shows at the left end rather than nowhere.
    const float scaled = (value + 1.0f) * 0.5f * 21.0f;
    const int n = scaled >= 0.0f ? std::min(static_cast<int>(scaled), 20) : 0;
    meter[static_cast<std::size_t>(n + 1)] = u'|';
    return meter;
}

JoyCfgMenuFrame::JoyCfgMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    MenuPanel* panel = content();
    panel->layoutMode = kLayoutStacked;
    panel->childAlignment = kChildLeft;
    panel->alignment = kAlignLeft | kAlignTop;
    panel->backgroundFrame = kPanelFrame;
    panel->ninePatch = true;
    panel->setBackground(getSprite(kSpriteSetMenus), true);
    panel->setScrollBar(kScrollThumbFrame, 0.0f, 0.0f);
    panel->spacing = panel->paddingX = panel->paddingY = 0;
    titleLabel->stringId = kTitleString;
    titleLabel->updateSize();
    const int titleY = titleLabel->absY, titleH = titleLabel->height;
    panel->x = 0;
    panel->width = m.screenWidth;
    panel->y = titleY + 2 * titleH;
    panel->height = std::max(0, m.screenHeight - 3 * titleH - titleY);
    layout(0, 0);
}

void JoyCfgMenuFrame::onShow()
{
    FilledMenuFrame::onShow();
    MenuPanel* panel = content();
    panel->clear();
    panel->scrollY = 0.0f;
    pads = {};
    int y = 0;
    for (int slot = 0; slot < Input::kJoystickSlots; ++slot)
        y = buildPad(slot, y);
    panel->contentHeight = y;
    layout(0, 0);
    layout(0, 0);
    focusedItem = nullptr;
    for (int slot = 0; slot < Input::kJoystickSlots; ++slot) {
        const JoystickDevice& device = input().joystick(slot);
        for (int a = 0; a < JoystickDevice::kMaxAxes; ++a) {
            Axis& axis = pads[static_cast<std::size_t>(slot)].axes[static_cast<std::size_t>(a)];
            if (axis.trigger)
                axis.trigger->checked = device.triggerAxis[static_cast<std::size_t>(a)] != 0;
            if (axis.inverted)
                axis.inverted->checked = device.invertedAxis[static_cast<std::size_t>(a)] != 0;
        }
    }
}

int JoyCfgMenuFrame::buildPad(int slot, int y)
{
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    const int W = m.screenWidth, x0 = W / 3;
    const float gap = 10.0f * s;
    const JoystickDevice& device = input().joystick(slot);
    Pad& pad = pads[static_cast<std::size_t>(slot)];
    pad.connected = device.connected();
    if (!pad.connected)
        return y;
    MenuPanel& list = *content();
    addLabel(list, widen(device.name), W / 2.0f, static_cast<float>(y), kAlignCentreX | kAlignTop);
    y += static_cast<int>(30.0f * s);
    for (SpriteLabel** heading : {&pad.triggerHeading, &pad.invertedHeading}) {
        *heading = new SpriteLabel(1, heading == &pad.triggerHeading ? kTriggerString : kInvertedString);
        (*heading)->alignment = kAlignLeft | kAlignTop;
        (*heading)->offsetY = static_cast<float>(y);
        list.addItem(*heading);
    }
    y += pad.triggerHeading->height + static_cast<int>(20.0f * s);

    const std::u16string axisWord(getStringByIndex(kAxisString));
    const int axes = std::clamp(device.axisCount, 0, JoystickDevice::kMaxAxes);
    for (int a = 0; a < axes; ++a) {
        Axis& axis = pad.axes[static_cast<std::size_t>(a)];
        axis.name = addLabel(list, axisWord + u" " + widen(device.axisName(a)), x0 - gap, static_cast<float>(y),
                             kAlignRight | kAlignTop);
        axis.meter = addLabel(list, axisMeterText(device.axes[static_cast<std::size_t>(a)]), x0 + gap,
                              static_cast<float>(y), kAlignLeft | kAlignTop);
        if (a == 0) {
            pad.triggerHeading->offsetX = axis.meter->offsetX + static_cast<float>(axis.meter->width) + gap;
            pad.invertedHeading->offsetX = pad.triggerHeading->offsetX + static_cast<float>(pad.triggerHeading->width) + gap;
        }
        int boxHeight = 0;
        for (SpriteLabel* heading : {pad.triggerHeading, pad.invertedHeading}) {
            auto* box = new SpriteCheckbox(-1, kBoxOn, kBoxOff, false);
            box->updateLayout();
            box->focusable = true;
            box->offsetX = heading->offsetX + static_cast<float>(heading->width - box->width) / 2.0f;
            box->offsetY = static_cast<float>(y);
            box->onChange = [this] { applyAxisFlags(); };
            list.addItem(box);
            (heading == pad.triggerHeading ? axis.trigger : axis.inverted) = box;
            boxHeight = box->height;
        }
        y += boxHeight + static_cast<int>(20.0f * s);
    }

    const int buttons = std::clamp(device.buttonCount, 0, JoystickDevice::kMaxButtons);
    int buttonHeight = 0;
    for (int b = 0; b < buttons; ++b) {
        auto* button = new SpriteButton(kSpriteSetMenus, kButtonFrame, 1, widen(device.buttonName(b)));
        button->textColor = button->focusColor = kIdleColour;
        button->useTextColor = button->useFocusColor = true;
        const int column = b % kButtonsPerRow;
        if (b > 0 && column == 0)
            y += button->height + static_cast<int>(gap);
        const float rowStart = (static_cast<float>(W) - kButtonsPerRow * static_cast<float>(button->width) -
                                (kButtonsPerRow - 1) * gap) / 2.0f;
        button->offsetX = rowStart + static_cast<float>(column) * (static_cast<float>(button->width) + gap);
        button->offsetY = static_cast<float>(y);
        list.addItem(button);
        pad.buttons.push_back(button);
        buttonHeight = button->height;
    }
    return y + buttonHeight + static_cast<int>(40.0f * s);
}

void JoyCfgMenuFrame::update()
{
    FilledMenuFrame::update();
    for (int slot = 0; slot < Input::kJoystickSlots; ++slot) {
        const JoystickDevice& device = input().joystick(slot);
        Pad& pad = pads[static_cast<std::size_t>(slot)];
        if (device.connected() != pad.connected) {
            // The rows no longer match the controllers: back to the key set-up.
            goBack();
            return;
        }
        if (!pad.connected)
            continue;
        for (int a = 0; a < JoystickDevice::kMaxAxes; ++a)
            if (SpriteLabel* meter = pad.axes[static_cast<std::size_t>(a)].meter)
                meter->setText(axisMeterText(device.axes[static_cast<std::size_t>(a)]));
        for (std::size_t b = 0; b < pad.buttons.size(); ++b) {
            const Color4 colour = device.buttons.down(static_cast<int>(b)) ? kHeldColour : kIdleColour;
            pad.buttons[b]->textColor = pad.buttons[b]->focusColor = colour;
        }
    }
}

void JoyCfgMenuFrame::applyAxisFlags()
{
    for (int slot = 0; slot < Input::kJoystickSlots; ++slot) {
        JoystickDevice& device = input().joystick(slot);
        if (!device.connected())
            continue;
        const Pad& pad = pads[static_cast<std::size_t>(slot)];
        for (int a = 0; a < JoystickDevice::kMaxAxes; ++a) {
            const Axis& axis = pad.axes[static_cast<std::size_t>(a)];
            if (axis.trigger)
                device.triggerAxis[static_cast<std::size_t>(a)] = axis.trigger->checked ? 1 : 0;
            if (axis.inverted)
                device.invertedAxis[static_cast<std::size_t>(a)] = axis.inverted->checked ? 1 : 0;
        }
    }
}
