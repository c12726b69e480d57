#pragma once
#include "DataTool.h"

#include <string>
#include <string_view>
#include <vector>

// A line-based source file of assets/: blank lines and comments (a "#" at the
// line start or before a space) are skipped; each other line is split into
// words at spaces and tabs.
class TextSource {
public:
    struct Line {
        int number = 0;
        std::vector<std::string_view> words;   // never empty
    };
    // Reads assets/<name>; false (reported) when it cannot be read.
    [[nodiscard]] bool load(DataContext& context, const std::string& name);
    const std::vector<Line>& lines() const { return m_lines; }
    // Reports "<file>:<line>: <message>" and returns false.
    bool fail(DataContext& context, const Line& line, const std::string& message) const;

private:
    std::string m_name;
    std::string m_text;
    std::vector<Line> m_lines;
};

[[nodiscard]] bool parseInt(std::string_view word, int& out);
[[nodiscard]] bool parseFloat(std::string_view word, float& out);
// "0041" or "0041-005A" (hexadecimal, within 16 bits, first <= last).
[[nodiscard]] bool parseCodeRange(std::string_view word, unsigned& first, unsigned& last);
// "#RRGGBB" or "#RRGGBBAA" into components 0..1.
[[nodiscard]] bool parseColor(std::string_view word, double rgba[4]);
