#pragma once

class IEffect;

// The one list of world effects, kept sorted by key (squared camera distance),
// nearest first. Main thread only.

// Links e at the near end and sorts the list. While updateEffects walks the
// list the effect is only linked; the walk sorts once at its end.
void addEffect(IEffect* e);
// Links at the near end without sorting (callers that add several then sort).
void linkEffect(IEffect* e);
// Ascending by key; equal keys and NaN keep their order.
void sortEffects();
// Updates every effect from the first to the last, deletes those no longer
// alive, then sorts.
void updateEffects(float dt);
// Calls draw(pass) of every visible effect from the farthest to the nearest.
void drawEffects(int pass);
// The model pass: effects with mask bit 0, visible, within the view distance
// and near (key <= 62500, 250 units) or far (beyond it).
void drawEffectsModelPass(bool near, bool variant);
// Deletes every effect (map load, exit).
void clearEffects();

// The first (nearest) effect; null when the list is empty. Use IEffect::next
// to walk; the tail sentinel is never returned.
IEffect* firstEffect();
IEffect* nextEffect(const IEffect* e);
int effectCount();
// The listed effect with that id; null when none.
IEffect* findEffect(int id);
// Unlinks and deletes a listed effect (a map trigger removing its effect);
// safe during the update walk.
void removeEffect(IEffect* e);

constexpr float kNearEffectKey = 62500.0f;   // 250 units, squared
