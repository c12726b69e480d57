#include "platform/Options.h"

#include "platform/InputScript.h"
#include "platform/Log.h"

#include "platform/File.h"
#include "platform/internal/TextParsing.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstdio>
#include <vector>

namespace {
// The keys shared by "graphics.cfg" and the command line, with their ranges.
struct GraphicsKey {
    std::string_view name;
    int GraphicsConfig::*member;
    int min, max;
};
// The pages are laid out for 960 x 640 and shrink by steps; below 720 x 480
// their next step puts the bar's buttons off the screen and the panels over
// one another, so no smaller window is made.
constexpr int kSmallestWidth = 720, kSmallestHeight = 480;
constexpr GraphicsKey kGraphicsKeys[] = {
    {"width", &GraphicsConfig::width, kSmallestWidth, 16384},
    {"height", &GraphicsConfig::height, kSmallestHeight, 16384},
    {"mode", &GraphicsConfig::mode, 0, 2},
    {"quality", &GraphicsConfig::quality, 0, 3},
    {"vsync", &GraphicsConfig::vsync, 0, 1},
};

const GraphicsKey* findGraphicsKey(std::string_view name)
{
    for (const GraphicsKey& key : kGraphicsKeys)
        if (key.name == name)
            return &key;
    return nullptr;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

GraphicsConfig g_startupGraphics;

enum class ValueKind { None, Number, Text };
struct OptionSpec {
    std::string_view name;     // as typed, without the leading '-' of the dash options
    ValueKind value;
    std::string_view help;
    std::string_view valueName = {};  // shown after the name by -help
    bool test = false;                // listed under its own heading
};
constexpr OptionSpec kOptions[] = {
    {"help", ValueKind::None, "print this list of options and end"},
    {"width", ValueKind::Number, "window width in pixels (720..16384; a smaller one is made 720)"},
    {"height", ValueKind::Number, "window height in pixels (480..16384; a smaller one is made 480): the smallest window the menus fit is 720 x 480"},
    {"mode", ValueKind::Number, "0 window, 1 full window, 2 full screen"},
    {"quality", ValueKind::Number, "graphics quality 0..3"},
    {"vsync", ValueKind::Number, "1 waits for the display refresh, 0 does not"},
    {"listres", ValueKind::None, "print the display modes and end"},
    {"+connect", ValueKind::Text, "join the game at a.b.c.d:port"},
    {"+connect_lobby", ValueKind::Text, "join the online room of that number"},
    {"+password", ValueKind::Text, "the password of the room to join"},
    {"roomserver", ValueKind::Text, "the online room server (port 11489 unless given)", "HOST[:PORT]"},
    {"fixeddt", ValueKind::Text, "every frame lasts S seconds (0.001..0.25), the program clock steps with the frames (in a network match never ahead of the wall clock, as the peers keep to it) and the random sequence starts the same each run", "S", true},
    {"frames", ValueKind::Number, "quit normally after N frames", "N", true},
    {"seed", ValueKind::Number, "with -fixeddt, the random sequence starts from seed N (0..1000000) instead of the usual one, so that a run can be repeated in several ways", "N", true},
    {"dumpframe", ValueKind::Text, "write frame N to FILE as PNG (repeatable)", "N:FILE", true},
    {"autostart", ValueKind::Text, "start a game of type TYPE on map MAP (1:MISSION for a campaign mission) once the menu has loaded, without the first-run control-type question; TYPE is 1 campaign, 2 free-for-all, 3 team deathmatch, 4 capture the flag, 5 destroy the base, 6 survival, 7 dogfight, 9 tutorial, 10 free flight, 11 a map by the campaign's rules, 13 last man standing", "TYPE:MAP", true},
    {"menupage", ValueKind::Text, "once the menu has loaded, go to the menu page NAME over the first page", "NAME",
     true},
    {"pageat", ValueKind::Text, "at frame N go to the menu page NAME (names as for -menupage; repeatable)", "N:NAME", true},
    {"textboxes", ValueKind::None, "with each picture of -dumpframe write FILE.texts: every text drawn in that frame, the rectangle its letters cover and the rectangle of the button, label box or panel it belongs to (the screen for none), each target marker's insignia with the marker's team and the player's, and the HUD's buttons with their icons, counts and key tags, its dials and radar, each marked when drawn highlighted", "", true},
    {"inputscript", ValueKind::Text, "play the input events of FILE (lines \"FRAME command ...\")", "FILE", true},
    {"inputpipe", ValueKind::Text, "play the input events read from the pipe or FIFO FILE as they come (lines \"FRAME command ...\"); each frame waits until a line of a later frame has come or the writer has closed, and the game quits with code 5 when nothing comes for 10 s", "FILE", true},
    {"autohost", ValueKind::Text, "once the menu has loaded, host a LAN game of type TYPE on map MAP", "TYPE:MAP", true},
    {"netport", ValueKind::Number, "the UDP port of LAN games (1..65535)", "N", true},
    {"lanaddr", ValueKind::Text, "the IPv4 address LAN discovery and announces go to", "ADDR", true},
    {"inject", ValueKind::Text, "at frame N a click at X,Y (click@X,Y) or a key (key@NAME) (repeatable)",
     "N:EVENT", true},
    {"testplace", ValueKind::Text, "once the player's airplane has flown 3 s in a match: foe puts the nearest enemy airplane, without its pilot, straight ahead of the guns, and the next once it is down (three in all); flag puts the player's airplane over the enemy flag and, a second later with the flag, over its own (capture the flag); ship puts it low and level short of the nearest ship; landmark puts it over the map's landmark of the lowest number, lastlandmark over the one of the highest; deck sends it low across the nearest ship's after deck, bridge under the nearest bridge's deck between its piers, building level at the nearest building from 300 units, tunnel level through the nearest tunnel, and carrier or submarine short of the nearest enemy one with the nose on it, again every 1.2 s while it floats, and landing slow over the after deck of the nearest carrier of its side; burning sets it on fire, its pilot free to bail out; flagaway takes the enemy flag as flag does, then carries it past the arena's edge with an enemy's missile behind it; burningfoe puts one enemy ahead as foe does, on fire", "foe|flag|ship|landmark|lastlandmark|deck|bridge|building|tunnel|carrier|submarine|landing|burning|flagaway|burningfoe", true},
    {"logplayer", ValueKind::Number, "every N frames of play, log the frame, the player airplane's position, velocity and attitude, and what the weapons lesson aims at, where its bomb would fall and where the player's newest missile is", "N", true},
    {"gldesktop", ValueKind::None, "start on desktop OpenGL, as on a machine without OpenGL ES; the frame split of -frametimes then also counts the fragments each pass shades", "", true},
    {"frametimes", ValueKind::Text, "time the frames that show a scene and write their mean and split by library and pass to FILE at the end", "FILE", true},
};

constexpr float kMinFixedDelta = 0.001f;
constexpr float kMaxFixedDelta = 0.25f;
constexpr int kMaxFrames = 100000000;
constexpr int kMaxSeed = 1000000;

// "N:FILE" with N from 1 on; false when malformed.
bool parseFrameDump(std::string_view value, TestOptions::FrameDump& dump)
{
    const std::size_t colon = value.find(':');
    if (colon == std::string_view::npos || colon + 1 >= value.size())
        return false;
    int frame = 0;
    if (!textparsing::parseWholeNumber(value.substr(0, colon), frame) || frame < 1 || frame > kMaxFrames)
        return false;
    dump.frame = frame;
    dump.path = std::string(value.substr(colon + 1));
    return true;
}

// A campaign mission's record name: a letter, then letters, digits or '_'.
bool isRecordName(std::string_view name)
{
    if (name.empty() || name.size() > 31 || !std::isalpha(static_cast<unsigned char>(name[0])))
        return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return false;
    return true;
}

// "TYPE:MAP", both whole numbers, the type from 1 and the map from 0; a
// campaign mission (type 1) is named by its record ("1:c1m1").
bool parseAutostart(std::string_view value, TestOptions& test)
{
    const std::size_t colon = value.find(':');
    if (colon == std::string_view::npos)
        return false;
    if (value.substr(0, colon) == "1") {
        if (!isRecordName(value.substr(colon + 1)))
            return false;
        test.autostartType = 1;
        test.autostartMap = 0;
        test.autostartMission = std::string(value.substr(colon + 1));
        return true;
    }
    int type = 0, map = 0;
    if (!textparsing::parseWholeNumber(value.substr(0, colon), type) ||
        !textparsing::parseWholeNumber(value.substr(colon + 1), map) || type < 1 || map < 0)
        return false;
    test.autostartType = type;
    test.autostartMap = map;
    return true;
}

// Four numbers 0..255 with dots between.
bool isDottedAddress(std::string_view text)
{
    int parts = 0;
    for (;;) {
        const std::size_t dot = text.find('.');
        const std::string_view part = text.substr(0, dot);
        int number = 0;
        if (part.empty() || part.size() > 3 || !textparsing::parseWholeNumber(part, number) || number < 0 ||
            number > 255 || ++parts > 4)
            return false;
        if (dot == std::string_view::npos)
            return parts == 4;
        text.remove_prefix(dot + 1);
    }
}

bool parseSeconds(std::string_view value, float& seconds)
{
    const std::string text(value);
    char* end = nullptr;
    const double parsed = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !(parsed >= kMinFixedDelta && parsed <= kMaxFixedDelta))
        return false;
    seconds = static_cast<float>(parsed);
    return true;
}

const OptionSpec* findOption(std::string_view arg)
{
    if (!arg.starts_with('+')) {
        if (arg.starts_with("--"))
            arg.remove_prefix(2);
        else if (arg.starts_with('-'))
            arg.remove_prefix(1);
        else
            return nullptr;
        if (arg.starts_with('+'))
            return nullptr;
    }
    for (const OptionSpec& option : kOptions)
        if (option.name == arg)
            return &option;
    return nullptr;
}
}  // namespace

