#include "platform/File.h"
#include "platform/Language.h"
#include "platform/StringTable.h"

#include "support/TempDir.h"
#include "support/TestPak.h"

#include <gtest/gtest.h>

namespace {
StringTable tableOf(std::string_view text)
{
    std::vector<StringEntry> entries;
    std::string error;
    EXPECT_TRUE(parseStringTable(text, "test.str", entries, error)) << error;
    StringTable table;
    table.build(entries, "test.str");
    return table;
}

TEST(StringTableText, NumbersKeysAndGaps)
{
    const StringTable table = tableOf("# menu texts\n\n0 - \"Play\"\n  2 MAP_TITLE_1 \"Northern Coast\"  \n");
    EXPECT_EQ(table.count(), 3);
    ASSERT_NE(table.text(0), nullptr);
    EXPECT_EQ(*table.text(0), u"Play");
    EXPECT_EQ(table.text(1), nullptr);
    EXPECT_EQ(table.text(3), nullptr);
    EXPECT_EQ(table.text(-1), nullptr);
    EXPECT_EQ(table.findId("MAP_TITLE_1"), 2);
    EXPECT_EQ(table.findId("map_title_1"), -1);
    EXPECT_EQ(table.findId(""), -1);
    EXPECT_EQ(table.findId(static_cast<const char*>(nullptr)), -1);
}

TEST(StringTableText, EscapesGiveColorCodesAndWideCharacters)
{
    const StringTable table = tableOf("1 - \"\\x01;Red\\x08; \\\"quoted\\\"\\n\\\\\"\n"
                                      "2 - \"\\u{4E2D}\\u{1F600}\"\n3 - \"Ölfeld ÷\"\n");
    EXPECT_EQ(*table.text(1), u"\x01;Red\x08; \"quoted\"\n\\");
    EXPECT_EQ(*table.text(2), u"\u4E2D\U0001F600");
    EXPECT_EQ(*table.text(3), u"Ölfeld ÷");
}

TEST(StringTableText, BadLinesAreSkippedAndTheFirstReported)
{
    const char text[] = "1 - \"good\"\n"
                        "2 - \"open\n"
                        "x - \"no number\"\n"
                        "70000 - \"too large\"\n"
                        "3 bad-key \"k\"\n"
                        "4 - \"\\x00\"\n"
                        "5 - \"\\q\"\n"
                        "6 - \"\xC3\x28\"\n"
                        "7 - \"trailing\" x\n"
                        "8 \"no key\"\n"
                        "9 - \"fine\"\n"
                       "10 - \"raw \0nul\"\n";
    std::vector<StringEntry> entries;
    std::string error;
    EXPECT_FALSE(parseStringTable(std::string_view(text, sizeof(text) - 1), "test.str", entries, error));
    EXPECT_EQ(error, "test.str:2: unterminated text");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].number, 9);
    EXPECT_EQ(entries[1].line, 11);
    std::string tooLong = "1 - \"" + std::string(kMaxStringBytes + 1, 'a') + "\"\n";
    entries.clear();
    EXPECT_FALSE(parseStringTable(tooLong, "test.str", entries, error));
}

TEST(StringTableText, FormatReadsBack)
{
    const std::vector<StringEntry> entries = {{5, "KEY_A", "tab\there \"q\" \\ \x01; line\nend", 0},
                                              {1, "", "Ümlaut \xE4\xB8\xAD", 0}};
    std::vector<StringEntry> back;
    std::string error;
    ASSERT_TRUE(parseStringTable(formatStringTable(entries), "f.str", back, error)) << error;
    ASSERT_EQ(back.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(back[i].number, entries[i].number);
        EXPECT_EQ(back[i].key, entries[i].key);
        EXPECT_EQ(back[i].text, entries[i].text);
    }
}

TEST(StringTableText, FirstOfTwoEntriesWins)
{
    const StringTable table = tableOf("4 A \"first\"\n4 B \"second\"\n5 A \"third\"\n");
    EXPECT_EQ(*table.text(4), u"first");
    EXPECT_EQ(table.text(5), nullptr);
    EXPECT_EQ(table.findId("A"), 4);
    EXPECT_EQ(table.findId("B"), -1);
}

struct Languages : testing::Test {
    TempDir data;
    FileLayerScope scope{"", data.folder()};
    std::vector<int> hookCalls;
    int hook = addLanguageChangeHook([this] { hookCalls.push_back(currentLanguage()); });

    void SetUp() override
    {
        unloadStringTables();
        data.write("data/strings/tables.cfg",
                   "StringTableList { tables [ StringTableFile { name \"main\" } StringTableFile { name \"maps\" } ] }");
        data.write("data/strings/EN/main.str", "0 - \"Yes\"\n1 CTRL_EJECT \"Eject\"\n3 - \"Back\"\n");
        data.write("data/strings/EN/maps.str", "0 MAP_COAST \"Northern Coast\"\n");
        data.write("data/strings/FR/main.str", "0 - \"Oui\"\n1 CTRL_EJECT \"\xC3\x89jection\"\n");
    }
    void TearDown() override
    {
        removeLanguageChangeHook(hook);
        unloadStringTables();
    }
};

