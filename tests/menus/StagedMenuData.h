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

// The staged base pak, English and the plane list for the menus' tests.
// Other fixtures' tear-downs unmount the paks, drop the texts or switch the
// language and clear the lists, so each piece is put back whenever it is gone.
inline void mountStagedMenuData()
{
    if (!openFromMountedPaks("data/strings/EN/main.str")) {
        ASSERT_TRUE(mountPak(SKYFRONT_STAGE_DIR "/paks/base.pak")) << "build the data target";
    }
    if (currentLanguage() != 0 || stringCount() == 0) {
        ASSERT_TRUE(setLanguageByIndex(0));
    }
    if (stagedMenuTexts().count() == 0) {
        auto table = openFile("data/strings/EN/main.str");
        ASSERT_TRUE(table && stagedMenuTexts().load(*table));
    }
    if (PlaneList::instance().count() == 0) {
        ASSERT_TRUE(PlaneList::instance().load(PlaneList::kListPath, stagedMenuTexts(), settings()));
    }
}
