#pragma once
#include "platform/ControlAction.h"

#include <cstdint>
#include <string>

// The parts of the game's controls the modes drive.

// The control actions the player may use now: bit n enables ControlAction n.
std::uint64_t enabledActions();
void setEnabledActions(std::uint64_t mask);
void enableAllActions();
// Clear the player airplane's stick and throttle through the game's handler.
void resetPlayerControls();
void releasePlayerStick();
// The display text of the action's binding; empty when it has none.
std::u16string actionBindingText(int action);
