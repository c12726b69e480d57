// The command line: the input split at NUL bytes into arguments.
#include "FuzzTarget.h"

#include "platform/Options.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    std::vector<std::string> words(1);
    for (const char c : fuzz::text(data, size)) {
        if (c == '\0')
            words.emplace_back();
        else
            words.back().push_back(c);
    }
    std::vector<const char*> args;
    for (const std::string& word : words)
        args.push_back(word.c_str());
    OptionTable table;
    table.parse(args);
    GraphicsConfig config;
    table.applyTo(config);
    FUZZ_CHECK(config.width >= 320 && config.width <= 16384 && config.height >= 240 && config.height <= 16384);
    FUZZ_CHECK(config.mode >= 0 && config.mode <= 2 && config.quality >= 0 && config.quality <= 3);
    return 0;
}
