#include "screens/hud/HudInsignia.h"

#include <gtest/gtest.h>

namespace {

TEST(HudInsignia, SideCodesOfTheMapPickTheFrameByRelation)
{
    const HudSideCodes sides{"US", "RED", "AU"};
    HudMarkerSide enemy, friendly, neutral;
    HudInsignia::update(enemy, 1, &sides);
    HudInsignia::update(friendly, 0, &sides);
    HudInsignia::update(neutral, 2, &sides);
    EXPECT_EQ(HudInsignia::frameForIndex(enemy), 130);
    EXPECT_EQ(HudInsignia::frameForIndex(friendly), 125);
    EXPECT_EQ(HudInsignia::frameForIndex(neutral), 131);
    EXPECT_EQ(enemy.color.r, 255);
    EXPECT_EQ(enemy.color.g, 69);
    EXPECT_EQ(friendly.color.b, 164);
    EXPECT_EQ(neutral.color.g, 128);
    const char* codes[] = {"EN", "US", "JP", "DE", "RU", "AU", "BLUE", "RED"};
    const int frames[] = {124, 125, 126, 127, 128, 131, 129, 130};
    for (int i = 0; i < 8; ++i) {
        HudMarkerSide m{HudInsignia::indexForCode(codes[i]), {}, 0};
        EXPECT_EQ(HudInsignia::frameForIndex(m), frames[i]) << codes[i];
    }
}

TEST(HudInsignia, CasesWithoutInsignia)
{
    const HudSideCodes sides{"us", "", "RED "};
    HudMarkerSide marker;
    HudInsignia::update(marker, 0, &sides);   // codes are compared exactly
    EXPECT_EQ(marker.insignia, 0);
    HudInsignia::update(marker, 1, &sides);   // empty code
    EXPECT_EQ(marker.insignia, 0);
    HudInsignia::update(marker, 2, &sides);
    EXPECT_EQ(marker.insignia, 0);
    EXPECT_EQ(HudInsignia::frameForIndex(marker), -1);

    const HudSideCodes real{"US", "RED", "AU"};
    HudInsignia::update(marker, 1, nullptr);  // no map
    EXPECT_EQ(marker.insignia, 0);
    marker.color = Color4{200, 30, 200, 255};   // a network player's color
    HudInsignia::indexForNation(marker, &real);
    EXPECT_EQ(marker.insignia, 0);
    HudInsignia::update(marker, 7, &real);    // unknown relation: white, no insignia
    EXPECT_EQ(marker.color.g, 255);
    EXPECT_EQ(marker.insignia, 0);

    for (int kind : {19, 20}) {
        HudMarkerSide flag{2, {}, kind};
        EXPECT_EQ(HudInsignia::frameForIndex(flag), -1) << kind;
    }
    EXPECT_EQ(HudInsignia::frameForIndex(HudMarkerSide{9, {}, 0}), -1);
}

}  // namespace
