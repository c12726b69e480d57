#pragma once
// Shared set-up of the objective and round mode tests: the generated data,
// a mode of the type on the first skirmish map, fixed frames.
#include "entities/aircraft/Airplane.h"
#include "modes/GameModeGlobals.h"
#include "modes/kinds/GameModeCustom.h"
#include "platform/Random.h"
#include "platform/Settings.h"

#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

struct CountingOverlaysKit : IModeOverlays {
    int opened = 0;
    void openPauseScreen(PauseMenu) override { ++opened; }
};

struct NoticeLog : IModeMessages {
    std::vector<std::u16string> notices;
    void pushNotice(std::u16string_view text, float, int, int) override { notices.emplace_back(text); }
};

struct ObjectiveModeTest : testing::Test {
    ModeHarness harness;
    CountingOverlaysKit overlays;
    NoticeLog notices;
    Settings saved = settings();

    void SetUp() override
    {
        seedRandom(4711, 9);
        std::string error;
        ASSERT_TRUE(harness.mountData(error)) << error;
    }
    void TearDown() override
    {
        harness.finish();
        settings() = saved;
    }
    template <typename M>
    M* start(GameType type)
    {
        harness.messages = &notices;
        harness.overlays = &overlays;
        return dynamic_cast<M*>(harness.start(static_cast<int>(type), harness.firstSkirmishMap()));
    }
    static void step(GameMode& mode, float seconds)
    {
        const int frames = static_cast<int>(seconds * 60.0f + 0.5f);
        for (int i = 0; i < frames; ++i)
            mode.update(ModeHarness::kFrame);
    }
    // Plays until the end menu opened or the limit; true when it opened.
    static bool playToEnd(GameModeCustom& mode, float limit)
    {
        for (float t = 0.0f; t < limit && mode.endMenusOpened() == 0; t += ModeHarness::kFrame)
            mode.update(ModeHarness::kFrame);
        return mode.endMenusOpened() > 0;
    }
    static std::vector<Airplane*> airplanes(const GameMode& mode, int team)
    {
        std::vector<Airplane*> out;
        for (const auto& e : mode.entities())
            if (e->kind() == TargetKind::Airplane && (team < 0 || e->team() == team))
                out.push_back(static_cast<Airplane*>(e.get()));
        return out;
    }
};
