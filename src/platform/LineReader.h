#pragma once
#include <string_view>

// Walks small text files line by line, for the "key value" formats of the save
// folder. A line comes without its '\n' and without a trailing '\r'.
class LineReader {
public:
    explicit LineReader(std::string_view text) : m_text(text) {}

    // False at the end of the text.
    bool next(std::string_view& line)
    {
        if (m_text.empty())
            return false;
        std::size_t end = m_text.find('\n');
        if (end == std::string_view::npos)
            end = m_text.size();
        line = m_text.substr(0, end);
        m_text.remove_prefix(end < m_text.size() ? end + 1 : end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        ++m_lineNumber;
        return true;
    }
    // 1 for the first line returned.
    int lineNumber() const { return m_lineNumber; }

private:
    std::string_view m_text;
    int m_lineNumber = 0;
};
