#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Golden files: the checked-in bytes of every stored format the game writes
// and must read back in later versions (tests/golden/). A golden test decodes
// the file to known values and encodes known values to the same bytes, so a
// format drift fails a test instead of wiping players' saves.
//
// After a deliberate format change (with its reader for the old version),
// run the tests once with SKYFRONT_UPDATE_GOLDEN=1 to write new files.
namespace golden {

// The checked-in bytes; empty when the file is missing.
std::vector<std::uint8_t> read(const std::string& name);
// True when the encoded bytes match the file (or were written to it in
// update mode); on a mismatch `why` tells the first differing offset.
bool matches(const std::string& name, const std::vector<std::uint8_t>& encoded, std::string& why);
inline std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace golden
