#pragma once
#include "screens/IGameScreen.h"

#include <functional>
#include <string>
#include <vector>

// Records every call as "<name>.<call>" into a shared log.
class FakeScreen : public IGameScreen {
public:
    FakeScreen(std::string name, std::vector<std::string>& log) : m_name(std::move(name)), m_log(log) {}

    void draw() override { record("draw"); }
    void update() override
    {
        record("update");
        if (onUpdate)
            onUpdate();
    }
    void onEnter() override { record("enter"); }
    void onLeave() override { record("leave"); }
    void onPause() override { record("pause"); }
    void onResume() override { record("resume"); }
    void onBack() override { record("back"); }
    void onTouchDown(int id, int, int) override { record("down" + std::to_string(id)); }
    float loadStep() override
    {
        record("load");
        return steps.empty() ? 1.0f : takeStep();
    }
    bool updatesScreenBelow() const override { return letsBelowUpdate; }
    bool takesInputAsOverlay() const override { return takesInput; }

    bool letsBelowUpdate = false;
    bool takesInput = true;
    std::vector<float> steps;           // what loadStep returns, in order
    std::function<void()> onUpdate;

private:
    float takeStep()
    {
        const float value = steps.front();
        steps.erase(steps.begin());
        return value;
    }
    void record(const std::string& call) { m_log.push_back(m_name + "." + call); }
    std::string m_name;
    std::vector<std::string>& m_log;
};
