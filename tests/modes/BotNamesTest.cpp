#include "modes/BotNames.h"
#include "platform/Random.h"

#include <gtest/gtest.h>

#include <set>

namespace {
struct BotNamesTest : testing::Test {
    void SetUp() override
    {
        seedRandom(3, 5);
        BotNames::clear();
    }
    void TearDown() override { BotNames::clear(); }
};

TEST_F(BotNamesTest, EveryNameIsHandedOutOnceUntilAllAreTaken)
{
    std::set<std::u16string> seen;
    for (int i = 0; i < BotNames::kCount; ++i) {
        const std::u16string name = BotNames::pick();
        EXPECT_FALSE(name.empty());
        EXPECT_TRUE(seen.insert(name).second) << i;
    }
    EXPECT_EQ(BotNames::takenCount(), BotNames::kCount);
}

TEST_F(BotNamesTest, APickWithAllTwentySevenTakenEndsWithAKnownName)
{
    for (int i = 0; i < BotNames::kCount; ++i)
        BotNames::pick();
    const std::u16string again = BotNames::pick();
    bool known = false;
    for (int i = 0; i < BotNames::kCount; ++i)
        known = known || BotNames::name(i) == again;
    EXPECT_TRUE(known);
    EXPECT_EQ(BotNames::takenCount(), BotNames::kCount);
}

TEST_F(BotNamesTest, AReleasedNameCanBePickedAgainAndUnknownNamesChangeNothing)
{
    for (int i = 0; i < BotNames::kCount; ++i)
        BotNames::pick();
    const std::u16string freed(BotNames::name(11));
    BotNames::release(freed);
    BotNames::release(u"Nobody");
    EXPECT_EQ(BotNames::takenCount(), BotNames::kCount - 1);
    EXPECT_EQ(BotNames::pick(), freed);  // the only free one
}

TEST_F(BotNamesTest, TheFirstPickStepsFromTheStartByTheGeneratorsDraw)
{
    RandomState copy = randomState();
    const int n = static_cast<int>(mwcStep(copy) % BotNames::kCount);
    EXPECT_EQ(BotNames::pick(), BotNames::name(n));
}
}  // namespace
