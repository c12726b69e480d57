#include "menus/settings/ControlsMenuFrame.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/settings/SetKeysMenuFrame.h"
#include "platform/Controls.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteCheckbox.h"
#include "ui/widgets/SpriteLabel.h"
#include "ui/widgets/SpriteSlider.h"

#include <algorithm>
#include <initializer_list>

namespace {
// The thumb where the position puts it; the value stays exactly the stored
// one, so leaving the page does not round what was saved.
void placeSlider(SpriteSlider& slider, float position)
{
    slider.setValue(position);
    slider.value = std::clamp(position, 0.0f, 1.0f);
}

constexpr int kDeviceStrings[3] = {ControlsMenuFrame::kKeyboardString, ControlsMenuFrame::kJoystickString,
                                   ControlsMenuFrame::kMouseString};

float& sensitivityOf(int device)
{
    Settings& record = settings();
    if (device == 0)
        return record.keyboardSensitivity;
    if (device == 1)
        return record.joystickSensitivity;
    return record.mouseSensitivity;
}

// A box centred at centreX in a row whose boxes stand `slot` apart; a label
// too long for the slot is fitted into it rather than run under its neighbour.
void placeBox(MenuPanel& panel, SpriteCheckbox& box, float centreX, int top, float slot)
{
    box.fitWidth = static_cast<int>(slot - 12 * screenMetrics().uiScale);
    box.updateLayout();
    box.anchorMode = MenuItem::kAnchorParent;
    box.focusable = true;
    box.offsetX = centreX - box.width / 2.0f;
    box.offsetY = static_cast<float>(top);
    panel.addItem(&box);
}

SpriteCheckbox* addBox(MenuPanel& panel, int stringId, float centreX, int top, float slot)
{
    auto* box = new SpriteCheckbox(stringId, SpriteCheckbox::kFrameOn, SpriteCheckbox::kFrameOff, false);
    box->font = getFont(1);
    placeBox(panel, *box, centreX, top, slot);
    return box;
}

// Boxes beside their labels that would meet at their fixed centres are
// spread along the row by their own widths instead, with equal spaces.
void spreadRow(std::initializer_list<SpriteCheckbox*> boxes, int rowWidth)
{
    const int gap = static_cast<int>(12 * screenMetrics().uiScale);
    bool meet = false;
    int total = 0;
    const SpriteCheckbox* before = nullptr;
    for (SpriteCheckbox* box : boxes) {
        total += box->width;
        if (before && before->offsetX + before->width + gap > box->offsetX)
            meet = true;
        before = box;
    }
    if (!meet)
        return;
    const float space = static_cast<float>(rowWidth - total) / static_cast<float>(boxes.size() + 1);
    float x = space;
    for (SpriteCheckbox* box : boxes) {
        box->offsetX = x;
        x += static_cast<float>(box->width) + space;
    }
}

// An option box: its state is the setting, saved at once.
SpriteCheckbox* addOptionBox(MenuPanel& panel, int stringId, float centreX, int top, float slot, std::uint8_t& setting)
{
    auto* box = new SpriteCheckbox(stringId, SpriteCheckbox::kFrameOn, SpriteCheckbox::kFrameOff, true);
    box->font = getFont(1);
    // The label may break under the box but stays inside the panel's rim.
    box->fitHeight = panel.height - top - static_cast<int>(6 * screenMetrics().uiScale);
    placeBox(panel, *box, centreX, top, slot);
    box->checked = setting != 0;
    box->onChange = [box, &setting] {
        setting = box->checked ? 1 : 0;
        settings().save();
    };
    return box;
}
}  // namespace

float sensitivityToPosition(float sensitivity)
{
    return std::clamp((sensitivity - Settings::kMinSensitivity) / 1.1f, 0.0f, 1.0f);
}

