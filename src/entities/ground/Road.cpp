#include "entities/ground/Road.h"

#include <utility>

Road::Road(int itemIndex, std::vector<Vec3> path) : m_itemIndex(itemIndex), m_path(std::move(path)) {}
