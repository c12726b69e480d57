#include "platform/File.h"
#include "platform/Pak.h"

#include "support/TempDir.h"
#include "support/TestPak.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <thread>

namespace {
std::string patterned(std::size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    unsigned state = seed;
    for (auto& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>((state >> 16) & 0xFF);
    }
    return bytes;
}

std::string entryText(std::string_view name)
{
    auto file = openFromMountedPaks(name);
    if (!file)
        return "<null>";
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(file->readAll(bytes));
    return std::string(bytes.begin(), bytes.end());
}

std::string loadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void storeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void putU32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint32_t getU32(const std::string& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

struct Paks : testing::Test {
    TempDir dir;
    FileLayerScope scope{"", dir.folder()};
    std::string path = dir.folder() + "base.pak";
    const std::string text = "PConfig {\n    sizeScale 1.5\n}\n";
    const std::string binary = patterned(200000, 7);

    void writeBase() { ASSERT_TRUE(writeTestPak(path, {{"data/FX/smoke.psc", text}, {"data/models/a.glm", binary}})); }
};

TEST_F(Paks, EntriesReadBackByteExact)
{
    writeBase();
    ASSERT_TRUE(mountPak(path));
    EXPECT_EQ(entryText("data/FX/smoke.psc"), text);
    EXPECT_EQ(entryText("data/models/a.glm"), binary);
    EXPECT_EQ(openFromMountedPaks("data/FX/SMOKE.psc"), nullptr);
    EXPECT_EQ(openFromMountedPaks("data/none"), nullptr);
}

TEST_F(Paks, EarlierMountWinsAndLaterFillsGaps)
{
    writeBase();
    const std::string second = dir.folder() + "second.pak";
    ASSERT_TRUE(writeTestPak(second, {{"data/FX/smoke.psc", "other"}, {"data/extra.txt", "extra"}}));
    ASSERT_TRUE(mountPak(path));
    ASSERT_TRUE(mountPak(second));
    EXPECT_EQ(entryText("data/FX/smoke.psc"), text);
    EXPECT_EQ(entryText("data/extra.txt"), "extra");
}

TEST_F(Paks, MissingTruncatedOrGarbageArchivesMountAsNothing)
{
    EXPECT_FALSE(mountPak(dir.folder() + "missing.pak"));
    writeBase();
    const std::string whole = loadBytes(path);
    for (std::size_t cut : {std::size_t{0}, std::size_t{10}, whole.size() / 2}) {
        storeBytes(path, whole.substr(0, cut));
        EXPECT_FALSE(mountPak(path)) << cut;
    }
    // Cutting only the end of the directory record may still mount; whatever
    // is served then must be exact.
    for (std::size_t cut = whole.size() - 30; cut < whole.size(); ++cut) {
        storeBytes(path, whole.substr(0, cut));
        unmountAllPaks();
        if (mountPak(path)) {
            const std::string got = entryText("data/models/a.glm");
            EXPECT_TRUE(got == binary || got == "<null>") << cut;
        }
    }
    unmountAllPaks();
    storeBytes(path, patterned(5000, 3));
    EXPECT_FALSE(mountPak(path));
    EXPECT_EQ(openFromMountedPaks("data/FX/smoke.psc"), nullptr);
}

TEST_F(Paks, CorruptEntryIsNotFoundAndLaterPakServes)
{
    writeBase();
    std::string bytes = loadBytes(path);
    // The first entry's data follows its 30-byte local header, name and extra field.
    const std::size_t dataStart = 30 + (static_cast<std::uint8_t>(bytes[26]) | static_cast<std::uint8_t>(bytes[27]) << 8) +
                                  (static_cast<std::uint8_t>(bytes[28]) | static_cast<std::uint8_t>(bytes[29]) << 8);
    bytes[dataStart + 2] ^= 0x5A;
    bytes[dataStart + 3] ^= 0xA5;
    storeBytes(path, bytes);
    const std::string backup = dir.folder() + "backup.pak";
    ASSERT_TRUE(writeTestPak(backup, {{"data/FX/smoke.psc", "backup"}}));
    ASSERT_TRUE(mountPak(path));
    ASSERT_TRUE(mountPak(backup));
    EXPECT_EQ(entryText("data/FX/smoke.psc"), "backup");
    EXPECT_EQ(entryText("data/FX/smoke.psc"), "backup");
    EXPECT_EQ(entryText("data/models/a.glm"), binary);
}

// Rewrites the uncompressed size of every entry in the local headers and the directory.
void patchSizes(std::string& bytes, std::int64_t delta, std::uint32_t absolute)
{
    for (std::size_t i = 0; i + 46 <= bytes.size(); ++i) {
        const std::uint32_t signature = getU32(bytes, i);
        std::size_t field = 0;
        if (signature == 0x04034b50)
            field = i + 22;
        else if (signature == 0x02014b50)
            field = i + 24;
        else
            continue;
        const std::uint32_t size = absolute ? absolute : static_cast<std::uint32_t>(getU32(bytes, field) + delta);
        putU32(bytes, field, size);
    }
}

TEST_F(Paks, EntrySizesThatLieAreNotFound)
{
    writeBase();
    const std::string whole = loadBytes(path);
    for (int variant = 0; variant < 3; ++variant) {
        std::string bytes = whole;
        if (variant == 0)
            patchSizes(bytes, 5, 0);
        else if (variant == 1)
            patchSizes(bytes, -5, 0);
        else
            patchSizes(bytes, 0, 0xFFFFFFF0u);
        storeBytes(path, bytes);
        unmountAllPaks();
        if (!mountPak(path))
            continue;  // refusing the whole archive is as good
        EXPECT_EQ(openFromMountedPaks("data/FX/smoke.psc"), nullptr) << variant;
        EXPECT_EQ(openFromMountedPaks("data/models/a.glm"), nullptr) << variant;
    }
}

TEST_F(Paks, OverlongEntryNamesAreSkippedAndTheRestServes)
{
    // Names longer than the reader's name buffer, one of them ending like a folder.
    const std::string longName = "data/" + std::string(3000, 'n');
    ASSERT_TRUE(writeTestPak(path, {{longName, "long"}, {longName + "/x/", "folder"}, {"data/FX/smoke.psc", text}}));
    ASSERT_TRUE(mountPak(path));
    EXPECT_EQ(openFromMountedPaks(longName), nullptr);
    EXPECT_EQ(entryText("data/FX/smoke.psc"), text);
}

TEST_F(Paks, TwoThreadsReadCorrectBytes)
{
    const std::string other = patterned(150000, 11);
    ASSERT_TRUE(writeTestPak(path, {{"data/a.bin", binary}, {"data/b.bin", other}}));
    ASSERT_TRUE(mountPak(path));
    std::atomic<int> wrong{0};
    auto reader = [&](const char* name, const std::string& expected) {
        for (int i = 0; i < 40; ++i) {
            auto file = openFromMountedPaks(name);
            std::vector<std::uint8_t> bytes;
            if (!file || !file->readAll(bytes) || std::string(bytes.begin(), bytes.end()) != expected)
                ++wrong;
        }
    };
    std::thread first(reader, "data/a.bin", std::cref(binary));
    std::thread second(reader, "data/b.bin", std::cref(other));
    first.join();
    second.join();
    EXPECT_EQ(wrong.load(), 0);
}
}  // namespace
