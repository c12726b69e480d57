// The game itself under Xvfb: a free-for-all against bots with a score limit
// of one kill ends by itself, its end table opens over the game, and Enter on
// the table's leave button brings the result page; frames of both go to
// build/results/.
#include "StagedGame.h"

#include "platform/File.h"
#include "platform/Settings.h"
#include "render/assets/TextureImage.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <utility>

namespace {
namespace fs = std::filesystem;

class ResultsRun : public testing::Test {
protected:
    void SetUp() override
    {
        if (!game.prepare())
            GTEST_SKIP() << "the game is not staged";
        // One kill ends the match.
        writeSave(1, 6);
    }
    // The save the game reads at start: a five-minute free-for-all with
    // that score limit and that many bots.
    void writeSave(int scoreLimit, int bots)
    {
        Settings s;
        s.controlType = 0;
        s.tutorialPromptAnswered = 1;
        s.languageIndex = 0;
        for (int entry : {Settings::kEntryFFA, Settings::kEntryHost}) {
            s.setSkirmishWord(entry, 0, 5);
            s.setSkirmishWord(entry, 1, static_cast<std::uint32_t>(scoreLimit));
            s.setSkirmishWord(entry, 2, static_cast<std::uint32_t>(bots));
            s.setSkirmishFloat(entry, 4, 1.0f);
        }
        const fs::path folder = fs::path(game.tree.folder()) / "save" / std::to_string(getuid() + 1);
        fs::create_directories(folder);
        setSaveFolder(folder.string() + "/");
        s.save();
        setSaveFolder("");
    }
    // One match against the bots, steered frame by frame through the pipe:
    // `fromStart` holds lines for frames counted from the first frame of play,
    // `fromEnd` for frames counted from the frame in which the log says the
    // match is over (when that is depends on how the bots fly), ending with
    // the one that closes the window.
    struct Played {
        int code = -1;
        int start = -1;  // the first frame of play
        int end = -1;    // the frame the match ended in; -1 when it did not
    };
    using Lines = std::multimap<int, std::string>;
    Played play(const std::string& window, const Lines& fromStart, const Lines& fromEnd)
    {
        Played played;
        Lines due;
        int last = 0;
        played.code = game.runSteered(
            window + " -fixeddt 0.0166667 -autostart 2:0 -frames 4000 -logplayer 1",
            [&](const std::string& line) -> std::string {
                int frame = 0;
                if (StagedGame::waitsForInput(line, frame)) {
                    last = frame;
                    const std::string next = std::to_string(frame + 1);
                    std::string answer;
                    for (auto [at, to] = due.equal_range(frame + 1); at != to; ++at)
                        answer += next + " " + at->second + "\n";
                    return answer + next + " sync\n";
                }
                // Counted as the pipe counts: the first frame played is the
                // first whose input it waited for after this line.
                if (played.start < 0 && line.starts_with("test: frame ") && line.find(" player at ") != std::string::npos) {
                    played.start = last;
                    for (const auto& [offset, command] : fromStart)
                        due.emplace(last + offset, command);
                }
                if (played.end < 0 && line.find("match over after") != std::string::npos) {
                    played.end = last;
                    for (const auto& [offset, command] : fromEnd)
                        due.emplace(last + offset, command);
                }
                return {};
            },
            600.0, 120.0);
        return played;
    }
    StagedGame game;
};
}  // namespace

