#pragma once

// The player fainting under sustained load: a signed meter that climbs while
// the airplane pulls hard and relaxes otherwise. Past the plane's faint start
// the faint loop plays, louder towards the faint end, and ducks every other
// sound. The HUD darkens the view from the same value.
namespace Effects {

// What the scene reads of the game mode and the player's airplane each frame.
struct FaintInput {
    // A game runs with a controllable, enabled player airplane, not stopped,
    // and not of a kind without fainting.
    bool active = false;
    float speed = 0.0f;
    bool recovering = false;   // the airplane's override: the meter only relaxes
    float load = 0.0f;         // x of the airplane's load vector
};

// From the player's plane record ("pFaintStart", "pFaintEnd").
void cachePlayerRange(float faintStart, float faintEnd);
void updateFaint(const FaintInput& input, float dt);
// Game mode and airplane resets; also stops the sound.
void resetFaint();

float faintValue();
float faintStart();
float faintEnd();
// The faint sound's volume for a meter value: 0 at or below the start.
float faintVolume(float value);

}  // namespace Effects
