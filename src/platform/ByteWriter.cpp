#include "platform/ByteWriter.h"

#include <algorithm>

bool ByteWriter::zeros(std::size_t count)
{
    if (m_failed || (!m_growing && count > m_out.size() - m_pos))
        return fail();
    if (m_growing) {
        m_grown.resize(m_grown.size() + count, 0);
    } else {
        std::fill_n(m_out.begin() + static_cast<std::ptrdiff_t>(m_pos), count, std::uint8_t{0});
    }
    m_pos += count;
    return true;
}

std::span<const std::uint8_t> ByteWriter::written() const
{
    if (m_failed)
        return {};
    if (m_growing)
        return m_grown;
    return m_out.first(m_pos);
}

std::vector<std::uint8_t> ByteWriter::take()
{
    if (m_failed || !m_growing)
        return {};
    m_pos = 0;
    return std::move(m_grown);
}

bool ByteWriter::grow(const void* data, std::size_t count)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    m_grown.insert(m_grown.end(), p, p + count);
    m_pos += count;
    return true;
}
