// Runs one fuzz target over every file of the folders (or files) named on the
// command line, as libFuzzer would on its corpus, without libFuzzer: so every
// build, the sanitizer build too, replays the seeds and the reproducers of
// faults once found. A finding aborts; an empty or missing corpus fails.
#include "FuzzTarget.h"
#include "support/AllocationProbe.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {
constexpr std::size_t kAllocationLimit = 64u * 1024u * 1024u;   // as the fuzz runs' -malloc_limit_mb

bool replay(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return false;
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::fprintf(stderr, "replay %s (%zu bytes)\n", file.string().c_str(), bytes.size());
    // A copy of exactly the file's size, so reading one byte past it is a
    // sanitizer finding.
    std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[std::max<std::size_t>(bytes.size(), 1)]);
    std::copy(bytes.begin(), bytes.end(), exact.get());
    LLVMFuzzerTestOneInput(exact.get(), bytes.size());
    return true;
}
}  // namespace

int main(int argc, char** argv)
{
    allocprobe::abortAbove(kAllocationLimit);
    int runs = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path root(argv[i]);
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(root)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
        } else {
            files.push_back(root);
        }
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            if (!replay(file)) {
                std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
                return 1;
            }
            ++runs;
        }
    }
    std::fprintf(stderr, "%d inputs replayed\n", runs);
    return runs > 0 ? 0 : 1;
}
