#include "StagedGame.h"

#include "platform/File.h"
#include "render/assets/ImageLoaders.h"
#include "render/assets/TextureImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {
namespace fs = std::filesystem;

// The staged game in a scratch tree, driven by "-inputscript" on its first
// menu page: the plane showcase.
class ShowcaseRun : public testing::Test {
protected:
    void SetUp() override
    {
        if (!game.prepare())
            GTEST_SKIP() << "the game is not staged";
    }
    int run(const std::string& script, const std::string& arguments)
    {
        return game.runScript(script, "-width 960 -height 640 -fixeddt 0.0166667 " + arguments);
    }
    std::string log() const { return game.log(); }
    bool loadShot(const std::string& name, TextureImage& image)
    {
        const fs::path keep = fs::path(SKYFRONT_BINARY_DIR) / "menus/scene";
        fs::create_directories(keep);
        std::error_code ignored;
        fs::copy_file(tree.path() / name, keep / name, fs::copy_options::overwrite_existing, ignored);
        auto file = FileDisk::open(tree.folder() + name, "rb");
        return file && decodePng(*file, image) && image.format == TextureFormat::Rgba8;
    }
    StagedGame game;
    TempDir& tree = game.tree;
};

// Bright, nearly grey pixels (the showcase plane's bare metal) in a box,
// leaving out the round info button in the middle of the screen.
int metalPixels(const TextureImage& image, int x0, int x1, int y0, int y1)
{
    int count = 0;
    const std::vector<std::uint8_t>& px = image.levels[0];
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            if (std::abs(x - image.width / 2) < image.width / 30 && std::abs(y - image.height / 2) < image.height / 20)
                continue;
            const std::size_t at = (static_cast<std::size_t>(y) * image.width + x) * 4;
            const int lo = std::min({px[at], px[at + 1], px[at + 2]});
            const int hi = std::max({px[at], px[at + 1], px[at + 2]});
            if (lo > 150 && hi - lo < 40)
                ++count;
        }
    return count;
}

// Light, bluish-white pixels in a box: the browsing arrows' colours.
int arrowPixels(const TextureImage& image, int x0, int y0, int x1, int y1)
{
    int count = 0;
    const std::vector<std::uint8_t>& px = image.levels[0];
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * image.width + x) * 4;
            if (std::min({px[at], px[at + 1], px[at + 2]}) > 170 && px[at + 2] >= px[at])
                ++count;
        }
    return count;
}

struct ListedBox {
    float x = 0, y = 0, w = 0, h = 0;
    float middleY() const { return y + h / 2.0f; }
};

// The boxes of the items of one class in a "-textboxes" list, in list order.
std::vector<ListedBox> listedBoxes(const fs::path& list, const std::string& className)
{
    std::vector<ListedBox> out;
    std::ifstream in(list);
    for (std::string line; std::getline(in, line);) {
        const std::size_t bar = line.find(" | "), last = line.rfind(" | ");
        if (line.rfind("frame ", 0) != 0 || bar == last || line.substr(last + 3) != className)
            continue;
        ListedBox box;
        if (std::sscanf(line.c_str() + bar + 3, "%f %f %f %f", &box.x, &box.y, &box.w, &box.h) == 4)
            out.push_back(box);
    }
    return out;
}

struct Shown {
    int plane;
    std::string stats;
};

// The planes the showcase showed, with the statistics bars' targets of each.
std::vector<Shown> shownPlanes(const std::string& log)
{
    std::vector<Shown> out;
    const std::string mark = "statistics of plane ";
    for (std::size_t at = log.find(mark); at != std::string::npos; at = log.find(mark, at + 1)) {
        const std::size_t number = at + mark.size();
        const std::size_t colon = log.find(':', number);
        const std::size_t end = log.find('\n', number);
        if (colon == std::string::npos || end == std::string::npos || colon > end)
            continue;
        out.push_back({std::atoi(log.c_str() + number), log.substr(colon + 1, end - colon - 1)});
    }
    return out;
}
}  // namespace

