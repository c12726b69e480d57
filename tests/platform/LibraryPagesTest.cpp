#include "platform/LibraryPages.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// One smaps record with the fields the reader looks at, and one it ignores.
std::string record(const char* header, int rssKb, int anonymousKb)
{
    return std::string(header) + "\nSize:                 64 kB\nRss:             " + std::to_string(rssKb) +
           " kB\nPrivate_Dirty:         0 kB\nAnonymous:       " + std::to_string(anonymousKb) +
           " kB\nVmFlags: rd ex mr mw me\n";
}

TEST(LibraryPagesReader, NamesOnlyCleanReadOnlyLibraryMappings)
{
    const std::string smaps =
        record("7f0803800000-7f0809f7c000 r-xp 00000000 fe:01 1234   /usr/lib/libLLVM-15.so.1", 49564, 0) +
        // The relocated constants: copy-on-write pages that a release would lose.
        record("7f0809f7d000-7f080a79b000 r--p 0677d000 fe:01 1234   /usr/lib/libLLVM-15.so.1", 8292, 8292) +
        record("7f080a79b000-7f080a7e1000 rw-p 06f9a000 fe:01 1234   /usr/lib/libLLVM-15.so.1", 64, 52) +
        record("7f0810000000-7f0810010000 r--p 00000000 fe:01 77     /usr/lib/libz.so", 32, 0) +
        record("7f0820000000-7f0820010000 r--p 00000000 fe:01 78     /usr/share/locale/locale-archive", 64, 0) +
        record("7f0830000000-7f0830010000 r-xp 00000000 fe:01 79     /opt/game/libold.so.2 (deleted)", 64, 0) +
        record("7f0840000000-7f0840010000 r-xp 00000000 fe:01 80     /opt/game/libx.sonic", 64, 0) +
        record("7f0850000000-7f0850010000 r-xp 00000000 fe:01 81     /opt/game/libidle.so", 0, 0) +
        record("7f0860000000-7f0860010000 r--s 00000000 00:01 82     /usr/lib/libshared.so", 64, 0) +
        record("7ffd5e1f0000-7ffd5e1f2000 r-xp 00000000 00:00 0      [vdso]", 8, 0);
    const std::vector<LibraryMapping> found = releasableLibraryMappings(smaps);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].start, 0x7f0803800000u);
    EXPECT_EQ(found[0].end, 0x7f0809f7c000u);
    EXPECT_EQ(found[0].residentBytes, 49564u * 1024u);
    EXPECT_EQ(found[1].start, 0x7f0810000000u);
}

TEST(LibraryPagesReader, LeavesOutRecordsItCannotVouchFor)
{
    const std::string noAnonymousLine = "7f0803800000-7f0809f7c000 r-xp 00000000 fe:01 1 /usr/lib/liba.so\nRss: 64 kB\n";
    const std::string badRss = "7f0803800000-7f0809f7c000 r-xp 00000000 fe:01 1 /usr/lib/liba.so\nRss: lots kB\n"
                               "Anonymous: 0 kB\n";
    const std::string badRange = "7f08038zz000-7f0809f7c000 r-xp 00000000 fe:01 1 /usr/lib/liba.so\nRss: 64 kB\n"
                                 "Anonymous: 0 kB\n";
    const std::string unaligned = record("7f0803800001-7f0809f7c000 r-xp 00000000 fe:01 1 /usr/lib/liba.so", 64, 0);
    const std::string inverted = record("7f0809f7c000-7f0803800000 r-xp 00000000 fe:01 1 /usr/lib/liba.so", 64, 0);
    for (const std::string& text : {noAnonymousLine, badRss, badRange, unaligned, inverted})
        EXPECT_TRUE(releasableLibraryMappings(text).empty()) << text;
    // A broken header ends the record before it: its fields are not given to the one above.
    const std::string fieldsAfterBrokenHeader =
        "7f0803800000-7f0809f7c000 r-xp 00000000 fe:01 1 /usr/lib/liba.so\n"
        "7f08038zz000-7f0809f7c000 r-xp 00000000 fe:01 1 /usr/lib/libb.so\nRss: 64 kB\nAnonymous: 0 kB\n";
    EXPECT_TRUE(releasableLibraryMappings(fieldsAfterBrokenHeader).empty());
    EXPECT_TRUE(releasableLibraryMappings("").empty());
    EXPECT_TRUE(releasableLibraryMappings("\n\n7f\n-\nRss: 4 kB\n").empty());
}

#ifdef __linux__
// Resident kilobytes of the mapping that starts at `start`; -1 when none does.
long residentKb(const void* start)
{
    char header[32];
    std::snprintf(header, sizeof header, "%lx-", reinterpret_cast<unsigned long>(start));
    FILE* file = std::fopen("/proc/self/smaps", "r");
    if (!file)
        return -1;
    char line[512];
    bool inside = false;
    long kb = -1;
    while (std::fgets(line, sizeof line, file)) {
        if (std::strncmp(line, header, std::strlen(header)) == 0)
            inside = true;
        else if (inside && std::sscanf(line, "Rss: %ld kB", &kb) == 1)
            break;
    }
    std::fclose(file);
    return inside ? kb : -1;
}

struct MappedFile {
    void* at = MAP_FAILED;
    std::size_t size = 0;
    MappedFile(const std::string& path, std::size_t bytes, int protection) : size(bytes)
    {
        const int fd = ::open(path.c_str(), O_RDONLY);
        if (fd >= 0) {
            at = ::mmap(nullptr, size, protection, MAP_PRIVATE, fd, 0);
            ::close(fd);
        }
    }
    ~MappedFile()
    {
        if (at != MAP_FAILED)
            ::munmap(at, size);
    }
    const unsigned char* bytes() const { return static_cast<const unsigned char*>(at); }
};

TEST(LibraryPagesRelease, DropsCleanPagesAndKeepsWhatWasWritten)
{
    constexpr std::size_t kBytes = 64 * 1024;
    std::string pattern(kBytes, '\0');
    for (std::size_t i = 0; i < kBytes; ++i)
        pattern[i] = static_cast<char>(i * 7 + 3);
    TempDir dir;
    dir.write("libclean.so", pattern);
    dir.write("librelro.so", pattern);

    MappedFile clean(dir.folder() + "libclean.so", kBytes, PROT_READ);
    ASSERT_NE(clean.at, MAP_FAILED);
    for (std::size_t i = 0; i < kBytes; i += 4096)
        (void)*static_cast<const volatile unsigned char*>(clean.bytes() + i);
    EXPECT_GT(residentKb(clean.at), 0);

    // As the loader leaves relocated constants: written while writable, then
    // made read-only. Dropping these pages would bring back the file's bytes.
    MappedFile relro(dir.folder() + "librelro.so", kBytes, PROT_READ | PROT_WRITE);
    ASSERT_NE(relro.at, MAP_FAILED);
    std::memset(relro.at, 0x5a, kBytes);
    ASSERT_EQ(::mprotect(relro.at, kBytes, PROT_READ), 0);

    EXPECT_GE(releaseLibraryPages(), std::size_t{4096});
    EXPECT_EQ(residentKb(clean.at), 0);
    EXPECT_EQ(std::memcmp(clean.at, pattern.data(), kBytes), 0) << "pages come back from the file";
    for (std::size_t i = 0; i < kBytes; ++i)
        ASSERT_EQ(relro.bytes()[i], 0x5a) << "at byte " << i;
}
#endif

}  // namespace
