#pragma once
#include "platform/Math.h"

#include <vector>

// A road or railway built from a map item: its path and the item it came
// from. Nothing drives on it yet; the game mode updates and draws its roads.
class Road {
public:
    Road(int itemIndex, std::vector<Vec3> path);
    int itemIndex() const { return m_itemIndex; }
    const std::vector<Vec3>& path() const { return m_path; }
    void update(float) {}

private:
    int m_itemIndex;
    std::vector<Vec3> m_path;
};
