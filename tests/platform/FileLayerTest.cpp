#include "platform/File.h"
#include "platform/Pak.h"

#include "support/TempDir.h"
#include "support/TestPak.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {
std::string readText(File& file)
{
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(file.readAll(bytes));
    return std::string(bytes.begin(), bytes.end());
}

std::string openText(std::string_view name)
{
    auto file = openFile(name);
    return file ? readText(*file) : std::string("<null>");
}

struct OpenByName : testing::Test {
    TempDir save, data, paks;
    FileLayerScope scope{save.folder(), data.folder()};
};

TEST_F(OpenByName, TriesSaveFolderThenDataRootThenPak)
{
    const std::string name = "data/specificinfo/specific_info.cfg";
    save.write(name, "save");
    data.write(name, "data");
    ASSERT_TRUE(writeTestPak(paks.folder() + "base.pak", {{name, "pak"}}));
    ASSERT_TRUE(mountPak(paks.folder() + "base.pak"));

    EXPECT_EQ(openText(name), "save");
    std::filesystem::remove(save.path() / name);
    EXPECT_EQ(openText(name), "data");
    std::filesystem::remove(data.path() / name);
    EXPECT_EQ(openText(name), "pak");
    unmountAllPaks();
    EXPECT_EQ(openFile(name), nullptr);
}

TEST_F(OpenByName, CarriesTheRequestedName)
{
    data.write("data/a.txt", "x");
    auto file = openFile("data/a.txt");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->name(), "data/a.txt");
}

TEST_F(OpenByName, RefusesNamesLeavingTheRoot)
{
    data.write("inside.txt", "x");
    save.write("secret.txt", "x");
    for (const char* name : {"../inside.txt", "data/../inside.txt", "/etc/passwd", "", "a\\b", ".."})
        EXPECT_EQ(openFile(name), nullptr) << name;
    EXPECT_FALSE(fileExists("../secret.txt"));
    EXPECT_NE(openFile("./inside.txt"), nullptr);
    EXPECT_TRUE(isSafeFileName("data/..x/file"));
}

TEST_F(OpenByName, FoldersAreNotFiles)
{
    std::filesystem::create_directories(data.path() / "data/strings");
    EXPECT_EQ(openFile("data/strings"), nullptr);
    EXPECT_FALSE(fileExists("data/strings"));
}

TEST_F(OpenByName, FileExistsSeesSaveAndDataFoldersOnly)
{
    save.write("missionSavc0m1_0.sav", "s");
    data.write("data/a.txt", "d");
    ASSERT_TRUE(writeTestPak(paks.folder() + "base.pak", {{"data/b.txt", "p"}}));
    ASSERT_TRUE(mountPak(paks.folder() + "base.pak"));
    EXPECT_TRUE(fileExists("missionSavc0m1_0.sav"));
    EXPECT_TRUE(fileExists("data/a.txt"));
    EXPECT_FALSE(fileExists("data/b.txt"));
    EXPECT_FALSE(fileExists("data/none.txt"));
}

struct SaveFolderWrites : OpenByName {};

TEST_F(SaveFolderWrites, ReplaceTheWholeFile)
{
    ASSERT_TRUE(writeSaveFileAtomic("graphics.cfg", std::string_view("width 800\nheight 600\n")));
    ASSERT_TRUE(writeSaveFileAtomic("graphics.cfg", std::string_view("width 1024\n")));
    EXPECT_EQ(save.read("graphics.cfg"), "width 1024\n");
    EXPECT_FALSE(std::filesystem::exists(save.path() / "graphics.cfg.new"));
}

TEST_F(SaveFolderWrites, FailureLeavesTheOldFile)
{
    ASSERT_TRUE(writeSaveFileAtomic("tq2_settings.bin", std::string_view("old")));
    // The temporary file cannot be created where a folder of its name stands.
    std::filesystem::create_directory(save.path() / "tq2_settings.bin.new");
    EXPECT_FALSE(writeSaveFileAtomic("tq2_settings.bin", std::string_view("new")));
    EXPECT_EQ(save.read("tq2_settings.bin"), "old");
}

