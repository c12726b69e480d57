#pragma once
#include "entities/EntityHandle.h"
#include "modes/GameType.h"
#include "platform/Math.h"
#include "ui/MenuItem.h"

#include <array>
#include <cstdint>
#include <string>

class CFont;
class Target;

// One row of an end-of-match table: place, rank glyph, pilot name, score,
// deaths, plane, the marker colour swatch and, in network games, the mute
// toggle. A row without an airplane closes the table and draws nothing. The
// row names its airplane by handle, so a pilot gone since the last rebuild
// draws nothing and takes no touch.
class ScoreEntry : public MenuItem {
public:
    static constexpr std::uint32_t kOutOfPlay = 1u, kCarriesFlag = 2u;
    static constexpr int kShadeFrame = 97, kSwatchFrame = 95, kOutFrame = 179, kFlagFrame = 180;
    // The chat toggle's own frames: 176 and 177 of the sheet are the
    // showcase's info button and the radar help picture.
    static constexpr int kMuteOffFrame = 286, kMuteOnFrame = 287;
    static constexpr int kRowHeightUnits = 60, kRowWidthFrame = 183;
    static constexpr float kIconUnits = 24.0f;   // the status icon's height
    static constexpr char16_t kFirstRankGlyph = 0x2460;
    // The swatch colours, shared with the HUD markers; -1 draws grey.
    static const std::array<Color4, 5> kMarkerColours;
    static constexpr Color4 kNoMarkerColour{128, 128, 128, 255};
    static constexpr Color4 kOwnRowColour{130, 255, 0, 255};

    // Where a row's parts go, in pixels from the row's top-left corner. The
    // first line holds the place (ending at placeRight) and the name (from
    // nameLeft to nameRight), their tops at firstLine; the second line the
    // rank glyph and the number and plane columns, each centred on its x and
    // on secondLine (the glyph on glyphLine). extra, the bases or flags
    // column, is below 0 when the mode has none. The status icon's top-left
    // is (iconX, iconY); the shade of odd rows starts shadeTop below the row
    // top and the swatch swatchTop. A row narrower or shorter than the layout
    // squeezes it and draws its texts at textScale; a name or plane too wide
    // for its room is cut.
    struct Columns {
        float placeRight = 0.0f, nameLeft = 0.0f, nameRight = 0.0f, firstLine = 0.0f;
        float glyph = 0.0f, glyphLine = 0.0f, score = 0.0f, deaths = 0.0f, extra = -1.0f, plane = 0.0f;
        float secondLine = 0.0f, columnWidth = 0.0f, planeWidth = 0.0f;
        float iconX = 0.0f, iconY = 0.0f, shadeTop = 0.0f, swatchTop = 0.0f;
        float textScale = 1.0f;
    };
    // The layout of a row of that size: the individual table's, or the team
    // tables' (whose capture-the-flag and destroy-the-base rows carry the
    // extra column). The tables place their headings by the same numbers.
    static Columns columns(int rowWidth, int rowHeight, bool teamLayout, GameType type, bool muteStrip);
    // The text cut from the end, closed by "...", until it fits the width.
    static std::u16string fitted(const CFont& font, std::u16string text, float width);

    // The team tables' row: the extra bases or flags column.
    ScoreEntry(Target* airplane, int position, int alternate, bool teamLayout);

    // MenuItem
    void draw() override;
    bool onTouchDown(int x, int y) override;
    bool contains(int x, int y, float margin) const override;

    Target* target() const { return airplane.resolve(); }
    // The swatch's left edge and the mute strip, from the row's left.
    int swatchLeft() const;
    // The next colour of the cycle none, 0, 1, 2, 3, 4, none.
    static int nextMarkerColour(int colour);
    // Whether the row shows a mute toggle: network games, not the own row.
    bool showsMute() const;
    // Whether the row has the bases or flags column.
    bool hasExtraColumn() const;
    // The name as last drawn, and how much it was shrunk to fit.
    const std::u16string& shownName() const { return m_shownName; }
    float shownNameShrink() const { return m_nameShrink; }

    EntityHandle airplane;
    int position = 0;
    int alternate = 0;
    std::uint32_t flags = 0;
    int markerColour = -1;
    bool teamLayout = false;
    GameType gameType = GameType::FreeForAll;
    bool networkGame = false;
    bool own = false;   // the player's own airplane: its texts in green, no mute

private:
    // The name and plane as cut for the width they were last drawn at.
    std::u16string m_shownName, m_shownPlane;
    int m_fittedWidth = -1;
    float m_fittedScale = 0.0f, m_nameShrink = 1.0f, m_planeShrink = 1.0f;
};