GraphicsConfig parseGraphicsConfig(std::string_view text)
{
    GraphicsConfig config;
    const GraphicsConfig defaults;
    textparsing::forEachLine(text, [&](std::string_view line, int lineNumber) {
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        line = trim(line);
        if (line.empty())
            return;
        std::size_t gap = 0;
        while (gap < line.size() && !isBlank(line[gap]) && line[gap] != '=')
            ++gap;
        const std::string_view name = line.substr(0, gap);
        std::string_view value = trim(line.substr(gap));
        if (value.starts_with('='))
            value = trim(value.substr(1));

        const GraphicsKey* key = findGraphicsKey(name);
        if (!key) {
            logWarning("platform", "graphics.cfg:%d: unknown key skipped", lineNumber);
            return;
        }
        int number = 0;
        if (!textparsing::parseWholeNumber(value, number) || number < key->min || number > key->max) {
            logWarning("platform", "graphics.cfg:%d: bad %s, using %d", lineNumber,
                         std::string(key->name).c_str(), defaults.*(key->member));
            config.*(key->member) = defaults.*(key->member);
            return;
        }
        config.*(key->member) = number;
    });
    return config;
}

std::string formatGraphicsConfig(const GraphicsConfig& config)
{
    std::string text;
    for (const GraphicsKey& key : kGraphicsKeys) {
        text += key.name;
        text += ' ';
        text += std::to_string(config.*(key.member));
        text += '\n';
    }
    return text;
}

