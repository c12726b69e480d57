#include "ModeTestKit.h"

#include "gamedata/records/MapInfoCfg.h"
#include "modes/ModeServices.h"

namespace {
struct FakeScene : IModeScene {
    int mode = 0;
    float intensity = 0.0f, second = 0.0f, sun = -1.0f;
    int weatherMode() const override { return mode; }
    void setWeather(int m, float i, float s) override { mode = m, intensity = i, second = s; }
    void setSunValue(float v) override { sun = v; }
};

struct FakeOverlays : IModeOverlays {
    bool blocked = false, open = false, paused = false;
    int pauseScreens = 0;
    std::string comic;
    bool pauseBlocked() const override { return blocked; }
    bool overlayOpenOrQueued() const override { return open; }
    void openPauseScreen(PauseMenu) override { ++pauseScreens; }
    void setPaused(bool p) override { paused = p; }
    bool openComic(const std::string& path) override { comic = path; return true; }
};

struct LevelKit : ModeKit {
    FakeScene scene;
    FakeOverlays overlays;
    void SetUp() override
    {
        ModeKit::SetUp();
        connectServices(ModeServices{&scene, nullptr, &overlays});
    }
};

using Weather = LevelKit;

TEST_F(Weather, ATwentySecondRainTransitionEndsAtFullIntensity)
{
    mode->startWeather(1, 20.0f);
    EXPECT_EQ(posted().count("weather"), 1);
    step(10.0f);
    EXPECT_NEAR(scene.intensity, 0.5f, 0.01f);
    step(10.1f);
    EXPECT_EQ(mode->weatherTarget(), -1);
    EXPECT_EQ(scene.mode, 1);
    EXPECT_FLOAT_EQ(scene.intensity, 1.0f);
    EXPECT_FLOAT_EQ(scene.second, 0.5f);
}

TEST_F(Weather, ClearingUpFadesTheRainOutBeforeItGoes)
{
    scene.mode = 1;
    scene.intensity = 1.0f;
    mode->startWeather(0, 4.0f);
    step(1.0f);
    EXPECT_EQ(scene.mode, 1);
    EXPECT_NEAR(scene.intensity, 0.75f, 0.01f);
    step(3.1f);
    EXPECT_EQ(scene.mode, 0);
    EXPECT_EQ(scene.intensity, 0.0f);
}

TEST_F(Weather, TheWeatherAlreadyShownStartsNothingAndSendsNothing)
{
    scene.mode = 1;
    mode->startWeather(1, 20.0f);
    EXPECT_EQ(mode->weatherTarget(), -1);
    EXPECT_EQ(posted().count("weather"), 0);
    // A zero duration switches at once, without a division by zero.
    mode->startWeather(0, 0.0f);
    EXPECT_EQ(scene.mode, 0);
    EXPECT_EQ(mode->weatherTarget(), -1);
}

TEST_F(Weather, TheSunGoesToTheSceneAndTheNetwork)
{
    mode->setSunValue(0.25f);
    EXPECT_EQ(scene.sun, 0.25f);
    EXPECT_EQ(mode->sunValue(), 0.25f);
    EXPECT_EQ(posted().count("sun"), 1);
}

using Level = LevelKit;

TEST_F(Level, PauseOnlyOpensWhenNothingElseIsOnScreen)
{
    overlays.open = true;
    EXPECT_FALSE(mode->pause());
    EXPECT_EQ(overlays.pauseScreens, 0);
    EXPECT_FALSE(overlays.paused);
    overlays.open = false;
    overlays.blocked = true;
    EXPECT_FALSE(mode->pause());
    overlays.blocked = false;
    mode->playStopped = true;
    EXPECT_FALSE(mode->pause());
    mode->playStopped = false;
    EXPECT_TRUE(mode->pause());
    EXPECT_EQ(overlays.pauseScreens, 1);
    EXPECT_TRUE(overlays.paused);

    // A network game never stops its clocks.
    overlays.paused = false;
    mode->setNetwork(true, true, false);
    EXPECT_TRUE(mode->pause());
    EXPECT_FALSE(overlays.paused);
}

TEST_F(Level, AComicOpensItsRecordAndAnOverlongNameNothing)
{
    EXPECT_TRUE(mode->showComic("intro_1"));
    EXPECT_EQ(overlays.comic, "data/comics/intro_1.cfg");
    overlays.comic.clear();
    EXPECT_FALSE(mode->showComic(std::string(400, 'x')));
    EXPECT_TRUE(overlays.comic.empty());
}

TEST_F(Level, DifficultyHardDoublesTheMapsValuesEasyIsFixedOthersKeep)
{
    MapInfoCfg map;
    map.difficulty = {0.6f, 0.5f, 0.4f};
    mode->setMapRecord(&map);
    mode->setDifficulty(1);
    EXPECT_EQ(mode->difficulty, 1);
    EXPECT_EQ(mode->difficultyScales[0], 1.0f);
    EXPECT_EQ(mode->difficultyScales[2], 1.0f);
    mode->setDifficulty(2);
    EXPECT_EQ(mode->difficulty, 2);
    EXPECT_FLOAT_EQ(mode->difficultyScales[0], 1.2f);
    EXPECT_FLOAT_EQ(mode->difficultyScales[1], 1.0f);
    EXPECT_FLOAT_EQ(mode->difficultyScales[2], 0.8f);
    mode->setDifficulty(0);
    EXPECT_FLOAT_EQ(mode->difficultyScales[0], 0.7f);
    EXPECT_FLOAT_EQ(mode->difficultyScales[1], 0.75f);
    EXPECT_FLOAT_EQ(mode->difficultyScales[2], 0.5f);
    mode->setDifficulty(7);
    EXPECT_EQ(mode->difficulty, 0);
    EXPECT_FLOAT_EQ(mode->difficultyScales[0], 0.7f);
}

TEST_F(Level, ARoundResetZeroesTheClockCountersAndTheWeatherTransition)
{
    airplane(0);
    airplane(1);
    mode->startWeather(1, 30.0f);
    mode->controlsFrozen = mode->respawnStalled = mode->teamChangeAllowed = true;
    mode->playerHitCooldown = 2.0f;
    step(1.0f);
    mode->resetRound();
    EXPECT_EQ(gameClock(), 0.0f);
    EXPECT_EQ(mode->weatherTarget(), -1);
    EXPECT_EQ(teamCounters().team0, 0);
    EXPECT_EQ(teamCounters().team1, 0);
    EXPECT_FALSE(mode->controlsFrozen || mode->respawnStalled || mode->teamChangeAllowed);
    EXPECT_EQ(mode->playerHitCooldown, 0.0f);
}
}  // namespace
