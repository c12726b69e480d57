#include "TextSource.h"

#include <charconv>
#include <cmath>

namespace {
// A '#' that begins the line or stands before a space or the line's end starts
// a comment; "#RRGGBB" colors do not.
std::size_t commentStart(std::string_view line)
{
    const std::size_t first = line.find_first_not_of(" \t");
    if (first != std::string_view::npos && line[first] == '#')
        return first;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '#' && (i + 1 == line.size() || line[i + 1] == ' ' || line[i + 1] == '\t' || line[i + 1] == '\r'))
            return i;
    }
    return line.size();
}
}  // namespace

bool TextSource::load(DataContext& context, const std::string& name)
{
    m_name = name;
    if (!readSourceFile(context.sourceDir() / name, m_text)) {
        context.error("cannot read assets/" + name);
        return false;
    }
    m_lines.clear();
    std::string_view rest(m_text);
    int number = 0;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        ++number;
        line = line.substr(0, commentStart(line));
        Line parsed;
        parsed.number = number;
        std::size_t pos = 0;
        while (pos < line.size()) {
            const std::size_t start = line.find_first_not_of(" \t\r", pos);
            if (start == std::string_view::npos)
                break;
            const std::size_t stop = std::min(line.find_first_of(" \t\r", start), line.size());
            parsed.words.push_back(line.substr(start, stop - start));
            pos = stop;
        }
        if (!parsed.words.empty())
            m_lines.push_back(std::move(parsed));
    }
    return true;
}

bool TextSource::fail(DataContext& context, const Line& line, const std::string& message) const
{
    context.error("assets/" + m_name + ":" + std::to_string(line.number) + ": " + message);
    return false;
}

bool parseInt(std::string_view word, int& out)
{
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), out);
    return ec == std::errc() && end == word.data() + word.size();
}

bool parseFloat(std::string_view word, float& out)
{
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), out);
    return ec == std::errc() && end == word.data() + word.size() && std::isfinite(out);
}

bool parseCodeRange(std::string_view word, unsigned& first, unsigned& last)
{
    const auto hex = [](std::string_view w, unsigned& out) {
        const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), out, 16);
        return ec == std::errc() && end == w.data() + w.size() && !w.empty() && out <= 0xFFFF;
    };
    const std::size_t dash = word.find('-');
    if (dash == std::string_view::npos) {
        if (!hex(word, first))
            return false;
        last = first;
        return true;
    }
    return hex(word.substr(0, dash), first) && hex(word.substr(dash + 1), last) && first <= last;
}

bool parseColor(std::string_view word, double rgba[4])
{
    if ((word.size() != 7 && word.size() != 9) || word[0] != '#')
        return false;
    rgba[3] = 1.0;
    for (std::size_t i = 0; i * 2 + 1 < word.size(); ++i) {
        unsigned value = 0;
        const std::string_view pair = word.substr(1 + i * 2, 2);
        const auto [end, ec] = std::from_chars(pair.data(), pair.data() + 2, value, 16);
        if (ec != std::errc() || end != pair.data() + 2)
            return false;
        rgba[i] = value / 255.0;
    }
    return true;
}
