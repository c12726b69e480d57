#include "platform/Text.h"

#include <utf8.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>

namespace {

constexpr std::size_t kMaxRingText = kTextRingUnits - 1;
// Widths and precisions past these are held to them: no format can ask for
// more text than a buffer holds anyway.
constexpr int kMaxWidth = 512;
constexpr int kMaxPrecision = 64;

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

template <typename Unit>
class TextRing {
public:
    // Room for `units` units and a terminator; restarts at the beginning when
    // the rest of the ring is too short. units must be below kTextRingUnits.
    Unit* take(std::size_t units)
    {
        if (m_next + units + 1 > kTextRingUnits)
            m_next = 0;
        Unit* start = m_units + m_next;
        m_next += units + 1;
        return start;
    }

private:
    Unit m_units[kTextRingUnits] = {};
    std::size_t m_next = 0;
};

// One ring per thread: the network thread formats names too.
thread_local TextRing<char16_t> t_wideRing;
thread_local TextRing<char> t_narrowRing;

// Appends UTF-8 text as UTF-16: valid sequences decode; each byte that starts
// no valid sequence stands for the Latin-1 character of its value.
void appendUtf8(std::u16string& out, std::string_view text)
{
    auto it = text.begin();
    const auto end = text.end();
    while (it != end) {
        const auto bad = utf8::find_invalid(it, end);
        utf8::unchecked::utf8to16(it, bad, std::back_inserter(out));
        if (bad == end)
            break;
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(*bad)));
        it = bad + 1;
    }
}

// Collects output units up to capacity - 1.
class WideWriter {
public:
    WideWriter(char16_t* out, std::size_t capacity) : m_out(capacity > 0 ? out : nullptr), m_capacity(capacity) {}

    void put(char16_t unit)
    {
        if (m_out && m_count + 1 < m_capacity)
            m_out[m_count++] = unit;
        else
            m_full = true;
    }
    void put(std::u16string_view text)
    {
        for (char16_t unit : text)
            put(unit);
    }
    void putAscii(const char* text, std::size_t length)
    {
        for (std::size_t i = 0; i < length; ++i)
            put(static_cast<char16_t>(static_cast<unsigned char>(text[i])));
    }
    void padding(int count)
    {
        for (int i = 0; i < count && !m_full; ++i)
            put(u' ');
    }
    std::size_t finish()
    {
        if (!m_out)
            return 0;
        // A cut must not leave half of a surrogate pair at the end.
        if (m_full && m_count > 0 && isHighSurrogate(m_out[m_count - 1]))
            --m_count;
        m_out[m_count] = 0;
        return m_count;
    }

private:
    char16_t* m_out;
    std::size_t m_capacity;
    std::size_t m_count = 0;
    bool m_full = false;
};

struct Conversion {
    bool left = false, zero = false, plus = false, space = false, alternate = false;
    int width = 0;
    int precision = -1;
    char16_t code = 0;
};

// Parses the code after a '%' from format[i]; returns false when the format ends first.
bool parseConversion(std::u16string_view format, std::size_t& i, Conversion& conv)
{
    for (; i < format.size(); ++i) {
        const char16_t c = format[i];
        if (c == u'-') conv.left = true;
        else if (c == u'0') conv.zero = true;
        else if (c == u'+') conv.plus = true;
        else if (c == u' ') conv.space = true;
        else if (c == u'#') conv.alternate = true;
        else break;
    }
    for (; i < format.size() && format[i] >= u'0' && format[i] <= u'9'; ++i)
        conv.width = std::min(kMaxWidth, conv.width * 10 + (format[i] - u'0'));
    if (i < format.size() && format[i] == u'.') {
        conv.precision = 0;
        for (++i; i < format.size() && format[i] >= u'0' && format[i] <= u'9'; ++i)
            conv.precision = std::min(kMaxPrecision, conv.precision * 10 + (format[i] - u'0'));
    }
    // Length modifiers mean nothing here: the argument carries its own size.
    while (i < format.size() && (format[i] == u'h' || format[i] == u'l' || format[i] == u'L' || format[i] == u'z' ||
                                 format[i] == u'j' || format[i] == u't'))
        ++i;
    if (i >= format.size())
        return false;
    conv.code = format[i];
    return true;
}

