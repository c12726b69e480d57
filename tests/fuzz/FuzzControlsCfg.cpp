// "controls.cfg": whatever reads in writes out and reads back the same.
#include "FuzzTarget.h"

#include "platform/Controls.h"
#include "platform/Input.h"
#include "platform/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    Input input;
    Settings settings;
    Controls controls(input, settings);
    (void)controls.loadFromText(fuzz::text(data, size));
    const std::string written = controls.toText();
    Controls back(input, settings);
    FUZZ_CHECK(back.loadFromText(written));
    FUZZ_CHECK(back.toText() == written);
    return 0;
}