TEST_F(ShowcaseRun, ADragPageDownAndTheRightShoulderEachBringAnotherPlane)
{
    const std::string script =
        "# skip the logos into the menus\n"
        "5 click 480 320\n10 click 480 320\n15 click 480 320\n20 click 480 320\n"
        "200 drag 800 330 300 330 10\n"
        "320 key PgDn\n"
        "440 pad rightshoulder\n"
        "560 click 480 320\n";
    ASSERT_EQ(run(script, "-frames 640 -textboxes -dumpframe 60:showcase_hint.png -dumpframe 190:showcase_first.png "
                          "-dumpframe 620:showcase_info.png"),
              0)
        << log();
    const std::string text = log();
    ASSERT_NE(text.find("page shown:"), std::string::npos) << text.substr(0, 4000);
    const std::vector<Shown> shown = shownPlanes(text);
    // The page's own show, then one plane for each of the three inputs.
    ASSERT_GE(shown.size(), 4u) << text;
    const std::size_t last = shown.size() - 1;
    for (std::size_t i = last - 2; i <= last; ++i) {
        EXPECT_NE(shown[i].plane, shown[i - 1].plane) << text;
        EXPECT_FALSE(shown[i].stats.empty());
    }
    EXPECT_NE(text.find("showcase plane"), std::string::npos);
    // Browsing swaps the airplane flying in the menu scene, not only the panel.
    EXPECT_NE(text.find("showcase airplane now plane"), std::string::npos);

    TextureImage first, info, hint;
    ASSERT_TRUE(loadShot("showcase_first.png", first));
    ASSERT_TRUE(loadShot("showcase_info.png", info));
    ASSERT_TRUE(loadShot("showcase_hint.png", hint));
    // The first showcase after start shows its browsing arrows, fading: up and
    // down at the right edge, over the halves of the room above the menu's
    // bar, left and right beside the plane dots; two seconds later they are gone.
    struct Box {
        const char* name;
        int x0, y0, x1, y1;
    };
    // The left and right arrows stand beside the plane dots, or over the
    // row's ends where the state panel reaches it: one each side of the
    // dots' middle, clear of the panel, each where the page lists it.
    const fs::path hintList = tree.path() / "showcase_hint.png.texts";
    const std::vector<ListedBox> hintDots = listedBoxes(hintList, "SpritePageIndicator");
    ASSERT_FALSE(hintDots.empty());
    std::vector<ListedBox> sides;
    for (const ListedBox& a : listedBoxes(hintList, "ShowcaseArrow"))
        if (a.x + a.w / 2.0f < static_cast<float>(hint.width) - 100.0f)   // not the variants' arrows at the edge
            sides.push_back(a);
    ASSERT_EQ(sides.size(), 2u);
    if (sides[0].x > sides[1].x)
        std::swap(sides[0], sides[1]);
    const float dotsMiddle = hintDots[0].x + hintDots[0].w / 2.0f;
    EXPECT_LT(sides[0].x + sides[0].w / 2.0f, dotsMiddle);
    EXPECT_GT(sides[1].x + sides[1].w / 2.0f, dotsMiddle);
    for (const ListedBox& a : sides)
        for (const ListedBox& stats : listedBoxes(hintList, "StatePanel"))
            EXPECT_GE(a.x, stats.x + stats.w) << "an arrow over the state panel";
    const auto around = [](const char* name, const ListedBox& a) {
        const int x = static_cast<int>(a.x + a.w / 2.0f), y = static_cast<int>(a.middleY());
        return Box{name, x - 30, y - 25, x + 30, y + 25};
    };
    for (const Box& box : {Box{"up", 880, 190, 940, 240}, Box{"down", 880, 376, 940, 426}, around("left", sides[0]),
                           around("right", sides[1])}) {
        EXPECT_GE(arrowPixels(hint, box.x0, box.y0, box.x1, box.y1), 250) << box.name;
        if (box.name[0] != 'u') {   // the sky may be as light as the arrow up there
            EXPECT_LE(arrowPixels(first, box.x0, box.y0, box.x1, box.y1), 100) << box.name;
        }
    }
    // The world behind the page: the middle third is neither empty nor one flat colour.
    std::set<std::uint32_t> colours;
    const std::vector<std::uint8_t>& px = first.levels[0];
    for (int y = first.height / 3; y < 2 * first.height / 3; y += 8)
        for (int x = first.width / 3; x < 2 * first.width / 3; x += 8) {
            const std::size_t at = (static_cast<std::size_t>(y * first.width + x)) * 4;
            colours.insert(px[at] << 16 | px[at + 1] << 8 | px[at + 2]);
        }
    EXPECT_GT(colours.size(), 20u);
    // The plane flies in the middle third, right of the statistics panel (the
    // left ~40 %), below the horizon's haze; the right third has no such metal.
    const int w = first.width, h = first.height;
    const int besidePanel = metalPixels(first, w * 42 / 100, w * 2 / 3, h * 42 / 100, h * 2 / 3);
    const int rightThird = metalPixels(first, w * 2 / 3 + w / 12, w * 59 / 60, h * 42 / 100, h * 2 / 3);
    EXPECT_GT(besidePanel, w * h / 600) << "right third " << rightThird;
    EXPECT_GT(besidePanel, 3 * rightThird) << besidePanel;
    // The balloon opened by the info button covers the right of the centre with its panel blue.
    const std::size_t at = (static_cast<std::size_t>(info.height / 2) * info.width + info.width * 5 / 8) * 4;
    const std::size_t before = (static_cast<std::size_t>(first.height / 2) * first.width + first.width * 5 / 8) * 4;
    EXPECT_NE(info.levels[0][at + 2], first.levels[0][before + 2]);
    EXPECT_NE(text.find("showcase plane"), std::string::npos);

    // Over the main menu's taller bar the balloon and the variant dots share
    // the statistics panel's middle; the dots stand their width in from the
    // right edge, the balloon half way between the panel and them.
    const fs::path list = tree.path() / "showcase_info.png.texts";
    const std::vector<ListedBox> stats = listedBoxes(list, "StatePanel");
    const std::vector<ListedBox> dots = listedBoxes(list, "SpritePageIndicator");
    std::vector<ListedBox> balloons;
    for (const ListedBox& panel : listedBoxes(list, "MenuPanel"))
        if (!stats.empty() && panel.x > stats[0].x + stats[0].w)
            balloons.push_back(panel);
    ASSERT_EQ(stats.size(), 1u);
    ASSERT_EQ(dots.size(), 2u) << "the plane dots, then the variant dots";
    ASSERT_EQ(balloons.size(), 1u);
    const ListedBox& variants = dots[1];
    const float right = stats[0].x + stats[0].w, dotsX = variants.x + variants.w;
    EXPECT_FLOAT_EQ(dotsX, static_cast<float>(w) - variants.w + 5.0f);
    EXPECT_NEAR(variants.middleY(), stats[0].middleY(), 1.0f);
    EXPECT_NEAR(balloons[0].middleY(), stats[0].middleY(), 1.0f);
    EXPECT_NEAR(balloons[0].x + balloons[0].w / 2.0f, right + std::trunc((dotsX - right - 40.0f) / 2.0f), 1.0f);
}

