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
struct ScriptEvent {
    enum class Kind : int {
        KeyDown = 0, KeyUp = 1, MouseDown = 2, MouseMove = 3, MouseUp = 4, Wheel = 5, FocusDown = 6, FocusUp = 7,
        Text = 8, PadDown = 9, PadUp = 10, PadAxis = 11, Close = 12,
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

// Parses the whole script; the events come out ordered by frame, in line order
// within a frame. False with the first bad line's number and why.
bool readInputScript(std::string_view text, std::vector<ScriptEvent>& events, InputScriptError& error);

// Reads and parses the script file (at most 1 MiB); line 0 for a file that
// cannot be read or is too large.
bool loadInputScript(const std::string& path, std::vector<ScriptEvent>& events, InputScriptError& error);

// The virtual controller's button and axis numbers by name; -1 for none.
int scriptPadButton(std::string_view name);
int scriptPadAxis(std::string_view name);
