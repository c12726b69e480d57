#pragma once
#include <memory>
#include <string>
#include <string_view>

class File;

// Mounts a ZIP archive as a read-only source of data files; later mounts are
// searched after earlier ones. False when the archive cannot be opened.
bool mountPak(const std::string& path);
void unmountAllPaks();
// The entry of that name from the first mounted pak that holds it, read whole
// into memory; null when no pak holds it or the entry is damaged.
std::unique_ptr<File> openFromMountedPaks(std::string_view name);
