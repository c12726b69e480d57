// The game itself under Xvfb: a free flight started by "-autostart", its HUD
// written to build/hud/game-*.png and found by its pixels; the HUD's pause
// button clicked with the mouse where it is drawn, the controller's Menu
// button and the window's focus loss each opening the game's pause page with
// the airplane held (a hosted match runs on under it, as a joined peer sees),
// and the page's Resume bringing the HUD and the flight back.
#include "StagedGame.h"

#include "platform/File.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "render/assets/ImageLoaders.h"
#include "render/assets/TextureImage.h"
#include "screens/hud/PlaneHud.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <netinet/in.h>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;

struct Pixel {
    int r = 0, g = 0, b = 0;
};

class GameHudRun : public testing::Test {
protected:
    void SetUp() override
    {
        if (!game.prepare())
            GTEST_SKIP() << "the game is not staged";
        fs::create_directories(SKYFRONT_BINARY_DIR "/hud");
    }

    int run(const std::string& arguments) { return game.run(arguments); }

    bool loadShot(const std::string& name, TextureImage& image) { return game.loadShot(name, image, "hud"); }

    static Pixel at(const TextureImage& image, float x, float y)
    {
        const std::size_t i = (static_cast<std::size_t>(y) * image.width + static_cast<std::size_t>(x)) * 4;
        const auto& p = image.levels[0];
        return {p[i], p[i + 1], p[i + 2]};
    }
    static bool white(const Pixel& p) { return p.r > 230 && p.g > 230 && p.b > 230; }
    // The dials' faces are a dark navy over any sky.
    static bool dialFace(const Pixel& p) { return p.r < 90 && p.g < 100 && p.b < 120 && p.b >= p.r; }

    StagedGame game;
    TempDir& tree = game.tree;
};

// Where the HUD draws an element at the game's window size, from the staged sheet.
CSprite::Rect hudElement(int width, int height, int element)
{
    setDataRoot(SKYFRONT_STAGE_DIR "/");
    if (!setScreenSize(width, height))
        return {};
    unloadSprite(kSpriteSetHud);
    setSpriteLoadScale(screenMetrics().spriteScale);
    PlaneHud hud;
    hud.initPanels(nullptr);
    return hud.elementRect(nullptr, element);
}

// The player's airplane by frame, from the "-logplayer" lines.
std::map<int, std::string> playerPlaces(const std::string& log)
{
    std::map<int, std::string> places;
    static const std::regex line(R"(frame (\d+) player at ([-0-9.]+ [-0-9.]+ [-0-9.]+))");
    std::istringstream in(log);
    for (std::string text; std::getline(in, text);) {
        std::smatch m;
        if (std::regex_search(text, m, line))
            places[std::stoi(m[1])] = m[2];
    }
    return places;
}

// The same place at every logged frame of [first, last]; different places over it otherwise.
bool heldBetween(const std::map<int, std::string>& places, int first, int last)
{
    std::string at;
    int seen = 0;
    for (auto it = places.lower_bound(first); it != places.end() && it->first <= last; ++it, ++seen) {
        if (!at.empty() && it->second != at)
            return false;
        at = it->second;
    }
    return seen >= 3;
}
bool movedBetween(const std::map<int, std::string>& places, int first, int last)
{
    const auto from = places.lower_bound(first), to = places.upper_bound(last);
    return from != places.end() && to != places.begin() && std::prev(to)->first > from->first &&
           std::prev(to)->second != from->second;
}

struct PauseRoad {
    const char* name;
    const char* start;  // -autostart or -autohost with its game
    const char* pause;  // the script line that asks for the pause at frame 400
    const char* page;   // the page that must show
    const char* saved;  // a saved profile's options (settings_file.py), or empty for a fresh one
};