TEST_F(Languages, NoTableGivesEmptyTexts)
{
    EXPECT_EQ(getStringByIndex(0), u"");
    EXPECT_EQ(getStringByIndex(-1), u"");
    EXPECT_EQ(stringCount(), 0);
    EXPECT_EQ(getStringById("CTRL_EJECT"), u"DUMMY");
}

TEST_F(Languages, MissingNegativeAndOutOfRangeNumbersGiveDummy)
{
    ASSERT_TRUE(setLanguageByIndex(0));
    EXPECT_EQ(stringCount(), 4);
    EXPECT_EQ(getStringByIndex(0), u"Yes");
    EXPECT_EQ(getStringByIndex(2), u"DUMMY");
    EXPECT_EQ(getStringByIndex(4), u"DUMMY");
    EXPECT_EQ(getStringByIndex(-1), u"DUMMY");
    EXPECT_EQ(getStringByIndex(findStringTable().findId("NO_SUCH_KEY")), u"DUMMY");
}

TEST_F(Languages, IdsAreFoundInEveryTableButFindIdUsesTheMainTable)
{
    ASSERT_TRUE(setLanguageByCode("EN"));
    EXPECT_EQ(getStringById("MAP_COAST"), u"Northern Coast");
    EXPECT_EQ(getStringById(std::string("CTRL_EJECT")), u"Eject");
    EXPECT_EQ(getStringById(static_cast<const char*>(nullptr)), u"DUMMY");
    EXPECT_EQ(getStringById(""), u"DUMMY");
    EXPECT_EQ(findStringTable().findId("CTRL_EJECT"), 1);
    EXPECT_EQ(findStringTable().findId("MAP_COAST"), -1);
}

TEST_F(Languages, SwitchingReloadsTextsAndFallsBackToEnglish)
{
    ASSERT_TRUE(setLanguageByCode("fr"));
    EXPECT_EQ(currentLanguage(), 1);
    EXPECT_EQ(getStringByIndex(1), u"Éjection");
    EXPECT_EQ(getStringByIndex(3), u"DUMMY");
    EXPECT_EQ(getStringById("MAP_COAST"), u"Northern Coast");  // FR has no maps table

    ASSERT_TRUE(setLanguageByCode("JA"));
    EXPECT_EQ(currentLanguage(), 7);  // the index changes though the texts are English
    EXPECT_EQ(getStringByIndex(1), u"Eject");

    ASSERT_TRUE(setLanguageByCode("QQ"));
    EXPECT_EQ(currentLanguage(), 0);
    ASSERT_TRUE(setLanguageByIndex(42));
    EXPECT_EQ(currentLanguage(), 0);
    EXPECT_EQ(hookCalls, (std::vector<int>{1, 7, 0, 0}));
}

TEST_F(Languages, FindStringTableLoadsWhenMissing)
{
    EXPECT_EQ(findStringTable().count(), 4);
    EXPECT_EQ(getStringByIndex(3), u"Back");
    EXPECT_TRUE(hookCalls.empty());
}

TEST_F(Languages, MissingTableListLoadsTheMainTable)
{
    std::filesystem::remove(data.path() / "data/strings/tables.cfg");
    ASSERT_TRUE(setLanguageByIndex(0));
    EXPECT_EQ(getStringByIndex(3), u"Back");
    EXPECT_EQ(getStringById("MAP_COAST"), u"DUMMY");
    std::filesystem::remove(data.path() / "data/strings/EN/main.str");
    EXPECT_FALSE(setLanguageByIndex(0));
    EXPECT_EQ(getStringByIndex(0), u"");
}

TEST(LanguageTable, TenCodesInOrderThenTheFallback)
{
    const char* codes[] = {"EN", "FR", "DE", "ES", "IT", "PT", "ZH", "JA", "KO", "RU", "XX"};
    for (int i = 0; i <= kLanguageCount; ++i)
        EXPECT_STREQ(languageTable[i].code, codes[i]);
    EXPECT_EQ(languageTable[9].flagFrame, 18);
    EXPECT_EQ(languageTable[9].flagFrame2, 19);
    EXPECT_EQ(languageIndexOfCode("ru"), 9);
    EXPECT_EQ(languageIndexOfCode("XX"), -1);
    EXPECT_EQ(languageIndexOfCode("E"), -1);
}

TEST(LanguageChangedFlag, IsTakenOnce)
{
    EXPECT_FALSE(takeLanguageChanged());
    raiseLanguageChanged();
    EXPECT_TRUE(takeLanguageChanged());
    EXPECT_FALSE(takeLanguageChanged());
}
}  // namespace