GraphicsConfig& startupGraphics()
{
    return g_startupGraphics;
}

GraphicsConfig loadGraphicsConfig()
{
    // Five short lines; anything near this size is not a settings file.
    constexpr std::size_t kMaxBytes = 64 * 1024;
    std::vector<std::uint8_t> bytes;
    if (!readSaveFile("graphics.cfg", kMaxBytes, bytes)) {
        // Too large or unreadable: the next save would replace it unkept.
        std::string keptAs;
        if (keepUnreadSaveFile("graphics.cfg", "graphics.cfg.bad", keptAs) == UnreadSaveFile::Kept)
            logWarning("platform", "graphics.cfg: not read; the defaults apply; the file is kept as %s", keptAs.c_str());
        return GraphicsConfig{};
    }
    return parseGraphicsConfig(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool saveGraphicsConfig()
{
    GraphicsConfig saved = g_startupGraphics;
    saved.vsync = 1;
    return writeSaveFileAtomic("graphics.cfg", formatGraphicsConfig(saved));
}

void OptionTable::parse(std::span<const char* const> args)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i] ? args[i] : "";
        const OptionSpec* option = findOption(arg);
        if (!option) {
            logWarning("platform", "unknown option \"%s\" ignored (-help lists them)", std::string(arg).c_str());
            continue;
        }
        if (option->value == ValueKind::None) {
            if (option->name == "help")
                m_help = true;
            else if (option->name == "gldesktop")
                m_test.desktopGl = true;
            else if (option->name == "textboxes")
                m_test.textBoxes = true;
            else
                m_listres = true;
            continue;
        }
        // The next option is never taken as a value: "+connect -width 800"
        // would otherwise lose the width and try to join "-width".
        if (i + 1 >= args.size() || !args[i + 1] || findOption(args[i + 1])) {
            logWarning("platform", "option \"%s\" needs a value; ignored", std::string(arg).c_str());
            continue;
        }
        const std::string_view value = args[++i];
        if (option->value == ValueKind::Text) {
            if (option->name == "+connect")
                m_connect = value;
            else if (option->name == "+connect_lobby")
                m_connectLobby = value;
            else if (option->name == "+password")
                m_password = value;
            else if (option->name == "roomserver")
                m_roomServer = value;
            else if (option->name == "fixeddt" && !parseSeconds(value, m_test.fixedFrameDelta))
                logWarning("platform", "option -fixeddt: \"%s\" is not 0.001..0.25 seconds; ignored",
                           std::string(value).c_str());
            else if (option->name == "inputscript")
                m_test.inputScript = value;
            else if (option->name == "inputpipe")
                m_test.inputPipe = value;
            else if (option->name == "menupage")
                m_test.menuPage = value;
            else if (option->name == "frametimes")
                m_test.frameTimes = value;
            else if (option->name == "testplace") {
                if (value == "foe" || value == "flag" || value == "ship" || value == "landmark" || value == "deck" ||
                    value == "bridge" || value == "building" || value == "tunnel" || value == "carrier" ||
                    value == "submarine" || value == "lastlandmark" || value == "landing" || value == "burning" ||
                    value == "flagaway" || value == "burningfoe")
                    m_test.testPlace = value;
                else
                    logWarning("platform", "option -testplace: \"%s\" is not a placement; ignored",
                               std::string(value).c_str());
            }
            else if (option->name == "pageat") {
                TestOptions::FrameDump page;
                if (parseFrameDump(value, page))
                    m_test.laterPages.push_back(std::move(page));
                else
                    logWarning("platform", "option -pageat: \"%s\" is not N:NAME; ignored", std::string(value).c_str());
            }
            else if (option->name == "dumpframe") {
                TestOptions::FrameDump dump;
                if (parseFrameDump(value, dump))
                    m_test.frameDumps.push_back(std::move(dump));
                else
                    logWarning("platform", "option -dumpframe: \"%s\" is not N:FILE; ignored", std::string(value).c_str());
            } else if (option->name == "inject") {
                std::string line;
                if (parseInjection(value, line))
                    m_test.injections.push_back(std::move(line));
                else
                    logWarning("platform", "option -inject: \"%s\" is not N:click@X,Y or N:key@NAME; ignored",
                               std::string(value).c_str());
            } else if (option->name == "autohost") {
                TestOptions parsed;
                if (!parseAutostart(value, parsed) || parsed.autostartType == 1)
                    logWarning("platform", "option -autohost: \"%s\" is not TYPE:MAP; ignored", std::string(value).c_str());
                else
                    m_test.autohostType = parsed.autostartType, m_test.autohostMap = parsed.autostartMap;
            } else if (option->name == "lanaddr") {
                if (isDottedAddress(value))
                    m_test.lanAddress = value;
                else
                    logWarning("platform", "option -lanaddr: \"%s\" is not a.b.c.d; ignored", std::string(value).c_str());
            } else if (option->name == "autostart" && !parseAutostart(value, m_test)) {
                logWarning("platform", "option -autostart: \"%s\" is not TYPE:MAP; ignored", std::string(value).c_str());
            }
            continue;
        }
        int number = 0;
        if (!textparsing::parseWholeNumber(value, number)) {
            logWarning("platform", "option \"%s\": \"%s\" is no number; ignored", std::string(arg).c_str(),
                         std::string(value).c_str());
            continue;
        }
        if (option->name == "width")
            m_width = number;
        else if (option->name == "height")
            m_height = number;
        else if (option->name == "mode")
            m_mode = number;
        else if (option->name == "quality")
            m_quality = number;
        else if (option->name == "vsync")
            m_vsync = number;
        else if (option->name == "netport") {
            if (number >= 1 && number <= 65535)
                m_test.netPort = number;
            else
                logWarning("platform", "option -netport %d is out of range 1..65535; ignored", number);
        } else if (option->name == "seed") {
            if (number >= 0 && number <= kMaxSeed)
                m_test.seed = number;
            else
                logWarning("platform", "option -seed %d is out of range 0..%d; ignored", number, kMaxSeed);
        } else if (option->name == "logplayer") {
            if (number >= 1 && number <= kMaxFrames)
                m_test.logPlayerEvery = number;
            else
                logWarning("platform", "option -logplayer %d is out of range 1..%d; ignored", number, kMaxFrames);
        } else if (number >= 1 && number <= kMaxFrames)
            m_test.quitAfterFrames = number;
        else
            logWarning("platform", "option -frames %d is out of range 1..%d; ignored", number, kMaxFrames);
    }
}