TEST_F(SaveFolderWrites, RefuseUnsafeNamesAndMissingFolder)
{
    EXPECT_FALSE(writeSaveFileAtomic("../escape.txt", std::string_view("x")));
    EXPECT_FALSE(std::filesystem::exists(save.path().parent_path() / "escape.txt"));
    setSaveFolder("");
    EXPECT_FALSE(writeSaveFileAtomic("a.txt", std::string_view("x")));
}

TEST_F(SaveFolderWrites, ReadBackStopsAtTheSizeLimit)
{
    ASSERT_TRUE(writeSaveFileAtomic("graphics.cfg", std::string_view("width 1024\n")));
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(readSaveFile("graphics.cfg", 11, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "width 1024\n");
    EXPECT_FALSE(readSaveFile("graphics.cfg", 10, bytes));
    EXPECT_TRUE(bytes.empty());
    data.write("only-data.txt", "x");
    EXPECT_FALSE(readSaveFile("only-data.txt", 100, bytes));
    EXPECT_FALSE(readSaveFile("../" + save.path().filename().string() + "/graphics.cfg", 100, bytes));
}

TEST_F(SaveFolderWrites, RemoveDeletesOnlyInTheSaveFolder)
{
    ASSERT_TRUE(writeSaveFileAtomic("missionSavc1m2_0.sav", std::string_view("x")));
    EXPECT_TRUE(removeSaveFile("missionSavc1m2_0.sav"));
    EXPECT_FALSE(fileExists("missionSavc1m2_0.sav"));
    EXPECT_FALSE(removeSaveFile("missionSavc1m2_0.sav"));
    data.write("keep.txt", "x");
    EXPECT_FALSE(removeSaveFile("../" + data.path().filename().string() + "/keep.txt"));
}

TEST(FolderPath, CreatesEveryMissingParent)
{
    TempDir dir;
    const std::string folder = dir.folder() + "save/1001/";
    EXPECT_TRUE(makeFolderPath(folder));
    EXPECT_TRUE(makeFolderPath(folder));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    dir.write("plain", "x");
    EXPECT_FALSE(makeFolderPath(dir.folder() + "plain/sub"));
}

TEST(FileBufferAccess, ReadsWritesAndSeeksWithinBounds)
{
    FileBuffer file;
    const std::uint32_t value = 0x11223344;
    EXPECT_EQ(file.write(&value, 4), 4u);
    EXPECT_EQ(file.write(&value, 4), 4u);
    EXPECT_EQ(file.size(), 8u);
    EXPECT_TRUE(file.seek(4));
    std::uint32_t back = 0;
    EXPECT_EQ(file.read(&back, 4), 4u);
    EXPECT_EQ(back, value);
    EXPECT_EQ(file.read(&back, 4), 0u);
    EXPECT_FALSE(file.seek(9));
    EXPECT_TRUE(file.seek(6));
    EXPECT_EQ(file.read(&back, 4), 2u);
}

TEST(FileDiskAccess, WritesThenReadsBack)
{
    TempDir dir;
    const std::string path = dir.folder() + "stats.bin";
    {
        auto file = FileDisk::open(path, "wb");
        ASSERT_NE(file, nullptr);
        const std::int32_t values[2] = {7, -3};
        EXPECT_EQ(file->write(values, sizeof(values)), sizeof(values));
        EXPECT_TRUE(file->sync());
    }
    auto file = FileDisk::open(path, "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->size(), 8u);
    EXPECT_TRUE(file->seek(4));
    std::int32_t value = 0;
    EXPECT_EQ(file->read(&value, 4), 4u);
    EXPECT_EQ(value, -3);
    EXPECT_EQ(file->tell(), 8u);
    EXPECT_FALSE(file->seek(9));
    EXPECT_EQ(FileDisk::open(dir.folder() + "missing", "rb"), nullptr);
}
}  // namespace
