#include "platform/StringTable.h"
#include "platform/Log.h"

#include "platform/File.h"
#include "platform/Text.h"
#include "platform/internal/TextParsing.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <unordered_set>

#include <utf8.h>

namespace {
bool isKeyChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool validCodePoint(std::uint32_t cp)
{
    return cp != 0 && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
}

// Reads the quoted text starting at line[pos] == '"'; on success pos is past the closing quote.
const char* readQuoted(std::string_view line, std::size_t& pos, std::string& out)
{
    ++pos;
    while (true) {
        if (pos >= line.size())
            return "unterminated text";
        const char c = line[pos++];
        if (c == '"')
            return nullptr;
        if (c == '\0')
            return "NUL byte in text";
        if (c != '\\') {
            out.push_back(c);
        } else {
            if (pos >= line.size())
                return "unterminated text";
            const char e = line[pos++];
            std::uint32_t cp = 0;
            if (e == 'n') {
                cp = '\n';
            } else if (e == 't') {
                cp = '\t';
            } else if (e == '"' || e == '\\') {
                cp = static_cast<std::uint32_t>(e);
            } else if (e == 'x') {
                if (pos + 1 >= line.size() || textparsing::hexDigitValue(line[pos]) < 0 || textparsing::hexDigitValue(line[pos + 1]) < 0)
                    return "\\x needs two hex digits";
                cp = static_cast<std::uint32_t>(textparsing::hexDigitValue(line[pos]) * 16 + textparsing::hexDigitValue(line[pos + 1]));
                pos += 2;
            } else if (e == 'u') {
                if (pos >= line.size() || line[pos] != '{')
                    return "\\u needs {hex digits}";
                ++pos;
                int digits = 0;
                while (pos < line.size() && textparsing::hexDigitValue(line[pos]) >= 0 && digits < 6) {
                    cp = cp * 16 + static_cast<std::uint32_t>(textparsing::hexDigitValue(line[pos]));
                    ++pos;
                    ++digits;
                }
                if (digits == 0 || pos >= line.size() || line[pos] != '}')
                    return "\\u needs {hex digits}";
                ++pos;
            } else {
                return "unknown escape in text";
            }
            if (!validCodePoint(cp))
                return "escape names no character";
            utf8::unchecked::append(cp, std::back_inserter(out));
        }
        if (out.size() > kMaxStringBytes)
            return "text longer than 4096 bytes";
    }
}

const char* parseLine(std::string_view line, StringEntry& entry)
{
    std::size_t pos = 0;
    auto skipBlanks = [&] {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t' || line[pos] == '\r'))
            ++pos;
    };
    const std::size_t numberStart = pos;
    while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9')
        ++pos;
    int number = -1;
    const auto result = std::from_chars(line.data() + numberStart, line.data() + pos, number);
    if (result.ec != std::errc() || result.ptr != line.data() + pos || number > kMaxStringNumber)
        return "expected a string number 0..65535";
    const std::size_t afterNumber = pos;
    skipBlanks();
    if (pos == afterNumber)
        return "expected a blank after the number";
    const std::size_t keyStart = pos;
    while (pos < line.size() && (isKeyChar(line[pos]) || line[pos] == '-'))
        ++pos;
    std::string_view key = line.substr(keyStart, pos - keyStart);
    if (key == "-")
        key = {};
    else if (key.empty() || key.find('-') != std::string_view::npos)
        return "expected a key of letters, digits and '_', or '-'";
    if (key.size() > kMaxStringKeyBytes)
        return "key longer than 128 bytes";
    const std::size_t afterKey = pos;
    skipBlanks();
    if (pos == afterKey || pos >= line.size() || line[pos] != '"')
        return "expected the text in double quotes after the key";
    std::string text;
    if (const char* problem = readQuoted(line, pos, text))
        return problem;
    skipBlanks();
    if (pos != line.size())
        return "unexpected characters after the text";
    if (!utf8::is_valid(text.begin(), text.end()))
        return "text is not valid UTF-8";
    entry.number = number;
    entry.key = std::string(key);
    entry.text = std::move(text);
    return nullptr;
}
}  // namespace

bool parseStringTable(std::string_view text, std::string_view sourceName, std::vector<StringEntry>& entries,
                      std::string& error)
{
    error.clear();
    textparsing::forEachLine(text, [&](std::string_view line, int lineNumber) {
        std::size_t first = 0;
        while (first < line.size() && (line[first] == ' ' || line[first] == '\t'))
            ++first;
        if (first == line.size() || line[first] == '#')
            return;
        StringEntry entry;
        entry.line = lineNumber;
        if (const char* problem = parseLine(line.substr(first), entry)) {
            if (error.empty())
                error = std::string(sourceName) + ":" + std::to_string(lineNumber) + ": " + problem;
            return;
        }
        entries.push_back(std::move(entry));
    });
    return error.empty();
}

std::string formatStringTable(std::span<const StringEntry> entries)
{
    std::string out;
    for (const StringEntry& entry : entries) {
        out += std::to_string(entry.number);
        out.push_back(' ');
        out += entry.key.empty() ? std::string("-") : entry.key;
        out.push_back(' ');
        textparsing::appendQuoted(out, entry.text);
        out.push_back('\n');
    }
    return out;
}

void StringTable::build(std::span<const StringEntry> entries, std::string_view sourceName)
{
    m_texts.clear();
    m_keys.clear();
    m_present.clear();
    int highest = -1;
    for (const StringEntry& entry : entries)
        highest = entry.number > highest ? entry.number : highest;
    const auto size = static_cast<std::size_t>(highest + 1);
    m_texts.resize(size);
    m_keys.resize(size);
    m_present.resize(size, false);
    int duplicates = 0;
    std::unordered_set<std::string_view> keys;
    for (const StringEntry& entry : entries) {
        const auto slot = static_cast<std::size_t>(entry.number);
        if (m_present[slot] || (!entry.key.empty() && !keys.insert(entry.key).second)) {
            if (duplicates++ == 0)
                logWarning("platform", "%.*s:%d: string %d or its key given twice; the first is kept",
                             static_cast<int>(sourceName.size()), sourceName.data(), entry.line, entry.number);
            continue;
        }
        m_present[slot] = true;
        m_keys[slot] = entry.key;
        m_texts[slot] = utf8ToWide(entry.text);
    }
}

bool StringTable::load(File& file)
{
    const std::string source = file.name().empty() ? std::string("string table") : file.name();
    std::vector<std::uint8_t> bytes;
    if (file.size() > kMaxStringTableFileBytes || !file.readAll(bytes)) {
        logWarning("platform", "%s: cannot read the string table", source.c_str());
        return false;
    }
    std::vector<StringEntry> entries;
    std::string error;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!parseStringTable(text, source, entries, error))
        logWarning("platform", "%s (such lines are skipped)", error.c_str());
    build(entries, source);
    return true;
}

const std::u16string* StringTable::text(int number) const
{
    if (number < 0 || number >= count() || !m_present[static_cast<std::size_t>(number)])
        return nullptr;
    return &m_texts[static_cast<std::size_t>(number)];
}

int StringTable::findId(std::string_view key) const
{
    if (key.empty())
        return -1;
    for (std::size_t i = 0; i < m_keys.size(); ++i) {
        if (m_present[i] && m_keys[i] == key)
            return static_cast<int>(i);
    }
    return -1;
}
