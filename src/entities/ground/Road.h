#pragma once
#include "entities/TargetDraw.h"
#include "platform/Math.h"
#include "render/assets/GlmFormat.h"

#include <cstdint>
#include <vector>

// A road or railway built from a map item: its path and the item it came
// from, drawn as a flat ribbon just above the ground along the path. Nothing
// drives on it; the game mode updates and draws its roads.
class Road {
public:
    static constexpr float kWidth = 14.0f;
    // Lifted over the ground so the terrain does not flicker through it.
    static constexpr float kLift = 0.6f;

    Road(int itemIndex, std::vector<Vec3> path);
    int itemIndex() const { return m_itemIndex; }
    const std::vector<Vec3>& path() const { return m_path; }
    // Builds the ribbon the first time (and after the path changed).
    void update(float dt);
    // The road pass: the ribbon in the lit model state, after the solid models.
    void draw(const DrawView& view);
    void setPath(std::vector<Vec3> path);
    // Two vertices a path point: left and right edge.
    const std::vector<GlmVertex>& ribbon() const { return m_ribbon; }

private:
    void buildRibbon();

    int m_itemIndex;
    std::vector<Vec3> m_path;
    std::vector<GlmVertex> m_ribbon;
    std::vector<std::uint16_t> m_indices;
    bool m_built = false;
};
