#include "net/match/NetworkPlayer.h"

NetworkPlayer* NetworkPlayer::findById(int id)
{
    if (id < 0 || id >= kNoId)
        return nullptr;
    for (std::size_t i = 0; i < count(); ++i)
        if (NetworkPlayer* p = at(i); p->id == id)
            return p;
    return nullptr;
}

NetworkPlayer* NetworkPlayer::findByAirplane(int airplaneId)
{
    if (airplaneId < 0)
        return nullptr;
    for (std::size_t i = 0; i < count(); ++i)
        if (NetworkPlayer* p = at(i); p->airplaneId == static_cast<std::uint32_t>(airplaneId))
            return p;
    return nullptr;
}

void NetworkPlayer::deleteAll()
{
    // Each delete swaps the last entry into the freed place: take from the end.
    while (count() > 0)
        delete at(count() - 1);
}
