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
    static constexpr char16_t kFirstRankGlyph = 0x2460;
    // The swatch colours, shared with the HUD markers; -1 draws grey.
    static const std::array<Color4, 5> kMarkerColours;
    static constexpr Color4 kNoMarkerColour{128, 128, 128, 255};
    static constexpr Color4 kOwnRowColour{130, 255, 0, 255};

    // Where a row's texts go, in pixels from the row's left edge, all on one
    // line: the place ends at placeRight, the rank glyph is centred on glyph,
    // the name runs from nameLeft to nameRight, each number column and the
    // plane column are centred on their entries (extra, the bases or flags
    // column, is below 0 when the mode has none). Texts are drawn at
    // textScale; a name or plane too wide for its room is cut.
    struct Columns {
        float placeRight = 0.0f, glyph = 0.0f, nameLeft = 0.0f, nameRight = 0.0f;
        float score = 0.0f, deaths = 0.0f, extra = -1.0f, plane = 0.0f;
        float columnWidth = 0.0f, planeWidth = 0.0f;
        float textScale = 1.0f;
    };
    // The columns of a row of that size; the tables place their headings by
    // the same numbers. Without mute toggles (single player) the columns
    // may use the mute strip's room.
    static Columns columns(int rowWidth, int rowHeight, bool extraColumn, bool muteStrip);
    // The one line's centre, from the row's top: level with the swatch.
    static float lineCentre(int rowHeight);
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
