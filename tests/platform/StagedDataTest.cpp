#include "platform/File.h"
#include "platform/FileHashList.h"
#include "platform/Language.h"
#include "platform/Pak.h"
#include "platform/StringTable.h"
#include "platform/StringTableListCfg.h"

#include "support/TempDir.h"
#include "support/TestPak.h"

#include <gtest/gtest.h>

namespace {
// The data tool's output, read through an empty data root and save folder so
// that everything comes from the pak alone.
struct StagedPak : testing::Test {
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};

    void SetUp() override { ASSERT_TRUE(mountPak(SKYFRONT_STAGE_DIR "/paks/base.pak")); }
    void TearDown() override { unloadStringTables(); }
};

TEST_F(StagedPak, HoldsTheStringTableListRecord)
{
    auto file = openFile("data/strings/tables.cfg");
    ASSERT_NE(file, nullptr);
    StringTableListCfg list;
    ASSERT_TRUE(list.loadFile(*file));
    ASSERT_GE(list.tables.count(), 1);
    EXPECT_EQ(list.tables.at(0)->name, "main");
    for (int i = 0; i < list.tables.count(); ++i)
        EXPECT_NE(openFile("data/strings/EN/" + list.tables.at(i)->name + ".str"), nullptr) << i;
}

TEST_F(StagedPak, EnglishTableLabelsEveryControlAction)
{
    ASSERT_TRUE(setLanguageByCode("EN"));
    EXPECT_EQ(getStringByIndex(1733), u"Eject");
    EXPECT_EQ(getStringByIndex(1734), u"Autopilot");
    EXPECT_EQ(getStringById("CTRL_SQUADRON_CMD"), u"Squadron Orders");
    for (int n = 1720; n <= 1754; ++n) {
        EXPECT_NE(getStringByIndex(n), u"DUMMY") << n;
        EXPECT_NE(getStringByIndex(n), u"") << n;
    }
}

TEST_F(StagedPak, FilesMatchTheirHashList)
{
    auto file = openFile(kFileHashListName);
    ASSERT_NE(file, nullptr);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(file->readAll(bytes));
    FileHashList list;
    list.parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), kFileHashListName);
    EXPECT_GE(list.entries().size(), 2u);
    EXPECT_TRUE(list.verify());
    EXPECT_TRUE(verifyFileHashes());
}
}  // namespace
