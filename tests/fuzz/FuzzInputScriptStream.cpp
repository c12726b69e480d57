// The "-inputpipe" lines: the script's bytes in pieces as a pipe hands them over.
#include "FuzzTarget.h"

#include "platform/InputScript.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    const std::string_view all = fuzz::text(data, size);
    InputScriptStream stream;
    std::vector<ScriptEvent> events;
    InputScriptError error;
    // Pieces of a length taken from the first byte, as reads of a pipe end anywhere.
    const std::size_t piece = size > 0 ? 1 + data[0] % 97 : 1;
    bool ok = true;
    int heard = 0;
    for (std::size_t at = 0; ok && at < all.size(); at += piece) {
        ok = stream.feed(all.substr(at, piece), events, error);
        FUZZ_CHECK(stream.lastFrame() >= heard);
        heard = stream.lastFrame();
    }
    if (ok)
        ok = stream.finish(events, error);
    if (!ok)
        FUZZ_CHECK(error.line >= 1 && !error.message.empty());
    FUZZ_CHECK(events.size() <= kScriptMaxEvents);
    for (const ScriptEvent& e : events)
        FUZZ_CHECK(e.frame >= 1 && e.frame <= kScriptMaxFrame + kScriptMaxDragSteps + 1 &&
                   e.text.size() <= kScriptMaxTextBytes + kScriptMaxShotName);
    return 0;
}
