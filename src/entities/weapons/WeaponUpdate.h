#pragma once
#include <span>

class IEntityHost;
class Target;
class Weapon;

// The weapons' frame: the bullet pool's counters cleared, every enabled
// weapon of an active owner updated, then the bullets moved and tested.
void updateWeapons(IEntityHost& host, std::span<Weapon* const> weapons, float dt);

// A target is taken out of play: every weapon's list and every missile lose it.
// (A target that is deleted is forgotten by forgetTarget in EntityRemoval.h.)
void loseTargetInWeapons(const Target* t);