ControlsMenuFrame::ControlsMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    const int H = m.screenHeight;
    if (titleLabel) {
        titleLabel->stringId = kTitleString;
        titleLabel->updateSize();
    }
    if (backButton()) {
        backButton()->labelStringId = kBackString;
        backButton()->updateLabel();
    }
    if (bottomPanel) {
        bottomPanel->visible = false;
        bottomPanel->enabled = false;
    }
    CSprite* art = getSprite(7);
    const CSprite::Rect panelFrame = art->frameRect(kPanelFrame);
    const int w = static_cast<int>(1.65f * panelFrame.w);
    int h = static_cast<int>(panelFrame.h);
    int v = static_cast<int>(15 * s);
    const int titleBottom = titleLabel ? titleLabel->y + titleLabel->height : 0;
    int y0 = titleBottom + (H - 4 * (v + h) - titleBottom - static_cast<int>(art->frameRect(kLineFrame).h)) / 2;
    if (H < 1000) {
        v = static_cast<int>(5 * s);
        h -= static_cast<int>(6 * s) * static_cast<int>(s);
        y0 += titleLabel ? titleLabel->height : 0;
    }
    y0 = std::max(y0, titleBottom);
    devicePanel = makePanel(y0, w, h);
    optionsPanel = makePanel(y0 + (h + v), w, h);
    for (int device = 0; device < 3; ++device)
        buildDevicePanel(device, y0 + 2 * (h + v), w, h);
    extraPanel = makePanel(y0 + 3 * (h + v), w, h);

    const int boxTop = static_cast<int>(10 * s);
    for (int device = 0; device < 3; ++device) {
        const float cx = w * (device == 0 ? 0.25f : device == 1 ? 0.5f : 0.75f);
        SpriteCheckbox* box = addBox(*devicePanel, kDeviceStrings[device], cx, boxTop, w / 3.0f);
        deviceBoxes[device] = box;
        box->onCheck = [this, device] { onDeviceChosen(device); };
        box->onUncheck = [this, box] { keepDeviceBoxOn(*box); };
    }
    spreadRow({deviceBoxes[0], deviceBoxes[1], deviceBoxes[2]}, w);
    focusedItem = deviceBoxes[1];

    Settings& record = settings();
    const int optionTop = static_cast<int>(15 * s);
    flipBox = addOptionBox(*optionsPanel, 206, 0.2f * w, optionTop, 0.2f * w, record.flipControls);
    invertBox = addOptionBox(*optionsPanel, 31, 0.4f * w, optionTop, 0.2f * w, record.invertPitch);
    metricBox = addOptionBox(*optionsPanel, 217, 0.6f * w, optionTop, 0.2f * w, record.metricUnits);
    aimAssistBox = addOptionBox(*optionsPanel, 1231, 0.8f * w, optionTop, 0.2f * w, record.aimAssist);

    // The fourth panel's boxes keep no setting.
    extraBoxA = addBox(*extraPanel, 1816, w / 6.0f, optionTop, w / 3.0f);
    extraBoxB = addBox(*extraPanel, 1815, w / 2.0f, optionTop, w / 3.0f);
    for (SpriteCheckbox* box : {extraBoxA, extraBoxB})
        box->onChange = [this] {
            settings().save();
            rebuildFocusLinks();
            focusedItem = deviceBoxes[1];
        };

    // The control type the first game asks for, changeable here as that question promises.
    arcadeBox = addBox(*extraPanel, kArcadeString, 5.0f * w / 6.0f, optionTop, w / 3.0f);
    arcadeBox->checked = record.playerControlType() == 1;
    arcadeBox->onChange = [this] { onArcadeBox(); };
    spreadRow({extraBoxA, extraBoxB, arcadeBox}, w);

    for (MenuPanel* panel : {devicePanels[0], devicePanels[1], devicePanels[2], devicePanel, optionsPanel, extraPanel}) {
        addItem(panel);
        panel->layout(absX, absY);
    }
    rebuildFocusLinks();
}

MenuPanel* ControlsMenuFrame::makePanel(int y, int w, int h)
{
    // The panel box stretched to the row's size.
    auto* panel = new MenuPanel(getSprite(7), kPanelFrame, kLayoutStacked);
    panel->ninePatch = true;
    panel->anchorMode = kAnchorAbsolute;
    panel->width = w;
    panel->height = h;
    panel->fixedSize = true;
    panel->touchMode = kTouchInside;
    panel->offsetX = static_cast<float>((screenMetrics().screenWidth - w) / 2);
    panel->offsetY = static_cast<float>(y);
    return panel;
}

void ControlsMenuFrame::buildDevicePanel(int device, int y, int w, int h)
{
    MenuPanel* panel = makePanel(y, w, h);
    devicePanels[device] = panel;
    SpriteSlider* slider = new SpriteSlider();
    slider->anchorMode = kAnchorParent;
    slider->focusable = true;
    slider->offsetX = w / 2.0f - (w - slider->width) / 3.0f - slider->width / 2.0f;
    slider->offsetY = 2.0f * h / 3.0f - slider->height / 2.0f;
    placeSlider(*slider, sensitivityToPosition(sensitivityOf(device)));
    slider->onChange = [this, device, slider] { onSensitivity(device, slider->value); };
    panel->addItem(slider);
    sliders[device] = slider;
    auto* caption = new SpriteLabel(1, 1);
    caption->anchorMode = kAnchorParent;
    caption->offsetX = slider->offsetX + (slider->width - caption->width) / 2.0f;
    caption->offsetY = h / 3.0f - caption->height / 2.0f;
    panel->addItem(caption);
    captions[device] = caption;
    auto* button = new ResizableButton(70);
    button->setup(158, 156, 157, 1);
    button->anchorMode = kAnchorParent;
    button->onClick = [this] { openSetKeys(); };
    panel->addItem(button);
    setupButtons[device] = button;
    placeSetupButton(device);
}

