#pragma once
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

// Little-endian cursor over file or message bytes. A read past the end fails,
// and the reader stays failed, so a chain of reads needs one check.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    bool u8(std::uint8_t& out)
    {
        if (!take(1))
            return false;
        out = m_bytes[m_pos - 1];
        return true;
    }
    bool u16(std::uint16_t& out)
    {
        if (!take(2))
            return false;
        const std::uint8_t* p = m_bytes.data() + (m_pos - 2);
        out = static_cast<std::uint16_t>(p[0] | (p[1] << 8));
        return true;
    }
    bool i16(std::int16_t& out)
    {
        std::uint16_t raw = 0;
        if (!u16(raw))
            return false;
        out = static_cast<std::int16_t>(raw);
        return true;
    }
    bool u32(std::uint32_t& out)
    {
        if (!take(4))
            return false;
        const std::uint8_t* p = m_bytes.data() + (m_pos - 4);
        out = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
        return true;
    }
    bool i32(std::int32_t& out)
    {
        std::uint32_t raw = 0;
        if (!u32(raw))
            return false;
        out = static_cast<std::int32_t>(raw);
        return true;
    }
    // Fails on NaN and infinity as well.
    bool f32(float& out)
    {
        std::uint32_t raw = 0;
        if (!u32(raw))
            return false;
        out = std::bit_cast<float>(raw);
        if (!std::isfinite(out))
            m_failed = true;
        return !m_failed;
    }
    bool bytes(void* out, std::size_t count)
    {
        if (!take(count))
            return false;
        // An empty name at the very end is a read of nothing: index the
        // span's data, never the span at size().
        if (count != 0)
            std::memcpy(out, m_bytes.data() + (m_pos - count), count);
        return true;
    }
    // Steps over bytes the caller does not need (padding, a field it ignores).
    bool skip(std::size_t count) { return take(count); }
    // A count whose records, recordSize bytes each at the least, fit in what is left.
    bool count(std::uint16_t& out, std::size_t recordSize) { return u16(out) && fits(out, recordSize); }
    bool count(std::uint32_t& out, std::size_t recordSize) { return u32(out) && fits(out, recordSize); }

    std::size_t remaining() const { return m_failed ? 0 : m_bytes.size() - m_pos; }
    bool atEnd() const { return !m_failed && m_pos == m_bytes.size(); }
    bool failed() const { return m_failed; }

private:
    bool take(std::size_t count)
    {
        if (m_failed || count > m_bytes.size() - m_pos) {
            m_failed = true;
            return false;
        }
        m_pos += count;
        return true;
    }
    bool fits(std::size_t records, std::size_t recordSize)
    {
        if (recordSize != 0 && records > (m_bytes.size() - m_pos) / recordSize)
            m_failed = true;
        return !m_failed;
    }

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    bool m_failed = false;
};
