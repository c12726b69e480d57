// The round and wave notices of destroy the base, last man standing and
// survival, played by the real modes into the game's own HUD message queue
// over the recording sound device: each countdown second stands until the
// next replaces it, without popping in and without the message chime; the
// start pops in, plays the chime once and leaves by its length.
#include "HudTestSupport.h"

#include "entities/Target.h"
#include "entities/aircraft/Airplane.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/kinds/GameModeLMS.h"
#include "modes/kinds/GameModeSRV.h"
#include "platform/ScreenMetrics.h"
#include "screens/hud/HudMessageQueue.h"
#include "screens/hud/HudMessages.h"
#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

CFont* roundFont(int)
{
    static CFont* font = [] {
        auto* f = new CFont;
        EXPECT_TRUE(f->loadSheet(hudTestFont(), 1.0f));
        return f;
    }();
    return font;
}

struct Notice {
    std::string text;
    bool popIn = false;
    float duration = 0.0f;
    int chimes = 0;  // message sounds while it was the head notice
};

struct RoundNotices : testing::Test {
    ModeHarness harness;
    std::optional<RecordingSound> sound;
    HudMessageQueue& queue = HudMessageQueue::instance();
    std::vector<Notice> seen;

    void SetUp() override
    {
        ASSERT_TRUE(setScreenSize(960, 640));
        setHudFontSource(roundFont);
        std::string error;
        ASSERT_TRUE(harness.mountData(error)) << error;
        sound.emplace(std::initializer_list<const char*>{"msgSound"});
        ASSERT_TRUE(sound->started());
        queue.reset();
        harness.messages = &hudMessages();
    }
    void TearDown() override
    {
        harness.finish();
        queue.clearAll();
        sound.reset();
        setHudFontSource(nullptr);
    }
    GameMode* start(GameType type)
    {
        return harness.start(static_cast<int>(type), harness.firstSkirmishMap());
    }
    // One frame of the mode and of the HUD queue; a new head notice is noted
    // with the chimes the queue plays for it.
    void frame(GameMode& mode)
    {
        mode.update(ModeHarness::kFrame);
        const int before = sound->playCount("msgSound");
        queue.update(ModeHarness::kFrame);
        const int chimes = sound->playCount("msgSound") - before;
        if (queue.notices().empty())
            return;
        const HudMessage& head = *queue.notices().front();
        const std::string text = HudMessageQueue::plainText(head.text);
        if (seen.empty() || seen.back().text != text)
            seen.push_back({text, head.popIn, head.duration, 0});
        seen.back().chimes += chimes;
    }
    void play(GameMode& mode, float seconds)
    {
        for (int i = 0; i < static_cast<int>(seconds * 60.0f); ++i)
            frame(mode);
    }
    // Every countdown second silent and fixed, then the start with its chime.
    void expectCountdownThenStart(const char* countdown, const char* startText, int seconds)
    {
        int counted = 0;
        for (const Notice& n : seen) {
            if (n.text.find(countdown) == std::string::npos)
                continue;
            ++counted;
            EXPECT_FALSE(n.popIn) << n.text;
            EXPECT_EQ(n.duration, 0.0f) << n.text;
            EXPECT_EQ(n.chimes, 0) << n.text;
        }
        EXPECT_GE(counted, seconds) << "countdown seconds shown";
        ASSERT_FALSE(seen.empty());
        const Notice& last = seen.back();
        EXPECT_NE(last.text.find(startText), std::string::npos) << last.text;
        EXPECT_TRUE(last.popIn);
        EXPECT_GT(last.duration, 0.0f);
        EXPECT_EQ(last.chimes, 1);
    }
};

TEST_F(RoundNotices, LastManStandingCountsDownSilentlyAndStartsWithItsChime)
{
    auto* mode = dynamic_cast<GameModeLMS*>(start(GameType::LastManStanding));
    ASSERT_NE(mode, nullptr);
    for (int i = 0; i < 8 * 60 && !mode->roundRunning(); ++i)
        frame(*mode);
    ASSERT_TRUE(mode->roundRunning());
    play(*mode, 0.5f);
    expectCountdownThenStart("Round starts in", "Last man standing", 4);
}

TEST_F(RoundNotices, SurvivalCountsTheWaveDownSilentlyAndStartsItWithItsChime)
{
    GameMode* mode = start(GameType::Survival);
    ASSERT_NE(mode, nullptr);
    play(*mode, 11.0f);
    expectCountdownThenStart("Wave 1 in", "Wave 1", 9);
}

TEST_F(RoundNotices, DestroyTheBaseStartsWithItsChimeAndCountsTheNextRoundDownSilently)
{
    GameMode* mode = start(GameType::DestroyTheBase);
    ASSERT_NE(mode, nullptr);
    frame(*mode);
    ASSERT_EQ(seen.size(), 1u) << "single player starts the first round at once";
    EXPECT_TRUE(seen[0].popIn);
    EXPECT_GT(seen[0].duration, 0.0f);
    EXPECT_EQ(seen[0].chimes, 1);
    const std::string startText = seen[0].text;
    seen.clear();
    // The player destroys every base of the other team: the next round counts down.
    std::vector<Target*> bases;
    for (const auto& e : mode->entities())
        if (e->kind() == TargetKind::Base && e->team() == 1)
            bases.push_back(e.get());
    ASSERT_FALSE(bases.empty());
    for (Target* base : bases)
        mode->onAirplaneDestroyed(*base, mode->playerAirplane(), CrashCause::KilledByDamage);
    play(*mode, 11.0f);
    expectCountdownThenStart("Next round in", startText.c_str(), 9);
}

}  // namespace
