#include "platform/PakWriter.h"

#include "platform/File.h"

#include <zip.h>

PakWriter::~PakWriter()
{
    if (m_zip)
        zipClose(static_cast<zipFile>(m_zip), nullptr);
}

bool PakWriter::open(const std::string& path)
{
    if (m_zip)
        return false;
    m_zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    return m_zip != nullptr;
}

bool PakWriter::add(std::string_view name, std::span<const std::uint8_t> bytes)
{
    if (!m_zip || !isSafeFileName(name) || bytes.size() > 0xFFFFFFFFull)
        return false;
    auto zip = static_cast<zipFile>(m_zip);
    zip_fileinfo info{};
    info.tmz_date.tm_year = 2020;  // fixed: rebuilding the same files gives the same pak
    info.tmz_date.tm_mday = 1;
    const std::string entry(name);
    if (zipOpenNewFileInZip64(zip, entry.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                              Z_BEST_COMPRESSION, 0) != ZIP_OK)
        return false;
    bool ok = true;
    constexpr std::size_t kChunk = 1u << 20;
    for (std::size_t done = 0; ok && done < bytes.size();) {
        const std::size_t count = bytes.size() - done < kChunk ? bytes.size() - done : kChunk;
        ok = zipWriteInFileInZip(zip, bytes.data() + done, static_cast<unsigned>(count)) == ZIP_OK;
        done += count;
    }
    return zipCloseFileInZip(zip) == ZIP_OK && ok;
}

bool PakWriter::close()
{
    if (!m_zip)
        return false;
    const int status = zipClose(static_cast<zipFile>(m_zip), nullptr);
    m_zip = nullptr;
    return status == ZIP_OK;
}
