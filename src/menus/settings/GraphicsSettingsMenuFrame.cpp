#include "menus/settings/GraphicsSettingsMenuFrame.h"

#include "platform/Language.h"
#include "platform/Log.h"
#include "platform/Options.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "platform/Text.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <string>

namespace {
constexpr int kQualityCaption = 406, kModeCaption = 413, kResolutionCaption = 417;
constexpr int kQualityItems[3] = {410, 409, 408};
constexpr int kModeItems[2] = {416, 415};

std::u16string resolutionText(const GraphicsSettingsMenuFrame::Resolution& mode)
{
    return utf8ToWide(std::to_string(mode.width) + " x " + std::to_string(mode.height));
}

std::u16string packStrings(std::initializer_list<int> ids)
{
    std::u16string packed;
    for (int id : ids) {
        const std::u16string& text = getStringByIndex(id);
        packed += text.empty() ? std::u16string(u"DUMMY") : text;
        packed += u'\0';
    }
    packed += u'\0';
    return packed;
}

std::vector<GraphicsSettingsMenuFrame::Resolution>& gatheredModes()
{
    static std::vector<GraphicsSettingsMenuFrame::Resolution> modes;
    return modes;
}

void addSpacer(MenuPanel& panel, float h)
{
    panel.placeItem(new MenuSpacer(screenMetrics().screenWidth, static_cast<int>(h)));
}

SpriteLabel* addCaption(MenuPanel& panel, int stringId, int font)
{
    auto* label = new SpriteLabel(font, stringId);
    panel.placeItem(label);
    // Room for the focus frame of the box below, which would cover the caption.
    addSpacer(panel, 12.0f * screenMetrics().uiScale);
    return label;
}
}  // namespace

void GraphicsSettingsMenuFrame::setDisplayModes(std::vector<Resolution> modes)
{
    gatheredModes() = std::move(modes);
}

std::vector<GraphicsSettingsMenuFrame::Resolution> packableResolutions(
    const std::vector<GraphicsSettingsMenuFrame::Resolution>& modes)
{
    std::vector<GraphicsSettingsMenuFrame::Resolution> kept;
    std::size_t units = 1;   // the list's closing 0
    for (const GraphicsSettingsMenuFrame::Resolution& mode : modes) {
        if (mode.width <= 0 || mode.height <= 0 || std::find(kept.begin(), kept.end(), mode) != kept.end())
            continue;
        const std::size_t more = resolutionText(mode).size() + 1;
        if (units + more >= SpriteHComboBox::kMaxUnits)
            break;
        units += more;
        kept.push_back(mode);
    }
    return kept;
}

std::vector<GraphicsSettingsMenuFrame::Resolution> withWindowSize(
    std::vector<GraphicsSettingsMenuFrame::Resolution> modes, GraphicsSettingsMenuFrame::Resolution window)
{
    using Resolution = GraphicsSettingsMenuFrame::Resolution;
    // Without the screen's list nothing is offered at all (apply stays hidden).
    if (modes.empty() || window.width <= 0 || window.height <= 0 ||
        std::find(modes.begin(), modes.end(), window) != modes.end())
        return modes;
    const auto larger = [](const Resolution& a, const Resolution& b) {
        return a.width != b.width ? a.width > b.width : a.height > b.height;
    };
    // Screens list their modes largest first; a list the other way round keeps its own order.
    const bool largestFirst = modes.size() < 2 || !larger(modes.back(), modes.front());
    auto at = std::find_if(modes.begin(), modes.end(), [&](const Resolution& mode) {
        return largestFirst ? larger(window, mode) : larger(mode, window);
    });
    modes.insert(at, window);
    return modes;
}

GraphicsSettingsMenuFrame::GraphicsSettingsMenuFrame() : GraphicsSettingsMenuFrame(gatheredModes()) {}

