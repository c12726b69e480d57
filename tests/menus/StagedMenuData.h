#pragma once
#include "gamedata/records/PlaneList.h"
#include "platform/File.h"
#include "platform/Language.h"
#include "platform/Pak.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"

#include <gtest/gtest.h>

// The English texts of the staged data, kept for lists loaded after them.
inline StringTable& stagedMenuTexts()
{
    static StringTable texts;
    return texts;
}

// The staged base pak, English and the plane list, mounted once for the
// whole test program.
inline void mountStagedMenuData()
{
    static bool mounted = false;
    if (mounted)
        return;
    mounted = true;
    ASSERT_TRUE(mountPak(SKYFRONT_STAGE_DIR "/paks/base.pak")) << "build the data target";
    ASSERT_TRUE(setLanguageByIndex(0));
    auto table = openFile("data/strings/EN/main.str");
    ASSERT_TRUE(table && stagedMenuTexts().load(*table));
    ASSERT_TRUE(PlaneList::instance().load(PlaneList::kListPath, stagedMenuTexts(), settings()));
}
