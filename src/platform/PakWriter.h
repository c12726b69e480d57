#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Writes a pak: a ZIP archive of deflated entries with a fixed time stamp, so
// that the same files always give the same bytes. The data tool builds
// "paks/base.pak" with it; the game itself only reads paks.
class PakWriter {
public:
    PakWriter() = default;
    ~PakWriter();  // an archive still open is closed
    PakWriter(const PakWriter&) = delete;
    PakWriter& operator=(const PakWriter&) = delete;

    // Creates or replaces the archive; false when it cannot be created.
    [[nodiscard]] bool open(const std::string& path);
    // Adds one entry under a safe relative name; false on a write error.
    [[nodiscard]] bool add(std::string_view name, std::span<const std::uint8_t> bytes);
    // Writes the directory; false when the archive is not whole.
    [[nodiscard]] bool close();

private:
    void* m_zip = nullptr;
};
