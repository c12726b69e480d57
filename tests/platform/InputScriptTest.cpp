#include "platform/Input.h"
#include "platform/InputScript.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Kind = ScriptEvent::Kind;

std::string kinds(const std::vector<ScriptEvent>& events)
{
    std::string out;
    for (const ScriptEvent& e : events)
        out += std::to_string(e.frame) + ":" + std::to_string(static_cast<int>(e.kind)) + " ";
    return out;
}

TEST(InputScript, EveryCommandBecomesItsEventsInFrameOrder)
{
    const std::string script = "# a comment line\n"
                               "20 close\n"
                               "5 key Enter   # pressed and released\n"
                               "6 keydown Up\r\n"
                               "7 keyup Up\n"
                               "\n"
                               "8 click 100 200\n"
                               "9 mousedown 1 2\n9 mousemove 3 4\n9 mouseup 5 6\n"
                               "10 drag 0 0 30 -60 3\n"
                               "11 wheel 0 -2\n"
                               "12 clickfocus\n"
                               "13 text Ace pilot\n"
                               "14 pad dpup\n15 paddown b\n15 padup b\n"
                               "16 axis lefty -32768\n"
                               "17 focuslost\n18 focusgained\n";
    std::vector<ScriptEvent> events;
    InputScriptError error;
    ASSERT_TRUE(readInputScript(script, events, error)) << error.line << ": " << error.message;
    EXPECT_EQ(kinds(events), "5:0 6:1 6:0 7:1 8:2 9:4 9:2 9:3 9:4 10:2 11:3 11:5 12:3 12:6 13:3 13:7 13:8 14:4 "
                             "14:9 15:10 15:9 15:10 16:11 17:15 18:16 20:12 ");
    const int enter = Input::keyInfo(Input::keyIndexOfBindingName("Enter")).keyCode;
    EXPECT_EQ(events[0].a, enter);
    EXPECT_EQ(events[0].line, 3);
    // The drag moves evenly and lets go where it ends.
    EXPECT_EQ(events[10].a, 10);
    EXPECT_EQ(events[10].b, -20);
    EXPECT_EQ(events[14].a, 30);
    EXPECT_EQ(events[14].b, -60);
    const ScriptEvent& typed = events[16];
    EXPECT_EQ(typed.text, "Ace pilot");
    EXPECT_EQ(events[17].a, 30);   // the drag's release
    EXPECT_EQ(events[18].a, scriptPadButton("dpup"));
    EXPECT_EQ(events[22].a, scriptPadAxis("lefty"));
    EXPECT_EQ(events[22].b, -32768);
}

TEST(InputScript, ABadLineIsRefusedWithItsNumber)
{
    const std::pair<const char*, const char*> bad[] = {
        {"1 key Enter\n2 key Nope\n", "unknown key"},
        {"1 key Enter\n0 key Enter\n", "frame"},
        {"1 key Enter\nx key Enter\n", "frame"},
        {"1 key Enter\n2\n", "command"},
        {"1 key Enter\n2 fly 1 2\n", "unknown command"},
        {"1 key Enter\n2 click 1\n", "click X Y"},
        {"1 key Enter\n2 click 1 200000\n", "click X Y"},
        {"1 key Enter\n2 drag 0 0 1 1 0\n", "drag"},
        {"1 key Enter\n2 drag 0 0 1 1 5000\n", "drag"},
        {"1 key Enter\n2 pad z\n", "BUTTON"},
        {"1 key Enter\n2 axis leftx 40000\n", "axis"},
        {"1 key Enter\n2 text\n", "text"},
        {"1 key Enter\n2 text 12345678901234567890123456789012\n", "text"},
        {"1 key Enter\n2 close now\n", "nothing after"},
        {"1 key Enter\n2 focuslost 3\n", "nothing after"},
        {"1 key Enter\n2 wheel 1\n", "wheel"},
        {"1 key Enter\n2 sync 3\n", "nothing after"},
        // A picture stays a plain PNG in the start folder.
        {"1 key Enter\n2 shot ../up.png\n", "shot NAME"},
        {"1 key Enter\n2 shot /tmp/a.png\n", "shot NAME"},
        {"1 key Enter\n2 shot a.txt\n", "shot NAME"},
        {"1 key Enter\n2 shot .png\n", "shot NAME"},
        {"1 key Enter\n2 shot\n", "shot NAME"},
    };
    for (const auto& [script, why] : bad) {
        SCOPED_TRACE(script);
        std::vector<ScriptEvent> events;
        InputScriptError error;
        EXPECT_FALSE(readInputScript(script, events, error));
        EXPECT_EQ(error.line, 2);
        EXPECT_NE(error.message.find(why), std::string::npos) << error.message;
        EXPECT_TRUE(events.empty());
    }
}

