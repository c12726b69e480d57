#pragma once
// The game screen over GL on the staged data: the effect models loaded, 60
// frames a second, a target of the fixture's size; the screens reset after.
#include "GlTestContext.h"

#include "modes/MatchConnections.h"
#include "platform/Clock.h"
#include "screens/GameStart.h"
#include "screens/Screens.h"
#include "screens/scene/Scene.h"
#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

class GameScreenGl : public GlTest {
protected:
    GameScreenGl(int width, int height) : m_width(width), m_height(height) {}

    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        setenv("SKYFRONT_HEADLESS", "1", 1);
        std::string error;
        ASSERT_TRUE(harness.mountData(error)) << error;
        // The game's own screens connections; achievements, scores and end pages do nothing.
        MatchConnections connections = MatchConnections::none();
        fillScreenConnections(connections);
        setGameConnections(connections);
        useTarget(m_width, m_height);
        resetScreens();
        Scene::loadEffectModels();
        setFrameDelta(1.0f / 60.0f);
    }
    void TearDown() override
    {
        if (!IsSkipped()) {
            setCurrentScreen(nullptr);
            resetScreens();
            gfx().setRenderTarget(nullptr);
        }
        GlTest::TearDown();
    }

    ModeHarness harness;

private:
    int m_width, m_height;
};
