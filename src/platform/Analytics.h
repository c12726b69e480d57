#pragma once
#include <string>

// The analytics stand-in: no service is reached. It keeps the event
// parameters of the last game start and logs them; nothing in the game reads
// them back, and none of this affects play. Main thread only.
namespace Analytics {

// The parameters the next events carry: a campaign mission and the plane
// flown in it.
void setMissionPlaneParams(int campaign, int mission, int planeId);
// The same for a dogfight challenge (its index) and the plane.
void setDogfightParams(int dogfight, int planeId);
// A plane the player has just unlocked.
void setUnlockedPlaneParams(int planeId);

// "KEY=value" pairs of the last call, separated by blanks; empty before the first.
const std::string& eventParams();
// Empties it (tests).
void clearEventParams();

}  // namespace Analytics
