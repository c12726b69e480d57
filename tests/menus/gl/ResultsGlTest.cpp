#include "harness/MenuHarness.h"

#include "entities/aircraft/Airplane.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/PlaneList.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/ingame/GameResultMenuFrame.h"
#include "menus/ingame/ScoreEntry.h"
#include "menus/ingame/SkirmishEndMenuFrame.h"
#include "menus/ingame/TeamSkirmishEndMenuFrame.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/progress/ScoreMgr.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuNavigation.h"
#include "ui/TextFitLog.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteLabel.h"

#include <filesystem>
#include <memory>
#include <string>

namespace {
std::string narrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }

// The tables and the result page drawn over the staged data; pictures under
// build/results/.
struct ResultsGl : MenuHarness {
    void SetUp() override
    {
        MenuHarness::SetUp();
        if (IsSkipped())
            return;
        std::filesystem::create_directories(std::string(SKYFRONT_BINARY_DIR) + "/results");
        ASSERT_TRUE(PlaneList::instance().load());
        saved = settings();
        plane.name = "kitplane";
        plane.shortname = "P-51";
    }
    void TearDown() override
    {
        ScoreMgr::instance().setListener(nullptr);
        ScoreMgr::instance().attach(nullptr, nullptr);
        clearFrameHistory();
        MenuFrameRegistry::deleteAll();
        endMatch();
        ScoreMgr::instance().reset(false);
        gameResultBooked() = false;
        GameResultMenuFrame::routes() = {};
        settings() = saved;
        PlaneList::instance().clear();
        MenuHarness::TearDown();
    }
    GameMode& start(GameType type, bool teams)
    {
        startMatch(std::make_unique<GameMode>(type), MatchConnections::none());
        GameMode* m = modeOf(currentMatch());
        ScoreMgr::instance().attach(m, nullptr);
        ScoreMgr::instance().reset(teams);
        ScoreMgr::instance().startMatch();
        ScoreMgr::instance().timeLimit = 600.0f;
        ScoreMgr::instance().setElapsed(130.0f);
        return *m;
    }
    Airplane* pilot(int team, const char16_t* name, int points, int deaths, int rank, bool own = false)
    {
        GameMode* m = modeOf(currentMatch());
        auto a = Target::create<Airplane>(*m, plane, team, std::u16string(name));
        Airplane* raw = a.get();
        m->addPlayerAirplane(std::move(a), false);
        raw->networkRole = own ? NetworkRole::Local : NetworkRole::Remote;
        raw->planeRecord = &plane;
        raw->scores[Airplane::kScorePoints] = points;
        raw->scores[Airplane::kScoreDeaths] = deaths;
        raw->setRank(rank);
        if (own)
            m->setPlayerAirplane(raw);
        ScoreMgr::instance().addPlayer(*raw);
        return raw;
    }
    // Pixels of the rectangle that differ from those of another frame.
    static int differing(const std::vector<Rgba>& a, const std::vector<Rgba>& b)
    {
        int n = 0;
        for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
            n += (std::abs(a[i].r - b[i].r) + std::abs(a[i].g - b[i].g) + std::abs(a[i].b - b[i].b)) > 30 ? 1 : 0;
        return n;
    }
    int colourful(int x0, int y0, int x1, int y1)
    {
        const std::vector<Rgba> pixels = screenPixels();
        int n = 0;
        for (int y = std::max(y0, 0); y < std::min(y1, screenHeight()); ++y)
            for (int x = std::max(x0, 0); x < std::min(x1, screenWidth()); ++x) {
                const Rgba& c = pixels[static_cast<std::size_t>(y * screenWidth() + x)];
                n += std::abs(c.r - c.b) > 60 || c.r + c.g + c.b > 500 ? 1 : 0;
            }
        return n;
    }
    // Light pixels around the row's rank glyph, and pixels of its status
    // icon's place that are neither the row's blue nor grey.
    int glyphPixels(const ScoreEntry& row)
    {
        const ScoreEntry::Columns c = ScoreEntry::columns(row.width, row.height, row.teamLayout, row.gameType, true);
        const int r = static_cast<int>(8.0f * screenMetrics().uiScale);
        const int x = row.absX + static_cast<int>(c.glyph), y = row.absY + static_cast<int>(c.glyphLine);
        return lightPixels(x - r, y - r, x + r, y + r);
    }
    int iconPixels(const ScoreEntry& row)
    {
        const ScoreEntry::Columns c = ScoreEntry::columns(row.width, row.height, row.teamLayout, row.gameType, true);
        const int side = static_cast<int>(ScoreEntry::kIconUnits * screenMetrics().uiScale);
        const int x0 = row.absX + static_cast<int>(c.iconX), y0 = row.absY + static_cast<int>(c.iconY);
        return colourful(x0, y0, x0 + side, y0 + side);
    }
    int lightPixels(int x0, int y0, int x1, int y1)
    {
        const std::vector<Rgba> pixels = screenPixels();
        int n = 0;
        for (int y = std::max(y0, 0); y < std::min(y1, screenHeight()); ++y)
            for (int x = std::max(x0, 0); x < std::min(x1, screenWidth()); ++x) {
                const Rgba& p = pixels[static_cast<std::size_t>(y * screenWidth() + x)];
                n += p.r + p.g + p.b > 450 ? 1 : 0;
            }
        return n;
    }
    Settings saved;
    PlaneCfg plane;
};
}  // namespace

