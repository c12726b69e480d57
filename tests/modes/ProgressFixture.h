#pragma once
#include "gamedata/records/PlaneList.h"
#include "platform/File.h"
#include "platform/Language.h"
#include "platform/Pak.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"

#include "support/TempDir.h"
#include "support/TestPak.h"

#include <gtest/gtest.h>

// The staged pak mounted over an empty data root and a fresh save folder,
// with the English texts and the plane list loaded from it.
struct StagedProgress : testing::Test {
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};
    StringTable english;
    Settings profile;  // what the tests unlock into
    PlaneList planes;

    void SetUp() override
    {
        ASSERT_TRUE(mountPak(SKYFRONT_STAGE_DIR "/paks/base.pak"));
        ASSERT_TRUE(setLanguageByIndex(0));
        auto table = openFile("data/strings/EN/main.str");
        ASSERT_NE(table, nullptr);
        ASSERT_TRUE(english.load(*table));
        Settings listSettings;
        ASSERT_TRUE(planes.load(PlaneList::kListPath, english, listSettings));
    }
    void TearDown() override { unloadStringTables(); }
};
