#pragma once
#include <string>
#include <string_view>
#include <vector>

// The "-inputscript FILE" test option: lines of "FRAME command ...", each
// turned into input events the game's own event pump handles at that frame
// (1 is the first frame drawn). '#' starts a comment. Commands:
//   key NAME | keydown NAME | keyup NAME     a key by its "controls.cfg" name; key = down, up next frame
//   click X Y | mousedown X Y | mousemove X Y | mouseup X Y   the left button at window pixels
//   drag X1 Y1 X2 Y2 N                       down, N moves a frame apart to (X2, Y2), then up
//   wheel DX DY                              wheel notches
//   clickfocus                               a click on the centre of the focused menu item
//   text WORDS...                            typed text (the rest of the line)
//   pad NAME | paddown NAME | padup NAME     a button of the virtual controller ("a", "dpup", ...)
//   axis NAME VALUE                          an axis of the virtual controller, -32768..32767
//   close                                    the window's close request
//   focuslost | focusgained                  the window loses or regains the input focus
//   sync                                     nothing; in a piped script: every line before FRAME has come
//   shot NAME                                frame FRAME saved as NAME (letters, digits, "_-.", ending ".png")
struct ScriptEvent {
    enum class Kind : int {
        KeyDown = 0, KeyUp = 1, MouseDown = 2, MouseMove = 3, MouseUp = 4, Wheel = 5, FocusDown = 6, FocusUp = 7,
        Text = 8, PadDown = 9, PadUp = 10, PadAxis = 11, Close = 12, Sync = 13, Shot = 14,
        FocusLost = 15, FocusGained = 16,
    };
    int frame = 0;
    Kind kind = Kind::KeyDown;
    int a = 0, b = 0;   // scancode, button or axis and value; pixels or wheel steps
    std::string text;
    int line = 0;
};

struct InputScriptError {
    int line = 0;
    std::string message;
};

// Limits that keep a hostile script from growing without end.
constexpr int kScriptMaxFrame = 10'000'000;
constexpr int kScriptMaxCoordinate = 100'000;
constexpr int kScriptMaxDragSteps = 1000;
constexpr std::size_t kScriptMaxEvents = 1'000'000;
constexpr std::size_t kScriptMaxTextBytes = 31;   // one SDL text event
constexpr std::size_t kScriptMaxShotName = 64;
constexpr std::size_t kScriptMaxLineBytes = 4096;  // a piped line

// Parses the whole script; the events come out ordered by frame, in line order
// within a frame. False with the first bad line's number and why.
bool readInputScript(std::string_view text, std::vector<ScriptEvent>& events, InputScriptError& error);

// Reads and parses the script file (at most 1 MiB); line 0 for a file that
// cannot be read or is too large.
bool loadInputScript(const std::string& path, std::vector<ScriptEvent>& events, InputScriptError& error);

// The virtual controller's button and axis numbers by name; -1 for none.
int scriptPadButton(std::string_view name);
int scriptPadAxis(std::string_view name);

// A script that arrives piece by piece ("-inputpipe"): bytes as they come,
// each complete line parsed as it ends. A frame counts as heard in full once
// a line of a later frame has come or the writer has closed, so the game can
// wait for exactly what a frame needs.
class InputScriptStream {
public:
    // Takes the bytes; the events of the lines they complete go to `events`,
    // in line order. False at the first bad line (or one longer than
    // kScriptMaxLineBytes), with its number and why; nothing more is taken then.
    bool feed(std::string_view bytes, std::vector<ScriptEvent>& events, InputScriptError& error);
    // The writer has closed: a last line without its newline still counts.
    bool finish(std::vector<ScriptEvent>& events, InputScriptError& error);

    // True when every line of that frame has come.
    bool heardAll(int frame) const { return m_closed || m_lastFrame > frame; }
    bool closed() const { return m_closed; }
    // The highest frame a line has named so far; 0 before any.
    int lastFrame() const { return m_lastFrame; }

private:
    bool line(std::string_view text, std::vector<ScriptEvent>& events, InputScriptError& error);

    std::string m_partial;
    int m_lines = 0;
    std::size_t m_eventCount = 0;
    int m_lastFrame = 0;
    bool m_closed = false;
    bool m_failed = false;
};
