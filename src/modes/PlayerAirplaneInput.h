#pragma once

class GameMode;

// The player's controls acting on the player's airplane in a mode: what the
// keys, the stick, the HUD buttons and the tutorials' scripted pilots drive.
// Each does nothing without a player airplane.

// Stick in -1..1 (pitch nose up, yaw right, roll right); it reaches the
// airplane when the mode lets it (in play: while no autopilot flies it). A
// throttle of 0 keeps the last command, as a throttle lever stays where it
// was left.
void steerPlayerAirplane(GameMode& mode, float pitch, float yaw, float roll, float throttle);
// The trigger of weapon group 0, 1 or 2, held or let go.
void pullPlayerTrigger(GameMode& mode, int group, bool down);
void setPlayerBoost(GameMode& mode, bool on);
void togglePlayerAutopilot(GameMode& mode);
void ejectPlayerPilot(GameMode& mode);
// The squadron command: 0 formation, 1 attack, 2 the next order in turn, 3 defend.
void orderPlayerSquadron(GameMode& mode, int command);
// Stick centred and throttle command cleared.
void releasePlayerAirplane(GameMode& mode);
