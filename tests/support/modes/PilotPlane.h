#pragma once

class GameMode;

// The player's airplane as the scripted pilot's handler moves it (kept apart
// from the controls header: both it and the flight model declare FlightInput).
// The stick goes through the mode's setAirplaneVector; it reaches the
// airplane only while no autopilot flies it. A throttle of 0 keeps the last
// command, as a throttle lever stays where it was left.
void pilotSteer(GameMode& mode, float pitch, float yaw, float roll, float throttle);
void pilotTrigger(GameMode& mode, int group, bool down);
void pilotBoost(GameMode& mode, bool on);
void pilotToggleAutopilot(GameMode& mode);
void pilotEject(GameMode& mode);
void pilotSquadronOrder(GameMode& mode, int command);
void pilotRelease(GameMode& mode);
