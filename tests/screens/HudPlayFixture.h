#pragma once
// A built HUD on the staged HUD sheet at 960 x 640, with a recording game
// side and controls whose actions land in a recording handler.
#include "platform/Clock.h"
#include "platform/Controls.h"
#include "platform/File.h"
#include "platform/Input.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteBatch.h"
#include "render/2d/SpriteSheet.h"
#include "screens/hud/HudMessageQueue.h"
#include "screens/hud/PlaneHud.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

struct RecordingControlsHandler : IControlsHandler {
    std::vector<std::pair<int, bool>> actions;  // game action index, pressed
    void onGameAction(int gameAction, bool pressed) override { actions.emplace_back(gameAction, pressed); }
    void onMenuAction(ControlAction) override {}
    void applyFlightInput(const PlayerFlightInput&) override {}
    void touchStickAxes(float& x, float& y) const override { x = y = 0.0f; }
    void releasePlayerStick() override {}
    void resetPlayerControls() override {}
};

struct RecordingHudGame : IHudGame {
    std::vector<std::string> calls;
    void pauseGame() override { calls.push_back("pause"); }
    void openChat(bool custom) override { calls.push_back(custom ? "chat custom" : "chat"); }
    void endBoost() override { calls.push_back("end boost"); }
    void gesture(int code) override { calls.push_back("gesture " + std::to_string(code)); }
};

inline bool loadStagedHudSheet(CSprite& sprite, float scale)
{
    std::ifstream file(SKYFRONT_STAGE_DIR "/data/sprites/hud_wwii.bspr", std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    SpriteSheet sheet;
    if (!readSpriteSheet(bytes, sheet))
        return false;
    sprite.loadSheet(std::move(sheet), scale);
    return true;
}

constexpr int action(ControlAction a) { return static_cast<int>(a) - kFirstGameAction; }

struct HudPlay : testing::Test {
    CSprite sheet;
    PlaneHud hud;
    RecordingControlsHandler handler;
    Controls controls{input(), settings()};
    RecordingHudGame game;
    HudGameState state;

    void SetUp() override
    {
        ASSERT_TRUE(setScreenSize(960, 640));
        setDataRoot(SKYFRONT_STAGE_DIR "/");
        ASSERT_TRUE(loadStagedHudSheet(sheet, screenMetrics().spriteScale)) << "the HUD sheet is not staged";
        controls.setHandler(&handler);
        hud.setControls(&controls);
        hud.setGame(&game);
        setFrameDelta(1.0f / 60.0f);
        state.player.exists = true;
        state.player.inPlay = true;
        state.player.position = {0.0f, 500.0f, 0.0f};
        hud.init(&sheet);
        hud.setControlScheme(0);
        // Past the intro slides and swings.
        setFrameDelta(1.0f);
        hud.update(state);
        hud.drawContents();
        spriteBatch().discard();
        setFrameDelta(1.0f / 60.0f);
    }
    void TearDown() override
    {
        settings().flipControls = 0;
        settings().metricUnits = 0;
        setTimeScale(1.0f);
        setFrameDelta(1.0f / 60.0f);
        HudMessageQueue::instance().clearAll();
    }
    // The centre of a button on screen.
    std::pair<int, int> centreOf(int id)
    {
        HudButton* b = hud.button(id);
        EXPECT_NE(b, nullptr) << "button " << id;
        if (!b)
            return {0, 0};
        const Vec2 p = b->screenPos();
        return {static_cast<int>(b->shownX() + b->size.x / 2.0f), static_cast<int>(p.y + b->size.y / 2.0f)};
    }
    void tap(int touch, std::pair<int, int> at)
    {
        hud.onTouchDown(touch, at.first, at.second);
        hud.onTouchUp(touch, at.first, at.second);
    }
};
