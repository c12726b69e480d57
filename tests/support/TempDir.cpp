#include "TempDir.h"

#include <atomic>
#include <fstream>
#include <sstream>
#include <unistd.h>

TempDir::TempDir()
{
    static std::atomic<int> counter{0};
    m_path = std::filesystem::temp_directory_path() /
             ("skyfront-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

void TempDir::write(std::string_view relative, std::string_view bytes) const
{
    const auto file = m_path / std::filesystem::path(relative);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempDir::read(std::string_view relative) const
{
    std::ifstream in(m_path / std::filesystem::path(relative), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