// A hosted match: the peer program joins as soon as the game serves and logs
// where every airplane is, four times a second, until the host is gone.
struct PeerWatch {
    std::string log;
    bool start(const fs::path& folder, int& port)
    {
#ifdef SKYFRONT_NETPEER
        int fd = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t n = sizeof a;
        if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
            getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n) != 0)
            return false;
        port = ntohs(a.sin_port);
        close(fd);
        log = (folder / "peer.log").string();
        // The peer asks to join until the game serves.
        const std::string command = "cd '" + folder.string() + "' && ( timeout 200 " SKYFRONT_NETPEER
                                    " --join 127.0.0.1:" + std::to_string(port) +
                                    " --seconds 150 --name Wing1 --where 0.25 >peer.log 2>&1; echo 'peer done' "
                                    ">>peer.log ) >/dev/null 2>&1 &";
        return std::system(command.c_str()) == 0;
#else
        (void)folder;
        (void)port;
        return false;
#endif
    }
    std::string waitForEnd() const
    {
        std::string text;
        const auto over = [&text] {
            return text.find("peer done") != std::string::npos || text.find("host lost") != std::string::npos;
        };
        for (int i = 0; i < 480 && !over(); ++i) {
            std::ifstream in(log);
            text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            if (!over())
                usleep(250000);
        }
        return text;
    }
};

// The distinct places at which the peer saw the host's airplane while the
// game's own log had it between two frames: each peer sighting is matched to
// the nearest logged place of the player's airplane.
std::set<std::string> sightingsBetween(const std::string& peerLog, const std::map<int, std::string>& places,
                                       int first, int last)
{
    std::set<std::string> seen;
    static const std::regex line(R"(where (\S+) (-?\d+) (-?\d+))");
    std::istringstream in(peerLog);
    for (std::string text; std::getline(in, text);) {
        std::smatch m;
        if (!std::regex_search(text, m, line) || m[1] == "Wing1")
            continue;
        const float x = std::stof(m[2]), z = std::stof(m[3]);
        int nearest = -1;
        float best = 80.0f;
        for (const auto& [frame, at] : places) {
            float px = 0.0f, py = 0.0f, pz = 0.0f;
            if (std::sscanf(at.c_str(), "%f %f %f", &px, &py, &pz) != 3)
                continue;
            const float d = std::hypot(px - x, pz - z);
            if (d < best) {
                best = d;
                nearest = frame;
            }
        }
        if (nearest >= first && nearest <= last)
            seen.insert(std::string(m[2]) + " " + std::string(m[3]));
    }
    return seen;
}

void PrintTo(const PauseRoad& road, std::ostream* out) { *out << road.name; }

class PauseRoads : public GameHudRun, public testing::WithParamInterface<PauseRoad> {};

