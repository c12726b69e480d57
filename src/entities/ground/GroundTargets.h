#pragma once
#include <memory>
#include <vector>

class GameWorld;
class GroundTarget;
class IEntityHost;
class WeaponList;

// The ground targets of a world's map objects: kinds 1 to 5 and 7 to 11 that
// start in play (bases and flag homes are the modes' own, airplanes their
// bots). Each gets its unit's weapons, its path and, when armed, a gunner of
// the given skill; kind 1 makes a special target. The caller adds them to
// play and deletes them before the world's objects go (each unlinks itself
// from its object).
std::vector<std::unique_ptr<GroundTarget>> createGroundTargets(IEntityHost& host, GameWorld& world,
                                                               const WeaponList& weapons, float skill = 0.5f);
