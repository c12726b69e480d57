#include "gamedata/MissionSave.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int fuzzEdtMap(const std::uint8_t* data, std::size_t size);
extern "C" int fuzzCheckpoint(const std::uint8_t* data, std::size_t size);

namespace {
std::string readAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int replay(const char* folder, int (*entry)(const std::uint8_t*, std::size_t))
{
    int files = 0;
    for (const auto& item : std::filesystem::directory_iterator(std::string(SKYFRONT_FUZZ_CORPUS) + "/" + folder)) {
        const std::string bytes = readAll(item.path());
        EXPECT_EQ(entry(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 0) << item.path();
        ++files;
    }
    return files;
}

// The map and checkpoint fuzz entries over their saved corpora.
TEST(MapFuzzCorpus, EdtAndCheckpointEntriesTakeEveryCorpusFile)
{
    EXPECT_GE(replay("edt", fuzzEdtMap), 5);
    EXPECT_GE(replay("checkpoint", fuzzCheckpoint), 5);
    setLogCapture({});
    // The corpus's good file is a real checkpoint, so the fuzzer starts past the checks.
    const std::string good = readAll(std::string(SKYFRONT_FUZZ_CORPUS) + "/checkpoint/good.sav");
    const auto decoded = MissionSave::decode({reinterpret_cast<const std::uint8_t*>(good.data()), good.size()});
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->objects.size(), 2u);
    EXPECT_EQ(decoded->music, "m.mp3");
    EXPECT_EQ(MissionSave::encode(*decoded), std::vector<std::uint8_t>(good.begin(), good.end()));
}
}  // namespace