// The back key has always paused; the HUD's button, the controller's Menu
// button and the focus leaving the window must do the same, and Resume undo it.
TEST_P(PauseRoads, ThePausePageHoldsTheGameAndResumeGivesItBack)
{
    const PauseRoad road = GetParam();
    const CSprite::Rect pause = hudElement(960, 640, 21);
    ASSERT_GT(pause.w, 20.0f);
    const int px = static_cast<int>(pause.x + pause.w / 2.0f), py = static_cast<int>(pause.y + pause.h / 2.0f);
    std::string command = road.pause;
    if (command == "click")
        command = "click " + std::to_string(px) + " " + std::to_string(py);
    const std::string shots = std::string(road.name);
    if (*road.saved) {
        fs::create_directories(tree.path() / "save/1");
        const std::string write = std::string("python3 " SKYFRONT_SOURCE_DIR "/tests/support/settings_file.py ") +
                                  (tree.path() / "save/1/tq2_settings.bin").string() + " 12 " + road.saved;
        ASSERT_EQ(std::system(write.c_str()), 0) << write;
    }
    const bool hosted = std::string(road.start).starts_with("-autohost");
    PeerWatch peer;
    int port = 0;
    std::string network;
    if (hosted) {
        if (!peer.start(tree.path(), port))
            GTEST_SKIP() << "no peer program";
        network = " -lanaddr 127.0.0.1 -netport " + std::to_string(port);
    }
    const std::string script = "400 " + command + "\n" + "500 focusgained\n520 clickfocus\n";
    const int code = game.runScript(script, std::string("-width 960 -height 640 -fixeddt 0.0166667 ") + road.start +
                                                network + " -logplayer 10 -frames 640 -dumpframe 395:" + shots +
                                                "-play.png -dumpframe 480:" + shots + "-paused.png -dumpframe 620:" +
                                                shots + "-resumed.png");
    ASSERT_EQ(code, 0) << tree.read("stderr.txt");
    const std::string log = game.log();
    EXPECT_EQ(log.find("autostart") != std::string::npos && log.find("ignored") != std::string::npos, false);
    TextureImage play, paused, resumed;
    ASSERT_TRUE(loadShot(shots + "-play.png", play));
    ASSERT_TRUE(loadShot(shots + "-paused.png", paused));
    ASSERT_TRUE(loadShot(shots + "-resumed.png", resumed));
    const float leftBar = pause.x + pause.w * 19.0f / 52.0f, barY = pause.y + pause.h / 2.0f;
    EXPECT_TRUE(white(at(play, leftBar, barY))) << "the pause button before";
    const std::map<int, std::string> places = playerPlaces(log);
    EXPECT_TRUE(movedBetween(places, 300, 390)) << "the airplane flies before";
    // A match flies at midday whatever hour its map's record names.
    if (std::string(road.start).ends_with("2:0")) {
        EXPECT_NE(log.find("the sun stands at 0.50"), std::string::npos);
    }
    EXPECT_NE(log.find("pause screen opened"), std::string::npos);
    EXPECT_NE(log.find(std::string("page shown: ") + road.page), std::string::npos) << log.substr(0, 4000);
    // Paused: the HUD gone under the page, whose title band darkens the top.
    EXPECT_FALSE(white(at(paused, leftBar, barY)));
    int dark = 0;
    for (int x = 100; x < 860; x += 10)
        dark += at(paused, static_cast<float>(x), 10.0f).r + at(paused, static_cast<float>(x), 10.0f).g +
                    at(paused, static_cast<float>(x), 10.0f).b <
                150;
    EXPECT_GT(dark, 68) << "the page's title band";
    if (hosted) {
        // The network match goes on under the page, as the joined peer sees it.
        EXPECT_TRUE(movedBetween(places, 420, 510)) << "the match goes on";
        const std::string seen = peer.waitForEnd();
        EXPECT_NE(seen.find("state 6"), std::string::npos) << seen.substr(0, 2000);
        const std::size_t sightings = sightingsBetween(seen, places, 410, 500).size();
        RecordProperty("peer sightings under the page", static_cast<int>(sightings));
        EXPECT_GE(sightings, 2u) << "the peer saw the host's airplane move";
    } else {
        EXPECT_TRUE(heldBetween(places, 420, 510)) << "the airplane is held while paused";
    }
    // Resumed: the HUD back and the airplane flying again.
    EXPECT_TRUE(white(at(resumed, leftBar, barY))) << "the pause button after Resume";
    EXPECT_TRUE(movedBetween(places, 540, 630)) << "the airplane flies after Resume";
}

INSTANTIATE_TEST_SUITE_P(
    Game, PauseRoads,
    // Options 6 and 7: the control type chosen and the controller as the control device.
    testing::Values(PauseRoad{"pause-button-free-flight", "-autostart 10:0", "click", "FreeFlightPauseMenuFrame", ""},
                    PauseRoad{"pause-button-ffa", "-autostart 2:0", "click", "SkirmishEndMenuFrame", ""},
                    PauseRoad{"pad-menu-free-flight", "-autostart 10:0", "pad start", "FreeFlightPauseMenuFrame",
                              "6=i:0 7=i:1"},
                    PauseRoad{"focus-lost-ffa", "-autostart 2:0", "focuslost", "SkirmishEndMenuFrame", ""},
                    PauseRoad{"focus-lost-hosted", "-autohost 2:0", "focuslost", "SkirmishEndMenuFrame", "6=i:0"}),
    [](const testing::TestParamInfo<PauseRoad>& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (c == '-')
                c = '_';
        return name;
    });