TEST_F(ResultsGl, TablesAndTheResultPageDrawWhatTheyShow)
{
    boot(1280, 720);
    start(GameType::FreeForAll, false);
    pilot(0, u"Maverick", 12, 3, 9, true);
    Airplane* other = pilot(1, u"Iceman", 12, 5, 14);
    other->markerColorIndex = 1;
    // Out of play until the next round: a badge on his rank glyph.
    pilot(2, u"Goose", 7, 8, 3)->inPlay = false;
    // A pilot without a plane record gets an empty plane column.
    pilot(3, u"Viper", 4, 2, 17)->planeRecord = nullptr;
    SkirmishEndMenuFrame* table = MenuFrameRegistry::skirmishEndMenu();
    goToFrame(table);
    step(10);
    savePicture("results/ffa_table_running.png");
    EXPECT_EQ(table->rows().size(), 5u);
    // Goose's row has both his rank glyph and the out-of-play icon beside it;
    // the others the glyph alone.
    const std::vector<ScoreEntry*> rows = table->rows();
    ASSERT_EQ(rows[2]->target()->pilotName, u"Goose");
    EXPECT_GT(glyphPixels(*rows[2]), 20);
    EXPECT_GT(iconPixels(*rows[2]), 60);
    EXPECT_GT(glyphPixels(*rows[1]), 20);
    EXPECT_LT(iconPixels(*rows[1]), 10);
    const std::vector<Rgba> running = screenPixels();

    modeOf(currentMatch())->playStopped = true;
    ScoreMgr::instance().decideWinner();
    step(5);
    savePicture("results/ffa_table_over.png");
    EXPECT_GT(differing(running, screenPixels()), 1000);   // headline in, buttons out
    const std::vector<Rgba> endTable = screenPixels();

    // The result of the game: rows counting, then a promotion.
    GameResultMenuFrame::routes().leaveGame = [] {};
    settings().pointsSP = 900;
    settings().pointsMP = 0;
    GameResultMenuFrame* result = MenuFrameRegistry::gameResultMenu();
    goToFrame(result);
    // Shown with the game's own (empty) sums first; book this result instead.
    gameResultBooked() = false;
    settings().pointsSP = 900;
    GameResultInput in;
    in.killPoints = 120;
    in.deathPoints = -20;
    in.resultPoints = 100;
    result->showResult(in);
    step(40);
    savePicture("results/result_counting.png");
    EXPECT_GE(result->resultState, GameResultMenuFrame::Count);
    // The insignia panel holds the insignia, and the page is not the table.
    const MenuPanel& insignia = *result->insigniaPanel;
    EXPECT_GT(colourful(insignia.absX, insignia.absY, insignia.absX + insignia.width, insignia.absY + insignia.height),
              500);
    EXPECT_GT(differing(endTable, screenPixels()), 20000);
    for (int i = 0; i < 600 && result->resultState != GameResultMenuFrame::Final; ++i)
        step(1);
    step(30);
    savePicture("results/result_promoted.png");
    EXPECT_TRUE(result->rankReached);
    EXPECT_EQ(result->newRank, 2);

    // A won dogfight shows its gold medal in place of the insignia.
    gameResultBooked() = false;
    GameResultInput dogfight;
    dogfight.type = GameType::Dogfight;
    dogfight.dogfight = 2;
    dogfight.medal = 3;
    dogfight.killPoints = 40;
    result->showResult(dogfight);
    step(20);
    savePicture("results/result_medal.png");
    EXPECT_EQ(result->insigniaFrame(), 20);
    const auto gold = [](const Rgba& c) { return c.r > 200 && c.g > 150 && c.b < 150; };
    int goldPixels = 0;
    for (const Rgba& c : screenPixels())
        goldPixels += gold(c) ? 1 : 0;
    EXPECT_GT(goldPixels, 2000);
}

