#pragma once
#include "gamedata/map/MapHooks.h"
#include "screens/hud/HudMessageQueue.h"

#include <memory>
#include <vector>

class GameWorld;

// The map's trigger actions reaching the HUD's message queue: notices with
// their icon, the countdown, clearing, and the objective side panel.
class MapHudLink : public IMapHud {
public:
    // Links the world's triggers to the queue; objectives that started before
    // the link (at level start) are registered now. Null unlinks.
    void attach(GameWorld* world, HudMessageQueue& queue);

    // IMapHud
    void setNoticeIcon(int icon) override;
    void pushNotice(std::u16string_view text, float duration) override;
    void setCountdown(float seconds, const char* label) override;
    void clearMessages() override;
    void registerObjective(MapTrigger& trigger) override;


private:
    // One objective as the side panel reads it; it reads nothing once its
    // world is no longer the linked one.
    class Objective : public IHudTrigger {
    public:
        Objective(const MapHudLink& link, const GameWorld* world, const MapTrigger& trigger)
            : m_link(link), m_world(world), m_trigger(trigger)
        {
        }
        int kind() const override;
        int total() const override;
        int done() const override;
        bool firstTargetInPlay(int& kind, int& variant, int& team) const override;
        const MapTrigger& trigger() const { return m_trigger; }
        bool live() const { return m_link.m_world == m_world; }

    private:
        const MapHudLink& m_link;
        const GameWorld* m_world;
        const MapTrigger& m_trigger;
    };

    GameWorld* m_world = nullptr;
    HudMessageQueue* m_queue = nullptr;
    std::vector<std::unique_ptr<Objective>> m_objectives;
};

MapHudLink& mapHudLink();