TEST_F(GameHudRun, TheHudOfAFreeFlightAndItsPauseButton)
{
    // The menu is up near frame 215 and the game after its 23 load steps.
    const int code = run("-width 960 -height 640 -fixeddt 0.0166667 -autostart 10:0 -frames 406 "
                         "-dumpframe 399:game-play.png -inject 400:click@924,36 -dumpframe 402:game-paused.png");
    ASSERT_EQ(code, 0) << tree.read("stderr.txt");
    TextureImage play, paused;
    ASSERT_TRUE(loadShot("game-play.png", play));
    ASSERT_TRUE(loadShot("game-paused.png", paused));
    ASSERT_EQ(play.width, 960);

    // Where the HUD places its elements at this size, from the same sheet.
    setDataRoot(SKYFRONT_STAGE_DIR "/");
    ASSERT_TRUE(setScreenSize(960, 640));
    unloadSprite(kSpriteSetHud);
    setSpriteLoadScale(screenMetrics().spriteScale);
    PlaneHud hud;
    hud.initPanels(nullptr);
    for (int dial : {PlaneHud::kSpeedDial, PlaneHud::kAltimeter}) {
        const CSprite::Rect r = hud.elementRect(nullptr, dial);
        ASSERT_GT(r.w, 50.0f);
        // Most of a grid over the face, numbers and ticks aside.
        int face = 0;
        for (int gx = 0; gx < 5; ++gx)
            for (int gy = 0; gy < 5; ++gy)
                face += dialFace(at(play, r.x + r.w * (0.2f + 0.15f * gx), r.y + r.h * (0.2f + 0.15f * gy)));
        EXPECT_GE(face, 15) << "dial " << dial << " at " << r.x << ", " << r.y;
    }
    const CSprite::Rect pause = hud.elementRect(nullptr, 21);
    const float barY = pause.y + pause.h / 2.0f;
    EXPECT_TRUE(white(at(play, pause.x + pause.w * 19.0f / 52.0f, barY))) << "the pause button's left bar";
    EXPECT_TRUE(white(at(play, pause.x + pause.w * 31.0f / 52.0f, barY))) << "the pause button's right bar";
    // The pause screen took over: the HUD is not drawn under it.
    EXPECT_FALSE(white(at(paused, pause.x + pause.w * 19.0f / 52.0f, barY)));
    const CSprite::Rect speed = hud.elementRect(nullptr, PlaneHud::kSpeedDial);
    EXPECT_FALSE(dialFace(at(paused, speed.x + speed.w * 0.3f, speed.y + speed.h * 0.3f)));
}

// With the mouse as the control device its pointer is gone in flight and
// its clicks fly the plane: the HUD's buttons carry their keys instead, the
// pause button the back key, and that key opens the pause page.
TEST_F(GameHudRun, MouseSteeringShowsTheKeysAndEscPauses)
{
    fs::create_directories(tree.path() / "save/1");
    const std::string write = std::string("python3 " SKYFRONT_SOURCE_DIR "/tests/support/settings_file.py ") +
                              (tree.path() / "save/1/tq2_settings.bin").string() + " 12 6=i:0 7=i:2";
    ASSERT_EQ(std::system(write.c_str()), 0) << write;
    const CSprite::Rect pause = hudElement(960, 640, 21);
    const std::string click = "click " + std::to_string(static_cast<int>(pause.x + pause.w / 2.0f)) + " " +
                              std::to_string(static_cast<int>(pause.y + pause.h / 2.0f));
    const int code = game.runScript("380 " + click + "\n400 key Esc\n",
                                    "-width 960 -height 640 -fixeddt 0.0166667 -autostart 10:0 -frames 450 "
                                    "-textboxes -dumpframe 375:game-mouse.png -dumpframe 395:game-mouse-click.png");
    ASSERT_EQ(code, 0) << tree.read("stderr.txt");
    game.keepFile("game-mouse.png", "hud", "game-mouse.png");
    const std::string texts = tree.read("game-mouse.png.texts"), log = game.log();
    for (const char* key : {"| Esc\n", "| P\n"})
        EXPECT_NE(texts.find(key), std::string::npos) << key;
    // The click went to the airplane, not to the pause button; Esc paused.
    EXPECT_NE(tree.read("game-mouse-click.png.texts").find("| Esc\n"), std::string::npos) << "still flying";
    EXPECT_NE(log.find("pause screen opened"), std::string::npos);
    EXPECT_NE(log.find("page shown: FreeFlightPauseMenuFrame"), std::string::npos);
}

