#include "platform/File.h"
#include "platform/Log.h"

#include "platform/Pak.h"
#include "platform/SaveNotices.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <map>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string g_dataRoot = "../";
std::string g_saveFolder;

// Damaged save files that could not be kept: left alone for the run. The
// value says whether a refused write was logged yet (once is enough).
std::mutex g_heldMutex;
std::map<std::string, bool, std::less<>> g_held;

void hold(std::string_view name, bool held)
{
    const std::lock_guard lock(g_heldMutex);
    if (held)
        g_held.emplace(name, false);
    else if (const auto found = g_held.find(name); found != g_held.end())
        g_held.erase(found);
}

// True when the name is held; the first time, the refusal is logged.
bool refuseHeld(std::string_view name)
{
    const std::lock_guard lock(g_heldMutex);
    const auto found = g_held.find(name);
    if (found == g_held.end())
        return false;
    if (!std::exchange(found->second, true))
        logWarning("platform", "%.*s: damaged and not kept, so left as it is; this run's saves of it go nowhere",
                   static_cast<int>(name.size()), name.data());
    return true;
}

std::string withSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder.push_back('/');
    return folder;
}
}  // namespace

bool File::readAll(std::vector<std::uint8_t>& out)
{
    const std::size_t total = size();
    out.resize(total);
    if (!seek(0))
        return false;
    return read(out.data(), total) == total;
}

std::unique_ptr<FileDisk> FileDisk::open(const std::string& path, const char* mode)
{
    std::FILE* handle = std::fopen(path.c_str(), mode);
    if (!handle)
        return nullptr;
    struct stat info {};
    // A folder opens for reading on Linux; it is no file.
    if (fstat(fileno(handle), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(handle);
        return nullptr;
    }
    std::unique_ptr<FileDisk> file(new FileDisk(handle));
    file->setName(path);
    return file;
}

FileDisk::~FileDisk()
{
    std::fclose(m_handle);
}

std::size_t FileDisk::read(void* destination, std::size_t bytes)
{
    return bytes ? std::fread(destination, 1, bytes, m_handle) : 0;
}

std::size_t FileDisk::write(const void* source, std::size_t bytes)
{
    return bytes ? std::fwrite(source, 1, bytes, m_handle) : 0;
}

bool FileDisk::seek(std::size_t position)
{
    if (position > size())
        return false;
    return std::fseek(m_handle, static_cast<long>(position), SEEK_SET) == 0;
}

std::size_t FileDisk::tell() const
{
    const long position = std::ftell(m_handle);
    return position < 0 ? 0 : static_cast<std::size_t>(position);
}

std::size_t FileDisk::size() const
{
    std::fflush(m_handle);
    struct stat info {};
    if (fstat(fileno(m_handle), &info) != 0 || info.st_size < 0)
        return 0;
    return static_cast<std::size_t>(info.st_size);
}

bool FileDisk::sync()
{
    return std::fflush(m_handle) == 0 && fsync(fileno(m_handle)) == 0;
}

std::size_t FileBuffer::read(void* destination, std::size_t bytes)
{
    const std::size_t left = m_bytes.size() - m_position;
    const std::size_t count = bytes < left ? bytes : left;
    if (count) {
        std::memcpy(destination, m_bytes.data() + m_position, count);
        m_position += count;
    }
    return count;
}

std::size_t FileBuffer::write(const void* source, std::size_t bytes)
{
    if (!bytes)
        return 0;
    if (m_position + bytes > m_bytes.size())
        m_bytes.resize(m_position + bytes);
    std::memcpy(m_bytes.data() + m_position, source, bytes);
    m_position += bytes;
    return bytes;
}

bool FileBuffer::seek(std::size_t position)
{
    if (position > m_bytes.size())
        return false;
    m_position = position;
    return true;
}

void setDataRoot(std::string root)
{
    g_dataRoot = withSlash(std::move(root));
}

const std::string& dataRoot()
{
    return g_dataRoot;
}

void setSaveFolder(std::string folder)
{
    g_saveFolder = withSlash(std::move(folder));
    const std::lock_guard lock(g_heldMutex);
    g_held.clear();
}

const std::string& saveFolder()
{
    return g_saveFolder;
}

bool makeFolderPath(const std::string& folder)
{
    if (folder.empty())
        return false;
    for (std::size_t i = 1; i <= folder.size(); ++i) {
        if (i == folder.size() || folder[i] == '/') {
            const std::string part = folder.substr(0, i);
            if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
                return false;
        }
    }
    struct stat info {};
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isSafeFileName(std::string_view name)
{
    if (name.empty() || name.front() == '/' || name.find('\\') != std::string_view::npos ||
        name.find('\0') != std::string_view::npos)
        return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string_view::npos)
            end = name.size();
        if (name.substr(start, end - start) == "..")
            return false;
        start = end + 1;
    }
    return true;
}

