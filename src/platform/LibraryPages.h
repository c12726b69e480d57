#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// Pages of shared libraries' code and constants that the process has touched
// stay counted in its resident size until it ends, although the kernel can
// read them back from the file at any time. The GL's compiler library alone
// maps some 45 MiB at context creation (relocations, start-up code), most of
// which is never run again. Releasing them drops only this process's mappings:
// what is still used comes back on its next touch, from the page cache.

// A library mapping that may be released: file-backed, private, not writable
// and without a page of its own (copy-on-write pages hold relocations; those
// would be lost).
struct LibraryMapping {
    std::uintptr_t start = 0, end = 0;  // page-aligned, end exclusive
    std::size_t residentBytes = 0;
};

// The releasable mappings in the text of /proc/self/smaps. A mapping whose
// record lacks its "Rss:" or "Anonymous:" line, or whose header does not read,
// is left out: only mappings known to be clean are named.
std::vector<LibraryMapping> releasableLibraryMappings(std::string_view smaps);

// Releases every releasable library mapping of this process; returns the bytes
// that were resident in them (0 where the system offers no such release).
std::size_t releaseLibraryPages();