// The squadron order of a campaign mission, the weapon link and the eject
// button of a burning airplane answer a mouse click where the HUD draws them,
// at the smallest and the largest window the game is tried at: the order turns
// to the next one, the link between the first two weapons lights up in place,
// the pilot bails out.
TEST_F(GameHudRun, OrderLinkAndEjectAnswerAClickAtBothSizes)
{
    for (const auto& [w, h] : {std::pair{960, 640}, std::pair{1920, 1080}}) {
        const std::string size = std::to_string(w) + "x" + std::to_string(h);
        const std::string window = "-width " + std::to_string(w) + " -height " + std::to_string(h);
        auto clickAt = [&](int element) {
            const CSprite::Rect r = hudElement(w, h, element);
            return "click " + std::to_string(static_cast<int>(r.x + r.w / 2.0f)) + " " +
                   std::to_string(static_cast<int>(r.y + r.h / 2.0f)) + "\n";
        };
        const std::string order = "order-" + size + ".png", after = "order-after-" + size + ".png";
        ASSERT_EQ(game.runScriptOnDisplay("440 " + clickAt(25), window + " -fixeddt 0.0166667 -frames 475 -textboxes "
                                          "-autostart 1:c1m1 -dumpframe 430:" + order + " -dumpframe 470:" + after,
                                          w, h),
                  0)
            << size << tree.read("stderr.txt");
        EXPECT_EQ((game.log() + tree.read("stderr.txt")).find("larger than the display"), std::string::npos) << size;
        EXPECT_NE(tree.read(order + ".texts").find("| ATK\n"), std::string::npos) << size;
        EXPECT_NE(tree.read(after + ".texts").find("| DEF\n"), std::string::npos) << size << ": the order after the click";
        game.keepFile(after, "hud", after);

        const std::string burning = "eject-" + size + ".png", unlinked = "link-" + size + ".png",
                          linked = "link-after-" + size + ".png";
        ASSERT_EQ(game.runScriptOnDisplay("560 " + clickAt(145) + "645 " + clickAt(89),
                                          window + " -fixeddt 0.0166667 -frames 700 -textboxes -autostart 2:0 "
                                          "-testplace burning -dumpframe 555:" + unlinked + " -dumpframe 580:" + linked +
                                          " -dumpframe 640:" + burning,
                                          w, h),
                  0)
            << size << tree.read("stderr.txt");
        // The link's pill is navy while the weapons fire apart, amber once linked.
        const CSprite::Rect link = hudElement(w, h, 145);
        TextureImage apart, together;
        ASSERT_TRUE(loadShot(unlinked, apart));
        ASSERT_TRUE(loadShot(linked, together));
        const Pixel off = at(apart, link.x + link.w / 2.0f, link.y + link.h / 2.0f);
        const Pixel on = at(together, link.x + link.w / 2.0f, link.y + link.h / 2.0f);
        EXPECT_TRUE(off.r < 90 && off.g < 100) << size << ": " << off.r << " " << off.g << " " << off.b;
        EXPECT_TRUE(on.r > 200 && on.g > 150 && on.b < 140) << size << ": " << on.r << " " << on.g << " " << on.b;
        const std::string log = game.log();
        ASSERT_NE(log.find("the player's airplane burns"), std::string::npos) << size;
        EXPECT_NE(tree.read(burning + ".texts").find("| EJECT\n"), std::string::npos) << size;
        game.keepFile(burning, "hud", burning);
        EXPECT_NE(log.find("parachute"), std::string::npos) << size << ": the pilot bails out";
    }
}

