#include "screens/hud/HudInsignia.h"

#include <array>

namespace {

bool sameColor(const Color4& a, const Color4& b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

struct SideCode {
    std::string_view code;
    int frame;
};
// By insignia index - 1.
constexpr std::array<SideCode, 8> kCodes = {{
    {"EN", 124}, {"US", 125}, {"JP", 126}, {"DE", 127}, {"RU", 128}, {"AU", 131}, {"BLUE", 129}, {"RED", 130},
}};

}  // namespace

Color4 HudInsignia::relationColor(int relationCode)
{
    switch (relationCode) {
    case 0: return kOwnTeamColor;
    case 1: return kOtherTeamColor;
    case 2: return kNoTeamColor;
    default: return Color4{};
    }
}

int HudInsignia::indexForCode(std::string_view code)
{
    for (std::size_t i = 0; i < kCodes.size(); ++i) {
        if (!code.empty() && kCodes[i].code == code)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

void HudInsignia::update(HudMarkerSide& marker, int relationCode, const HudSideCodes* sides)
{
    marker.color = relationColor(relationCode);
    indexForNation(marker, sides);
}

void HudInsignia::indexForNation(HudMarkerSide& marker, const HudSideCodes* sides)
{
    marker.insignia = 0;
    if (!sides)
        return;
    const std::string* code = nullptr;
    if (sameColor(marker.color, kNoTeamColor))
        code = &sides->teamNeutral;
    else if (sameColor(marker.color, kOwnTeamColor))
        code = &sides->teamFriend;
    else if (sameColor(marker.color, kOtherTeamColor))
        code = &sides->teamEnemy;
    if (code)
        marker.insignia = indexForCode(*code);
}

int HudInsignia::frameForIndex(const HudMarkerSide& marker)
{
    if (marker.kind == kFlagKind || marker.kind == kWaypointKind)
        return -1;
    if (marker.insignia < 1 || marker.insignia > static_cast<int>(kCodes.size()))
        return -1;
    return kCodes[static_cast<std::size_t>(marker.insignia - 1)].frame;
}