bool isNumber(const FormatArg& arg)
{
    return arg.kind() == FormatArg::Kind::Int || arg.kind() == FormatArg::Kind::UInt ||
           arg.kind() == FormatArg::Kind::Double;
}

// Numbers go through snprintf with a conversion we build ourselves, so the
// argument type always matches it.
void putNumber(WideWriter& out, const Conversion& conv, const FormatArg& arg)
{
    char conversion[32];
    std::size_t n = 0;
    conversion[n++] = '%';
    if (conv.left) conversion[n++] = '-';
    if (conv.zero) conversion[n++] = '0';
    if (conv.plus) conversion[n++] = '+';
    if (conv.space) conversion[n++] = ' ';
    const char code = static_cast<char>(conv.code);
    // '#' is undefined for the decimal conversions.
    if (conv.alternate && code != 'd' && code != 'i' && code != 'u') conversion[n++] = '#';
    conversion[n++] = '*';
    conversion[n++] = '.';
    conversion[n++] = '*';
    const int precision = conv.precision;
    char text[kMaxWidth + 400];
    int length = 0;
    switch (code) {
    case 'd':
    case 'i':
        conversion[n++] = 'l';
        conversion[n++] = 'l';
        conversion[n++] = 'd';
        conversion[n] = 0;
        length = std::snprintf(text, sizeof text, conversion, conv.width, precision, arg.asInt());
        break;
    case 'u':
    case 'x':
    case 'X':
    case 'o':
        conversion[n++] = 'l';
        conversion[n++] = 'l';
        conversion[n++] = code;
        conversion[n] = 0;
        length = std::snprintf(text, sizeof text, conversion, conv.width, precision, arg.asUInt());
        break;
    default:  // f, F, e, E, g, G
        conversion[n++] = code;
        conversion[n] = 0;
        length = std::snprintf(text, sizeof text, conversion, conv.width, precision, arg.asDouble());
        break;
    }
    if (length > 0)
        out.putAscii(text, std::min(static_cast<std::size_t>(length), sizeof text - 1));
}

void putText(WideWriter& out, const Conversion& conv, const FormatArg& arg)
{
    std::u16string widened;
    std::u16string_view text;
    if (arg.kind() == FormatArg::Kind::Wide) {
        text = arg.wide();
    } else {
        appendUtf8(widened, arg.narrow());
        text = widened;
    }
    if (conv.precision >= 0 && text.size() > static_cast<std::size_t>(conv.precision))
        text = text.substr(0, static_cast<std::size_t>(conv.precision));
    const int pad = conv.width - static_cast<int>(std::min<std::size_t>(text.size(), kMaxWidth));
    if (!conv.left)
        out.padding(pad);
    out.put(text);
    if (conv.left)
        out.padding(pad);
}

void putUnit(WideWriter& out, const Conversion& conv, const FormatArg& arg)
{
    const auto unit = static_cast<char16_t>(arg.asUInt() & 0xFFFFu);
    if (!conv.left)
        out.padding(conv.width - 1);
    if (unit != 0)
        out.put(unit);
    if (conv.left)
        out.padding(conv.width - 1);
}

}  // namespace

long long FormatArg::asInt() const
{
    switch (m_kind) {
    case Kind::Int: return m_int;
    case Kind::UInt: return static_cast<long long>(m_uint);
    case Kind::Double:
        if (std::isnan(m_double))
            return 0;
        if (m_double >= 9.2e18)
            return std::numeric_limits<long long>::max();
        if (m_double <= -9.2e18)
            return std::numeric_limits<long long>::min();
        return static_cast<long long>(m_double);
    default: return 0;
    }
}

unsigned long long FormatArg::asUInt() const
{
    if (m_kind == Kind::UInt)
        return m_uint;
    return static_cast<unsigned long long>(asInt());
}

double FormatArg::asDouble() const
{
    switch (m_kind) {
    case Kind::Int: return static_cast<double>(m_int);
    case Kind::UInt: return static_cast<double>(m_uint);
    case Kind::Double: return m_double;
    default: return 0.0;
    }
}