TEST_F(ResultsRun, ABotMatchEndsOnItsScoreLimitAndLeadsToTheResult)
{
    // After the bots' one kill, Enter on the end table's leave button, and
    // once the count is done Enter leaves the result. Tab held a while in play
    // shows the table over the HUD.
    const Played run = play("-width 960 -height 640",
                            {{40, "shot play.png"}, {50, "keydown Tab"}, {80, "shot peek.png"},
                             {100, "keyup Tab"}},
                            {{35, "shot end_table.png"}, {45, "key Enter"}, {65, "key Enter"},
                             {85, "shot counting.png"}, {165, "shot counted.png"}, {185, "key Enter"},
                             {205, "key Enter"}, {245, "close"}});
    game.keepFile("stdout.txt", "results/run", "game_log.txt");
    ASSERT_GT(run.end, run.start + 110) << "the bots did not end the match after the table was held:\n" << game.log();
    ASSERT_EQ(run.code, 0) << game.errors();
    const std::string log = game.log();
    const auto find = [&log](const char* text) { return log.find(text); };
    const std::size_t opened = find("pause screen opened (menu 1)"), over = find("match over after"),
                      left = find("the finished match is left for its result"), result = find("game result:"),
                      back = log.find("page shown: PlayMenuFrame", result == std::string::npos ? 0 : result);
    ASSERT_NE(over, std::string::npos) << log.substr(log.size() > 3000 ? log.size() - 3000 : 0);
    const std::size_t held = find("held over the HUD"), letGo = find("over the HUD let go");
    EXPECT_LT(held, letGo);
    EXPECT_LT(letGo, opened);
    EXPECT_LT(opened, left);
    EXPECT_LT(over, left);
    EXPECT_LT(left, result);
    EXPECT_NE(back, std::string::npos) << "continue did not lead back to the play menu";

    TextureImage play, peek;
    ASSERT_TRUE(game.loadShot("play.png", play, "results/run"));
    ASSERT_TRUE(game.loadShot("peek.png", peek, "results/run"));
    TextureImage table, counting, counted;
    ASSERT_TRUE(game.loadShot("end_table.png", table, "results/run"));
    ASSERT_TRUE(game.loadShot("counting.png", counting, "results/run"));
    ASSERT_TRUE(game.loadShot("counted.png", counted, "results/run"));
    // The insignia's light outline stands in its panel on the left of the
    // result, where the table shows nothing of the kind; and the result is
    // not the table.
    const auto light = [](const TextureImage& image, int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const std::uint8_t* p = &image.levels[0][(static_cast<std::size_t>(y) * image.width + x) * 4];
                n += p[0] > 150 && p[1] > 190 && p[2] > 220 ? 1 : 0;
            }
        return n;
    };
    EXPECT_GT(light(counted, 60, 80, 330, 380), 400);
    // The held table leaves the view as bright as in play beside it.
    const auto brightness = [](const TextureImage& image, int x0, int y0, int x1, int y1) {
        long sum = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const std::uint8_t* p = &image.levels[0][(static_cast<std::size_t>(y) * image.width + x) * 4];
                sum += p[0] + p[1] + p[2];
            }
        return sum;
    };
    EXPECT_GT(brightness(peek, 0, 300, 60, 600), brightness(play, 0, 300, 60, 600) * 3 / 4) << "the view under the held table";
    int differing = 0;
    for (std::size_t i = 0; i + 3 < table.levels[0].size() && i < counted.levels[0].size(); i += 4)
        differing += std::abs(table.levels[0][i] - counted.levels[0][i]) > 40 ? 1 : 0;
    EXPECT_GT(differing, 960 * 640 / 10);
}

// Seven bots and the player: the match ends on two kills and its table shows
// all eight pilots at both ends of the screen sizes.
TEST_F(ResultsRun, EightPilotsEndOnATableOfEightRows)
{
    writeSave(2, 7);
    for (const auto& [w, h] : {std::pair{960, 640}, std::pair{1920, 1080}}) {
        const std::string size = std::to_string(w) + "x" + std::to_string(h);
        const std::string shot = "ffa8_table_" + size + ".png";
        const std::string window = "-width " + std::to_string(w) + " -height " + std::to_string(h);
        const Played run = play(window, {}, {{120, "shot " + shot}, {130, "close"}});
        ASSERT_GT(run.end, 0) << size << ": the bots did not end the match";
        ASSERT_EQ(run.code, 0) << game.errors();
        const std::string log = game.log();
        ASSERT_NE(log.find("match over after"), std::string::npos) << size;
        TextureImage table;
        ASSERT_TRUE(game.loadShot(shot, table, "results"));
        // Down the deaths column (240 u into the table, which is centred and
        // 560 wide at both sizes; the bots' short names end well before it),
        // below the headings: one number per pilot, each its own band of
        // light pixels.
        // The window is no larger than the test's display: read the picture's own size.
        const int column = (static_cast<int>(table.width) - 560) / 2 + 240;
        // Runs of a few lit lines are digits; the rows' edges are thinner.
        int bands = 0, lines = 0;
        for (int y = 185; y < static_cast<int>(table.height) - 90; ++y) {
            int lit = 0;
            for (int x = column - 10; x < column + 10; ++x) {
                const std::uint8_t* p = &table.levels[0][(static_cast<std::size_t>(y) * table.width + x) * 4];
                lit += p[0] + p[1] + p[2] > 500 || (p[1] > 200 && p[2] < 80) ? 1 : 0;
            }
            lines = lit > 0 ? lines + 1 : 0;
            bands += lines == 5 ? 1 : 0;
        }
        EXPECT_EQ(bands, 8) << size;
    }
}
