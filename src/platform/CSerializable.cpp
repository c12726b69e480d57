#include "platform/CSerializable.h"
#include "platform/Log.h"

#include "platform/File.h"
#include "platform/internal/TextParsing.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

void SerMembers::add(const char* name, bool& value)
{
    m_members.push_back(Member{name, SerType::Bool, {}, &value});
}

void SerMembers::add(const char* name, int& value, std::span<const SerEnumValue> enumTable)
{
    m_members.push_back(Member{name, SerType::Int, enumTable, &value});
}

void SerMembers::add(const char* name, float& value)
{
    m_members.push_back(Member{name, SerType::Float, {}, &value});
}

void SerMembers::add(const char* name, Vec3& value)
{
    m_members.push_back(Member{name, SerType::Vec3, {}, &value});
}

void SerMembers::add(const char* name, Color4& value)
{
    m_members.push_back(Member{name, SerType::Color, {}, &value});
}

void SerMembers::add(const char* name, std::string& value)
{
    m_members.push_back(Member{name, SerType::String, {}, &value});
}

void SerMembers::add(const char* name, CSerArrayBase& value)
{
    m_members.push_back(Member{name, SerType::Array, {}, &value});
}

const SerMembers::Member* SerMembers::find(std::string_view name) const
{
    for (const Member& member : m_members) {
        if (name == member.name)
            return &member;
    }
    return nullptr;
}

namespace {
enum class Tok { End, Word, Number, String, Open, Close, ArrayOpen, ArrayClose, Bad };

struct Token {
    Tok kind = Tok::End;
    std::string_view text;  // the token as written (without quotes for strings)
    std::string value;      // a string's bytes after its escapes
    int line = 1;
};

bool isWordChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool isNumberChar(char c)
{
    return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
}

class RecordReader {
public:
    RecordReader(std::string_view text, std::string_view source) : m_text(text), m_source(source) {}

    bool readRoot(CSerializable& record)
    {
        if (!next())
            return false;
        if (!readRecordBody(record, 1))
            return false;
        if (!next())
            return false;
        if (m_token.kind != Tok::End)
            return fail("text after the end of the record");
        return true;
    }

    const std::string& error() const { return m_error; }

private:
    bool fail(const std::string& what)
    {
        if (m_error.empty())
            m_error = std::string(m_source) + ":" + std::to_string(m_token.line) + ": " + what;
        return false;
    }

    std::string shown() const
    {
        switch (m_token.kind) {
        case Tok::End:
            return "the end of the text";
        case Tok::String:
            return "a string";
        default:
            return "\"" + std::string(m_token.text.substr(0, 64)) + "\"";
        }
    }

    void skipBlanks()
    {
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (c == '\n') {
                ++m_line;
                ++m_pos;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++m_pos;
            } else if (c == '/' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '/') {
                while (m_pos < m_text.size() && m_text[m_pos] != '\n')
                    ++m_pos;
            } else {
                return;
            }
        }
    }

    // Moves to the next token; false (with the error set) on text that is no token.
    bool next()
    {
        skipBlanks();
        m_token = Token{};
        m_token.line = m_line;
        if (m_pos >= m_text.size())
            return true;
        const std::size_t start = m_pos;
        const char c = m_text[m_pos];
        switch (c) {
        case '{': m_token.kind = Tok::Open; break;
        case '}': m_token.kind = Tok::Close; break;
        case '[': m_token.kind = Tok::ArrayOpen; break;
        case ']': m_token.kind = Tok::ArrayClose; break;
        case '"': return readString();
        default:
            if (isNumberChar(c) && c != 'e' && c != 'E') {
                while (m_pos < m_text.size() && isNumberChar(m_text[m_pos]))
                    ++m_pos;
                m_token.kind = Tok::Number;
            } else if (isWordChar(c)) {
                while (m_pos < m_text.size() && isWordChar(m_text[m_pos]))
                    ++m_pos;
                m_token.kind = Tok::Word;
            } else {
                m_token.text = m_text.substr(start, 1);
                return fail("unexpected character " + shown());
            }
            m_token.text = m_text.substr(start, m_pos - start);
            if (m_pos < m_text.size() && (isWordChar(m_text[m_pos]) || m_text[m_pos] == '"'))
                return fail("malformed value " + shown());
            return true;
        }
        ++m_pos;
        m_token.text = m_text.substr(start, 1);
        return true;
    }

