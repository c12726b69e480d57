#include "platform/ByteWriter.h"

bool ByteWriter::fail()
{
    m_failed = true;
    m_end = m_cur;  // no room: every later write takes the slow way and fails
    return false;
}

bool ByteWriter::putSlow(const void* data, std::size_t count)
{
    if (m_failed || !m_growing)
        return fail();
    const auto* p = static_cast<const std::uint8_t*>(data);
    m_grown.insert(m_grown.end(), p, p + count);
    return true;
}

bool ByteWriter::zerosSlow(std::size_t count)
{
    if (m_failed || !m_growing)
        return fail();
    m_grown.resize(m_grown.size() + count, 0);
    return true;
}

std::span<const std::uint8_t> ByteWriter::written() const
{
    if (m_failed)
        return {};
    if (m_growing)
        return m_grown;
    return {m_begin, static_cast<std::size_t>(m_cur - m_begin)};
}

std::vector<std::uint8_t> ByteWriter::take()
{
    std::vector<std::uint8_t> out;
    if (!m_failed && m_growing)
        out.swap(m_grown);
    return out;
}
