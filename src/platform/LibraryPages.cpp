#include "platform/LibraryPages.h"

#include <charconv>
#include <cstdio>
#include <string>

#ifdef __linux__
#include <link.h>
#include <sys/mman.h>
#endif

namespace {

std::string_view nextField(std::string_view& line)
{
    const std::size_t start = line.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        line = {};
        return {};
    }
    line.remove_prefix(start);
    const std::size_t end = line.find(' ');
    const std::string_view field(line.data(), end == std::string_view::npos ? line.size() : end);
    line.remove_prefix(field.size());
    return field;
}

bool readHex(std::string_view text, std::uintptr_t& value)
{
    if (text.empty())
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return error == std::errc{} && end == text.data() + text.size();
}

// "Rss:   49564 kB" -> bytes; false when the line is not that field.
bool readKilobytes(std::string_view line, std::string_view key, std::size_t& bytes)
{
    if (!line.starts_with(key))
        return false;
    line.remove_prefix(key.size());
    const std::string_view number = nextField(line);
    std::size_t kb = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), kb);
    if (error != std::errc{} || end != number.data() + number.size() || nextField(line) != "kB" || kb > (SIZE_MAX >> 10))
        return false;
    bytes = kb << 10;
    return true;
}

bool isSharedLibrary(std::string_view path)
{
    if (path.empty() || path.front() != '/' || path.find(" (deleted)") != std::string_view::npos)
        return false;
    std::string_view file = path;
    file.remove_prefix(path.rfind('/') + 1);
    const std::size_t so = file.find(".so");
    return so != std::string_view::npos && (so + 3 == file.size() || file[so + 3] == '.');
}

struct Record {
    bool candidate = false;
    LibraryMapping mapping;
    bool rssKnown = false, anonymousKnown = false;
    std::size_t anonymous = 0;
};

// A header line: "start-end perms offset dev inode [path]".
bool readHeader(std::string_view line, Record& record)
{
    const std::string_view range = nextField(line);
    const std::size_t dash = range.find('-');
    if (dash == std::string_view::npos)
        return false;
    std::uintptr_t start = 0, end = 0;
    std::string_view last = range;
    last.remove_prefix(dash + 1);
    if (!readHex(std::string_view(range.data(), dash), start) || !readHex(last, end))
        return false;
    const std::string_view perms = nextField(line);
    for (int i = 0; i < 3; ++i)
        nextField(line);  // offset, device, inode
    const std::size_t pathStart = line.find_first_not_of(' ');
    std::string_view path;
    if (pathStart != std::string_view::npos) {
        path = line;
        path.remove_prefix(pathStart);
    }
    record = Record{};
    record.mapping.start = start;
    record.mapping.end = end;
    record.candidate = perms.size() == 4 && perms[0] == 'r' && perms[1] == '-' && perms[3] == 'p' && end > start &&
                       start % 4096 == 0 && end % 4096 == 0 && isSharedLibrary(path);
    return true;
}

void finish(const Record& record, std::vector<LibraryMapping>& out)
{
    if (record.candidate && record.rssKnown && record.anonymousKnown && record.anonymous == 0 &&
        record.mapping.residentBytes > 0)
        out.push_back(record.mapping);
}

bool startsWithHexDigit(std::string_view line)
{
    if (line.empty())
        return false;
    const char c = line.front();
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

}  // namespace

std::vector<LibraryMapping> releasableLibraryMappings(std::string_view smaps)
{
    std::vector<LibraryMapping> out;
    Record record;
    while (!smaps.empty()) {
        const std::size_t newline = smaps.find('\n');
        std::string_view line(smaps.data(), newline == std::string_view::npos ? smaps.size() : newline);
        smaps.remove_prefix(newline == std::string_view::npos ? smaps.size() : newline + 1);
        // Field names start with a capital letter; headers with the range in hex.
        if (startsWithHexDigit(line)) {
            finish(record, out);
            if (!readHeader(line, record))
                record = Record{};
            continue;
        }
        if (!record.candidate)
            continue;
        if (readKilobytes(line, "Rss:", record.mapping.residentBytes))
            record.rssKnown = true;
        else if (readKilobytes(line, "Anonymous:", record.anonymous))
            record.anonymousKnown = true;
    }
    finish(record, out);
    return out;
}

#ifdef __linux__
namespace {

std::string readSmaps()
{
    std::string text;
    std::FILE* file = std::fopen("/proc/self/smaps", "r");
    if (!file)
        return text;
    char buffer[16384];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        text.append(buffer, n);
    std::fclose(file);
    return text;
}

// Runs while the dynamic loader's lock is held, so no library is mapped or
// unmapped between reading the mappings and releasing them.
int releaseUnderLoaderLock(dl_phdr_info*, std::size_t, void* released)
{
    for (const LibraryMapping& m : releasableLibraryMappings(readSmaps()))
        if (madvise(reinterpret_cast<void*>(m.start), m.end - m.start, MADV_DONTNEED) == 0)
            *static_cast<std::size_t*>(released) += m.residentBytes;
    return 1;  // once, at the first object
}

}  // namespace

std::size_t releaseLibraryPages()
{
    std::size_t released = 0;
    dl_iterate_phdr(releaseUnderLoaderLock, &released);
    return released;
}
#else
std::size_t releaseLibraryPages()
{
    return 0;
}
#endif
