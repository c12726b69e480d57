#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The file interface every loader reads through: loose files on disk,
// memory buffers and pak entries look the same to the caller.
class File {
public:
    virtual ~File() = default;
    // Bytes actually read; fewer than asked at the end of the file.
    virtual std::size_t read(void* destination, std::size_t bytes) = 0;
    // Bytes actually written; 0 for a read-only file.
    virtual std::size_t write(const void* source, std::size_t bytes) = 0;
    // False when the position lies past the end.
    virtual bool seek(std::size_t position) = 0;
    virtual std::size_t tell() const = 0;
    virtual std::size_t size() const = 0;

    // The whole file from the start; false when fewer bytes than its size could be read.
    [[nodiscard]] bool readAll(std::vector<std::uint8_t>& out);

    // The name it was opened by ("data/strings/EN/main.str"), for messages about
    // its contents; empty for a buffer made in memory.
    const std::string& name() const { return m_name; }
    void setName(std::string name) { m_name = std::move(name); }

private:
    std::string m_name;
};

// A file on disk over the C library.
class FileDisk final : public File {
public:
    // mode as for fopen ("rb", "wb", "r+b"); null when the file cannot be opened.
    [[nodiscard]] static std::unique_ptr<FileDisk> open(const std::string& path, const char* mode);
    ~FileDisk() override;

    std::size_t read(void* destination, std::size_t bytes) override;
    std::size_t write(const void* source, std::size_t bytes) override;
    bool seek(std::size_t position) override;
    std::size_t tell() const override;
    std::size_t size() const override;
    // Pushes buffered bytes to the disk and waits until they are there.
    [[nodiscard]] bool sync();

private:
    explicit FileDisk(std::FILE* handle) : m_handle(handle) {}
    std::FILE* m_handle;
};

// A file over bytes in memory: a pak entry read whole, or a file being built.
class FileBuffer final : public File {
public:
    FileBuffer() = default;
    explicit FileBuffer(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    std::size_t read(void* destination, std::size_t bytes) override;
    std::size_t write(const void* source, std::size_t bytes) override;
    bool seek(std::size_t position) override;
    std::size_t tell() const override { return m_position; }
    std::size_t size() const override { return m_bytes.size(); }

    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_position = 0;
};

// Folders. The data root is the parent of the executable's folder ("../" once
// the working folder is the executable's); the save folder is "../save/<account>/".
// Both end in '/'.
void setDataRoot(std::string root);
const std::string& dataRoot();
void setSaveFolder(std::string folder);
const std::string& saveFolder();
// Creates the folder and every missing parent; true when it exists afterwards.
bool makeFolderPath(const std::string& folder);

// True for a relative name with '/' separators that stays inside its root:
// no "..", no leading '/', no backslash, not empty.
bool isSafeFileName(std::string_view name);

// Opens a file for reading by name: the save folder, then the data root, then
// every mounted pak in mount order. Null when nothing matches or the name is unsafe.
[[nodiscard]] std::unique_ptr<File> openFile(std::string_view name);
// True when the name opens for reading from the save folder or the data root.
bool fileExists(std::string_view name);

// Reads a whole file of the save folder. False when there is no save folder,
// the file is missing or unreadable, or it is larger than maxBytes (logged:
// such a file is damaged, and reading it whole could
// exhaust memory).
[[nodiscard]] bool readSaveFile(std::string_view name, std::size_t maxBytes, std::vector<std::uint8_t>& out);

// Writes a file of the save folder so that a crash at any moment leaves either
// the old or the new file whole: temporary file, flush, sync, rename. False,
// writing nothing, for a held file (below).
[[nodiscard]] bool writeSaveFileAtomic(std::string_view name, std::span<const std::uint8_t> bytes);
[[nodiscard]] bool writeSaveFileAtomic(std::string_view name, std::string_view text);
// Removes a file of the save folder; false when it could not be removed or is held.
bool removeSaveFile(std::string_view name);
// Whether the save folder holds a file of that name.
bool saveFileExists(std::string_view name);
// Kept copies of damaged save files are numbered: keptName ("x.bad"), then
// "x.bad1", "x.bad2" ... An older kept copy is never overwritten, and a newer
// damaged file is kept beside it, up to this many copies.
inline constexpr int kMaxKeptSaveCopies = 100;
// Keeps the bytes of a damaged save file `name` under the first free kept
// name before the next save replaces them (the name written into keptAs);
// bytes already kept under one of those names are not kept again. A damaged
// file that cannot be kept (no kept name free, a full disk, a read-only
// folder) is held: no save writes over it or removes it until a later look
// keeps it, so its bytes are never lost.
enum class KeptSaveFile { Kept, KeptBefore, NotKept };
KeptSaveFile keepDamagedSaveFile(std::string_view name, std::string_view keptName,
                                 std::span<const std::uint8_t> bytes, std::string& keptAs);
// Whether the file is held as above.
bool saveFileHeld(std::string_view name);
// What a log line adds after a keep: "; the damaged file is kept as " (the
// kept name follows), "; the damaged file could not be kept and is left as it
// is", or nothing when kept before.
const char* keptFileNote(KeptSaveFile result);
// After readSaveFile failed: whether the file is there at all, and when it is
// (too large, unreadable), whether it was moved aside under the first free
// kept name (into keptAs), so the next save cannot replace it. Moved, not
// copied: such a file may be neither small nor readable. Left where it is,
// it is held as a damaged file that could not be kept.
enum class UnreadSaveFile { Missing, Kept, Left };
UnreadSaveFile keepUnreadSaveFile(std::string_view name, std::string_view keptName, std::string& keptAs);
