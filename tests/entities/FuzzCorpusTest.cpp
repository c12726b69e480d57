#include "platform/Log.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {
// The state block's fuzz entry over its saved corpus.
TEST(FuzzCorpus, AirplaneStateEntryTakesEveryCorpusFile)
{
    int files = 0;
    for (const auto& item : std::filesystem::directory_iterator(SKYFRONT_FUZZ_CORPUS "/airplanestate")) {
        std::ifstream in(item.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 0)
            << item.path();
        ++files;
    }
    EXPECT_GE(files, 5);
    setLogCapture({});
}
}  // namespace
