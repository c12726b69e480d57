#include "modes/GameMode.h"

#include "entities/aircraft/Airplane.h"

#include <algorithm>
#include <type_traits>

namespace {
Airplane* asAirplane(Target* t)
{
    return t && t->kind() == TargetKind::Airplane ? static_cast<Airplane*>(t) : nullptr;
}

}  // namespace

Target* GameMode::applyPeerEvent(const PeerEvent& event)
{
    // What a peer did is news to nobody: nothing done here goes to the
    // outbox, however deep the rules call (and a nested apply keeps it so).
    const bool outer = !m_applyingPeerEvent;
    m_applyingPeerEvent = true;
    Target* applied = applyPeer(event);
    if (outer)
        m_applyingPeerEvent = false;
    return applied;
}

Target* GameMode::applyPeer(const PeerEvent& event)
{
    return std::visit(
        [this](const auto& e) -> Target* {
            // Negative ids name nothing (a launch without target, a kill without killer).
            const auto byId = [this](int id) { return id >= 0 ? findPlayerAirplane(id) : nullptr; };
            using E = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<E, peerevent::PlayerRecord>) {
                return addNetworkPlayer(e.record, e.own);
            } else if constexpr (std::is_same_v<E, peerevent::PlayerLeft>) {
                Target* t = byId(e.airplaneId);
                if (!t)
                    return nullptr;
                std::unique_ptr<Target> gone = removePlayerAirplane(*t);
                return nullptr;
            } else if constexpr (std::is_same_v<E, peerevent::AirplaneState>) {
                Target* t = byId(e.airplaneId);
                if (!t || !t->isActive())
                    return nullptr;
                (void)t->applyNetState(e.state);
                return t;
            } else if constexpr (std::is_same_v<E, peerevent::Health>) {
                Target* t = byId(e.airplaneId);
                if (t)
                    t->setHealth(e.health);
                return t;
            } else if constexpr (std::is_same_v<E, peerevent::Destroyed>) {
                return applyPeerDestroyed(e);
            } else if constexpr (std::is_same_v<E, peerevent::WeaponLaunch>) {
                Target* owner = byId(e.ownerId);
                const bool launched = launchWeaponById(e.weaponId, owner, byId(e.targetId),
                                                       owner ? owner->position() : Vec3{});
                return launched ? owner : nullptr;
            } else if constexpr (std::is_same_v<E, peerevent::Flares>) {
                Airplane* a = asAirplane(byId(e.airplaneId));
                if (a)
                    relayFlares(*a);
                return a;
            } else if constexpr (std::is_same_v<E, peerevent::Weather>) {
                startWeather(e.mode, e.duration);
                return nullptr;
            } else if constexpr (std::is_same_v<E, peerevent::Eject>) {
                Airplane* a = asAirplane(byId(e.airplaneId));
                if (a)
                    ejectPilot(*a, 1.0f, true);
                return a;
            } else if constexpr (std::is_same_v<E, peerevent::TeamSwitch>) {
                Airplane* a = asAirplane(byId(e.airplaneId));
                if (!a)
                    return nullptr;
                // Gone from play where it flies, as the host saw it go.
                if (a->isActive() && a->isAlive())
                    takeDownForTeamSwitch(*a);
                const bool staysOut = m_type == GameType::LastManStanding && !a->isActive();
                // Its scores start again in the new team, as on the host.
                a->onTeamChanged(true);
                changeTeam(*a, e.team);
                postEventText(EventKind::TeamChange, *a, nullptr);
                if (e.value >= 0.0f && !staysOut) {
                    respawnAirplane(*a, e.value, &e.position);
                    a->setOrientation(e.orientation);
                } else {
                    // The host keeps it out, or it is out of this round (last
                    // man standing): so does every joiner, whatever the wait.
                    withdrawFromPlay(*a);
                    std::erase(m_respawnQueue, a);
                    a->respawnTimer = -1.0f;
                }
                // Friend and foe are seen from the player's own team.
                if (a == m_playerAirplane)
                    m_hooks.hudOrNone().refreshInsignia();
                m_hooks.cameraOrNone().forget(*a);
                return a;
            } else if constexpr (std::is_same_v<E, peerevent::Flag>) {
                return applyPeerFlag(e);
            } else if constexpr (std::is_same_v<E, peerevent::Respawn>) {
                Airplane* a = asAirplane(byId(e.airplaneId));
                if (!a)
                    return nullptr;
                respawnAirplane(*a, e.delay, e.placed ? &e.position : nullptr);
                if (e.placed)
                    a->setOrientation(e.orientation);
                return a;
            } else if constexpr (std::is_same_v<E, peerevent::TakeOut>) {
                Target* t = byId(e.airplaneId);
                if (t)
                    takeOutAirplane(*t);
                return t;
            } else if constexpr (std::is_same_v<E, peerevent::Eliminate>) {
                Target* t = byId(e.airplaneId);
                if (t)
                    eliminateAirplane(*t);
                return t;
            } else if constexpr (std::is_same_v<E, peerevent::ServerData>) {
                applyServerData(e.data);
                return nullptr;
            } else if constexpr (std::is_same_v<E, peerevent::MatchEnd>) {
                return applyPeerMatchEnd(e);
            } else if constexpr (std::is_same_v<E, peerevent::Restart>) {
                return applyPeerRestart();
            } else if constexpr (std::is_same_v<E, peerevent::ModeValue>) {
                return applyPeerModeValue(e);
            } else if constexpr (std::is_same_v<E, peerevent::TeamFlag>) {
                return applyPeerTeamFlag(e);
            } else if constexpr (std::is_same_v<E, peerevent::TeamRequest>) {
                // Only an airplane changes teams, and only to one of the two.
                Airplane* a = asAirplane(byId(e.airplaneId));
                if (!a || (e.team != 0 && e.team != 1))
                    return nullptr;
                removeAirplaneForGood(*a, e.team);
                return a;
            } else if constexpr (std::is_same_v<E, peerevent::StateChange>) {
                Airplane* a = asAirplane(byId(e.airplaneId));
                if (!a || (e.state != 0 && e.state != 1 && e.state != 3))
                    return nullptr;
                onAirplaneStateChanged(*a, e.state, byId(e.otherId), e.a, e.b);
                return a;
            } else {
                static_assert(std::is_same_v<E, peerevent::FlightState>);
                // An unknown airplane: dropped like every other missing main airplane.
                Airplane* a = asAirplane(byId(e.airplaneId));
                if (a)
                    a->setFlightState(static_cast<FlightState>(e.state), e.time);
                return a;
            }
        },
        event);
}

Target* GameMode::applyPeerDestroyed(const peerevent::Destroyed&) { return nullptr; }
Target* GameMode::applyPeerFlag(const peerevent::Flag&) { return nullptr; }
Target* GameMode::applyPeerMatchEnd(const peerevent::MatchEnd&) { return nullptr; }
Target* GameMode::applyPeerRestart() { return nullptr; }
Target* GameMode::applyPeerModeValue(const peerevent::ModeValue&) { return nullptr; }
Target* GameMode::applyPeerTeamFlag(const peerevent::TeamFlag&) { return nullptr; }