namespace {
// The box of the button or label whose text reads `text` in a "-textboxes" list.
bool labelledBox(const fs::path& list, const std::string& text, ListedBox& out)
{
    std::ifstream in(list);
    std::vector<std::pair<int, ListedBox>> frames;
    for (std::string line; std::getline(in, line);) {
        const std::size_t bar = line.find(" | ");
        if (bar == std::string::npos)
            continue;
        if (line.rfind("frame ", 0) == 0) {
            ListedBox box;
            if (std::sscanf(line.c_str() + bar + 3, "%f %f %f %f", &box.x, &box.y, &box.w, &box.h) == 4)
                frames.emplace_back(std::atoi(line.c_str() + 6), box);
        } else if (line.rfind("text ", 0) == 0 && line.size() >= text.size() &&
                   line.compare(line.size() - text.size(), text.size(), text) == 0 &&
                   line.compare(line.rfind(" | ") + 3, std::string::npos, text) == 0) {
            const int frame = std::atoi(line.c_str() + 5);
            for (const auto& [id, box] : frames)
                if (id == frame) {
                    out = box;
                    return true;
                }
        }
    }
    return false;
}

// The ids of the planes the showcase was browsed to, in order.
std::vector<int> browsedPlanes(const std::string& log)
{
    std::vector<int> out;
    const std::string mark = "showcase plane ";
    for (std::size_t at = log.find(mark); at != std::string::npos; at = log.find(mark, at + 1))
        out.push_back(std::atoi(log.c_str() + at + mark.size()));
    return out;
}
}  // namespace