// The rank icon's centre and the fill's end both stand at the points counted
// through the rank, from the bar's start at its rank's threshold to its end
// at the next rank's, each written beside its end: for a new pilot and for
// one well into his third rank.
TEST_F(ResultsGl, TheRankIconAndFillMarkTheCountAlongTheWholeBar)
{
    boot(1280, 720);
    start(GameType::FreeForAll, false);
    GameResultMenuFrame::routes().leaveGame = [] {};
    struct Case {
        int total, rank, low, high;
    };
    for (const Case& c : {Case{0, 0, 0, 300}, Case{1500, 2, 1000, 2000}}) {
        SCOPED_TRACE(c.total);
        settings().pointsSP = c.total;
        settings().pointsMP = 0;
        GameResultMenuFrame* result = MenuFrameRegistry::gameResultMenu();
        goToFrame(result);
        gameResultBooked() = false;
        result->showResult(GameResultInput{});
        for (int i = 0; i < 200 && result->resultState != GameResultMenuFrame::Final; ++i)
            step(1);
        ASSERT_EQ(result->resultState, GameResultMenuFrame::Final);
        ASSERT_EQ(result->displayRank, c.rank);
        const CSprite::Rect bar = getSprite(kSpriteSetMenus)->frameRect(GameResultMenuFrame::kRankBarFrame);
        const MenuPanel& panel = *result->rankPanel;
        const int barX = panel.absX + (panel.width - bar.w) / 2;
        const int barMid = panel.absY + panel.height / 2;
        // The two thresholds, left and right of the bar.
        textFitLog().setEnabled(true);
        textFitLog().beginFrame();
        step(1);
        std::string lowText, highText;
        for (const TextFitLog::Entry& e : textFitLog().entries())
            if (std::abs(e.inked.y + e.inked.h / 2.0f - barMid) < bar.h) {
                if (e.inked.x + e.inked.w < barX)
                    lowText = e.text;
                else if (e.inked.x > barX + bar.w)
                    highText = e.text;
            }
        textFitLog().setEnabled(false);
        EXPECT_EQ(lowText, std::to_string(c.low));
        EXPECT_EQ(highText, std::to_string(c.high));
        const auto gold = [](const Rgba& px) { return px.r > 200 && px.g > 120 && px.b < 130; };
        for (const float f : {0.0f, 0.3f, 0.6f, 1.0f}) {
            SCOPED_TRACE(f);
            result->countedPoints =
                static_cast<std::int32_t>(std::lround(c.low + (c.high - c.low) * f)) - c.total;
            const float at = barX + bar.w * f;
            result->iconScale = 0.0f;
            step(1);
            const std::vector<Rgba> bare = screenPixels();
            int fillEnd = -1;
            for (int x = panel.absX; x < panel.absX + panel.width; ++x)
                if (gold(bare[static_cast<std::size_t>(barMid * screenWidth() + x)]))
                    fillEnd = x;
            if (f == 0.0f)
                EXPECT_EQ(fillEnd, -1);
            else
                EXPECT_NEAR(fillEnd, std::min(at, barX + bar.w - 3.0f), 3.0);
            result->iconScale = 1.0f;
            step(1);
            const std::vector<Rgba> withIcon = screenPixels();
            int left = screenWidth(), right = -1;
            for (int y = panel.absY; y < panel.absY + panel.height; ++y)
                for (int x = panel.absX; x < panel.absX + panel.width; ++x) {
                    const std::size_t i = static_cast<std::size_t>(y * screenWidth() + x);
                    if (differing({bare[i]}, {withIcon[i]}) > 0) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
                }
            ASSERT_GE(right, left);
            EXPECT_NEAR((left + right) / 2.0f, at, 3.0);
        }
        savePicture("results/result_rank_bar_" + std::to_string(c.rank) + ".png");
    }
}

