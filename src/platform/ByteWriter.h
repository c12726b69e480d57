#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

// Little-endian cursor that writes what ByteReader reads. Over a span it
// fails on a write past the end, writes nothing of that value, and stays
// failed, so a chain of writes needs one check; without a span it grows.
class ByteWriter {
public:
    explicit ByteWriter(std::span<std::uint8_t> out)
        : m_begin(out.data()), m_cur(out.data()), m_end(out.data() + out.size())
    {
    }
    ByteWriter() : m_growing(true) {}

    bool u8(std::uint8_t v) { return put(&v, 1); }
    bool u16(std::uint16_t v)
    {
        const std::uint8_t b[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
        return put(b, 2);
    }
    bool i16(std::int16_t v) { return u16(static_cast<std::uint16_t>(v)); }
    bool u32(std::uint32_t v)
    {
        const std::uint8_t b[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                   static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
        return put(b, 4);
    }
    bool i32(std::int32_t v) { return u32(static_cast<std::uint32_t>(v)); }
    bool f32(float v) { return u32(std::bit_cast<std::uint32_t>(v)); }
    bool bytes(const void* data, std::size_t count) { return put(data, count); }
    bool bytes(std::span<const std::uint8_t> data) { return put(data.data(), data.size()); }
    bool zeros(std::size_t count)
    {
        if (count > static_cast<std::size_t>(m_end - m_cur) || m_failed)
            return zerosSlow(count);
        if (count != 0)
            std::memset(m_cur, 0, count);
        m_cur += count;
        return true;
    }

    // Bytes written so far; 0 once failed.
    std::size_t size() const
    {
        if (m_failed)
            return 0;
        return m_growing ? m_grown.size() : static_cast<std::size_t>(m_cur - m_begin);
    }
    bool failed() const { return m_failed; }
    // What was written, in the span or the grown buffer; empty once failed.
    std::span<const std::uint8_t> written() const;
    // The grown buffer, handed over (empty over a span or once failed).
    std::vector<std::uint8_t> take();

private:
    // The span's room is the one check inline: a growing writer has none
    // and a failed one is left none, so both take the slow way.
    bool put(const void* data, std::size_t count)
    {
        if (count > static_cast<std::size_t>(m_end - m_cur))
            return putSlow(data, count);
        if (count != 0)
            std::memcpy(m_cur, data, count);
        m_cur += count;
        return true;
    }
    bool putSlow(const void* data, std::size_t count);
    bool zerosSlow(std::size_t count);
    bool fail();

    std::uint8_t* m_begin = nullptr;
    std::uint8_t* m_cur = nullptr;
    std::uint8_t* m_end = nullptr;
    std::vector<std::uint8_t> m_grown;
    bool m_growing = false;
    bool m_failed = false;
};