void ControlsMenuFrame::placeSetupButton(int device)
{
    SpriteSlider* slider = sliders[device];
    ResizableButton* button = setupButtons[device];
    button->updateLabel();
    button->offsetX = slider->offsetX + slider->width + 25 * screenMetrics().uiScale;
    button->offsetY = devicePanels[device]->height / 2.0f - button->height / 2.0f;
}

void ControlsMenuFrame::onArcadeBox()
{
    Settings& record = settings();
    record.setPlayerControlType(arcadeBox->checked ? 1 : 0);
    logInfo("menus", "control type %d chosen", record.playerControlType());
    record.save();
}

void ControlsMenuFrame::showDevicePanel(int device)
{
    for (int i = 0; i < 3; ++i) {
        devicePanels[i]->visible = i == device;
        devicePanels[i]->enabled = i == device;
    }
}

void ControlsMenuFrame::placeSliders()
{
    for (int device = 0; device < 3; ++device)
        placeSlider(*sliders[device], sensitivityToPosition(sensitivityOf(device)));
}

void ControlsMenuFrame::openFrom(int backString)
{
    ControlsMenuFrame* page = MenuFrameRegistry::controlsMenu();
    if (!page)
        return;
    if (ResizableButton* back = page->backButton(); back && back->labelStringId != backString) {
        back->labelStringId = backString;
        back->updateLabel();
    }
    goToFrame(page);
}

void ControlsMenuFrame::onShow()
{
    rebuildConnectorLines();
    FilledMenuFrame::onShow();
    if (bottomPanel) {
        bottomPanel->visible = false;
        bottomPanel->enabled = false;
    }
    placeSetupButton(0);
    placeSetupButton(1);
    const int device = settings().controlDevice;
    if (device >= 0 && device <= 2) {
        deviceBoxes[device]->checked = true;
        showDevicePanel(device);
    }
    Settings& record = settings();
    flipBox->checked = record.flipControls != 0;
    invertBox->checked = record.invertPitch != 0;
    metricBox->checked = record.metricUnits != 0;
    aimAssistBox->checked = record.aimAssist != 0;
    arcadeBox->checked = record.playerControlType() == 1;
    placeSliders();
    rebuildFocusLinks();
    focusedItem = deviceBoxes[1];
}

void ControlsMenuFrame::onDeviceChosen(int device)
{
    Settings& record = settings();
    record.controlDevice = device;
    showDevicePanel(device);
    for (int i = 0; i < 3; ++i)
        if (i != device)
            deviceBoxes[i]->checked = false;
    controls().setCurrentScheme(device);
    controls().save();
    record.save();
    rebuildFocusLinks();
    focusedItem = deviceBoxes[1];
}

void ControlsMenuFrame::keepDeviceBoxOn(SpriteCheckbox& box)
{
    box.checked = true;
}

void ControlsMenuFrame::openSetKeys()
{
    SetKeysMenuFrame* page = MenuFrameRegistry::setKeysMenu();
    if (!page)
        return;
    page->applyControlType();
    goToFrame(page);
}

void ControlsMenuFrame::onSensitivity(int device, float p)
{
    sensitivityOf(device) = Settings::kMinSensitivity + 1.1f * p;
}

void ControlsMenuFrame::onHide()
{
    const Settings& record = settings();
    record.save();
    controls().save();
    logInfo("analytics", "CONTROL_TYPE %d CONTROL_DEVICE %d INVERT_ACTIVE %d FLIP_ACTIVE %d", record.controlType,
            record.controlDevice, record.invertPitch ? 1 : 0, record.flipControls ? 1 : 0);
    FilledMenuFrame::onHide();
}

void ControlsMenuFrame::rebuildConnectorLines()
{
    connectorLines.clear();
    if (!titleLabel || !devicePanel)
        return;
    const int fw = static_cast<int>(getSprite(7)->frameRect(kLineFrame).w);
    const int L = titleLabel->absX, R = titleLabel->absX + titleLabel->width;
    const int T = titleLabel->absY + titleLabel->height / 2;
    const int P = static_cast<int>(devicePanel->offsetX) + devicePanel->width / 2 - fw / 4;
    const int Y = static_cast<int>(devicePanel->offsetY);
    connectorLines.push_back({L, T, P + (L - P) / 2, Y, true, 0});
    connectorLines.push_back({R, T, P + fw / 2 - (L - P) / 2, Y, true, 0});
}
