#include "platform/CSerializable.h"
#include "platform/File.h"

#include <gtest/gtest.h>

namespace {
// Shaped like the particle descriptions: arrays of records of arrays,
// enumerations with gaps and a "not set" value outside the table.
const SerEnumValue kBlend[] = {{0, "ADDI"}, {1, "ADAL"}, {2, "BLND"}, {3, "NORM"}};
const SerEnumValue kGroupType[] = {{0, "CAM"}, {1, "VER"}, {2, "HRZ"}, {3, "HTR"}};
const SerEnumValue kEvent[] = {{5, "ET_DOGFIGHT"}, {7, "ET_FREE_UPDATE"}, {8, "ET_HAS_ZUB_GAME"}};

struct PStage : CSerializable {
    int blend = -9000;
    float sizeMin = -9000.0f;
    Color4 colorMin;
    const char* typeName() const override { return "PStage"; }
    void describe(SerMembers& m) override
    {
        m.add("blend", blend, kBlend);
        m.add("sizeMin", sizeMin);
        m.add("colorMin", colorMin);
    }
};

struct PGroup : CSerializable {
    bool enabled = true;
    int type = 0;
    int childGrp = -1;
    Vec3 gravity{0.0f, -9.81f, 0.0f};
    std::string name;
    CSerArray<PStage> stages;
    const char* typeName() const override { return "PGroup"; }
    void describe(SerMembers& m) override
    {
        m.add("enabled", enabled);
        m.add("type", type, kGroupType);
        m.add("childGrp", childGrp);
        m.add("gravity", gravity);
        m.add("name", name);
        m.add("stages", stages);
    }
};

struct PConfig : CSerializable {
    float sizeScale = 1.0f;
    int soundID = -1;
    bool foggy = true;
    CSerArray<PGroup> groups;
    const char* typeName() const override { return "PConfig"; }
    void describe(SerMembers& m) override
    {
        m.add("sizeScale", sizeScale);
        m.add("soundID", soundID, kEvent);
        m.add("foggy", foggy);
        m.add("groups", groups);
    }
};

// A record holding itself, to nest as deep as a text likes.
struct Node : CSerializable {
    int value = 0;
    CSerArray<Node> children;
    const char* typeName() const override { return "Node"; }
    void describe(SerMembers& m) override
    {
        m.add("value", value);
        m.add("children", children);
    }
};

bool read(std::string_view text, CSerializable& record, std::string* errorOut = nullptr)
{
    std::string error;
    const bool ok = readRecord(text, "test.psc", record, error);
    if (errorOut)
        *errorOut = error;
    return ok;
}

TEST(RecordText, NestedRecordRoundTrips)
{
    PConfig config;
    config.sizeScale = 1.5f;
    config.soundID = 7;
    config.foggy = false;
    PGroup& first = *config.groups.getOrCreate(0);
    first.type = 3;
    first.childGrp = 1;
    first.gravity = {0.25f, -9.81f, 1e-7f};
    first.name = "fire \"core\"\\\n\ttail\x01;";
    first.stages.getOrCreate(1)->blend = 2;
    first.stages.at(0)->colorMin = {255, 128, 0, 7};
    first.stages.at(1)->sizeMin = -0.1f;
    config.groups.getOrCreate(1)->stages.getOrCreate(0)->blend = 42;  // outside the table

    const std::string text = writeRecord(config);
    PConfig back;
    std::string error;
    ASSERT_TRUE(read(text, back, &error)) << error << "\n" << text;
    EXPECT_EQ(back.sizeScale, 1.5f);
    EXPECT_EQ(back.soundID, 7);
    EXPECT_FALSE(back.foggy);
    ASSERT_EQ(back.groups.count(), 2);
    const PGroup& group = *back.groups.at(0);
    EXPECT_EQ(group.type, 3);
    EXPECT_EQ(group.childGrp, 1);
    EXPECT_EQ(group.gravity.x, 0.25f);
    EXPECT_EQ(group.gravity.y, -9.81f);
    EXPECT_EQ(group.gravity.z, 1e-7f);
    EXPECT_EQ(group.name, first.name);
    ASSERT_EQ(group.stages.count(), 2);
    EXPECT_EQ(group.stages.at(0)->blend, -9000);
    EXPECT_EQ(group.stages.at(0)->colorMin.g, 128);
    EXPECT_EQ(group.stages.at(0)->colorMin.a, 7);
    EXPECT_EQ(group.stages.at(1)->blend, 2);
    EXPECT_EQ(group.stages.at(1)->sizeMin, -0.1f);
    EXPECT_EQ(back.groups.at(1)->stages.at(0)->blend, 42);
    EXPECT_EQ(writeRecord(back), text);
}

TEST(RecordText, WriterNamesEnumerationValuesOfItsTable)
{
    PConfig config;
    config.soundID = 8;
    const std::string text = writeRecord(config);
    EXPECT_NE(text.find("soundID ET_HAS_ZUB_GAME"), std::string::npos) << text;
    EXPECT_NE(text.find("groups [ ]"), std::string::npos) << text;
}

TEST(RecordText, EnumerationsReadByNameOrNumber)
{
    PConfig config;
    ASSERT_TRUE(read("PConfig { soundID ET_FREE_UPDATE }", config));
    EXPECT_EQ(config.soundID, 7);
    ASSERT_TRUE(read("PConfig { soundID 6 }", config));  // a gap of the table
    EXPECT_EQ(config.soundID, 6);
    ASSERT_TRUE(read("PConfig { soundID -9000 }", config));
    EXPECT_EQ(config.soundID, -9000);
    EXPECT_FALSE(read("PConfig { soundID ET_NOTHING }", config));
    EXPECT_FALSE(read("PConfig { sizeScale CAM }", config));
}

TEST(RecordText, ValuesReadIndependentOfLayoutAndComments)
{
    PConfig config;
    const char* text = "// smoke column\r\nPConfig{sizeScale +2.5e1 foggy 0 // no fog\n"
                       "groups[PGroup{gravity 0 -1 .5 enabled false}]}\n";
    ASSERT_TRUE(read(text, config));
    EXPECT_EQ(config.sizeScale, 25.0f);
    EXPECT_FALSE(config.foggy);
    ASSERT_EQ(config.groups.count(), 1);
    EXPECT_EQ(config.groups.at(0)->gravity.z, 0.5f);
    EXPECT_FALSE(config.groups.at(0)->enabled);
}

TEST(RecordText, MembersNotNamedKeepTheirValues)
{
    PConfig config;
    config.groups.getOrCreate(2)->type = 1;
    EXPECT_EQ(config.groups.count(), 3);
    EXPECT_EQ(config.groups.at(0)->childGrp, -1);  // created with its defaults
    ASSERT_TRUE(read("PConfig { sizeScale 3 }", config));
    EXPECT_EQ(config.soundID, -1);
    EXPECT_EQ(config.groups.count(), 3);
    // A listed array takes exactly the elements written.
    ASSERT_TRUE(read("PConfig { groups [ PGroup { childGrp 4 } ] }", config));
    ASSERT_EQ(config.groups.count(), 1);
    EXPECT_EQ(config.groups.at(0)->childGrp, 4);
    config.groups.clear();
    EXPECT_EQ(config.groups.count(), 0);
    EXPECT_EQ(config.groups.at(0), nullptr);
    EXPECT_EQ(config.groups.getOrCreate(-1), nullptr);
    // Callers reset a record to its defaults by assigning a fresh one.
    config.groups.getOrCreate(0)->childGrp = 9;
    config = PConfig{};
    EXPECT_EQ(config.groups.count(), 0);
    EXPECT_EQ(config.sizeScale, 1.0f);
}

TEST(RecordErrors, UnknownMemberFailsKeepingEarlierMembers)
{
    PConfig config;
    std::string error;
    EXPECT_FALSE(read("PConfig {\n  sizeScale 2\n  groups [ PGroup { childGrp 3 } ]\n  color 1\n  soundID 5\n}",
                      config, &error));
    EXPECT_EQ(config.sizeScale, 2.0f);
    ASSERT_EQ(config.groups.count(), 1);
    EXPECT_EQ(config.groups.at(0)->childGrp, 3);
    EXPECT_EQ(config.soundID, -1);
    EXPECT_EQ(error, "test.psc:4: PConfig has no member \"color\"");
}

TEST(RecordErrors, WrongTypeNamesAndMalformedTextFail)
{
    const char* bad[] = {
        "",
        "PGroup { }",
        "PConfig { groups [ PStage { } ] }",
        "PConfig sizeScale 1 }",
        "PConfig { sizeScale 1",
        "PConfig { sizeScale 1.2.3 }",
        "PConfig { sizeScale 1e99 }",
        "PConfig { sizeScale 1x }",
        "PConfig { foggy maybe }",
        "PConfig { foggy 2 }",
        "PConfig { groups PGroup { } }",
        "PConfig { groups [ PGroup { type 99999999999 } ] }",
        "PConfig { groups [ PGroup { stages [ PStage { colorMin 1 2 3 256 } ] } ] }",
        "PConfig { groups [ PGroup { stages [ PStage { colorMin 1 2 3 } ] } ] }",
        "PConfig { groups [ PGroup { gravity 1 2 } ] }",
        "PConfig { groups [ PGroup { name unquoted } ] }",
        "PConfig { } PConfig { }",
        "PConfig { sizeScale @ }",
    };
    for (const char* text : bad) {
        PConfig config;
        std::string error;
        EXPECT_FALSE(read(text, config, &error)) << text;
        EXPECT_EQ(error.rfind("test.psc:", 0), 0u) << text << " -> " << error;
    }
}

TEST(RecordErrors, StringsAreBoundedAndTerminated)
{
    PGroup group;
    std::string error;
    EXPECT_FALSE(read("PGroup { name \"open\n\" }", group, &error));
    EXPECT_EQ(error, "test.psc:1: unterminated string");
    EXPECT_FALSE(read("PGroup { name \"open", group));
    EXPECT_FALSE(read("PGroup { name \"bad \\q\" }", group));
    // NUL has one rule both ways: refused raw and escaped, left out by the writer.
    EXPECT_FALSE(read("PGroup { name \"nul \\x00\" }", group));
    EXPECT_FALSE(read(std::string("PGroup { name \"raw \0nul\" }", 26), group, &error));
    EXPECT_EQ(error, "test.psc:1: NUL byte in a string");
    group.name = std::string("a\0b", 3);
    PGroup back;
    ASSERT_TRUE(read(writeRecord(group), back));
    EXPECT_EQ(back.name, "ab");
    const std::string longest(kMaxRecordString, 'a');
    ASSERT_TRUE(read("PGroup { name \"" + longest + "\" }", group));
    EXPECT_EQ(group.name, longest);
    EXPECT_FALSE(read("PGroup { name \"" + longest + "a\" }", group));
}

TEST(RecordErrors, NestingDepthIsBounded)
{
    auto nested = [](int depth) {
        std::string text;
        for (int i = 1; i < depth; ++i)
            text += "Node { children [ ";
        text += "Node { value 1 }";
        for (int i = 1; i < depth; ++i)
            text += " ] }";
        return text;
    };
    Node ok;
    EXPECT_TRUE(read(nested(kMaxRecordDepth), ok));
    Node tooDeep;
    std::string error;
    EXPECT_FALSE(read(nested(kMaxRecordDepth + 1), tooDeep, &error));
    EXPECT_NE(error.find("nested deeper"), std::string::npos) << error;
    Node hostile;
    EXPECT_FALSE(read(nested(100000), hostile));
}

TEST(RecordErrors, ArrayLengthIsBounded)
{
    std::string text = "Node { children [";
    for (int i = 0; i <= kMaxRecordArrayLength; ++i)
        text += "Node{}";
    text += "] }";
    Node node;
    std::string error;
    EXPECT_FALSE(read(text, node, &error));
    EXPECT_NE(error.find("more than 65536"), std::string::npos) << error;
    EXPECT_EQ(node.children.count(), kMaxRecordArrayLength);
}

TEST(RecordFile, LoadFileReadsThroughTheFileInterface)
{
    const std::string text = "PConfig { sizeScale 4 }";
    FileBuffer file(std::vector<std::uint8_t>(text.begin(), text.end()));
    PConfig config;
    EXPECT_TRUE(config.loadFile(file));
    EXPECT_EQ(config.sizeScale, 4.0f);
    const std::string bad = "PConfig { what 4 }";
    FileBuffer badFile(std::vector<std::uint8_t>(bad.begin(), bad.end()));
    EXPECT_FALSE(config.loadFile(badFile));
}
}  // namespace