void OptionTable::applyTo(GraphicsConfig& config) const
{
    const std::pair<std::string_view, const std::optional<int>*> given[] = {
        {"width", &m_width}, {"height", &m_height}, {"mode", &m_mode}, {"quality", &m_quality}, {"vsync", &m_vsync},
    };
    for (const auto& [name, value] : given) {
        if (!value->has_value())
            continue;
        const GraphicsKey* key = findGraphicsKey(name);
        if ((name == "width" || name == "height") && **value >= 1 && **value < key->min) {
            logWarning("platform", "option -%s %d: the menus need a window of at least %d x %d; using %d",
                       std::string(name).c_str(), **value, kSmallestWidth, kSmallestHeight, key->min);
            config.*(key->member) = key->min;
            continue;
        }
        if (**value < key->min || **value > key->max) {
            logWarning("platform", "option -%s %d is out of range %d..%d; ignored", std::string(name).c_str(),
                         **value, key->min, key->max);
            continue;
        }
        config.*(key->member) = **value;
    }
}

std::string OptionTable::usage()
{
    std::string text;
    for (const bool test : {false, true}) {
        text += test ? "\nTest options (headless and scripted runs):\n" : "Options:\n";
        for (const OptionSpec& option : kOptions) {
            if (option.test != test)
                continue;
            std::string left = option.name.starts_with('+') ? std::string(option.name) : "-" + std::string(option.name);
            if (!option.valueName.empty())
                left += " " + std::string(option.valueName);
            else if (option.value == ValueKind::Number)
                left += " N";
            else if (option.value == ValueKind::Text)
                left += option.name == "+connect" ? " ADDRESS:PORT" : option.name == "+password" ? " TEXT" : " ID";
            left.resize(std::max<std::size_t>(left.size() + 2, 28), ' ');
            text += "  " + left + std::string(option.help) + "\n";
        }
    }
    return text;
}

