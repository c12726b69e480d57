#pragma once

// The achievement events the game modes raise themselves; the kinds of game,
// the score keeper and the airplanes raise theirs by their own names.
namespace modeevent {
inline constexpr int kLevelBegins = 1;        // every level start; ends the streaks of the last one
inline constexpr int kLevelStart = 2;         // the first step of the kill-streak achievements
inline constexpr int kPlayerDeath = 11;
inline constexpr int kPlayerEjected = 12;     // the player's pilot under a parachute
inline constexpr int kKill = 14;              // anything the player destroyed that fights
inline constexpr int kKillAirplane = 15;
inline constexpr int kKillVehicle = 16;
inline constexpr int kKillShip = 17;
inline constexpr int kKillCarrier = 18;
inline constexpr int kKillSubmarine = 19;
inline constexpr int kKillBuilding = 20;
inline constexpr int kKillBridge = 22;
inline constexpr int kMissileLaunched = 38;
inline constexpr int kMissileHit = 39;
inline constexpr int kGunHit = 41;            // each round of the player's guns that hits
inline constexpr int kGuidedMissileHit = 43;  // a homing missile of the player's on its target
inline constexpr int kOnlineKill = 64;
inline constexpr int kSurvivalDeath = 67;
inline constexpr int kStuntKill = 70;         // a kill with the engine dead or mid-manoeuvre
inline constexpr int kFirstMissionStart = 131;
// The end of a match by the kind of game: always, and when the player's side won.
inline constexpr int kCtfPlayed = 30, kCtfWon = 35, kCtfFlawless = 57;
inline constexpr int kDtbPlayed = 31, kDtbWon = 36;
inline constexpr int kLmsPlayed = 65, kLmsWon = 66;
}  // namespace modeevent
