#pragma once
#include "entities/EntityHandle.h"
#include "modes/GameType.h"
#include "platform/Math.h"
#include "ui/MenuItem.h"

#include <array>
#include <cstdint>

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
    static constexpr int kMuteOffFrame = 176, kMuteOnFrame = 177;
    static constexpr int kRowHeightUnits = 60, kRowWidthFrame = 183;
    static constexpr char16_t kFirstRankGlyph = 0x2460;
    // The swatch colours, shared with the HUD markers; -1 draws grey.
    static const std::array<Color4, 5> kMarkerColours;
    static constexpr Color4 kNoMarkerColour{128, 128, 128, 255};
    static constexpr Color4 kOwnRowColour{130, 255, 0, 255};

    // The team tables' row: first line lower, narrower place column, the
    // extra bases or flags column.
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

    EntityHandle airplane;
    int position = 0;
    int alternate = 0;
    std::uint32_t flags = 0;
    int markerColour = -1;
    bool teamLayout = false;
    GameType gameType = GameType::FreeForAll;
    bool networkGame = false;
    bool own = false;   // the player's own airplane: its texts in green, no mute
};
