#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

// 16-bit text: every text the player sees is a zero-terminated char16_t string
// (UTF-16 code units) or a std::u16string. 8-bit text is UTF-8; a byte that
// does not start a valid UTF-8 sequence is taken as the Latin-1 character of
// the same value, so 8-bit names made by toNarrowTemp widen back unchanged.

// Units before the terminator; 0 for null.
std::size_t wstrLen(const char16_t* text);
// <0, 0 or >0 by unit value, like strcmp; null compares as the empty text.
int wstrCompare(const char16_t* a, const char16_t* b);

std::u16string utf8ToWide(std::string_view text);
// UTF-8 of 16-bit text; half a surrogate pair becomes U+FFFD.
std::string wideToUtf8(std::u16string_view text);
// The text as valid UTF-8: each byte that starts no valid sequence is taken
// as its Latin-1 character, as utf8ToWide reads it.
std::string validUtf8(std::string_view text);

// The short-lived converted texts live in ring buffers of 8192 units per
// thread. A request that does not fit in the rest of the ring restarts at its
// beginning, so a result stays valid until the ring wraps over it. Results are
// cut to 8191 units.
constexpr std::size_t kTextRingUnits = 8192;

// A 16-bit copy of 8-bit text; null gives the empty text.
const char16_t* toWideTemp(const char* text);
// An 8-bit copy of 16-bit text; units from U+00FF up become spaces.
const char* toNarrowTemp(const char16_t* text);
// The text itself when it has at most n units, else a temporary copy of its
// first n units followed by "..." (a surrogate pair is never split).
const char16_t* truncateWide(const char16_t* text, std::size_t n);

// One argument of the formatters: the kind is kept, so a format that does not
// match its arguments (a translated text with a code too many, or of the wrong
// kind) prints nothing for that code instead of reading a wrong value.
class FormatArg {
public:
    enum class Kind : std::uint8_t { None, Int, UInt, Double, Narrow, Wide };

    FormatArg() = default;
    template <typename T>
        requires(std::is_integral_v<T> && std::is_signed_v<T>)
    FormatArg(T value) : m_kind(Kind::Int), m_int(value) {}
    template <typename T>
        requires(std::is_integral_v<T> && !std::is_signed_v<T>)
    FormatArg(T value) : m_kind(Kind::UInt), m_uint(value) {}
    template <typename T>
        requires std::is_enum_v<T>
    FormatArg(T value) : FormatArg(static_cast<std::underlying_type_t<T>>(value)) {}
    FormatArg(double value) : m_kind(Kind::Double), m_double(value) {}
    FormatArg(const char* text) : m_kind(Kind::Narrow), m_narrow(text ? text : "") {}
    FormatArg(const std::string& text) : m_kind(Kind::Narrow), m_narrow(text) {}
    FormatArg(std::string_view text) : m_kind(Kind::Narrow), m_narrow(text) {}
    FormatArg(const char16_t* text) : m_kind(Kind::Wide), m_wide(text ? text : u"") {}
    FormatArg(const std::u16string& text) : m_kind(Kind::Wide), m_wide(text) {}
    FormatArg(std::u16string_view text) : m_kind(Kind::Wide), m_wide(text) {}

    Kind kind() const { return m_kind; }
    long long asInt() const;              // numbers only; a double is truncated and held to range
    unsigned long long asUInt() const;
    double asDouble() const;
    std::string_view narrow() const { return m_narrow; }
    std::u16string_view wide() const { return m_wide; }

private:
    Kind m_kind = Kind::None;
    long long m_int = 0;
    unsigned long long m_uint = 0;
    double m_double = 0.0;
    std::string_view m_narrow;
    std::u16string_view m_wide;
};

// printf-style formatting into a 16-bit buffer of `capacity` units. Codes:
// "%w" a 16-bit text, "%s" an 8-bit text (either kind of text is accepted by
// both), "%d"/"%i", "%u", "%x"/"%X", "%c" one 16-bit unit, "%f"/"%e"/"%g" (a
// double), "%%"; with the flags "-", "0", "+", " ", a width and a precision
// ("%02d", "%.0f", "%-10w"). A missing or mismatched argument prints nothing;
// an unknown code is copied as it stands. The output is cut to capacity - 1
// units and always terminated (nothing is written for a capacity of 0).
// Returns the number of units written before the terminator.
std::size_t formatWide(char16_t* out, std::size_t capacity, std::u16string_view format,
                       std::span<const FormatArg> args);

// With an 8-bit format (UTF-8).
template <typename... Args>
std::size_t wideFormat(char16_t* out, std::size_t capacity, const char* format, const Args&... args)
{
    const FormatArg list[] = {FormatArg(args)..., FormatArg()};
    return formatWide(out, capacity, utf8ToWide(format ? format : ""), std::span(list, sizeof...(Args)));
}

// With a 16-bit (localized) format.
template <typename... Args>
std::size_t wideFormatW(char16_t* out, std::size_t capacity, const char16_t* format, const Args&... args)
{
    const FormatArg list[] = {FormatArg(args)..., FormatArg()};
    return formatWide(out, capacity, format ? std::u16string_view(format) : std::u16string_view(),
                      std::span(list, sizeof...(Args)));
}