TEST_F(ResultsGl, TheTeamTableShowsBothTeams)
{
    boot(1280, 720);
    start(GameType::CaptureTheFlag, true);
    pilot(0, u"Red Baron", 40, 2, 12, true);
    pilot(0, u"Snoopy", 20, 6, 2);
    Airplane* blue = pilot(1, u"Biggles", 30, 1, 7);
    pilot(1, u"Hartmann", 10, 4, 16);
    // The captures go through the score keeper, which keeps the team totals.
    ScoreMgr::instance().onFlagCaptured(*blue);
    ScoreMgr::instance().onFlagCaptured(*blue);
    blue->scores[Airplane::kScoreFlagsReturned] = 1;
    TeamSkirmishEndMenuFrame* table = MenuFrameRegistry::teamSkirmishEndMenu();
    goToFrame(table);
    step(10);
    // Biggles carries a flag: the icon stands beside his rank glyph.
    ScoreEntry* carrier = table->rows()[3];   // after team A's two rows and its closing row
    ASSERT_EQ(carrier->target(), blue);
    carrier->flags |= ScoreEntry::kCarriesFlag;
    step(2);
    savePicture("results/team_table.png");
    EXPECT_EQ(table->rows().size(), 6u);
    EXPECT_GT(glyphPixels(*carrier), 20);
    EXPECT_GT(iconPixels(*carrier), 60) << iconPixels(*carrier);
    EXPECT_LT(iconPixels(*table->rows()[4]), 30) << "the place above reaches a little into it";
    EXPECT_EQ(narrow(table->totals[0]->shownText()), "0");
    EXPECT_EQ(narrow(table->totals[1]->shownText()), "2");
    // Both tables have drawn rows: bright text on the left and on the right half.
    EXPECT_GT(colourful(0, 200, screenWidth() / 2, screenHeight() - 100), 500);
    EXPECT_GT(colourful(screenWidth() / 2, 200, screenWidth(), screenHeight() - 100), 500);
}

