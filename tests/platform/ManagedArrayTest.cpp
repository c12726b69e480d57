#include "platform/ManagedArray.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {
struct Pooled : ManagedArray<Pooled, 3> {
    int value = 0;
    explicit Pooled(int v) : value(v) {}
};

TEST(ManagedArrayRegistry, ObjectsRegisterInOrderUpToCapacity)
{
    Pooled a(1), b(2), c(3);
    EXPECT_EQ(Pooled::count(), 3u);
    EXPECT_EQ(Pooled::at(0), &a);
    EXPECT_EQ(Pooled::at(2), &c);
    EXPECT_EQ(Pooled::at(3), nullptr);
    EXPECT_EQ(b.managedIndex(), 1u);
}

TEST(ManagedArrayRegistry, DestroyingTheMiddleObjectMovesTheLastIntoItsPlace)
{
    auto a = std::make_unique<Pooled>(1);
    auto b = std::make_unique<Pooled>(2);
    auto c = std::make_unique<Pooled>(3);
    b.reset();
    ASSERT_EQ(Pooled::count(), 2u);
    EXPECT_EQ(Pooled::at(1), c.get());
    EXPECT_EQ(c->managedIndex(), 1u);
    a.reset();
    c.reset();
    EXPECT_EQ(Pooled::count(), 0u);
}

TEST(ManagedArrayRegistry, ObjectBeyondCapacityStaysUnregisteredAndLeavesRegistryAlone)
{
    Pooled a(1), b(2), c(3);
    {
        Pooled extra(4);
        EXPECT_EQ(extra.managedIndex(), 3u);
        EXPECT_FALSE(extra.isRegistered());
        EXPECT_EQ(Pooled::count(), 3u);
    }
    EXPECT_EQ(Pooled::count(), 3u);
    EXPECT_EQ(Pooled::at(0), &a);
    EXPECT_EQ(Pooled::at(1), &b);
    EXPECT_EQ(Pooled::at(2), &c);
}
}  // namespace