    bool readString()
    {
        ++m_pos;  // the opening quote
        std::string& out = m_token.value;
        while (true) {
            if (m_pos >= m_text.size() || m_text[m_pos] == '\n' || m_text[m_pos] == '\r')
                return fail("unterminated string");
            char c = m_text[m_pos++];
            if (c == '"')
                break;
            if (c == '\0')
                return fail("NUL byte in a string");
            if (c == '\\') {
                if (m_pos >= m_text.size())
                    return fail("unterminated string");
                const char e = m_text[m_pos++];
                if (e == 'n') {
                    c = '\n';
                } else if (e == 't') {
                    c = '\t';
                } else if (e == '"' || e == '\\') {
                    c = e;
                } else if (e == 'x' && m_pos + 1 < m_text.size() && textparsing::hexDigitValue(m_text[m_pos]) >= 0 &&
                           textparsing::hexDigitValue(m_text[m_pos + 1]) >= 0) {
                    c = static_cast<char>(textparsing::hexDigitValue(m_text[m_pos]) * 16 + textparsing::hexDigitValue(m_text[m_pos + 1]));
                    m_pos += 2;
                    if (c == '\0')
                        return fail("NUL byte in a string");
                } else {
                    return fail(std::string("unknown escape \\") + e + " in a string");
                }
            }
            if (out.size() >= kMaxRecordString)
                return fail("string longer than " + std::to_string(kMaxRecordString) + " bytes");
            out.push_back(c);
        }
        m_token.kind = Tok::String;
        return true;
    }

    bool readRecordBody(CSerializable& record, int depth)
    {
        if (depth > kMaxRecordDepth)
            return fail("records nested deeper than " + std::to_string(kMaxRecordDepth));
        if (m_token.kind != Tok::Word || m_token.text != record.typeName())
            return fail(std::string("expected record type ") + record.typeName() + ", found " + shown());
        if (!next())
            return false;
        if (m_token.kind != Tok::Open)
            return fail("expected '{' after " + std::string(record.typeName()) + ", found " + shown());
        SerMembers members;
        record.describe(members);
        while (true) {
            if (!next())
                return false;
            if (m_token.kind == Tok::Close)
                return true;
            if (m_token.kind != Tok::Word)
                return fail("expected a member name or '}', found " + shown());
            const SerMembers::Member* member = members.find(m_token.text);
            if (!member)
                return fail(std::string(record.typeName()) + " has no member " + shown());
            if (!readValue(*member, depth))
                return false;
        }
    }

    bool readInt(const SerMembers::Member& member, int& out)
    {
        if (!next())
            return false;
        if (m_token.kind == Tok::Word && !member.enumTable.empty()) {
            for (const SerEnumValue& entry : member.enumTable) {
                if (m_token.text == entry.name) {
                    out = entry.value;
                    return true;
                }
            }
            return fail(std::string("unknown value ") + shown() + " for " + member.name);
        }
        std::int64_t wide = 0;
        if (!numberToken(wide) || wide < INT32_MIN || wide > INT32_MAX)
            return fail(std::string("expected an integer for ") + member.name + ", found " + shown());
        out = static_cast<int>(wide);
        return true;
    }

    bool numberToken(std::int64_t& out) const
    {
        if (m_token.kind != Tok::Number)
            return false;
        std::string_view text = m_token.text;
        if (!text.empty() && text.front() == '+')
            text.remove_prefix(1);
        const auto result = std::from_chars(text.data(), text.data() + text.size(), out);
        return result.ec == std::errc() && result.ptr == text.data() + text.size();
    }

    bool readFloat(const SerMembers::Member& member, float& out)
    {
        if (!next())
            return false;
        std::string_view text = m_token.text;
        if (!text.empty() && text.front() == '+')
            text.remove_prefix(1);
        float value = 0.0f;
        const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
        if (m_token.kind != Tok::Number || result.ec != std::errc() || result.ptr != text.data() + text.size() ||
            !std::isfinite(value))
            return fail(std::string("expected a number for ") + member.name + ", found " + shown());
        out = value;
        return true;
    }

    bool readValue(const SerMembers::Member& member, int depth)
    {
        switch (member.type) {
        case SerType::Bool: {
            if (!next())
                return false;
            const std::string_view t = m_token.text;
            const bool word = m_token.kind == Tok::Word, number = m_token.kind == Tok::Number;
            if ((word && t == "true") || (number && t == "1"))
                *static_cast<bool*>(member.value) = true;
            else if ((word && t == "false") || (number && t == "0"))
                *static_cast<bool*>(member.value) = false;
            else
                return fail(std::string("expected true or false for ") + member.name + ", found " + shown());
            return true;
        }
        case SerType::Int:
            return readInt(member, *static_cast<int*>(member.value));
        case SerType::Float:
            return readFloat(member, *static_cast<float*>(member.value));
        case SerType::Vec3: {
            Vec3 v;
            if (!readFloat(member, v.x) || !readFloat(member, v.y) || !readFloat(member, v.z))
                return false;
            *static_cast<Vec3*>(member.value) = v;
            return true;
        }
        case SerType::Color: {
            std::uint8_t channels[4] = {};
            for (std::uint8_t& channel : channels) {
                if (!next())
                    return false;
                std::int64_t value = 0;
                if (!numberToken(value) || value < 0 || value > 255)
                    return fail(std::string("expected a color byte 0..255 for ") + member.name + ", found " +
                                shown());
                channel = static_cast<std::uint8_t>(value);
            }
            *static_cast<Color4*>(member.value) = Color4{channels[0], channels[1], channels[2], channels[3]};
            return true;
        }
        case SerType::String:
            if (!next())
                return false;
            if (m_token.kind != Tok::String)
                return fail(std::string("expected a string for ") + member.name + ", found " + shown());
            *static_cast<std::string*>(member.value) = std::move(m_token.value);
            return true;
        case SerType::Array:
            return readArray(member, *static_cast<CSerArrayBase*>(member.value), depth);
        }
        return fail("member of unknown type");
    }

