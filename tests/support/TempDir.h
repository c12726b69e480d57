#pragma once
#include <filesystem>
#include <string>
#include <string_view>

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // path() + "/" as text, the form the file layer takes for its folders.
    std::string folder() const { return m_path.string() + "/"; }
    // Writes a file below the folder, creating its parent folders.
    void write(std::string_view relative, std::string_view bytes) const;
    std::string read(std::string_view relative) const;

private:
    std::filesystem::path m_path;
};