std::size_t wstrLen(const char16_t* text)
{
    if (!text)
        return 0;
    std::size_t n = 0;
    while (text[n] != 0)
        ++n;
    return n;
}

int wstrCompare(const char16_t* a, const char16_t* b)
{
    const char16_t* left = a ? a : u"";
    const char16_t* right = b ? b : u"";
    for (;; ++left, ++right) {
        if (*left != *right)
            return *left < *right ? -1 : 1;
        if (*left == 0)
            return 0;
    }
}

std::u16string utf8ToWide(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    appendUtf8(out, text);
    return out;
}

std::string wideToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    auto put = std::back_inserter(out);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (isHighSurrogate(text[i]) && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00u);
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;  // half a pair encodes nothing
        put = utf8::unchecked::append(c, put);
    }
    return out;
}

std::string validUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    auto it = text.begin();
    const auto end = text.end();
    while (it != end) {
        const auto bad = utf8::find_invalid(it, end);
        out.append(it, bad);
        if (bad == end)
            break;
        utf8::unchecked::append(static_cast<char32_t>(static_cast<unsigned char>(*bad)), std::back_inserter(out));
        it = bad + 1;
    }
    return out;
}

const char16_t* toWideTemp(const char* text)
{
    if (!text)
        return u"";
    const std::u16string wide = utf8ToWide(text);
    std::size_t length = std::min(wide.size(), kMaxRingText);
    if (length < wide.size() && length > 0 && isHighSurrogate(wide[length - 1]))
        --length;
    char16_t* copy = t_wideRing.take(length);
    std::copy_n(wide.data(), length, copy);
    copy[length] = 0;
    return copy;
}

const char* toNarrowTemp(const char16_t* text)
{
    const std::size_t length = std::min(wstrLen(text), kMaxRingText);
    char* copy = t_narrowRing.take(length);
    for (std::size_t i = 0; i < length; ++i)
        copy[i] = text[i] < 0xFF ? static_cast<char>(static_cast<unsigned char>(text[i])) : ' ';
    copy[length] = 0;
    return copy;
}

const char16_t* truncateWide(const char16_t* text, std::size_t n)
{
    if (!text)
        return u"";
    const std::size_t length = wstrLen(text);
    if (length <= n)
        return text;
    std::size_t kept = std::min(n, kMaxRingText - 3);
    if (kept > 0 && isHighSurrogate(text[kept - 1]))
        --kept;
    char16_t* copy = t_wideRing.take(kept + 3);
    std::copy_n(text, kept, copy);
    std::copy_n(u"...", 4, copy + kept);
    return copy;
}

std::size_t formatWide(char16_t* out, std::size_t capacity, std::u16string_view format,
                       std::span<const FormatArg> args)
{
    WideWriter writer(out, capacity);
    std::size_t nextArg = 0;
    const FormatArg none;
    const auto takeArg = [&]() -> const FormatArg& { return nextArg < args.size() ? args[nextArg++] : none; };

    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != u'%') {
            writer.put(format[i]);
            continue;
        }
        const std::size_t start = i;
        ++i;
        Conversion conv;
        if (!parseConversion(format, i, conv)) {
            writer.put(format.substr(start));
            break;
        }
        switch (conv.code) {
        case u'%':
            writer.put(u'%');
            break;
        case u'w':
        case u's': {
            const FormatArg& arg = takeArg();
            if (arg.kind() == FormatArg::Kind::Narrow || arg.kind() == FormatArg::Kind::Wide)
                putText(writer, conv, arg);
            break;
        }
        case u'c': {
            const FormatArg& arg = takeArg();
            if (arg.kind() == FormatArg::Kind::Int || arg.kind() == FormatArg::Kind::UInt)
                putUnit(writer, conv, arg);
            break;
        }
        case u'd': case u'i': case u'u': case u'x': case u'X': case u'o':
        case u'f': case u'F': case u'e': case u'E': case u'g': case u'G': {
            const FormatArg& arg = takeArg();
            if (isNumber(arg))
                putNumber(writer, conv, arg);
            break;
        }
        default:  // not a code: the text stands as written
            writer.put(format.substr(start, i - start + 1));
            break;
        }
    }
    return writer.finish();
}
