#pragma once

// The game screen's use of the controls, kept apart from the airplane
// headers (both name a FlightInput of their own).
// Paused: the player's stick lets go and only the menu keys run.
void runPausedInput(bool hasPlayerAirplane, float dt);
// In play: the flight keys, or the menu keys while an overlay is up.
void runPlayInput(bool overlayUp, float dt);
// Game load: the chosen control device becomes the active one.
void applyControlDevice();
