#include "platform/FileHashList.h"
#include "platform/Log.h"

#include "platform/File.h"
#include "platform/internal/TextParsing.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <memory>

namespace {
struct LoadedList {
    bool loaded = false;
    FileHashList list;
};

LoadedList& loadedList()
{
    static LoadedList s;
    return s;
}
}  // namespace

std::uint32_t murmurHash2(std::span<const std::uint8_t> bytes, std::uint32_t seed)
{
    constexpr std::uint32_t m = 0x5bd1e995;
    constexpr int r = 24;
    std::uint32_t h = seed ^ static_cast<std::uint32_t>(bytes.size());
    std::size_t i = 0;
    for (; i + 4 <= bytes.size(); i += 4) {
        std::uint32_t k = static_cast<std::uint32_t>(bytes[i]) | static_cast<std::uint32_t>(bytes[i + 1]) << 8 |
                          static_cast<std::uint32_t>(bytes[i + 2]) << 16 | static_cast<std::uint32_t>(bytes[i + 3]) << 24;
        k *= m;
        k ^= k >> r;
        k *= m;
        h *= m;
        h ^= k;
    }
    switch (bytes.size() - i) {
    case 3:
        h ^= static_cast<std::uint32_t>(bytes[i + 2]) << 16;
        [[fallthrough]];
    case 2:
        h ^= static_cast<std::uint32_t>(bytes[i + 1]) << 8;
        [[fallthrough]];
    case 1:
        h ^= bytes[i];
        h *= m;
    }
    h ^= h >> 13;
    h *= m;
    h ^= h >> 15;
    return h;
}

void FileHashList::parse(std::string_view text, std::string_view sourceName)
{
    m_entries.clear();
    m_malformed = false;
    textparsing::forEachLine(text, [&](std::string_view line, int lineNumber) {
        if (line.empty())
            return;
        Entry entry;
        const auto result = std::from_chars(line.data(), line.data() + line.size(), entry.hash, 16);
        const std::size_t digits = static_cast<std::size_t>(result.ptr - line.data());
        const std::string_view name = digits < line.size() ? line.substr(digits + 1) : std::string_view();
        // name.empty() also guards line[digits] on a line of eight digits alone.
        // A control byte (a stray carriage return) would make a name the
        // writer cannot give back and no file is called by.
        const bool controlByte = std::any_of(name.begin(), name.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
        });
        if (result.ec != std::errc() || digits != 8 || name.empty() || line[digits] != ' ' || controlByte ||
            !isSafeFileName(name)) {
            if (!m_malformed)
                logWarning("platform", "%.*s:%d: malformed line; the data files count as modified",
                             static_cast<int>(sourceName.size()), sourceName.data(), lineNumber);
            m_malformed = true;
            return;
        }
        entry.name = std::string(name);
        m_entries.push_back(std::move(entry));
    });
}

bool FileHashList::verify() const
{
    if (m_malformed)
        return false;
    for (const Entry& entry : m_entries) {
        auto file = openFile(entry.name);
        std::vector<std::uint8_t> bytes;
        if (!file || !file->readAll(bytes) || murmurHash2(bytes) != entry.hash)
            return false;
    }
    return true;
}

std::string FileHashList::format(std::span<const Entry> entries)
{
    std::string out;
    for (const Entry& entry : entries) {
        char hex[9];
        std::snprintf(hex, sizeof(hex), "%08x", entry.hash);
        out += hex;
        out.push_back(' ');
        out += entry.name;
        out.push_back('\n');
    }
    return out;
}

void loadFileHashList()
{
    LoadedList& s = loadedList();
    if (s.loaded)
        return;
    s.loaded = true;
    auto file = openFile(kFileHashListName);
    if (!file)
        return;
    std::vector<std::uint8_t> bytes;
    if (file->size() > kMaxFileHashListBytes || !file->readAll(bytes)) {
        logWarning("platform", "%s: cannot be read; the data files count as modified", kFileHashListName);
        s.list.markUnreadable();
        return;
    }
    s.list.parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), kFileHashListName);
}

bool verifyFileHashes()
{
    loadFileHashList();
    return loadedList().list.verify();
}