std::unique_ptr<File> openFile(std::string_view name)
{
    if (!isSafeFileName(name))
        return nullptr;
    const std::string relative(name);
    std::unique_ptr<File> file;
    if (!g_saveFolder.empty())
        file = FileDisk::open(g_saveFolder + relative, "rb");
    if (!file)
        file = FileDisk::open(g_dataRoot + relative, "rb");
    if (!file)
        file = openFromMountedPaks(name);
    if (file)
        file->setName(relative);
    return file;
}

bool fileExists(std::string_view name)
{
    if (!isSafeFileName(name))
        return false;
    const std::string relative(name);
    if (!g_saveFolder.empty() && FileDisk::open(g_saveFolder + relative, "rb"))
        return true;
    return FileDisk::open(g_dataRoot + relative, "rb") != nullptr;
}

bool readSaveFile(std::string_view name, std::size_t maxBytes, std::vector<std::uint8_t>& out)
{
    out.clear();
    if (g_saveFolder.empty() || !isSafeFileName(name))
        return false;
    auto file = FileDisk::open(g_saveFolder + std::string(name), "rb");
    if (!file)
        return false;
    if (file->size() > maxBytes) {
        logWarning("platform", "%.*s: larger than %zu bytes, not read", static_cast<int>(name.size()), name.data(),
                     maxBytes);
        return false;
    }
    return file->readAll(out);
}

