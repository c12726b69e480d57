#pragma once
#include "platform/ManagedArray.h"

#include <cstdint>

// One player of a network match: the host's own (id 0) or a client's (its
// transport slot + 1). At most 200 are registered; one made beyond that stays
// out of the registry, is never found by id and never sent to.
class NetworkPlayer : public ManagedArray<NetworkPlayer, 200> {
public:
    static constexpr std::uint8_t kNoId = 255;

    explicit NetworkPlayer(std::uint8_t id) : id(id) {}
    virtual ~NetworkPlayer() = default;
    NetworkPlayer(const NetworkPlayer&) = delete;
    NetworkPlayer& operator=(const NetworkPlayer&) = delete;

    // The registered player with the id; null for 255 and for nobody.
    static NetworkPlayer* findById(int id);
    // The registered player whose airplane has the id; null when none.
    static NetworkPlayer* findByAirplane(int airplaneId);
    static void deleteAll();

    std::uint32_t airplaneId = 0xFFFFFFFFu;  // none until the airplane exists
    std::uint8_t id = kNoId;

    bool hasAirplane() const { return airplaneId != 0xFFFFFFFFu; }
};