bool parseInjection(std::string_view value, std::string& scriptLine)
{
    // Spaces or a comment mark would smuggle further words into the script line.
    if (value.find_first_of(" \t\r\n#") != std::string_view::npos)
        return false;
    const std::size_t colon = value.find(':');
    const std::size_t at = value.find('@');
    if (colon == std::string_view::npos || at == std::string_view::npos || at < colon)
        return false;
    const std::string_view frame = value.substr(0, colon), kind = value.substr(colon + 1, at - colon - 1);
    std::string args(value.substr(at + 1));
    if (kind == "click") {
        const std::size_t comma = args.find(',');
        if (comma == std::string::npos)
            return false;
        args[comma] = ' ';
    } else if (kind != "key") {
        return false;
    }
    if (args.empty())
        return false;
    std::string line = std::string(frame) + " " + std::string(kind) + " " + args;
    // The script reader checks the frame, the point and the key name.
    std::vector<ScriptEvent> events;
    InputScriptError error;
    if (!readInputScript(line, events, error) || events.empty())
        return false;
    scriptLine = std::move(line);
    return true;
}

namespace {
bool g_quitKeepingSettings = false;
}

void requestQuitKeepingSettings()
{
    g_quitKeepingSettings = true;
}

bool quitKeepingSettingsRequested()
{
    return g_quitKeepingSettings;
}

void clearQuitKeepingSettings()
{
    g_quitKeepingSettings = false;
}
