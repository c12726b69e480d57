#pragma once
#include "modes/MatchConnections.h"
#include "screens/GameStart.h"
#include "support/TempDir.h"

#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "ui/MenuHooks.h"
#include "ui/MenuNavigation.h"

#include <gtest/gtest.h>

#include <filesystem>

// A 1280 x 720 screen, a fixed frame step, the settings in a folder of the
// test's own and no page current.
struct PageTest : testing::Test {
    void SetUp() override
    {
        setLogCapture([](LogLevel, const std::string&, const std::string&) {});
        ASSERT_TRUE(setScreenSize(1280, 720));
        setFrameDelta(1.0f / 60.0f);
        clearFrameHistory();
        setSaveFolder(saves.folder());
        saved = settings();
        // Games the pages start are given do-nothing connections.
        setGameConnections(MatchConnections::none());
    }
    void TearDown() override
    {
        clearFrameHistory();
        settings() = saved;
        setSaveFolder("");
        setScreenSize(960, 640);
        setLogCapture({});
    }
    bool saved_file_exists(const char* name) const { return std::filesystem::exists(saves.path() / name); }
    // The settings file read back into a fresh record.
    Settings onDisk() const
    {
        Settings read;
        Settings keep = settings();
        if (settings().load())
            read = settings();
        settings() = keep;
        return read;
    }
    void removeSaved(const char* name) const { std::filesystem::remove(saves.path() / name); }

    TempDir saves;
    Settings saved;
};
