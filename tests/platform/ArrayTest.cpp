#include "platform/Array.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

Array filled(int n)
{
    Array a;
    for (int i = 0; i < n; ++i)
        a.pushBack(i + 1);
    return a;
}

TEST(ArrayCapacity, GrowsInStepsOfThirtyTwoFromNothing)
{
    Array a;
    a.reserve(0);
    EXPECT_EQ(a.data, nullptr);
    EXPECT_EQ(a.capacity, 0);
    a.reserve(1);
    EXPECT_EQ(a.capacity, 32);
    EXPECT_EQ(a.count, 1);
    EXPECT_EQ(a[0], 0);

    Array full = filled(32);
    full.pushBack(33);
    EXPECT_EQ(full.count, 33);
    EXPECT_EQ(full.capacity, 64);
    for (int i = 0; i < 33; ++i)
        ASSERT_EQ(full[i], i + 1);
}

TEST(ArrayCapacity, ReserveDiscardsTheContentsButGrowKeepsThem)
{
    Array reserved = filled(10);
    reserved.reserve(40);
    EXPECT_EQ(reserved.count, 40);
    EXPECT_EQ(reserved.capacity, 64);
    for (int i = 0; i < 40; ++i)
        ASSERT_EQ(reserved[i], 0);

    Array grown = filled(10);
    grown.grow(40);
    EXPECT_EQ(grown.count, 40);
    EXPECT_EQ(grown.capacity, 64);
    for (int i = 0; i < 40; ++i)
        ASSERT_EQ(grown[i], i < 10 ? i + 1 : 0);
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
}

TEST(ArrayCapacity, NegativeSizesCountAsZero)
{
    Array a = filled(3);
    a.reserve(-4);
    EXPECT_EQ(a.count, 0);
    a.count = -7;
    a.pushBack(9);
    EXPECT_EQ(a.count, 1);
    EXPECT_EQ(a[0], 9);
}

TEST(ArrayStorage, ClearReleasesDataAndIndexAndCopyLeavesTheIndexOut)
{
    Array source = filled(40);
    source.fillIndex();
    ASSERT_NE(source.index, nullptr);
    EXPECT_EQ(source.index[39], 39);

    Array copy = source;
    EXPECT_EQ(copy.capacity, 64);
    EXPECT_NE(copy.data, source.data);
    EXPECT_EQ(copy.index, nullptr);
    EXPECT_EQ(copy[39], 40);

    source.clear();
    EXPECT_EQ(source.data, nullptr);
    EXPECT_EQ(source.index, nullptr);
    EXPECT_EQ(source.capacity, 0);
}

TEST(ArrayStorage, PointersSurviveTheRoundTrip)
{
    int values[2] = {4, 5};
    Array a;
    a.pushBack(&values[1]);
    a.pushBack(-3);
    EXPECT_EQ(a.pointerAt<int>(0), &values[1]);
    EXPECT_EQ(a.intAt(1), -3);
}

struct Item {
    int id = 0;
};

TEST(TypedArray, GrowsByTheUntypedRulesAndKeepsItsPointers)
{
    std::vector<Item> items(40);
    TypedArray<Item> list;
    for (int i = 0; i < 33; ++i)
        list.pushBack(&items[i]);
    EXPECT_EQ(list.count(), 33);
    EXPECT_EQ(list.capacity(), 64);
    for (int i = 0; i < 33; ++i)
        ASSERT_EQ(list[i], &items[i]);

    list.grow(40);  // the new places are null
    EXPECT_EQ(list[32], &items[32]);
    EXPECT_EQ(list[39], nullptr);
    list.reserve(70);  // a new buffer: contents discarded
    EXPECT_EQ(list.capacity(), 96);
    EXPECT_EQ(list[0], nullptr);
}

TEST(TypedArray, RemovalByShiftingAndEmptyingKeepStorage)
{
    Item items[4] = {{1}, {2}, {3}, {4}};
    TypedArray<Item> list;
    for (Item& item : items)
        list.pushBack(&item);
    const Array::Element* storage = list.untyped().data;

    // Remove the second element, order kept.
    for (int i = 1; i + 1 < list.count(); ++i)
        list.set(i, list[i + 1]);
    list.setSize(list.count() - 1);
    std::vector<int> ids;
    for (Item* item : list)
        ids.push_back(item->id);
    EXPECT_EQ(ids, (std::vector<int>{1, 3, 4}));

    list.setSize(0);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.begin(), list.end());
    EXPECT_EQ(list.untyped().data, storage);
}

TEST(TypedArray, SharesStorageWithTheUntypedViewAndCopiesApart)
{
    Item a{7}, b{8};
    TypedArray<Item> list;
    list.pushBack(&a);
    list.untyped().pushBack(&b);
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list[1]->id, 8);
    EXPECT_EQ(list.untyped().pointerAt<Item>(0), &a);

    TypedArray<Item> copy = list;
    copy.set(0, &b);
    EXPECT_EQ(list[0], &a);
    EXPECT_EQ(copy[0], &b);

    // A negative count, which owners answer with reserve, walks as empty.
    list.untyped().count = -1;
    EXPECT_EQ(list.begin(), list.end());
    EXPECT_TRUE(list.isEmpty());
}

TEST(IntListStack, FrontIsTheMostRecentValue)
{
    IntList list;
    EXPECT_EQ(list.front(), 0);
    EXPECT_FALSE(list.popFront());
    for (int page : {1, 2, 3})
        list.pushBack(page);
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.front(), 3);
    EXPECT_TRUE(list.popFront());
    EXPECT_EQ(list.front(), 2);
}

}  // namespace
