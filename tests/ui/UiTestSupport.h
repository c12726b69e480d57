#pragma once
#include "platform/Clock.h"
#include "platform/ScreenMetrics.h"
#include "ui/MenuContainer.h"
#include "MenuSoundLog.h"
#include "ui/MenuHooks.h"
#include "ui/MenuNavigation.h"

#include <gtest/gtest.h>

#include <vector>

// A fixed-size leaf that records what reached it.
struct ProbeItem : MenuItem {
    ProbeItem(int w, int h, bool takeTouches = true) : takes(takeTouches)
    {
        width = w;
        height = h;
        interactive = true;
    }
    bool onTouchDown(int, int) override
    {
        events.push_back('d');
        return takes;
    }
    bool onTouchUp(int, int) override
    {
        events.push_back('u');
        return takes;
    }
    bool onTouchMove(int, int) override
    {
        events.push_back('m');
        return false;
    }
    bool onScroll(float, float) override
    {
        events.push_back('w');
        return true;
    }
    std::string events;
    bool takes;
};

// Screen metrics at a known size, a fixed frame step, the navigation
// cleared and the hooks recording.
struct MenuTest : testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(setScreenSize(960, 640));
        setFrameDelta(1.0f / 60.0f);
        clearFrameHistory();
        setMenuClock([this] { return clockNow; });
    }
    void TearDown() override
    {
        clearFrameHistory();
        setMenuClock(nullptr);
        setMenuAlertHooks({});
        setScreenSize(960, 640);
    }
    RecordingSound sound{"click", "clickback"};
    MenuSoundLog sounds{sound};
    float clockNow = 0.0f;
};
