#include "platform/Pak.h"
#include "platform/Log.h"

#include "platform/File.h"

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <unordered_map>
#include <vector>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unzip.h>

namespace {
// Longest entry name taken from an archive directory; longer names are skipped.
constexpr std::size_t kMaxEntryName = 1024;
// A directory listing more entries than this is treated as damaged.
constexpr std::uint64_t kMaxEntries = 1u << 20;

struct PakEntry {
    unz64_file_pos position{};
    std::uint64_t size = 0;
    bool damaged = false;
};

struct MountedPak {
    std::string path;
    unzFile handle = nullptr;
    std::unordered_map<std::string, PakEntry> entries;

    ~MountedPak()
    {
        if (handle)
            unzClose(handle);
    }
};

std::mutex g_pakMutex;
std::vector<std::unique_ptr<MountedPak>> g_paks;

bool readDirectory(MountedPak& pak)
{
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(pak.handle, &global) != UNZ_OK || global.number_entry > kMaxEntries)
        return false;
    int status = unzGoToFirstFile(pak.handle);
    while (status == UNZ_OK) {
        unz_file_info64 info{};
        char name[kMaxEntryName + 1] = {};
        if (unzGetCurrentFileInfo64(pak.handle, &info, name, sizeof(name), nullptr, 0, nullptr, 0) != UNZ_OK)
            return false;
        // A longer name was cut to the buffer: it is skipped, and its last
        // byte lies beyond what was copied.
        const bool fits = info.size_filename <= kMaxEntryName;
        const bool folder = fits && info.size_filename > 0 && name[info.size_filename - 1] == '/';
        if (fits && !folder) {
            PakEntry entry;
            entry.size = info.uncompressed_size;
            if (unzGetFilePos64(pak.handle, &entry.position) != UNZ_OK)
                return false;
            // The first of two entries with one name wins, as between paks.
            pak.entries.emplace(std::string(name, info.size_filename), entry);
        }
        if (pak.entries.size() > kMaxEntries)
            return false;
        status = unzGoToNextFile(pak.handle);
    }
    return status == UNZ_END_OF_LIST_OF_FILE;
}

// Reads the whole entry; false on any fault. The buffer grows with the bytes
// actually inflated, so a size that lies in the directory costs no memory.
bool readEntry(MountedPak& pak, PakEntry& entry, std::vector<std::uint8_t>& out)
{
    if (entry.size > kMaxPakEntryBytes)
        return false;
    if (unzGoToFilePos64(pak.handle, &entry.position) != UNZ_OK || unzOpenCurrentFile(pak.handle) != UNZ_OK)
        return false;
    const std::size_t expected = static_cast<std::size_t>(entry.size);
    out.clear();
    out.reserve(expected < (1u << 20) ? expected : (1u << 20));
    constexpr std::size_t kChunk = 64 * 1024;
    bool ok = true;
    while (out.size() < expected) {
        const std::size_t want = expected - out.size() < kChunk ? expected - out.size() : kChunk;
        const std::size_t start = out.size();
        out.resize(start + want);
        const int got = unzReadCurrentFile(pak.handle, out.data() + start, static_cast<unsigned>(want));
        if (got <= 0 || static_cast<std::size_t>(got) > want) {
            ok = false;
            break;
        }
        out.resize(start + static_cast<std::size_t>(got));
    }
    if (ok) {
        // Nothing may follow the announced size.
        std::uint8_t extra = 0;
        ok = unzReadCurrentFile(pak.handle, &extra, 1) == 0;
    }
    // Closing checks the CRC once the whole entry was read.
    const int closed = unzCloseCurrentFile(pak.handle);
    return ok && closed == UNZ_OK;
}
}  // namespace

bool mountPak(const std::string& path)
{
    auto pak = std::make_unique<MountedPak>();
    pak->path = path;
    std::lock_guard<std::mutex> lock(g_pakMutex);
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        // Missing is the common case (loose files only); say it as it is.
        logWarning("platform", "pak %s: %s, not mounted; data comes from loose files only", path.c_str(),
                   errno == ENOENT ? "missing" : std::strerror(errno));
        return false;
    }
    pak->handle = unzOpen64(path.c_str());
    if (!pak->handle) {
        logWarning("platform", "pak %s: cannot open as a ZIP archive, not mounted", path.c_str());
        return false;
    }
    if (!readDirectory(*pak)) {
        logWarning("platform", "pak %s: damaged directory, not mounted", path.c_str());
        return false;
    }
    g_paks.push_back(std::move(pak));
    return true;
}

void unmountAllPaks()
{
    std::lock_guard<std::mutex> lock(g_pakMutex);
    g_paks.clear();
}

std::unique_ptr<File> openFromMountedPaks(std::string_view name)
{
    if (!isSafeFileName(name))
        return nullptr;
    const std::string key(name);
    std::lock_guard<std::mutex> lock(g_pakMutex);
    for (auto& pak : g_paks) {
        auto found = pak->entries.find(key);
        if (found == pak->entries.end() || found->second.damaged)
            continue;
        std::vector<std::uint8_t> bytes;
        if (!readEntry(*pak, found->second, bytes)) {
            found->second.damaged = true;
            logWarning("platform", "pak %s: entry %s is damaged, ignored", pak->path.c_str(), key.c_str());
            continue;
        }
        auto file = std::make_unique<FileBuffer>(std::move(bytes));
        file->setName(key);
        return file;
    }
    return nullptr;
}
