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
    explicit ByteWriter(std::span<std::uint8_t> out) : m_out(out) {}
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
    bool zeros(std::size_t count);

    // Bytes written so far; 0 once failed.
    std::size_t size() const { return m_failed ? 0 : m_pos; }
    bool failed() const { return m_failed; }
    // What was written, in the span or the grown buffer; empty once failed.
    std::span<const std::uint8_t> written() const;
    // The grown buffer, handed over (empty over a span or once failed).
    std::vector<std::uint8_t> take();

private:
    bool put(const void* data, std::size_t count)
    {
        if (m_failed || (!m_growing && count > m_out.size() - m_pos))
            return fail();
        if (m_growing)
            return grow(data, count);
        if (count != 0)
            std::memcpy(m_out.data() + m_pos, data, count);
        m_pos += count;
        return true;
    }
    bool grow(const void* data, std::size_t count);
    bool fail()
    {
        m_failed = true;
        return false;
    }

    std::span<std::uint8_t> m_out;
    std::vector<std::uint8_t> m_grown;
    std::size_t m_pos = 0;
    bool m_growing = false;
    bool m_failed = false;
};
