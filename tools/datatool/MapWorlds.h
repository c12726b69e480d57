#pragma once
// The game's map terrains, shared by the terrain step that writes them and
// the map step that places things on them.
#include "render/world/Terrain.h"

#include <string>
#include <vector>

// Flattened ground for an airfield: a soft-edged rectangle turned by angle
// (degrees, the item angle of its runway; 0 runs the runway along +x).
struct MapFlat {
    float x, z, halfLength, halfWidth, angle;
};
// Water above sea level in a basin of the hills.
struct MapBasin {
    const char* name;
    float x, z, radius, level;
};
// A river carved below sea level along a line of points.
struct MapRiver {
    std::vector<std::pair<float, float>> points;
    float width;
};

struct MapWorldPlan {
    const char* name;          // folder under data/terrain/
    unsigned seed;
    int shape;                 // which land form (see MapTerrainsStep.cpp)
    bool snowy;
    std::vector<MapFlat> flats;
    std::vector<MapBasin> lakes;
    std::vector<MapRiver> rivers;
};

// Every terrain of the game's maps.
const std::vector<MapWorldPlan>& mapWorldPlans();
const MapWorldPlan* findMapWorldPlan(const std::string& name);
// The height field of a terrain once the terrain step made it; null before.
const Terrain* mapWorldTerrain(const std::string& name);
// The flat height of an airfield on its terrain.
float mapFlatHeight(const MapWorldPlan& plan, const MapFlat& flat);
