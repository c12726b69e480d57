#include "platform/Random.h"

#include "platform/Math.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// Leaves the shared generator in a known state for each test.
struct RandomNumbers : testing::Test {
    void SetUp() override { seedRandom(12345, 67890); }
};

// A state whose next output is 0xFFFFFFFF, the largest raw value: the first
// word becomes 0xFFFF (low half 1, high half 65535 - 36969) and the second
// 0xFFFF (low half 3, high half 65535 - 54000).
void setLargestNextOutput()
{
    randomState() = {(28566u << 16) | 1u, (11535u << 16) | 3u};
}

TEST_F(RandomNumbers, OutputsFollowTheMultiplyWithCarryStep)
{
    std::uint64_t z = 12345, w = 67890;
    for (int i = 0; i < 100; ++i) {
        z = (36969 * (z % 65536) + z / 65536) % 4294967296ull;
        w = (18000 * (w % 65536) + w / 65536) % 4294967296ull;
        ASSERT_EQ(randU32(), static_cast<std::uint32_t>((z * 65536 + w) % 4294967296ull)) << i;
    }
    EXPECT_EQ(randomState().first, static_cast<std::uint32_t>(z));
}

TEST_F(RandomNumbers, DegenerateSeedsStillGiveAChangingSequence)
{
    for (std::uint32_t seed : {0u, 36969u * 65536u - 1u}) {
        seedRandom(seed, seed == 0 ? 0u : 18000u * 65536u - 1u);
        EXPECT_NE(randomState().first, 0u);
        EXPECT_NE(randomState().second, 0u);
        const std::uint32_t a = randU32(), b = randU32();
        EXPECT_NE(a, b);
    }
}

TEST_F(RandomNumbers, FractionsStayBelowOneEvenForTheLargestRawValue)
{
    for (int i = 0; i < 1000000; ++i) {
        const float r = rand01();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
    }
    setLargestNextOutput();
    EXPECT_LT(rand01(), 1.0f);
    setLargestNextOutput();
    EXPECT_LT(randAngle(), kPi);
    setLargestNextOutput();
    EXPECT_LT(randRange(1000.0f, 1000.0001f), 1000.0001f);
}

TEST_F(RandomNumbers, RangesHoldTheirBounds)
{
    bool sawNegative = false, sawPositive = false;
    for (int i = 0; i < 100000; ++i) {
        const float angle = randAngle();
        ASSERT_TRUE(angle >= -kPi && angle < kPi) << angle;
        const float r = randRange(2.0f, 5.0f);
        ASSERT_TRUE(r >= 2.0f && r < 5.0f) << r;
        const float s = randRangeSigned(3.0f, 4.0f);
        ASSERT_TRUE(std::abs(s) >= 3.0f && std::abs(s) < 4.0f) << s;
        (s < 0 ? sawNegative : sawPositive) = true;
    }
    EXPECT_TRUE(sawNegative && sawPositive);
    EXPECT_EQ(randRange(5.0f, 2.0f), 5.0f);
}

TEST_F(RandomNumbers, ModuloHelperReturnsZeroForAnEmptyRange)
{
    EXPECT_EQ(randModulo(0), 0);
    EXPECT_EQ(randModulo(-5), 0);
    EXPECT_EQ(randModulo(1), 0);
    for (int i = 0; i < 1000; ++i) {
        const int v = randModulo(7);
        ASSERT_TRUE(v >= 0 && v < 7) << v;
    }
}

TEST_F(RandomNumbers, PermutationHoldsEveryIndexOnce)
{
    std::vector<int> values(50, -1);
    randomPermutation(values.data(), 50);
    std::vector<int> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(sorted[static_cast<std::size_t>(i)], i);
    EXPECT_NE(values, sorted);  // shuffled (50! orders; identity is not a real risk)
}

TEST_F(RandomNumbers, PermutationReturnsAtOnceBelowTwoElements)
{
    int one[1] = {7};
    randomPermutation(one, 1);
    EXPECT_EQ(one[0], 0);
    int none[1] = {7};
    randomPermutation(none, 0);
    EXPECT_EQ(none[0], 7);
    randomPermutation(nullptr, 5);
}

}  // namespace