bool writeSaveFileAtomic(std::string_view name, std::span<const std::uint8_t> bytes)
{
    if (g_saveFolder.empty() || !isSafeFileName(name))
        return false;
    if (refuseHeld(name))
        return false;
    const std::string target = g_saveFolder + std::string(name);
    const std::string temporary = target + ".new";
    // The reason goes to the log and the player hears once a run that saving fails.
    const auto fail = [&](const char* step, int error) {
        logWarning("platform", "%s: cannot be written (%s: %s); the previous file stays", std::string(name).c_str(),
                   step, std::strerror(error));
        raiseSaveNotice(SaveNotice::SaveFailed);
        return false;
    };
    {
        errno = 0;
        auto file = FileDisk::open(temporary, "wb");
        if (!file)
            return fail("open", errno ? errno : EIO);
        if (file->write(bytes.data(), bytes.size()) != bytes.size() || !file->sync()) {
            const int error = errno ? errno : EIO;
            file.reset();
            std::remove(temporary.c_str());
            return fail("write", error);
        }
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        std::remove(temporary.c_str());
        return fail("rename", error);
    }
    // Make the rename itself durable.
    const int folder = ::open(g_saveFolder.c_str(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}

bool writeSaveFileAtomic(std::string_view name, std::string_view text)
{
    return writeSaveFileAtomic(
        name, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool removeSaveFile(std::string_view name)
{
    if (g_saveFolder.empty() || !isSafeFileName(name) || refuseHeld(name))
        return false;
    return std::remove((g_saveFolder + std::string(name)).c_str()) == 0;
}

bool saveFileExists(std::string_view name)
{
    return !g_saveFolder.empty() && isSafeFileName(name) && FileDisk::open(g_saveFolder + std::string(name), "rb");
}

namespace {
std::string keptCopyName(std::string_view keptName, int number)
{
    return number == 0 ? std::string(keptName) : std::string(keptName) + std::to_string(number);
}
}  // namespace

namespace {
KeptSaveFile keepCopy(std::string_view keptName, std::span<const std::uint8_t> bytes, std::string& keptAs)
{
    if (g_saveFolder.empty() || !isSafeFileName(keptName))
        return KeptSaveFile::NotKept;
    for (int number = 0; number < kMaxKeptSaveCopies; ++number) {
        const std::string name = keptCopyName(keptName, number);
        if (auto file = FileDisk::open(g_saveFolder + name, "rb")) {
            std::vector<std::uint8_t> kept;
            if (file->size() == bytes.size() && file->readAll(kept) &&
                std::equal(kept.begin(), kept.end(), bytes.begin(), bytes.end()))
                return KeptSaveFile::KeptBefore;  // a load that comes back to the same damage keeps it once
            continue;
        }
        struct stat info {};
        if (::stat((g_saveFolder + name).c_str(), &info) == 0)
            continue;  // there but unreadable: a kept copy all the same
        if (!writeSaveFileAtomic(name, bytes))
            return KeptSaveFile::NotKept;
        keptAs = name;
        return KeptSaveFile::Kept;
    }
    logWarning("platform", "%.*s: %d kept copies already; this one is not kept", static_cast<int>(keptName.size()),
               keptName.data(), kMaxKeptSaveCopies);
    return KeptSaveFile::NotKept;
}
}  // namespace

KeptSaveFile keepDamagedSaveFile(std::string_view name, std::string_view keptName,
                                 std::span<const std::uint8_t> bytes, std::string& keptAs)
{
    keptAs.clear();
    const KeptSaveFile result = keepCopy(keptName, bytes, keptAs);
    hold(name, result == KeptSaveFile::NotKept);
    return result;
}

const char* keptFileNote(KeptSaveFile result)
{
    switch (result) {
    case KeptSaveFile::Kept: return "; the damaged file is kept as ";
    case KeptSaveFile::NotKept: return "; the damaged file could not be kept and is left as it is";
    case KeptSaveFile::KeptBefore: break;
    }
    return "";
}

bool saveFileHeld(std::string_view name)
{
    const std::lock_guard lock(g_heldMutex);
    return g_held.find(name) != g_held.end();
}

UnreadSaveFile keepUnreadSaveFile(std::string_view name, std::string_view keptName, std::string& keptAs)
{
    keptAs.clear();
    struct stat info {};
    if (g_saveFolder.empty() || !isSafeFileName(name) || !isSafeFileName(keptName) ||
        ::stat((g_saveFolder + std::string(name)).c_str(), &info) != 0) {
        hold(name, false);
        return UnreadSaveFile::Missing;
    }
    const std::string path = g_saveFolder + std::string(name);
    for (int number = 0; number < kMaxKeptSaveCopies; ++number) {
        const std::string kept = g_saveFolder + keptCopyName(keptName, number);
        // link() never replaces an older kept copy; a folder without hard
        // links gets a rename when the name is free.
        if (::link(path.c_str(), kept.c_str()) == 0) {
            // Should the name stay, a save still only replaces the name.
            ::unlink(path.c_str());
        } else if (errno == EEXIST || ::stat(kept.c_str(), &info) == 0) {
            continue;
        } else if (std::rename(path.c_str(), kept.c_str()) != 0) {
            break;
        }
        keptAs = keptCopyName(keptName, number);
        hold(name, false);
        return UnreadSaveFile::Kept;
    }
    hold(name, true);
    return UnreadSaveFile::Left;
}
