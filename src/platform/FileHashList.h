#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// "data/filehashes.lst": one line per data file, "<8 hex digits> <file name>",
// the MurmurHash2 (32-bit, seed 0) of the file's bytes. The data tool writes
// it; the game checks that its data files are the shipped ones (a modified
// set keeps the player out of online play).
inline constexpr const char* kFileHashListName = "data/filehashes.lst";
constexpr std::size_t kMaxFileHashListBytes = 4u * 1024u * 1024u;

std::uint32_t murmurHash2(std::span<const std::uint8_t> bytes, std::uint32_t seed = 0);

class FileHashList {
public:
    struct Entry {
        std::uint32_t hash = 0;
        std::string name;
    };

    // Replaces the list with the text's entries. A malformed line is skipped,
    // logged and makes verify() fail: a list that cannot
    // be read whole vouches for nothing.
    void parse(std::string_view text, std::string_view sourceName);
    // For a list that exists but cannot be read: verify() then fails.
    void markUnreadable() { m_entries.clear(); m_malformed = true; }
    // True when every listed file opens by name and hashes to its value.
    bool verify() const;

    std::span<const Entry> entries() const { return m_entries; }
    static std::string format(std::span<const Entry> entries);

private:
    std::vector<Entry> m_entries;
    bool m_malformed = false;
};

// Loads "data/filehashes.lst" the first time; later calls do nothing. A
// missing list is an empty one.
void loadFileHashList();
// True when the files match the list (loading it first when needed); true
// without a list. Its inverse is the data-files-modified flag.
bool verifyFileHashes();
