#include "platform/InputScript.h"

#include "platform/Input.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <iterator>

namespace {
// The game controller's buttons and axes in their standard numbering.
constexpr std::array<std::string_view, 15> kPadButtons = {
    "a", "b", "x", "y", "back", "guide", "start", "leftstick", "rightstick", "leftshoulder", "rightshoulder",
    "dpup", "dpdown", "dpleft", "dpright"};
constexpr std::array<std::string_view, 6> kPadAxes = {"leftx", "lefty", "rightx", "righty", "lefttrigger",
                                                      "righttrigger"};

std::vector<std::string_view> splitWords(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

bool toInt(std::string_view word, int low, int high, int& out)
{
    int value = 0;
    const auto [end, code] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (code != std::errc{} || end != word.data() + word.size() || value < low || value > high)
        return false;
    out = value;
    return true;
}

// A picture's name stays a plain file name in the folder the game was started from.
bool isShotName(std::string_view name)
{
    if (name.size() > kScriptMaxShotName || name.size() < 5 || !name.ends_with(".png") || name.front() == '.')
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
               c == '-' || c == '.';
    });
}

class Parser {
public:
    Parser(std::vector<ScriptEvent>& events, InputScriptError& error) : m_events(events), m_error(error) {}

    bool line(std::string_view text, int number);
    // The frame the last line named; 0 for an empty or comment line.
    int frame() const { return m_frame; }

private:
    bool fail(const std::string& message)
    {
        m_error.line = m_line;
        m_error.message = message;
        return false;
    }
    bool add(int frame, ScriptEvent::Kind kind, int a = 0, int b = 0, std::string text = {})
    {
        if (m_events.size() >= kScriptMaxEvents)
            return fail("too many events");
        m_events.push_back(ScriptEvent{frame, kind, a, b, std::move(text), m_line});
        return true;
    }
    bool point(const std::vector<std::string_view>& w, std::size_t at, int& x, int& y)
    {
        return toInt(w[at], -kScriptMaxCoordinate, kScriptMaxCoordinate, x) &&
               toInt(w[at + 1], -kScriptMaxCoordinate, kScriptMaxCoordinate, y);
    }
    bool keyCommand(const std::vector<std::string_view>& w, int frame);
    bool mouseCommand(const std::vector<std::string_view>& w, int frame);
    bool padCommand(const std::vector<std::string_view>& w, int frame);

    std::vector<ScriptEvent>& m_events;
    InputScriptError& m_error;
    int m_line = 0;
    int m_frame = 0;
};

bool Parser::keyCommand(const std::vector<std::string_view>& w, int frame)
{
    if (w.size() != 3)
        return fail("expected: FRAME " + std::string(w[1]) + " NAME");
    const int index = Input::keyIndexOfBindingName(w[2]);
    if (index < 0)
        return fail("unknown key \"" + std::string(w[2]) + "\"");
    const int scancode = Input::keyInfo(index).keyCode;
    if (w[1] == "keydown")
        return add(frame, ScriptEvent::Kind::KeyDown, scancode);
    if (w[1] == "keyup")
        return add(frame, ScriptEvent::Kind::KeyUp, scancode);
    return add(frame, ScriptEvent::Kind::KeyDown, scancode) && add(frame + 1, ScriptEvent::Kind::KeyUp, scancode);
}

