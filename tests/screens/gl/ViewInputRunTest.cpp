// The staged game played from input scripts: the camera drag, the Look key
// and the controller's right stick turn the view in free flight; the weapons
// tutorial is played by keys from its link lesson to the rocket lesson; the
// mouse steers through the HUD's aim, in the cockpit view from where the view
// looks. Frames go to build/view/ for a look.
#include "StagedGame.h"

#include "render/assets/TextureImage.h"

#include <gtest/gtest.h>

#include <string>

namespace {
constexpr int kWidth = 960, kHeight = 640;

struct ViewInput : testing::Test {
    StagedGame game;

    void SetUp() override
    {
        if (!game.prepare())
            GTEST_SKIP() << "the game is not staged";
    }
    int play(const std::string& script, const std::string& arguments)
    {
        return game.runScript(script, "-width " + std::to_string(kWidth) + " -height " + std::to_string(kHeight) +
                                          " -fixeddt 0.0166667 " + arguments);
    }
    TextureImage shot(const std::string& name)
    {
        TextureImage image;
        EXPECT_TRUE(game.loadShot(name, image, "view")) << name;
        return image;
    }
    // The share of the 3-D view's pixels (4-pixel grid, HUD corners left out)
    // that are not sky.
    static float groundShare(const TextureImage& image)
    {
        if (image.levels.empty() || image.width != kWidth)
            return -1.0f;
        int hits = 0, total = 0;
        for (int y = kHeight / 8; y < kHeight * 7 / 8; y += 4)
            for (int x = kWidth / 4; x < kWidth * 3 / 4; x += 4, ++total) {
                const std::uint8_t* p = &image.levels[0][(static_cast<std::size_t>(y) * kWidth + x) * 4];
                const bool sky = p[2] > 120 && p[2] >= p[0] + 10;
                hits += sky ? 0 : 1;
            }
        return total ? static_cast<float>(hits) / static_cast<float>(total) : 0.0f;
    }
    // The mean x of the pure white pixels about the screen centre: the
    // gunsight's and the mouse reticle's rings; -1 without any.
    static float whiteCentre(const TextureImage& image)
    {
        if (image.levels.empty() || image.width != kWidth)
            return -1.0f;
        double sum = 0.0;
        int count = 0;
        for (int y = kHeight / 2 - 30; y <= kHeight / 2 + 30; ++y)
            for (int x = kWidth / 2 - 60; x <= kWidth / 2 + 60; ++x) {
                const std::uint8_t* p = &image.levels[0][(static_cast<std::size_t>(y) * kWidth + x) * 4];
                if (p[0] >= 245 && p[1] >= 245 && p[2] >= 245) {
                    sum += x;
                    ++count;
                }
            }
        return count ? static_cast<float>(sum / count) : -1.0f;
    }
};

// Free flight straight and level: each look input held low turns the view
// down, so the ground fills more of it than a frame before the input.
TEST_F(ViewInput, TheDragTheLookKeyAndTheRightStickTurnTheView)
{
    // The drag: a finger held low in the camera area looks down once a third
    // of a second has passed.
    const std::string drag = "300 mousedown 420 600\n305 mousemove 418 600\n330 mousemove 416 600\n"
                             "360 mousemove 414 600\n390 mouseup 414 600\n";
    ASSERT_EQ(play(drag, "-frames 400 -autostart 10:0 -dumpframe 295:look_before.png -dumpframe 380:look_drag.png"), 0)
        << game.errors();
    const float before = groundShare(shot("look_before.png"));
    const float dragged = groundShare(shot("look_drag.png"));
    EXPECT_GT(dragged, before + 0.2f) << "before " << before << ", dragged " << dragged;

    // The Look key with the pitch key: the view turns, the plane does not.
    const std::string key = "300 keydown X\n300 keydown S\n390 keyup S\n390 keyup X\n";
    ASSERT_EQ(play(key, "-frames 400 -autostart 10:0 -dumpframe 295:key_before.png -dumpframe 380:look_key.png"), 0)
        << game.errors();
    const float keyBefore = groundShare(shot("key_before.png"));
    const float keyed = groundShare(shot("look_key.png"));
    EXPECT_GT(keyed, keyBefore + 0.2f) << "before " << keyBefore << ", keyed " << keyed;

    // The right stick looks with the controller chosen on the controls page.
    // (The controller's first event connects it; the joystick box wants one.)
    ASSERT_EQ(play("100 axis righty 0\n230 click 436 197\n260 key Esc\n", "-frames 300 -menupage controls"), 0)
        << game.errors();
    ASSERT_NE(game.log().find("CONTROL_DEVICE 1"), std::string::npos) << game.log();
    const std::string stick = "300 axis righty 32767\n390 axis righty 0\n";
    ASSERT_EQ(play(stick, "-frames 400 -autostart 10:0 -dumpframe 295:stick_before.png -dumpframe 380:look_stick.png"), 0)
        << game.errors();
    const float stickBefore = groundShare(shot("stick_before.png"));
    const float sticked = groundShare(shot("look_stick.png"));
    EXPECT_GT(sticked, stickBefore + 0.2f) << "before " << stickBefore << ", stick " << sticked;
}

// The weapons tutorial by keys alone: the trigger held downs the drone in
// the two gun lessons; in the link lesson the link key makes the HUD show the
// linked pair's button, which ends the lesson; the linked guns down the drone
// again, and the rocket lesson begins. Each lesson's lines come in order with
// its step.
TEST_F(ViewInput, WeaponsTutorialPlayedByKeysFromTheLinkLessonToTheRockets)
{
    std::string script = "1 keydown Space\n";
    for (int frame = 300; frame < 1060; frame += 40)
        script += std::to_string(frame) + " key L\n";
    // A picture of the late lessons.
    ASSERT_EQ(game.runScript(script, "-width 480 -height 320 -quality 0 -fixeddt 0.05 -frames 1060 -autostart 9:4 "
                                     "-dumpframe 1040:weapons_late.png"),
              0)
        << game.errors();
    const std::string log = game.log();
    std::size_t at = log.find("tutorial 4: step 7");
    ASSERT_NE(at, std::string::npos) << log;
    // The link lesson's end, the linked guns, the rockets.
    for (const char* next : {"line 642", "step 8", "line 643", "step 9", "line 644", "line 645", "line 646",
                             "step 10"}) {
        const std::size_t found = log.find(std::string("tutorial 4: ") + next, at);
        ASSERT_NE(found, std::string::npos) << next << " after the previous one\n" << log;
        at = found;
    }
    (void)shot("weapons_late.png");
}

// The mouse chosen as the control device steers: moving it up raises the
// HUD's aim, the view behind the plane looks along the aim at once, and the
// plane climbs after it.
TEST_F(ViewInput, TheMouseSteersThroughTheHudsAim)
{
    ASSERT_EQ(play("230 click 614 197\n260 key Esc\n", "-frames 300 -menupage controls"), 0) << game.errors();
    ASSERT_NE(game.log().find("CONTROL_DEVICE 2"), std::string::npos) << game.log();
    // The pointer placed while the game loads, so the first move in flight is small.
    std::string script = "100 mousemove 480 320\n";
    for (int i = 1; i <= 30; ++i)
        script += std::to_string(300 + i) + " mousemove 480 " + std::to_string(320 - 3 * i) + "\n";
    ASSERT_EQ(play(script, "-frames 700 -autostart 10:0 -dumpframe 295:mouse_before.png -dumpframe 380:mouse_aim.png "
                           "-dumpframe 690:mouse_climb.png"),
              0)
        << game.errors();
    const float before = groundShare(shot("mouse_before.png"));
    const float aimed = groundShare(shot("mouse_aim.png"));
    EXPECT_LT(aimed, before - 0.1f) << "before " << before << ", aimed " << aimed;
    // Later the plane has turned to the aim: the view still looks up.
    EXPECT_LT(groundShare(shot("mouse_climb.png")), before - 0.1f);
}

// In the cockpit view the mouse turns the aim from where the view looks: the
// reticle leaves the centre while the mouse moves and comes back to it once
// the mouse rests, the plane having turned with it.
TEST_F(ViewInput, InTheCockpitTheAimComesBackToTheViewWhenTheMouseRests)
{
    ASSERT_EQ(play("230 click 614 197\n260 key Esc\n", "-frames 300 -menupage controls"), 0) << game.errors();
    ASSERT_NE(game.log().find("CONTROL_DEVICE 2"), std::string::npos) << game.log();
    // Two presses of the camera key: behind, close behind, the cockpit.
    std::string script = "100 mousemove 480 320\n320 key C\n340 key C\n";
    for (int i = 1; i <= 15; ++i)
        script += std::to_string(400 + i) + " mousemove " + std::to_string(480 - 4 * i) + " 320\n";
    ASSERT_EQ(play(script, "-frames 530 -autostart 10:0 -dumpframe 398:cockpit_before.png "
                           "-dumpframe 414:cockpit_turn.png -dumpframe 520:cockpit_rest.png"),
              0)
        << game.errors();
    const float before = whiteCentre(shot("cockpit_before.png"));
    const float turned = whiteCentre(shot("cockpit_turn.png"));
    const float rested = whiteCentre(shot("cockpit_rest.png"));
    EXPECT_NEAR(before, kWidth / 2.0f, 3.0f);
    EXPECT_LT(turned, before - 5.0f) << "the reticle moved left with the mouse";
    EXPECT_NEAR(rested, before, 3.0f) << "and came back to the view";
}

}  // namespace