GraphicsSettingsMenuFrame::GraphicsSettingsMenuFrame(std::vector<Resolution> modes)
    : m_modes(packableResolutions(withWindowSize(std::move(modes),
                                                 {startupGraphics().width, startupGraphics().height})))
{
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
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
    rowsPanel = new MenuPanel(kLayoutList);
    rowsPanel->anchorMode = kAnchorAbsolute;
    rowsPanel->touchMode = kTouchInside;
    rowsPanel->width = m.screenWidth;
    addSpacer(*rowsPanel, 50 * s);
    addCaption(*rowsPanel, kQualityCaption, 2);
    qualityBox = new SpriteHComboBox(packStrings({kQualityItems[0], kQualityItems[1], kQualityItems[2]}));
    rowsPanel->placeItem(qualityBox);
    addSpacer(*rowsPanel, 10 * s);
    addCaption(*rowsPanel, kModeCaption, 1);
    modeBox = new SpriteHComboBox(packStrings({kModeItems[0], kModeItems[1]}));
    rowsPanel->placeItem(modeBox);
    addSpacer(*rowsPanel, 10 * s);
    addCaption(*rowsPanel, kResolutionCaption, 1);
    std::u16string packed;
    for (const Resolution& mode : m_modes) {
        packed += resolutionText(mode);
        packed += u'\0';
    }
    packed += u'\0';
    resolutionBox = new SpriteHComboBox(packed);
    rowsPanel->placeItem(resolutionBox);
    addSpacer(*rowsPanel, 25 * s);
    restartNote = new SpriteLabel(1, kRestartString);
    rowsPanel->placeItem(restartNote);
    applyButton = new SpriteButton(-1, -1, 2, kApplyString);
    applyButton->onClick = [this] { applyAndQuit(); };
    rowsPanel->placeItem(applyButton);
    addSpacer(*rowsPanel, 50 * s);
    for (SpriteHComboBox* box : {qualityBox, modeBox, resolutionBox}) {
        box->focusable = true;
        box->onChange = [this] { onChoiceChanged(); };
    }
    applyButton->focusable = true;
    addItem(rowsPanel);
    rowsPanel->layout(absX, absY);
    rowsPanel->height = rowsPanel->contentHeight;
    const int T = titleLabel ? titleLabel->height : 0;
    rowsPanel->y = 3 * T + (m.screenHeight - 3 * T - rowsPanel->height) / 2;
    layout(absX, absY);
    showApply(false);
}

void GraphicsSettingsMenuFrame::showApply(bool shown)
{
    applyButton->visible = shown;
    applyButton->enabled = shown;
    restartNote->visible = shown;
    restartNote->enabled = shown;
}

bool GraphicsSettingsMenuFrame::applyShown() const
{
    return applyButton->visible;
}

void GraphicsSettingsMenuFrame::onShow()
{
    FilledMenuFrame::onShow();
    if (bottomPanel) {
        bottomPanel->visible = false;
        bottomPanel->enabled = false;
    }
    const GraphicsConfig& config = startupGraphics();
    qualityBox->select(config.quality - 1);
    modeBox->select(config.mode);
    int chosen = static_cast<int>(m_modes.size()) - 1;
    for (std::size_t i = 0; i < m_modes.size(); ++i)
        if (m_modes[i] == Resolution{config.width, config.height}) {
            chosen = static_cast<int>(i);
            break;
        }
    resolutionBox->select(std::max(chosen, 0));
    layout(absX, absY);
    layout(absX, absY);
    rebuildConnectorLines();
    rebuildFocusLinks();
    shownWidth = config.width;
    shownHeight = config.height;
    shownMode = config.mode;
    shownQuality = config.quality;
    showApply(false);
}

void GraphicsSettingsMenuFrame::moveFocus(int direction)
{
    SpriteHComboBox* box = nullptr;
    for (SpriteHComboBox* candidate : {qualityBox, modeBox, resolutionBox})
        if (focusedItem == candidate)
            box = candidate;
    if (!box || (direction != kLeft && direction != kRight)) {
        FilledMenuFrame::moveFocus(direction);
        return;
    }
    if (direction == kLeft)
        box->stepLeft();
    else
        box->stepRight();
    // No release follows a key press: the arrow must not stay pressed.
    box->lastStep = 0;
}

void GraphicsSettingsMenuFrame::onChoiceChanged()
{
    if (m_modes.empty()) {
        // No display mode to write: nothing can be applied.
        showApply(false);
        return;
    }
    const Resolution& mode = m_modes[std::clamp(resolutionBox->selected, 0, static_cast<int>(m_modes.size()) - 1)];
    pendingWidth = mode.width;
    pendingHeight = mode.height;
    pendingMode = modeBox->selected;
    pendingQuality = qualityBox->selected + 1;
    const bool same = pendingWidth == shownWidth && pendingHeight == shownHeight && pendingMode == shownMode &&
                      pendingQuality == shownQuality;
    showApply(!same);
    rebuildFocusLinks();
}

void GraphicsSettingsMenuFrame::applyAndQuit()
{
    if (m_modes.empty())
        return;
    GraphicsConfig& config = startupGraphics();
    config.width = pendingWidth;
    config.height = pendingHeight;
    config.mode = pendingMode;
    config.quality = pendingQuality;
    if (!saveGraphicsConfig())
        logWarning("menus", "graphics.cfg could not be written; the game goes on with its old values");
    else
        requestQuitKeepingSettings();
}

void GraphicsSettingsMenuFrame::onHide()
{
    settings().save();
    FilledMenuFrame::onHide();
}
