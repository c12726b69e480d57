#include "modes/tutorials/DummyWP.h"

#include "gamedata/map/GameWorld.h"
#include "platform/Language.h"

DummyWP::DummyWP() : m_position(dummyWaypointPoint()) {}

std::u16string DummyWP::displayName(bool) const { return getStringByIndex(kNameText); }
