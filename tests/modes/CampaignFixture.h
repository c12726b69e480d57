#pragma once
#include "entities/ai/AirplaneAI.h"
#include "entities/aircraft/Airplane.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/records/MapInfoCfg.h"
#include "gamedata/records/MapLists.h"
#include "modes/GameModeFactory.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/kinds/GameModeCampaign.h"
#include "modes/progress/MissionStats.h"
#include "platform/Random.h"
#include "platform/Settings.h"

#include "support/modes/CampaignFakes.h"
#include "support/modes/ModeHarness.h"
#include "support/modes/TestConnections.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A generated campaign mission from the staged pak, played headless with the
// pages, overlays and achievements recorded.
struct CampaignMission : testing::Test {
    ModeHarness harness;
    CampaignPages pages;
    GameModeCampaign* mode = nullptr;
    Settings saved = settings();

    void SetUp() override
    {
        seedRandom(46, 1);
        std::string error;
        ASSERT_TRUE(harness.mountData(error)) << error;
        Settings& s = settings();
        s.campaignProgress.fill(0);
        s.campaignResults.fill(0);
        s.localPlaneId = 0xFF;  // no plane chosen: the mission's own
        missionStats() = MissionStats{};
    }
    // The campaign's settings stay with these tests, not with those after them.
    void TearDown() override { settings() = saved; }

    // Starts campaign c's mission m (0-based) at the difficulty; resume 1
    // lays the checkpoint over the start.
    GameModeCampaign* start(int c, int m, int level = 1, int resume = 0)
    {
        const MapInfoCfg* record = MapLists::instance().campaignMission(c, m);
        if (!record)
            return mode = nullptr;
        std::unique_ptr<GameMode> made = createGameMode(static_cast<int>(GameType::Campaign));
        auto* campaign = dynamic_cast<GameModeCampaign*>(made.get());
        if (!campaign)
            return mode = nullptr;
        ModeHooks hooks = harness.hud.hooks();
        hooks.progress = &pages;
        campaign->setMapRecord(record);
        campaign->difficulty = level;
        campaign->resumeValue = resume;
        if (!startMatch(std::move(made), testConnections(hooks, pages.services(), &harness.listener)))
            return mode = nullptr;
        mode = campaign->startLevel() ? campaign : nullptr;
        return mode;
    }

    MapTrigger& trigger(const char* name) const
    {
        MapTrigger* t = mode->world()->findTrigger(name);
        EXPECT_NE(t, nullptr) << name;
        static MapTrigger none;
        return t ? *t : none;
    }

    // The entity made for the named object; null when none is in play.
    Target* entityOf(const std::string& objectName) const
    {
        const MapObject* object = mode->world()->findObject(objectName);
        for (const auto& e : mode->entities())
            if (object && mode->objectOf(*e) == object)
                return e.get();
        return nullptr;
    }

    // Shot to pieces by the attacker; the frame that follows takes it out.
    void destroy(Target& victim, Target* attacker)
    {
        mode->damageAirplane(victim, attacker, 1e9f, victim.position(), nullptr, true);
    }

    void frames(int n)
    {
        for (int i = 0; i < n && modeOf(currentMatch()); ++i)
            mode->update(ModeHarness::kFrame);
    }

    // The player's airplane handed to its autopilot, as the AUTO key does.
    AirplaneAI* autopilotOn(Airplane& player)
    {
        mode->autopilot = true;
        mode->reapplyPlayerAutopilot();
        return dynamic_cast<AirplaneAI*>(player.aiController());
    }
};
