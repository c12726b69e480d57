#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

class File;

// Paks are ZIP archives holding the data tree ("data/strings/EN/main.str").
// Every call may come from any thread: all archive access runs under one
// mutex, and an opened entry is read whole into its own buffer, so the
// returned file shares nothing with the archive or with other threads.

// Entries larger than this are treated as damaged.
constexpr std::size_t kMaxPakEntryBytes = 256u * 1024u * 1024u;

// Mounts a ZIP archive as a read-only source of data files; later mounts are
// searched after earlier ones. False, with one log line,
// when the archive cannot be opened or its directory is damaged.
[[nodiscard]] bool mountPak(const std::string& path);
void unmountAllPaks();
// The entry of that name from the first mounted pak that holds it, read whole
// into memory; null when no pak holds it. A damaged entry (size over the
// limit, short read, bad checksum) counts as missing and is logged once.
[[nodiscard]] std::unique_ptr<File> openFromMountedPaks(std::string_view name);