// The squadron lesson asks for the attack order: its button is listed as
// drawn highlighted, and its rim pulses towards orange from picture to
// picture while the lesson waits. Pictures stay in build/hud.
TEST_F(GameHudRun, TheSquadronLessonPulsesTheOrderItAsksFor)
{
    const int code = run("-width 960 -height 640 -fixeddt 0.05 -frames 530 -textboxes -autostart 9:5 "
                         "-dumpframe 500:lesson-order-a.png -dumpframe 506:lesson-order-b.png "
                         "-dumpframe 513:lesson-order-c.png");
    ASSERT_EQ(code, 0) << tree.read("stderr.txt");
    const std::regex listed(R"(frame (\d+) -1 leaf \| ([\d.]+) ([\d.]+) ([\d.]+) ([\d.]+) \| HudButton highlighted\n)");
    const std::string texts = tree.read("lesson-order-a.png.texts");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(texts, m, listed)) << texts;
    EXPECT_NE(texts.find("text " + m[1].str() + " | "), std::string::npos) << "the order's word is on the highlighted button";
    EXPECT_NE(texts.find("| ATK\n"), std::string::npos);
    const float x = std::stof(m[2]), y = std::stof(m[3]), h = std::stof(m[5]);
    TextureImage shots[3];
    const char* names[3] = {"lesson-order-a.png", "lesson-order-b.png", "lesson-order-c.png"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(loadShot(names[i], shots[i]));
        game.keepFile(names[i], "hud", names[i]);
    }
    // The rim at the button's left edge, half-way down: its blue falls as
    // the pulse nears orange and rises again.
    int low = 255, high = 0;
    for (const TextureImage& shot : shots) {
        const Pixel p = at(shot, x + 2.0f, y + h / 2.0f);
        EXPECT_GT(p.r, 200) << "the rim is drawn there";
        low = std::min(low, p.b), high = std::max(high, p.b);
    }
    EXPECT_GT(high - low, 30) << "the rim's blue stays between " << low << " and " << high;
}

// In Japanese the gauges and buttons read in Japanese, the squadron order of
// a first campaign mission too: a mouse click on its button where the HUD
// draws it turns it to the next order, so all three words show in turn. Pictures
// and texts stay in build/hud.
TEST_F(GameHudRun, JapaneseWordsOnTheHud)
{
    const CSprite::Rect order = hudElement(960, 640, 25);
    ASSERT_GT(order.w, 20.0f);
    const std::string click =
        "click " + std::to_string(static_cast<int>(order.x + order.w / 2.0f)) + " " +
        std::to_string(static_cast<int>(order.y + order.h / 2.0f));
    setenv("LANG", "ja_XX.UTF-8", 1);
    const int code = game.runScript("440 " + click + "\n480 " + click + "\n",
                                    "-width 960 -height 640 -fixeddt 0.0166667 -frames 515 -textboxes "
                                    "-autostart 1:c1m1 -dumpframe 430:game-ja.png -dumpframe 470:game-ja-2.png "
                                    "-dumpframe 510:game-ja-3.png");
    unsetenv("LANG");
    ASSERT_EQ(code, 0) << tree.read("stderr.txt");
    std::string texts[3];
    const char* shots[3] = {"game-ja.png", "game-ja-2.png", "game-ja-3.png"};
    for (int i = 0; i < 3; ++i) {
        const std::string file = std::string(shots[i]) + ".texts";
        game.keepFile(shots[i], "hud", shots[i]);
        game.keepFile(file, "hud", file);
        texts[i] = tree.read(file);
    }
    for (const char* word : {"| マイル/時\n", "| ×100\n", "| フィート ×1000\n", "| 27\n", "| 自動\n", "| 北\n"})
        EXPECT_NE(texts[0].find(word), std::string::npos) << word;
    // The order's three words, one after each click: attack, defend, form.
    EXPECT_NE(texts[0].find("| 攻撃\n"), std::string::npos);
    EXPECT_NE(texts[1].find("| 防御\n"), std::string::npos);
    EXPECT_NE(texts[2].find("| 編隊\n"), std::string::npos);
    const std::string fit = "python3 " SKYFRONT_SOURCE_DIR "/tests/support/text_fit.py " + tree.folder();
    EXPECT_EQ(std::system((fit + "game-ja.png.texts").c_str()), 0);
}

}  // namespace