    bool readArray(const SerMembers::Member& member, CSerArrayBase& array, int depth)
    {
        if (!next())
            return false;
        if (m_token.kind != Tok::ArrayOpen)
            return fail(std::string("expected '[' for ") + member.name + ", found " + shown());
        int index = 0;
        while (true) {
            if (!next())
                return false;
            if (m_token.kind == Tok::ArrayClose)
                break;
            if (index >= kMaxRecordArrayLength)
                return fail(std::string(member.name) + " has more than " + std::to_string(kMaxRecordArrayLength) +
                            " elements");
            if (depth + 1 > kMaxRecordDepth)
                return fail("records nested deeper than " + std::to_string(kMaxRecordDepth));
            CSerializable* element = array.getOrCreate(index);
            if (!element)
                return fail(std::string("cannot create element of ") + member.name);
            if (!readRecordBody(*element, depth + 1))
                return false;
            ++index;
        }
        array.resize(index);
        return true;
    }

    std::string_view m_text;
    std::string_view m_source;
    std::size_t m_pos = 0;
    int m_line = 1;
    Token m_token;
    std::string m_error;
};

void indentTo(std::string& out, int depth)
{
    out.append(static_cast<std::size_t>(depth) * 4, ' ');
}

void appendFloat(std::string& out, float value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    out.append(buffer, result.ptr);
}

void appendInt(std::string& out, const SerMembers::Member& member)
{
    const int value = *static_cast<const int*>(member.value);
    for (const SerEnumValue& entry : member.enumTable) {
        if (entry.value == value) {
            out += entry.name;
            return;
        }
    }
    out += std::to_string(value);
}

void writeBody(std::string& out, const CSerializable& record, int depth)
{
    SerMembers members;
    // describe() only takes the members' addresses; nothing is written through them here.
    const_cast<CSerializable&>(record).describe(members);
    out += record.typeName();
    out += " {\n";
    for (const SerMembers::Member& member : members.all()) {
        indentTo(out, depth + 1);
        out += member.name;
        out.push_back(' ');
        switch (member.type) {
        case SerType::Bool:
            out += *static_cast<const bool*>(member.value) ? "true" : "false";
            break;
        case SerType::Int:
            appendInt(out, member);
            break;
        case SerType::Float:
            appendFloat(out, *static_cast<const float*>(member.value));
            break;
        case SerType::Vec3: {
            const Vec3& v = *static_cast<const Vec3*>(member.value);
            appendFloat(out, v.x);
            out.push_back(' ');
            appendFloat(out, v.y);
            out.push_back(' ');
            appendFloat(out, v.z);
            break;
        }
        case SerType::Color: {
            const Color4& c = *static_cast<const Color4*>(member.value);
            out += std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b) + " " +
                   std::to_string(c.a);
            break;
        }
        case SerType::String:
            textparsing::appendQuoted(out, *static_cast<const std::string*>(member.value));
            break;
        case SerType::Array: {
            const auto& array = *static_cast<const CSerArrayBase*>(member.value);
            if (array.count() == 0) {
                out += "[ ]";
                break;
            }
            out += "[\n";
            for (int i = 0; i < array.count(); ++i) {
                indentTo(out, depth + 2);
                writeBody(out, *array.at(i), depth + 2);
            }
            indentTo(out, depth + 1);
            out.push_back(']');
            break;
        }
        }
        out.push_back('\n');
    }
    indentTo(out, depth);
    out += "}\n";
}
}  // namespace

bool readRecord(std::string_view text, std::string_view sourceName, CSerializable& record, std::string& error)
{
    RecordReader reader(text, sourceName);
    if (reader.readRoot(record)) {
        error.clear();
        return true;
    }
    error = reader.error();
    return false;
}

std::string writeRecord(const CSerializable& record)
{
    std::string out;
    writeBody(out, record, 0);
    return out;
}

bool CSerializable::loadFile(File& file)
{
    const std::string source = file.name().empty() ? std::string("record") : file.name();
    if (file.size() > kMaxRecordFileBytes) {
        logWarning("platform", "%s:1: record file larger than %zu bytes", source.c_str(), kMaxRecordFileBytes);
        return false;
    }
    std::vector<std::uint8_t> bytes;
    if (!file.readAll(bytes)) {
        logWarning("platform", "%s:1: cannot read the file", source.c_str());
        return false;
    }
    std::string error;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (readRecord(text, source, *this, error))
        return true;
    logWarning("platform", "%s", error.c_str());
    return false;
}
