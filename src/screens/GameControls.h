#pragma once

#include "platform/Math.h"

class MenuFrame;
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
// How the player steers this frame (the input's steering mode): none while
// a menu or pause covers the game or no plane flies; the autopilot; else
// the control device (keyboard, stick, or the mouse steering by the HUD's aim).
void updateSteeringMode(bool menusUp);
// Stick values that turn the plane's nose toward the aim orientation: pitch
// and yaw by the aim's angles off the nose, roll banking into the turn.
void steerToAim(const Quat& plane, const Quat& aim, float& pitch, float& yaw, float& roll);
// The score table held up over the HUD by the "Scores" action (null when
// none is): the HUD updates and draws it each frame while it is held.
MenuFrame* peekedScores();
// The peek ends without a release (an overlay opened over the game).
void endScorePeek();
}  // namespace GameControls
