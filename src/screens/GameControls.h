#pragma once

struct PlayerFlightInput;

// The player's game actions and flying input while the game screen runs:
// keys, stick and the HUD's buttons all arrive here through the controls'
// dispatch. Everything does nothing without a current game mode.
namespace GameControls {
// A game action started or ended; the index is the control action minus the
// first weapon action.
void onGameAction(int gameAction, bool pressed);
void applyFlightInput(const PlayerFlightInput& flight);
// The HUD's on-screen stick.
void touchStickAxes(float& x, float& y);
void releasePlayerStick();
// The next of the player's views: behind, close behind, cockpit.
int nextViewMode(int mode);
}  // namespace GameControls
