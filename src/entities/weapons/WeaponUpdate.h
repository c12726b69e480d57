#pragma once
#include <span>

class IEntityHost;
class Target;
class Weapon;

// The weapons' frame: the bullet pool's counters cleared, every enabled
// weapon of an active owner updated, then the bullets moved and tested.
void updateWeapons(IEntityHost& host, std::span<Weapon* const> weapons, float dt);

// A target is taken out of play: every weapon's list and every missile lose it.
void loseTargetInWeapons(const Target* t);
// A target is deleted: it is also forgotten as the owner of missiles and bullets.
void forgetTargetInWeapons(const Target* t);