TEST(InputScript, SyncMarksAFrameAndShotNamesAPicture)
{
    std::vector<ScriptEvent> events;
    InputScriptError error;
    ASSERT_TRUE(readInputScript("4 shot torpedo_run-1.png\n3 sync\n", events, error)) << error.message;
    EXPECT_EQ(kinds(events), "3:13 4:14 ");
    EXPECT_EQ(events[1].text, "torpedo_run-1.png");
}

// A piped script arrives in pieces that need not end at a line's end.
TEST(InputScriptStream, LinesCountOnceWholeAndAFrameIsHeardOnceALaterOneCame)
{
    InputScriptStream stream;
    std::vector<ScriptEvent> events;
    InputScriptError error;
    EXPECT_FALSE(stream.heardAll(1));
    ASSERT_TRUE(stream.feed("5 keydown Sp", events, error));
    EXPECT_TRUE(events.empty()) << "half a line is no line";
    EXPECT_EQ(stream.lastFrame(), 0);
    ASSERT_TRUE(stream.feed("ace\n5 key L\n# a note\n\n", events, error));
    EXPECT_EQ(kinds(events), "5:0 5:0 6:1 ");
    // The release "key" makes for frame 6 does not tell that frame 5 is complete.
    EXPECT_FALSE(stream.heardAll(5));
    EXPECT_TRUE(stream.heardAll(4));
    ASSERT_TRUE(stream.feed("6 sync\n", events, error));
    EXPECT_TRUE(stream.heardAll(5));
    EXPECT_FALSE(stream.heardAll(6));
    // A late line of an earlier frame is still taken; the frames heard stay.
    ASSERT_TRUE(stream.feed("2 keyup Space\n7 keyup L", events, error));
    EXPECT_EQ(events.back().frame, 2);
    EXPECT_EQ(stream.lastFrame(), 6);
    // The writer's close completes the last line and every frame.
    ASSERT_TRUE(stream.finish(events, error));
    EXPECT_EQ(events.back().frame, 7);
    EXPECT_TRUE(stream.closed());
    EXPECT_TRUE(stream.heardAll(1000));
    EXPECT_TRUE(stream.feed("8 key L\n", events, error));
    EXPECT_EQ(events.back().frame, 7) << "nothing is taken after the close";
}

TEST(InputScriptStream, ABadOrEndlessLineStopsTheStream)
{
    std::vector<ScriptEvent> events;
    InputScriptError error;
    InputScriptStream bad;
    EXPECT_TRUE(bad.feed("1 key L\n", events, error));
    EXPECT_FALSE(bad.feed("2 key Nope\n", events, error));
    EXPECT_EQ(error.line, 2);
    EXPECT_NE(error.message.find("unknown key"), std::string::npos);
    EXPECT_FALSE(bad.feed("3 key L\n", events, error)) << "a failed stream stays failed";
    EXPECT_EQ(events.size(), 2u);

    InputScriptStream endless;
    events.clear();
    EXPECT_TRUE(endless.feed(std::string(kScriptMaxLineBytes, '#'), events, error));
    EXPECT_FALSE(endless.feed("#", events, error));
    EXPECT_NE(error.message.find("longer"), std::string::npos);

    InputScriptStream many;
    std::string drags;
    for (int i = 0; i < 1100; ++i)
        drags += "1 drag 0 0 9 9 1000\n";
    EXPECT_FALSE(many.feed(drags, events, error));
    EXPECT_NE(error.message.find("too many"), std::string::npos);
}

TEST(InputScript, FilesAreReadWithinTheirLimit)
{
    TempDir dir;
    dir.write("ok.txt", "3 key Esc\n");
    std::vector<ScriptEvent> events;
    InputScriptError error;
    EXPECT_TRUE(loadInputScript(dir.folder() + "ok.txt", events, error));
    EXPECT_EQ(events.size(), 2u);
    EXPECT_FALSE(loadInputScript(dir.folder() + "missing.txt", events, error));
    EXPECT_EQ(error.line, 0);
    dir.write("big.txt", std::string((1u << 20) + 1, '#'));
    EXPECT_FALSE(loadInputScript(dir.folder() + "big.txt", events, error));
    EXPECT_EQ(error.line, 0);
    // Many long drags stop at the event limit instead of growing without end.
    std::string drags;
    for (int i = 0; i < 1100; ++i)
        drags += "1 drag 0 0 9 9 1000\n";
    EXPECT_FALSE(readInputScript(drags, events, error));
    EXPECT_NE(error.message.find("too many"), std::string::npos);
}

}  // namespace
