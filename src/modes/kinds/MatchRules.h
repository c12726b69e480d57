#pragma once
#include <cstdint>
#include <span>
#include <string>

class GameMode;
class Target;

// Small pieces the objective and round kinds share.
namespace matchrules {

// The bot count (0..64) and skill (0..1) of a match settings entry's word.
int botCount(int entry, int word);
float botSkill(int entry, int word);

// The countdown notice: notices cleared, the text with its numbers pushed
// silently for the frame (countdowns) or by its length with a pop-in (starts).
void pushCountdown(GameMode& mode, int textId, int a, int b = -1);
void pushStart(GameMode& mode, int textId, int a = -1);

// A countdown that ticks each whole second: true when the whole second changed.
bool tick(float& timer, float dt);

// Kind-0 airplanes that are in play: active, or waiting for a respawn that
// will come (not out for good).
bool inPlay(const GameMode& mode, const Target& t);

}  // namespace matchrules
