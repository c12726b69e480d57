#pragma once
#include "MenusTestSupport.h"

#include "gamedata/records/MapLists.h"
#include "menus/MenuFrameRegistry.h"
#include "platform/File.h"
#include "platform/Language.h"
#include "render/2d/SpriteSets.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

// A page test over the staged data as the game reads it: English texts and
// the map lists; tear-down drops them with the menus' sprite sets and puts the
// old data root back.
struct StagedPageTest : PageTest {
    void SetUp() override
    {
        PageTest::SetUp();
        oldRoot = dataRoot();
        setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
        ASSERT_TRUE(setLanguageByCode("EN"));
        ASSERT_TRUE(MapLists::instance().load());
    }
    void TearDown() override
    {
        MapLists::instance().clear();
        for (int set : {2, 7, 8, 9, 10, 11, 21})
            unloadSprite(set);
        setDataRoot(oldRoot);
        unloadStringTables();
        reloadFonts();
        PageTest::TearDown();
    }
    std::string oldRoot;
};

// The same with the pages built anew at a screen size in one of the shipped
// languages; tear-down drops the pages.
struct SizedPageTest : StagedPageTest {
    using Size = std::pair<int, int>;
    void TearDown() override
    {
        clearFrameHistory();
        MenuFrameRegistry::deleteAll();
        StagedPageTest::TearDown();
    }
    void rebuild(const Size& size, int language)
    {
        clearFrameHistory();
        MenuFrameRegistry::deleteAll();
        ASSERT_TRUE(setScreenSize(size.first, size.second));
        ASSERT_TRUE(setLanguageByIndex(language));
        reloadFonts();
    }
    static std::string where(const Size& size, int language)
    {
        return std::to_string(size.first) + "x" + std::to_string(size.second) + " in " +
               languageTable[language].code;
    }
};
