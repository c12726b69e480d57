#pragma once

// A game type's picture on the hosting pages and the game lists: the icon of
// its creation button with the type's name in the dark plate at its foot.
namespace mode_tile {

// The icon frame of sprite set 7 for a game type (free-for-all for any other).
int iconFrame(int gameType);
// The string of the type's name, the creation button's label.
int nameString(int gameType);

// The name as it sits in the plate, relative to the icon's corner: its middle,
// the scale it is drawn at (1 when it fits) and the plate's room.
struct NamePlace {
    float centreX = 0.0f, centreY = 0.0f, scale = 1.0f;
    float width = 0.0f, height = 0.0f;   // as drawn
    float plateWidth = 0.0f, plateHeight = 0.0f;
};
NamePlace namePlace(int gameType);

// Draws the icon, at the scale, with its top-left corner at (x, y) and the
// name in its plate.
void draw(int gameType, float x, float y, float scale = 1.0f);

}  // namespace mode_tile