bool Parser::mouseCommand(const std::vector<std::string_view>& w, int frame)
{
    const std::string_view command = w[1];
    int x = 0, y = 0;
    if (command == "drag") {
        int x2 = 0, y2 = 0, steps = 0;
        if (w.size() != 7 || !point(w, 2, x, y) || !point(w, 4, x2, y2) || !toInt(w[6], 1, kScriptMaxDragSteps, steps))
            return fail("expected: FRAME drag X1 Y1 X2 Y2 STEPS (1.." + std::to_string(kScriptMaxDragSteps) + ")");
        if (!add(frame, ScriptEvent::Kind::MouseDown, x, y))
            return false;
        for (int i = 1; i <= steps; ++i) {
            const long long px = x + static_cast<long long>(x2 - x) * i / steps;
            const long long py = y + static_cast<long long>(y2 - y) * i / steps;
            if (!add(frame + i, ScriptEvent::Kind::MouseMove, static_cast<int>(px), static_cast<int>(py)))
                return false;
        }
        return add(frame + steps + 1, ScriptEvent::Kind::MouseUp, x2, y2);
    }
    if (command == "wheel") {
        if (w.size() != 4 || !toInt(w[2], -100, 100, x) || !toInt(w[3], -100, 100, y))
            return fail("expected: FRAME wheel DX DY (-100..100)");
        return add(frame, ScriptEvent::Kind::Wheel, x, y);
    }
    if (w.size() != 4 || !point(w, 2, x, y))
        return fail("expected: FRAME " + std::string(command) + " X Y");
    if (command == "click")
        return add(frame, ScriptEvent::Kind::MouseDown, x, y) && add(frame + 1, ScriptEvent::Kind::MouseUp, x, y);
    if (command == "mousedown")
        return add(frame, ScriptEvent::Kind::MouseDown, x, y);
    if (command == "mousemove")
        return add(frame, ScriptEvent::Kind::MouseMove, x, y);
    return add(frame, ScriptEvent::Kind::MouseUp, x, y);
}

bool Parser::padCommand(const std::vector<std::string_view>& w, int frame)
{
    if (w[1] == "axis") {
        int value = 0;
        const int axis = w.size() == 4 ? scriptPadAxis(w[2]) : -1;
        if (axis < 0 || !toInt(w[3], -32768, 32767, value))
            return fail("expected: FRAME axis NAME VALUE (leftx, lefty, rightx, righty, lefttrigger, righttrigger; "
                        "-32768..32767)");
        return add(frame, ScriptEvent::Kind::PadAxis, axis, value);
    }
    const int button = w.size() == 3 ? scriptPadButton(w[2]) : -1;
    if (button < 0)
        return fail("expected: FRAME " + std::string(w[1]) + " BUTTON (a, b, x, y, back, start, dpup, ...)");
    if (w[1] == "paddown")
        return add(frame, ScriptEvent::Kind::PadDown, button);
    if (w[1] == "padup")
        return add(frame, ScriptEvent::Kind::PadUp, button);
    return add(frame, ScriptEvent::Kind::PadDown, button) && add(frame + 1, ScriptEvent::Kind::PadUp, button);
}

bool Parser::line(std::string_view text, int number)
{
    m_line = number;
    m_frame = 0;
    const std::size_t hash = text.find('#');
    if (hash != std::string_view::npos)
        text = text.substr(0, hash);
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    const std::vector<std::string_view> w = splitWords(text);
    if (w.empty())
        return true;
    int frame = 0;
    if (!toInt(w[0], 1, kScriptMaxFrame, frame))
        return fail("the frame must be 1.." + std::to_string(kScriptMaxFrame));
    m_frame = frame;
    if (w.size() < 2)
        return fail("a command must follow the frame");
    const std::string_view command = w[1];
    if (command == "key" || command == "keydown" || command == "keyup")
        return keyCommand(w, frame);
    if (command == "click" || command == "mousedown" || command == "mousemove" || command == "mouseup" ||
        command == "drag" || command == "wheel")
        return mouseCommand(w, frame);
    if (command == "pad" || command == "paddown" || command == "padup" || command == "axis")
        return padCommand(w, frame);
    if (command == "sync") {
        if (w.size() != 2)
            return fail("\"sync\" takes nothing after it");
        return add(frame, ScriptEvent::Kind::Sync);
    }
    if (command == "shot") {
        if (w.size() != 3 || !isShotName(w[2]))
            return fail("expected: FRAME shot NAME (letters, digits, \"_-.\", ending \".png\", at most " +
                        std::to_string(kScriptMaxShotName) + " bytes)");
        return add(frame, ScriptEvent::Kind::Shot, 0, 0, std::string(w[2]));
    }
    if (command == "clickfocus" || command == "close" || command == "focuslost" || command == "focusgained") {
        if (w.size() != 2)
            return fail("\"" + std::string(command) + "\" takes nothing after it");
        if (command == "close")
            return add(frame, ScriptEvent::Kind::Close);
        if (command == "focuslost")
            return add(frame, ScriptEvent::Kind::FocusLost);
        if (command == "focusgained")
            return add(frame, ScriptEvent::Kind::FocusGained);
        return add(frame, ScriptEvent::Kind::FocusDown) && add(frame + 1, ScriptEvent::Kind::FocusUp);
    }
    if (command == "text") {
        // The rest of the line after the word "text", as typed.
        const std::size_t at = static_cast<std::size_t>(w[1].data() - text.data()) + 4;
        std::string_view typed = text.substr(std::min(at, text.size()));
        while (!typed.empty() && (typed.front() == ' ' || typed.front() == '\t'))
            typed.remove_prefix(1);
        if (typed.empty() || typed.size() > kScriptMaxTextBytes)
            return fail("expected: FRAME text WORDS (1.." + std::to_string(kScriptMaxTextBytes) + " bytes)");
        if (typed.find('\0') != std::string_view::npos)
            return fail("the text holds a zero byte");
        return add(frame, ScriptEvent::Kind::Text, 0, 0, std::string(typed));
    }
    return fail("unknown command \"" + std::string(command) + "\"");
}
}  // namespace

