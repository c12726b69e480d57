#include "platform/Array.h"

#include <gtest/gtest.h>

namespace {

Array filled(int n)
{
    Array a;
    for (int i = 0; i < n; ++i)
        a.pushBack(i + 1);
    return a;
}

TEST(ArrayCapacity, ReservingZeroOnAnEmptyArrayAllocatesNothing)
{
    Array a;
    a.reserve(0);
    EXPECT_EQ(a.data, nullptr);
    EXPECT_EQ(a.count, 0);
    EXPECT_EQ(a.capacity, 0);
    a.reserve(1);
    EXPECT_EQ(a.capacity, 32);
    EXPECT_EQ(a.count, 1);
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(a[i], 0);
}

TEST(ArrayCapacity, GrowsInStepsOfThirtyTwo)
{
    Array a = filled(32);
    EXPECT_EQ(a.capacity, 32);
    a.pushBack(33);
    EXPECT_EQ(a.count, 33);
    EXPECT_EQ(a.capacity, 64);
    for (int i = 0; i < 32; ++i)
        ASSERT_EQ(a[i], i + 1);
    Array big = filled(1000);
    EXPECT_EQ(big.capacity, 1024);
    EXPECT_EQ(big[999], 1000);
}

TEST(ArrayCapacity, ReserveDiscardsTheContents)
{
    Array a = filled(10);
    a.reserve(40);
    EXPECT_EQ(a.count, 40);
    EXPECT_EQ(a.capacity, 64);
    for (int i = 0; i < 40; ++i)
        ASSERT_EQ(a[i], 0);
}

TEST(ArrayCapacity, GrowKeepsTheContentsFollowedByZeroes)
{
    Array a = filled(10);
    a.grow(40);
    EXPECT_EQ(a.count, 40);
    EXPECT_EQ(a.capacity, 64);
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(a[i], i + 1);
    for (int i = 10; i < 40; ++i)
        ASSERT_EQ(a[i], 0);
}

TEST(ArrayCapacity, ShrinkingOnlyLowersTheCount)
{
    Array a = filled(10);
    const Array::Element* storage = a.data;
    a.setSize(5);
    EXPECT_EQ(a.count, 5);
    EXPECT_EQ(a.capacity, 32);
    EXPECT_EQ(a.data, storage);
    EXPECT_EQ(a.data[9], 10);  // left in storage untouched
    a.reserve(20);             // fits: the contents stay
    EXPECT_EQ(a.data, storage);
    EXPECT_EQ(a[0], 1);
}

TEST(ArrayCapacity, NegativeSizesCountAsZero)
{
    Array a = filled(3);
    a.reserve(-4);
    EXPECT_EQ(a.count, 0);
    a.count = -1;  // owners answer a negative count with reserve
    a.grow(-1);
    EXPECT_EQ(a.count, 0);
    a.count = -7;
    a.pushBack(9);
    EXPECT_EQ(a.count, 1);
    EXPECT_EQ(a[0], 9);
}

TEST(ArrayStorage, ClearReleasesDataAndIndex)
{
    Array a = filled(5);
    a.fillIndex();
    ASSERT_NE(a.index, nullptr);
    EXPECT_EQ(a.index[4], 4);
    a.clear();
    EXPECT_EQ(a.data, nullptr);
    EXPECT_EQ(a.index, nullptr);
    EXPECT_EQ(a.count, 0);
    EXPECT_EQ(a.capacity, 0);
}

TEST(ArrayStorage, CopyTakesTheElementsButNotTheIndex)
{
    Array source = filled(40);
    source.fillIndex();
    Array copy;
    copy.pushBack(99);
    copy.copy(source);
    EXPECT_EQ(copy.count, 40);
    EXPECT_EQ(copy.capacity, 64);
    EXPECT_NE(copy.data, source.data);
    EXPECT_EQ(copy.index, nullptr);
    EXPECT_EQ(copy[39], 40);
    copy.copy(copy);
    EXPECT_EQ(copy[0], 1);

    Array assigned;
    assigned = source;
    EXPECT_EQ(assigned[20], 21);
    Array moved = std::move(assigned);
    EXPECT_EQ(moved[20], 21);
    EXPECT_EQ(assigned.data, nullptr);
}

TEST(ArrayStorage, PointersSurviveTheRoundTrip)
{
    int values[3] = {4, 5, 6};
    Array a;
    for (int& v : values)
        a.pushBack(&v);
    EXPECT_EQ(a.pointerAt<int>(2), &values[2]);
    EXPECT_EQ(*a.pointerAt<int>(0), 4);
    a.pushBack(-3);
    EXPECT_EQ(a.intAt(3), -3);
}

TEST(IntListStack, FrontIsTheMostRecentValue)
{
    IntList list;
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.front(), 0);
    EXPECT_FALSE(list.popFront());
    list.pushBack(1);
    list.pushBack(2);
    list.pushBack(3);
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.front(), 3);
    EXPECT_TRUE(list.popFront());
    EXPECT_EQ(list.front(), 2);
    int page = 0;
    list.pushBack(&page);
    EXPECT_EQ(list.frontPointer<int>(), &page);
    list.clear();
    EXPECT_EQ(list.count(), 0);
}

}  // namespace