// A new pilot flies the first two planes of the first tier; the main menu
// also shows the locked ones, each with its dot, and the info button tells
// what unlocks the one shown. Browsing past a locked plane leaves the pilot
// in the last unlocked one, as the profile page shows.
TEST_F(ShowcaseRun, ANewPilotBrowsesToALockedPlaneAndReadsWhatUnlocksIt)
{
    const std::string skip = "5 click 480 320\n10 click 480 320\n15 click 480 320\n20 click 480 320\n";
    ASSERT_EQ(run(skip, "-frames 200 -textboxes -dumpframe 190:main.png"), 0) << log();
    const fs::path first = tree.path() / "main.png.texts";
    const std::vector<ListedBox> dots = listedBoxes(first, "SpritePageIndicator");
    ListedBox profile;
    ASSERT_FALSE(dots.empty());
    ASSERT_TRUE(labelledBox(first, "Profile", profile));
    // Five families in the first tier, the first three dots: the P-51, the
    // Spitfire and the locked Bf 109.
    const ListedBox& row = dots[0];
    ASSERT_GT(row.w, row.h * 4.0f) << "the plane dots hold the locked planes too";
    const float step = (row.w - row.h) / 4.0f;
    const auto dot = [&](int i) {
        return std::to_string(static_cast<int>(row.x + step * static_cast<float>(i) + row.h / 4.0f)) + " " +
               std::to_string(static_cast<int>(row.y + row.h / 4.0f));
    };
    const std::string script = skip + "200 click " + dot(1) + "\n300 click " + dot(2) +
                               "\n400 click 480 320\n520 click " +
                               std::to_string(static_cast<int>(profile.x + profile.w / 2.0f)) + " " +
                               std::to_string(static_cast<int>(profile.y + profile.h / 2.0f)) + "\n";
    ASSERT_EQ(run(script, "-frames 640 -textboxes -dumpframe 480:locked_info.png -dumpframe 630:profile.png"), 0)
        << log();
    const std::string text = log();
    // The P-51, the Spitfire, then the locked Bf 109.
    const std::vector<int> browsed = browsedPlanes(text);
    const std::vector<int> road = {0, 1, 4};
    EXPECT_NE(std::search(browsed.begin(), browsed.end(), road.begin(), road.end()), browsed.end()) << text;
    // Its description ends in what unlocks it.
    const std::string balloon = tree.read("locked_info.png.texts");
    EXPECT_NE(balloon.find("Reach the rank of"), std::string::npos) << balloon;
    TextureImage info;
    EXPECT_TRUE(loadShot("locked_info.png", info));
    // Leaving for the profile page puts the pilot's own plane back in the
    // scene: the Spitfire, the last unlocked one shown, not the Bf 109.
    ASSERT_NE(text.find("page shown: ProfileMenuFrame"), std::string::npos) << text;
    const std::string now = "showcase airplane now plane ";
    const std::size_t last = text.rfind(now);
    ASSERT_NE(last, std::string::npos);
    EXPECT_EQ(std::atoi(text.c_str() + last + now.size()), 1) << text;
}
