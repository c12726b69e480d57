#pragma once
// Small pieces shared by the platform's text readers and writers (records,
// string tables, data lists). Included only by the library's own .cpp files.
#include <charconv>
#include <cstddef>
#include <string>
#include <string_view>

namespace textparsing {

// 0..15 for a hex digit, else -1.
inline int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// True, with `out` set, when the whole text is one decimal integer that fits
// T; empty text, trailing characters and overflow leave `out` alone.
template <class T>
bool parseWholeNumber(std::string_view text, T& out)
{
    T value{};
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (text.empty() || result.ec != std::errc() || result.ptr != end)
        return false;
    out = value;
    return true;
}

// Appends text in double quotes with the escapes \" \\ \n \t and \xHH for
// the other control bytes; bytes from 0x80 up (UTF-8) pass unchanged.
// NUL is no character of any text the game keeps: the readers refuse it raw
// and escaped, and it is dropped here, so whatever reads in writes out and
// reads back the same.
inline void appendQuoted(std::string& out, std::string_view text)
{
    static const char kHex[] = "0123456789ABCDEF";
    out.push_back('"');
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\0') {
            continue;
        } else if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 15]);
        } else {
            out.push_back(c);
        }
    }
    out.push_back('"');
}

// Calls visit(line, lineNumber) for every line (numbered from 1) without its
// "\n" or "\r\n"; a last line without an end counts too.
template <class Visit>
void forEachLine(std::string_view text, Visit&& visit)
{
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        visit(line, ++lineNumber);
    }
}

}  // namespace textparsing
