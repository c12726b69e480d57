#pragma once
// Other orders of the scene's draw passes, for the tests and benches that
// compare them with the game's: the sky drawn straight after the ground (after
// the water surface at the top detail, before it below), and the heat
// sources drawn late, just before their shimmer is laid.
#include "screens/scene/Scene.h"

#include <algorithm>
#include <vector>

struct PassOrderChange {
    bool skyFirst = false;
    bool heatSourcesLate = false;
};

inline std::vector<ScenePass> changedPassOrder(const SceneDrawFlags& flags, PassOrderChange change)
{
    using P = ScenePass;
    std::vector<P> order = scenePassOrder(flags);
    auto move = [&order](P pass, P anchor, bool before) {
        const auto at = std::find(order.begin(), order.end(), pass);
        if (at == order.end())
            return;
        order.erase(at);
        const auto to = std::find(order.begin(), order.end(), anchor);
        order.insert(before ? to : to + 1, pass);
    };
    if (change.skyFirst) {
        if (flags.water)
            move(P::Sky, P::WaterSurface, !flags.highDetail);
        else
            move(P::Sky, flags.terrain ? P::Terrain : P::MapItems, false);
    }
    if (change.heatSourcesLate)
        move(P::HeatSources, P::HeatDistortion, true);
    return order;
}

// Runs the passes of a given order, whatever order the scene asks for: the
// first pass asked runs them all, the rest are dropped.
class PassesInOrder : public ISceneDraw {
public:
    PassesInOrder(ISceneDraw& passes, std::vector<ScenePass> order) : m_passes(passes), m_order(std::move(order)) {}
    void runPass(ScenePass) override
    {
        if (m_done)
            return;
        m_done = true;
        for (ScenePass pass : m_order)
            m_passes.runPass(pass);
    }

private:
    ISceneDraw& m_passes;
    std::vector<ScenePass> m_order;
    bool m_done = false;
};
