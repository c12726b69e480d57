#pragma once
#include "platform/Log.h"
#include "platform/StringTable.h"

#include "support/TempDir.h"
#include "support/TestPak.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A data root of hand-written records, with the log captured so tests can
// count the messages a load gives.
struct GameDataFixture : testing::Test {
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};
    std::vector<std::string> warnings;
    StringTable texts;

    GameDataFixture()
    {
        setLogCapture([this](LogLevel level, const std::string&, const std::string& message) {
            if (level == LogLevel::Warning)
                warnings.push_back(message);
        });
        const StringEntry entries[] = {{100, "PLANE_INFO", "A plane.", 1}, {101, "BRIEF_ONE", "Go.", 2},
                                       {102, "GUN_INFO", "A gun.", 3}};
        texts.build(entries, "test");
    }
    ~GameDataFixture() override { setLogCapture({}); }

    void write(const std::string& name, const std::string& text) { data.write(name, text); }
    // True when some message holds every one of the parts.
    bool warned(std::initializer_list<const char*> parts) const
    {
        for (const std::string& w : warnings) {
            bool all = true;
            for (const char* part : parts)
                all = all && w.find(part) != std::string::npos;
            if (all)
                return true;
        }
        return false;
    }
};
