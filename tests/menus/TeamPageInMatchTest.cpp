// The team kinds' pause and end page over a real match: the match played by
// the game's own modes on the generated data, the page reading them.
#include "MenusTestSupport.h"

#include "entities/aircraft/Airplane.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/ingame/TeamSkirmishEndMenuFrame.h"
#include "modes/GameMode.h"
#include "modes/GameType.h"
#include "modes/progress/ScoreMgr.h"
#include "platform/Settings.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct TeamPageInMatch : PageTest {
    ModeHarness harness;
    GameMode* mode = nullptr;

    void SetUp() override
    {
        PageTest::SetUp();
        std::string error;
        ASSERT_TRUE(harness.mountData(error)) << error;
    }
    void TearDown() override
    {
        MenuFrameRegistry::deleteAll();
        harness.finish();
        PageTest::TearDown();
    }
    GameMode* play(GameType type)
    {
        harness.finish();
        mode = harness.start(static_cast<int>(type), harness.firstSkirmishMap());
        if (mode)
            harness.run(1.0f);
        return mode;
    }
    TeamSkirmishEndMenuFrame* showPage()
    {
        TeamSkirmishEndMenuFrame* page = MenuFrameRegistry::teamSkirmishEndMenu();
        clearFrameHistory();
        goToFrame(page);
        page->update();
        return page;
    }
    // A click where the player clicks: the middle of the item.
    static void click(const MenuItem& item)
    {
        const int x = item.absX + item.width / 2, y = item.absY + item.height / 2;
        dispatchTouchDown(x, y);
        dispatchTouchUp(x, y);
    }
    // The page over the ended match shows it won or lost.
    void expectHeadline(bool won)
    {
        ASSERT_TRUE(mode->playStopped);
        TeamSkirmishEndMenuFrame* page = showPage();
        EXPECT_TRUE(page->headlineLabel->visible);
        EXPECT_EQ(page->headlineLabel->stringId, won ? EndTableFrame::kWonText : EndTableFrame::kLostText);
        MenuFrameRegistry::deleteAll();
    }
    std::vector<Airplane*> airplanesOfTeam(int team) const
    {
        std::vector<Airplane*> out;
        for (const auto& e : mode->entities())
            if (e->kind() == TargetKind::Airplane && e->team() == team && e->isActive())
                out.push_back(static_cast<Airplane*>(e.get()));
        return out;
    }
};

// The switch button on the pause page of each team kind moves the player's
// airplane to the other team, and the score table files it there.
TEST_F(TeamPageInMatch, TheSwitchButtonMovesThePlayerToTheOtherTeam)
{
    for (GameType type : {GameType::TeamDeathmatch, GameType::CaptureTheFlag, GameType::DestroyTheBase}) {
        SCOPED_TRACE(static_cast<int>(type));
        ASSERT_NE(play(type), nullptr);
        Airplane* own = mode->playerAirplane();
        ASSERT_NE(own, nullptr);
        const int before = own->team();
        TeamSkirmishEndMenuFrame* page = showPage();
        ASSERT_TRUE(page->switchButton->visible);
        click(*page->switchButton);
        harness.run(0.5f);
        EXPECT_EQ(own->team(), 1 - before);
        bool filed = false;
        for (const Airplane* a : ScoreMgr::instance().group(1 - before).players)
            filed = filed || a == own;
        EXPECT_TRUE(filed) << "the table lists it with its new team";
        // Back in play on the new side after the respawn wait.
        harness.run(6.0f);
        EXPECT_EQ(own->team(), 1 - before);
        EXPECT_TRUE(own->isActive());
        MenuFrameRegistry::deleteAll();
    }
}

// A dogfight's headline follows its outcome: won once every enemy is shot
// down, lost once the player is.
TEST_F(TeamPageInMatch, TheDogfightsHeadlineIsWonOrLostAsItWasPlayed)
{
    for (bool win : {true, false}) {
        SCOPED_TRACE(win ? "won" : "lost");
        settings().dogfightIndex = 0;
        ASSERT_NE(play(GameType::Dogfight), nullptr);
        Airplane* own = mode->playerAirplane();
        ASSERT_NE(own, nullptr);
        const std::vector<Airplane*> enemies = airplanesOfTeam(1 - own->team());
        ASSERT_FALSE(enemies.empty());
        if (win) {
            for (Airplane* e : enemies)
                mode->damageAirplane(*e, own, 1e9f, e->position(), nullptr, true);
        } else {
            mode->damageAirplane(*own, enemies[0], 1e9f, own->position(), nullptr, true);
        }
        harness.run(10.0f);  // the shot-down airplane falls before the outcome
        expectHeadline(win);
    }
}

// A one-minute team deathmatch: the headline is won for the side that shot
// down the other side all match long, lost for the side shot down.
TEST_F(TeamPageInMatch, TheTeamMatchHeadlineIsWonOrLostAsItWasPlayed)
{
    settings().setSkirmishWord(Settings::kEntryTD, 0, 1);
    settings().setSkirmishWord(Settings::kEntryTD, 1, 0);
    settings().setSkirmishWord(Settings::kEntryTD, 2, 1);
    settings().setSkirmishWord(Settings::kEntryTD, 3, 2);
    for (bool win : {true, false}) {
        SCOPED_TRACE(win ? "won" : "lost");
        ASSERT_NE(play(GameType::TeamDeathmatch), nullptr);
        Airplane* own = mode->playerAirplane();
        ASSERT_NE(own, nullptr);
        const int winners = win ? own->team() : 1 - own->team();
        for (int s = 0; s < 120 && !mode->playStopped; ++s) {
            const std::vector<Airplane*> shooters = airplanesOfTeam(winners);
            if (!shooters.empty())
                for (Airplane* victim : airplanesOfTeam(1 - winners))
                    if (victim->isAlive())
                        mode->damageAirplane(*victim, shooters.front(), 1e9f, victim->position(), nullptr, true);
            harness.run(1.0f);
        }
        expectHeadline(win);
    }
}

}  // namespace
