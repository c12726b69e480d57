#pragma once
#include "platform/Math.h"

#include <string>
#include <string_view>

// The side codes a map gives its three sides ("EN", "US", "BLUE" ...); an
// empty code means none.
struct HudSideCodes {
    std::string teamFriend, teamEnemy, teamNeutral;
};

// What a marker shows of its side: the relation color and the insignia.
struct HudMarkerSide {
    int insignia = 0;   // 0 none, 1..8 by side code
    Color4 color;
    int kind = 0;       // the marked target's kind
};

// A marker's relation color and insignia: the color by the marker's team as
// seen from the local player, the insignia by the side code the current map
// gives that relation.
class HudInsignia {
public:
    static constexpr Color4 kOwnTeamColor{19, 97, 164, 255};
    static constexpr Color4 kOtherTeamColor{255, 69, 0, 255};
    static constexpr Color4 kNoTeamColor{0, 128, 0, 255};
    static constexpr int kFlagKind = 19, kWaypointKind = 20;

    // 0 own team, 1 another team, 2 no team; white for any other code.
    static Color4 relationColor(int relationCode);
    // Index of a side code, compared exactly; 0 for an empty or unknown code.
    static int indexForCode(std::string_view code);
    // The color, then the insignia. `sides` is the current map's codes, null
    // without a map.
    static void update(HudMarkerSide& marker, int relationCode, const HudSideCodes* sides);
    // The insignia picked by the marker's color; a color that is none of the
    // relation colors (a network player's) gets none.
    static void indexForNation(HudMarkerSide& marker, const HudSideCodes* sides);
    // HUD sheet frame of the insignia; -1 for none and for flags and waypoints.
    static int frameForIndex(const HudMarkerSide& marker);
};
