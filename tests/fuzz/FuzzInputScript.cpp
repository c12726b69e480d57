// The "-inputscript" file: lines of frame and command.
#include "FuzzTarget.h"

#include "platform/InputScript.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    std::vector<ScriptEvent> events;
    InputScriptError error;
    if (!readInputScript(fuzz::text(data, size), events, error)) {
        FUZZ_CHECK(events.empty() && error.line >= 1 && !error.message.empty());
        return 0;
    }
    FUZZ_CHECK(events.size() <= kScriptMaxEvents);
    int frame = 0;
    for (const ScriptEvent& e : events) {
        FUZZ_CHECK(e.frame >= frame && e.frame >= 1);
        FUZZ_CHECK(e.text.size() <= (e.kind == ScriptEvent::Kind::Shot ? kScriptMaxShotName : kScriptMaxTextBytes));
        frame = e.frame;
    }
    return 0;
}
