#pragma once
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class File;

// String table files (".str") and their sources share one UTF-8 text format:
//
//   # comment line
//   1720 CTRL_ACCELERATE "Accelerate"
//   359  -               "Time left"
//
// one entry a line: its number, its key ("-" for none; letters, digits and
// '_' otherwise) and its text in double quotes with the escapes \" \\ \n \t,
// \xHH (a code point below 0x100, such as the color codes \x01 to \x08) and
// \u{HHHH}. The table's count is the highest number + 1; a number without an
// entry reads as missing.

constexpr int kMaxStringNumber = 65535;             // a table holds at most 65536 strings
constexpr std::size_t kMaxStringBytes = 4096;       // UTF-8 bytes of one text
constexpr std::size_t kMaxStringKeyBytes = 128;
constexpr std::size_t kMaxStringTableFileBytes = 16u * 1024u * 1024u;

struct StringEntry {
    int number = 0;
    std::string key;   // empty when the entry has none
    std::string text;  // UTF-8, escapes resolved
    int line = 0;      // where it was read, for messages
};

// Appends every well-formed entry of the text. Bad lines are skipped; the
// result is false when there was one, with the first as "source:line: what".
[[nodiscard]] bool parseStringTable(std::string_view text, std::string_view sourceName,
                                    std::vector<StringEntry>& entries, std::string& error);
// The entries in the text format, in the order given; parseStringTable reads them back.
std::string formatStringTable(std::span<const StringEntry> entries);

// One loaded table of 16-bit texts.
class StringTable {
public:
    // Replaces the contents. Of two entries with one number or one key the
    // first wins; the others are logged.
    void build(std::span<const StringEntry> entries, std::string_view sourceName);
    // Reads a table file; false when nothing could be read. Bad lines are
    // reported once and skipped, the good ones are kept.
    [[nodiscard]] bool load(File& file);

    // Highest number + 1; 0 for an empty table.
    int count() const { return static_cast<int>(m_texts.size()); }
    // Null when the number has no text (negative, past the end or a gap).
    const std::u16string* text(int number) const;
    // The number of the string with that key (linear search); -1 for an
    // unknown, empty or null key.
    int findId(std::string_view key) const;
    int findId(const char* key) const { return key ? findId(std::string_view(key)) : -1; }

private:
    std::vector<std::u16string> m_texts;
    std::vector<std::string> m_keys;
    std::vector<bool> m_present;
};