// A small screen and a network match: long names are cut inside their
// column, the others' rows carry the mute toggle and the server has its line.
TEST_F(ResultsGl, TablesOfANetworkMatchFitASmallScreen)
{
    boot(960, 640);
    GameResultMenuFrame::routes().serverName = [] { return std::u16string(u"Harbourmaster"); };
    GameMode& m = start(GameType::DestroyTheBase, true);
    m.setNetwork(true, false, false);
    pilot(0, u"Baron von Richthofen", 40, 2, 12, true);
    pilot(0, u"Snoopy", 20, 6, 2);
    Airplane* blue = pilot(1, u"Biggles", 30, 1, 7);
    blue->scores[Airplane::kScoreBases] = 3;
    pilot(1, u"Erich Alfred Hartmann", 10, 4, 16);
    TeamSkirmishEndMenuFrame* team = MenuFrameRegistry::teamSkirmishEndMenu();
    goToFrame(team);
    step(10);
    savePicture("results/team_table_small.png");
    EXPECT_TRUE(team->serverLabel->visible);
    EXPECT_EQ(narrow(team->serverLabel->shownText()), "Server : Harbourmaster");
    // The server line stands between the time box and the header strips.
    EXPECT_GE(team->serverLabel->absY, team->timeLabel->absY + team->timeLabel->height);
    EXPECT_LE(team->serverLabel->absY + team->serverLabel->height, team->headerStrips[0]->absY);
    // Right table: its rows and headings stay inside their half.
    EXPECT_GT(colourful(screenWidth() / 2, 200, screenWidth(), screenHeight() - 100), 400);
    clearFrameHistory();
    MenuFrameRegistry::deleteAll();
    endMatch();

    GameMode& ffa = start(GameType::FreeForAll, false);
    ffa.setNetwork(true, false, false);
    pilot(0, u"Maverick", 12, 3, 9, true);
    pilot(1, u"Lieutenant Commander Tom Iceman Kazansky", 12, 5, 14);
    pilot(2, u"Goose", 7, 8, 3);
    SkirmishEndMenuFrame* table = MenuFrameRegistry::skirmishEndMenu();
    goToFrame(table);
    step(10);
    savePicture("results/ffa_table_small.png");
    EXPECT_TRUE(table->serverLabel->visible);
    EXPECT_EQ(table->rows().size(), 4u);
    // Every name as drawn fits its room; the long one is cut, the short ones whole.
    CFont* font = getFont(0);
    ASSERT_NE(font, nullptr);
    for (const ScoreEntry* row : table->rows()) {
        if (!row->target())
            continue;
        const ScoreEntry::Columns c = ScoreEntry::columns(row->width, row->height, false, GameType::FreeForAll, true);
        const float scale = c.textScale * row->shownNameShrink();
        EXPECT_LE(font->measure(row->shownName()).width * scale, c.nameRight - c.nameLeft + 1.0f)
            << narrow(row->shownName());
        const std::u16string& whole = row->target()->pilotName;
        if (whole.size() > 30)
            EXPECT_EQ(narrow(row->shownName()).substr(row->shownName().size() - 3), "...");
        else
            EXPECT_EQ(row->shownName(), whole);
    }
    // The mute toggle has frames of its own, clear of the showcase's info
    // button, and they fit the strip beside the swatch.
    CSprite* menus = getSprite(kSpriteSetMenus);
    ASSERT_NE(menus, nullptr);
    const int rowH = table->rows()[0]->height;
    for (int frame : {ScoreEntry::kMuteOffFrame, ScoreEntry::kMuteOnFrame}) {
        const CSprite::Rect r = menus->frameRect(frame);
        EXPECT_GT(r.w * r.h, 100.0f) << frame;
        EXPECT_LE(r.w, 4.0f * rowH / 5.0f) << frame;
        EXPECT_LE(r.h, rowH / 2.0f + 4.0f) << frame;
    }
    // The speaker shows on the others' rows: light pixels in the strip of the second row.
    const ScoreEntry* other = table->rows()[1];
    const int stripLeft = other->absX + other->swatchLeft() - static_cast<int>(10 * screenMetrics().uiScale) -
                          4 * other->height / 5;
    EXPECT_GT(colourful(stripLeft, other->absY, other->absX + other->swatchLeft(), other->absY + other->height), 80);
}