int scriptPadButton(std::string_view name)
{
    const auto found = std::find(kPadButtons.begin(), kPadButtons.end(), name);
    return found == kPadButtons.end() ? -1 : static_cast<int>(found - kPadButtons.begin());
}

int scriptPadAxis(std::string_view name)
{
    const auto found = std::find(kPadAxes.begin(), kPadAxes.end(), name);
    return found == kPadAxes.end() ? -1 : static_cast<int>(found - kPadAxes.begin());
}

bool readInputScript(std::string_view text, std::vector<ScriptEvent>& events, InputScriptError& error)
{
    events.clear();
    error = {};
    Parser parser(events, error);
    int number = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        ++number;
        if (!parser.line(text.substr(start, end - start), number)) {
            events.clear();
            return false;
        }
        start = end + 1;
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const ScriptEvent& l, const ScriptEvent& r) { return l.frame < r.frame; });
    return true;
}

bool loadInputScript(const std::string& path, std::vector<ScriptEvent>& events, InputScriptError& error)
{
    constexpr std::size_t kMaxBytes = 1u << 20;
    events.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = {0, "cannot be read"};
        return false;
    }
    std::string text;
    text.resize(kMaxBytes + 1);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxBytes) {
        error = {0, "is larger than 1 MiB"};
        return false;
    }
    return readInputScript(text, events, error);
}

bool InputScriptStream::line(std::string_view text, std::vector<ScriptEvent>& events, InputScriptError& error)
{
    std::vector<ScriptEvent> parsed;
    Parser parser(parsed, error);
    if (!parser.line(text, ++m_lines)) {
        m_failed = true;
        return false;
    }
    m_eventCount += parsed.size();
    if (m_eventCount > kScriptMaxEvents) {
        m_failed = true;
        error = {m_lines, "too many events"};
        return false;
    }
    // A line's events are pushed at or after its frame ("key" lets go a frame later).
    m_lastFrame = std::max(m_lastFrame, parser.frame());
    events.insert(events.end(), std::make_move_iterator(parsed.begin()), std::make_move_iterator(parsed.end()));
    return true;
}

bool InputScriptStream::feed(std::string_view bytes, std::vector<ScriptEvent>& events, InputScriptError& error)
{
    if (m_failed || m_closed)
        return !m_failed;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        const std::string_view piece = bytes.substr(0, end);
        if (m_partial.size() + piece.size() > kScriptMaxLineBytes) {
            m_failed = true;
            error = {m_lines + 1, "a line is longer than " + std::to_string(kScriptMaxLineBytes) + " bytes"};
            return false;
        }
        m_partial.append(piece);
        if (end == std::string_view::npos)
            break;
        const std::string whole = std::move(m_partial);
        m_partial.clear();
        if (!line(whole, events, error))
            return false;
        bytes.remove_prefix(end + 1);
    }
    return true;
}

bool InputScriptStream::finish(std::vector<ScriptEvent>& events, InputScriptError& error)
{
    if (m_failed || m_closed)
        return !m_failed;
    m_closed = true;
    const std::string last = std::move(m_partial);
    m_partial.clear();
    return last.empty() || line(last, events, error);
}