namespace {

// The share of the view's middle (4-pixel grid) that is not sky.
float groundShare(const TextureImage& image)
{
    int hits = 0, total = 0;
    for (int y = image.height / 8; y < image.height * 7 / 8; y += 4)
        for (int x = image.width / 4; x < image.width * 3 / 4; x += 4, ++total) {
            const std::uint8_t* p = &image.levels[0][(static_cast<std::size_t>(y) * image.width + x) * 4];
            hits += p[2] > 120 && p[2] >= p[0] + 10 ? 0 : 1;
        }
    return total ? static_cast<float>(hits) / static_cast<float>(total) : 0.0f;
}

// In the first mission a finger held on the opening notice is the notice's,
// not the camera drag's under it: the view keeps its place. Holding Tab then
// shows the mission's pause page, its objectives, over the HUD (the dials
// still drawn under it) without pausing, and letting go brings the HUD back;
// a lesson's page shows so too.
TEST_F(GameHudRun, InAMissionTheNoticeTakesItsTapAndScoresShowsThePausePageOverTheHud)
{
    const int code = game.runScript("440 mousedown 518 208\n445 mousemove 516 206\n470 mousemove 514 204\n"
                                    "500 mouseup 514 204\n520 keydown Tab\n545 keyup Tab\n",
                                    "-width 960 -height 640 -fixeddt 0.0166667 -frames 560 -textboxes "
                                    "-autostart 1:c1m1 -dumpframe 438:mission.png -dumpframe 495:notice-held.png "
                                    "-dumpframe 540:scores-held.png -dumpframe 556:scores-let-go.png");
    ASSERT_EQ(code, 0) << tree.read("stderr.txt");
    const std::string before = tree.read("mission.png.texts");
    ASSERT_NE(before.find("| Fly your first patrol"), std::string::npos) << "the notice is where the finger goes";
    TextureImage mission, held;
    ASSERT_TRUE(loadShot("mission.png", mission));
    ASSERT_TRUE(loadShot("notice-held.png", held));
    EXPECT_NEAR(groundShare(held), groundShare(mission), 0.08f) << "the view turned under the notice";

    const std::string scores = tree.read("scores-held.png.texts"), after = tree.read("scores-let-go.png.texts");
    game.keepFile("scores-held.png", "hud", "scores-held-c1m1.png");
    EXPECT_NE(scores.find("| Objectives\n"), std::string::npos);
    EXPECT_NE(scores.find("| Enemy targets left: 3\n"), std::string::npos);
    EXPECT_NE(scores.find("| MPH\n"), std::string::npos) << "the HUD under the page";
    EXPECT_EQ(after.find("| Objectives\n"), std::string::npos);
    EXPECT_NE(after.find("| MPH\n"), std::string::npos);
    const std::string log = game.log();
    const std::size_t shown = log.find("held over the HUD"), gone = log.find("over the HUD let go");
    ASSERT_NE(shown, std::string::npos);
    EXPECT_NE(gone, std::string::npos);
    EXPECT_LT(shown, gone);
    EXPECT_EQ(log.find("pause screen opened"), std::string::npos) << "holding Scores does not pause";

    // The take-off lesson lets Scores through on the runway: its own page shows.
    ASSERT_EQ(game.runScript("470 keydown Tab\n500 keyup Tab\n", "-width 960 -height 640 -fixeddt 0.0166667 "
                             "-frames 510 -textboxes -autostart 9:3 -dumpframe 490:lesson-scores.png"),
              0)
        << tree.read("stderr.txt");
    const std::string lesson = tree.read("lesson-scores.png.texts");
    EXPECT_NE(lesson.find("| Flight School\n"), std::string::npos);
    EXPECT_NE(lesson.find("| MPH\n"), std::string::npos) << "the HUD under the page";
}

}  // namespace
