#include "support/Golden.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace golden {
namespace {
std::string pathOf(const std::string& name)
{
    return std::string(SKYFRONT_SOURCE_DIR) + "/tests/golden/" + name;
}
}  // namespace

std::vector<std::uint8_t> read(const std::string& name)
{
    std::ifstream in(pathOf(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool matches(const std::string& name, const std::vector<std::uint8_t>& encoded, std::string& why)
{
    if (std::getenv("SKYFRONT_UPDATE_GOLDEN")) {
        std::ofstream out(pathOf(name), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(encoded.data()), static_cast<std::streamsize>(encoded.size()));
        return static_cast<bool>(out);
    }
    const std::vector<std::uint8_t> stored = read(name);
    if (stored == encoded)
        return true;
    std::size_t at = 0;
    while (at < stored.size() && at < encoded.size() && stored[at] == encoded[at])
        ++at;
    why = name + ": " + std::to_string(stored.size()) + " bytes stored, " + std::to_string(encoded.size()) +
          " encoded, first difference at offset " + std::to_string(at);
    return false;
}

}  // namespace golden
