#include "effects/EffectList.h"
#include "effects/EffectScene.h"
#include "effects/IEffect.h"
#include "effects/particles/PConfig.h"
#include "effects/particles/PSystem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <limits>
#include <vector>

namespace {
std::vector<int>& drawLog()
{
    static std::vector<int> log;
    return log;
}

// An effect whose life and key the test sets; it logs its draws by tag.
struct Probe final : IEffect {
    int tag;
    bool live = true;
    int mask = 2;
    std::function<void()> onUpdate;
    Probe(int t, float k, int m = 2) : tag(t), mask(m)
    {
        key = k;
        id = takeId();
    }
    void update(float) override
    {
        if (onUpdate)
            onUpdate();
    }
    void draw(int) override { drawLog().push_back(tag); }
    void drawModel() override { drawLog().push_back(tag); }
    bool isAlive() const override { return live; }
    bool isVisible() const override { return true; }
    int passMask() const override { return mask; }
};

std::vector<int> order()
{
    std::vector<int> tags;
    for (IEffect* e = firstEffect(); e; e = nextEffect(e))
        tags.push_back(static_cast<Probe*>(e)->tag);
    return tags;
}

struct EffectList : testing::Test {
    void SetUp() override
    {
        clearEffects();
        drawLog().clear();
        effectScene() = EffectScene{};
    }
    void TearDown() override { clearEffects(); }
};

TEST_F(EffectList, SortsNearestFirstAndKeepsTheOrderOfEqualAndNaNKeys)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (auto [tag, key] : std::vector<std::pair<int, float>>{{1, 50.0f}, {2, 10.0f}, {3, 50.0f}, {4, nan}, {5, 5.0f}})
        addEffect(new Probe(tag, key));
    // Each is linked at the near end and sorted into place. The NaN never
    // swaps, so it stays where it was linked and splits the list there.
    EXPECT_EQ(order(), (std::vector<int>{5, 4, 2, 3, 1}));
    sortEffects();
    EXPECT_EQ(order(), (std::vector<int>{5, 4, 2, 3, 1}));

    clearEffects();
    for (int tag = 1; tag <= 4; ++tag)
        addEffect(new Probe(tag, 7.0f));
    EXPECT_EQ(order(), (std::vector<int>{4, 3, 2, 1}));   // equal keys: no swaps
    EXPECT_EQ(effectCount(), 4);
}

TEST_F(EffectList, DrawsFarToNearAndDeletesWhatDiesBeforeItIsDrawn)
{
    auto* dying = new Probe(9, 20.0f);
    dying->live = false;
    addEffect(new Probe(1, 10.0f));
    addEffect(new Probe(2, 30.0f));
    addEffect(dying);
    updateEffects(0.016f);
    drawEffects(2);
    EXPECT_EQ(drawLog(), (std::vector<int>{2, 1}));
    EXPECT_EQ(effectCount(), 2);
}

TEST_F(EffectList, ModelPassSplitsNearAndFarAt250UnitsWithinTheViewDistance)
{
    effectScene().viewDistanceSq = 1.0e6f;
    addEffect(new Probe(1, kNearEffectKey, 1));
    addEffect(new Probe(2, std::nextafter(kNearEffectKey, 1.0e9f), 1));
    addEffect(new Probe(3, 100.0f, 2));        // not in the model pass
    addEffect(new Probe(4, 2.0e6f, 1));        // beyond the view distance
    drawEffectsModelPass(true, false);
    EXPECT_EQ(drawLog(), (std::vector<int>{1}));
    drawLog().clear();
    drawEffectsModelPass(false, false);
    EXPECT_EQ(drawLog(), (std::vector<int>{2}));
}

TEST_F(EffectList, EffectsLinkedDuringTheWalkAreSortedOnceAtItsEnd)
{
    auto* spawner = new Probe(1, 10.0f);
    int spawned = 0;
    spawner->onUpdate = [&] {
        if (spawned++ == 0) {
            addEffect(new Probe(7, 500.0f));
            addEffect(new Probe(8, 1.0f));
        }
    };
    addEffect(spawner);
    addEffect(new Probe(2, 20.0f));
    updateEffects(0.016f);
    EXPECT_EQ(order(), (std::vector<int>{8, 1, 2, 7}));
    EXPECT_EQ(spawned, 1);   // the spawner ran once; the new ones wait for the next frame
}

TEST_F(EffectList, RemovingTheNextEffectDuringTheWalkIsSafe)
{
    auto* first = new Probe(1, 1.0f);
    auto* second = new Probe(2, 2.0f);
    addEffect(first);
    addEffect(second);
    addEffect(new Probe(3, 3.0f));
    first->onUpdate = [&] { removeEffect(findEffect(second->id)); };
    updateEffects(0.016f);
    EXPECT_EQ(order(), (std::vector<int>{1, 3}));
    // An effect removing itself from its own update goes once the update returns.
    first->onUpdate = [&] { removeEffect(first); };
    updateEffects(0.016f);
    EXPECT_EQ(order(), (std::vector<int>{3}));
}

// An owner with a fixed matrix that records the systems that told it they went.
struct Owner final : PSystemParent {
    Mat4 matrix;
    std::vector<PSystem*> gone;
    Mat4* getTransform(Mat4* out) override
    {
        *out = matrix;
        return out;
    }
    void systemGone(PSystem* system) override { gone.push_back(system); }
};

PConfig& smokeConfig()
{
    static PConfig config;
    if (config.groupCount() == 0) {
        PGroup& group = *config.groups.getOrCreate(0);
        group.countMin = group.countMax = -1;
        group.spawnInterval = 0.1f;
        group.gravity = {0.0f, 0.0f, 0.0f};
        PStage& first = *group.stages.getOrCreate(0);
        first.sizeMin = 1.0f;
        first.lifeMin = 1.0f;
        group.stages.getOrCreate(1)->sizeMin = 2.0f;
        config.sizeScale = 128.0f;
        config.buildEmitters();
    }
    return config;
}

TEST_F(EffectList, AnOwnerDestroyedFirstLeavesItsSystemToFinishAlone)
{
    auto owner = std::make_unique<Owner>();
    mat4Translate(owner->matrix, 10.0f, 0.0f, 0.0f);
    auto* system = new PSystem(&smokeConfig(), {0.0f, 1.0f, 0.0f});
    system->parent = owner.get();
    addEffect(system);
    for (int i = 0; i < 10; ++i)
        updateEffects(0.05f);
    ASSERT_GT(system->particleCount(), 0);
    EXPECT_FLOAT_EQ(system->position.x, 10.0f);

    owner.reset();
    EXPECT_EQ(system->parent, nullptr);
    for (int i = 0; i < 10; ++i)
        updateEffects(0.05f);
    EXPECT_EQ(effectCount(), 1);   // its particles live on for their second
    for (int i = 0; i < 40; ++i)
        updateEffects(0.05f);
    EXPECT_EQ(effectCount(), 0);
    EXPECT_EQ(liveParticleCount(), 0);
}

TEST_F(EffectList, ASystemDeletedFirstTellsItsOwner)
{
    Owner owner;
    auto* system = new PSystem(&smokeConfig(), {0.0f, 1.0f, 0.0f});
    system->parent = &owner;
    addEffect(system);
    updateEffects(0.05f);
    clearEffects();
    ASSERT_EQ(owner.gone.size(), 1u);
    EXPECT_EQ(owner.gone[0], system);
}
}  // namespace
