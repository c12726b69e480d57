#pragma once
#include "ui/widgets/SceneMenuFrame.h"

#include <string>
#include <vector>

class MenuPanel;
class SpriteButton;
class SpriteHComboBox;
class SpriteLabel;

// Quality, window mode and resolution. Nothing changes while the game runs:
// applying writes "graphics.cfg" and ends the program normally, and the new
// values take effect at the next start.
class GraphicsSettingsMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kTitleString = 43, kBackString = 40, kApplyString = 42, kRestartString = 53;

    struct Resolution {
        int width = 0, height = 0;
        bool operator==(const Resolution&) const = default;
    };
    // The display modes of the screen, gathered at start-up by the window's
    // owner and handed over before the page is first made.
    static void setDisplayModes(std::vector<Resolution> modes);
    GraphicsSettingsMenuFrame();
    explicit GraphicsSettingsMenuFrame(std::vector<Resolution> modes);

    void onShow() override;
    void onHide() override;
    // Left and right on a focused choice box step its choice, as its arrows
    // do; every other move goes to the focus links.
    void moveFocus(int direction) override;

    void onChoiceChanged();
    // Writes the pending values to "graphics.cfg" and ends the game with
    // code 0; the settings file is left as it is.
    void applyAndQuit();
    bool applyShown() const;

    const std::vector<Resolution>& resolutions() const { return m_modes; }

    MenuPanel* rowsPanel = nullptr;
    SpriteButton* applyButton = nullptr;
    SpriteLabel* restartNote = nullptr;
    SpriteHComboBox* resolutionBox = nullptr;
    SpriteHComboBox* modeBox = nullptr;
    SpriteHComboBox* qualityBox = nullptr;
    int shownWidth = 0, shownHeight = 0, shownQuality = 0, shownMode = 0;
    int pendingWidth = 0, pendingHeight = 0, pendingQuality = 0, pendingMode = 0;

private:
    void showApply(bool shown);

    std::vector<Resolution> m_modes;
};

// Each size once, in list order, and only as many as the choice box's text
// holds ("%d x %d" each, ended by a 0 unit, the list by another).
std::vector<GraphicsSettingsMenuFrame::Resolution> packableResolutions(
    const std::vector<GraphicsSettingsMenuFrame::Resolution>& modes);

// The screen's modes with the window's own size among them, where a list
// sorted by size would have it, so the page can show and keep the size the
// game runs at even when the screen does not offer it. An empty list stays
// empty.
std::vector<GraphicsSettingsMenuFrame::Resolution> withWindowSize(
    std::vector<GraphicsSettingsMenuFrame::Resolution> modes, GraphicsSettingsMenuFrame::Resolution window);
