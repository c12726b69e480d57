#pragma once
#include <functional>
#include <string>
#include <vector>

struct PlaneCfg;

// Scripted manoeuvres flown by a simple pilot in a SimHost; each measures
// what the tutorials and the feel of the game need and passes or fails.
struct ScenarioResult {
    std::string name;
    bool pass = false;
    std::string measured;  // one line of numbers
};

struct Scenario {
    const char* name;
    ScenarioResult (*run)(const PlaneCfg& plane);
};

const std::vector<Scenario>& flightScenarios();
// Null when no scenario has the name.
const Scenario* findScenario(const std::string& name);
// The frame delta every scenario uses unless it says otherwise.
constexpr float kScenarioFrame = 1.0f / 60.0f;
