#include "support/entities/FlightScenarios.h"

#include "entities/aircraft/Airplane.h"
#include "entities/aircraft/Steering.h"
#include "entities/ground/Runway.h"
#include "gamedata/records/PlaneCfg.h"
#include "support/entities/SimHost.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdarg>

namespace {
// Tutorial speeds in the game's speed unit.
constexpr float kArcadeFast = 167.64f;     // reached by accelerating
constexpr float kControlsFast = 195.58f;   // reached with the throttle set for 500
constexpr float kSlow = 111.76f;           // reached by braking (throttle for 100.584)
constexpr float kStallLesson = 15.0f;      // stall lesson: below this with the throttle at 0
constexpr float kStallAltitude = 3000.0f;
constexpr float kTakeOffAltitude = 500.0f;
constexpr Vec3 kRunwayHalf{25.0f, 20.0f, 800.0f};

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* fmt, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buffer, sizeof buffer, fmt, args);
    va_end(args);
    return buffer;
}

struct Rig {
    SimHost host;
    Airplane* plane = nullptr;

    Rig(const PlaneCfg& cfg, const Vec3& position, float speed)
    {
        plane = host.add(Target::create<Airplane>(host, cfg, 0, std::u16string(u"Test")));
        host.setPlayer(plane);
        plane->setPositionAndStop(position);
        plane->resetForRespawn();
        plane->setSpeed(speed);
        plane->setThrottleForSpeed(speed);
        plane->setThrottleSetting(plane->throttleCommand());
    }
    // Flies frames of dt until the pilot returns true or the time runs out;
    // the time flown.
    template <typename Pilot>
    float fly(float seconds, Pilot&& pilot, float dt = kScenarioFrame)
    {
        // Time by frame count, so that every frame rate switches inputs at the same moments.
        long frame = 0;
        float t = 0.0f;
        while (t < seconds && plane->lifeState() == LifeState::Alive) {
            if (pilot(t))
                break;
            host.step(dt);
            t = static_cast<float>(static_cast<double>(++frame) * dt);
        }
        return t;
    }
    float altitude() const { return plane->position().y; }
};

float heading(const Vec3& f) { return std::atan2(-f.x, -f.z); }

float wrap(float a)
{
    while (a > kPi)
        a -= 2.0f * kPi;
    while (a < -kPi)
        a += 2.0f * kPi;
    return a;
}

ScenarioResult level(const PlaneCfg& cfg)
{
    Rig rig(cfg, {0.0f, 3000.0f, 0.0f}, cfg.pCruiseSpeed);
    float maxDrift = 0.0f;
    rig.fly(60.0f, [&](float) {
        maxDrift = std::max(maxDrift, std::fabs(rig.altitude() - 3000.0f));
        return false;
    });
    const float speedError = std::fabs(rig.plane->speed() - cfg.pCruiseSpeed) / cfg.pCruiseSpeed;
    return {"level", maxDrift <= 30.0f && speedError < 0.02f,
            format("height drift %.1f over 60 s, speed %.1f (cruise %.1f)", maxDrift, rig.plane->speed(),
                   cfg.pCruiseSpeed)};
}

ScenarioResult throttle(const PlaneCfg& cfg)
{
    const float top = cfg.pMinSpeed + cfg.pSpeedSpan;
    const float goals[] = {std::max(cfg.pMinSpeed * 0.75f, cfg.pStallSpeed * 1.3f), cfg.pCruiseSpeed, top * 0.95f};
    float worst = 0.0f;
    std::string text;
    for (float goal : goals) {
        Rig rig(cfg, {0.0f, 3000.0f, 0.0f}, cfg.pCruiseSpeed);
        rig.plane->setThrottleForSpeed(goal);
        rig.fly(40.0f, [&](float) {
            rig.plane->setControlVector(levelInputs(rig.plane->orientation(), 0.0f));
            return false;
        });
        const float error = std::fabs(rig.plane->speed() - goal) / goal;
        worst = std::max(worst, error);
        text += format("%.0f->%.1f ", goal, rig.plane->speed());
    }
    return {"throttle", worst < 0.02f, text + format("worst %.1f%%", worst * 100.0f)};
}

ScenarioResult speeds(const PlaneCfg& cfg)
{
    Rig rig(cfg, {0.0f, 3000.0f, 0.0f}, 100.0f);
    auto hold = [&] { rig.plane->setControlVector(levelInputs(rig.plane->orientation(), 0.0f)); };
    rig.fly(15.0f, [&](float) { hold(); return false; });
    rig.plane->setThrottleCommand(1.0f);
    const float tFast = rig.fly(40.0f, [&](float) { hold(); return rig.plane->speed() > kArcadeFast; });
    rig.plane->setThrottleForSpeed(500.0f);
    const float tFaster = rig.fly(40.0f, [&](float) { hold(); return rig.plane->speed() >= kControlsFast; });
    const float fast = rig.plane->speed();
    rig.plane->setThrottleForSpeed(100.584f);
    const float tSlow = rig.fly(40.0f, [&](float) { hold(); return rig.plane->speed() < kSlow; });
    const bool pass = tFast < 40.0f && tFaster < 40.0f && fast >= kControlsFast && tSlow < 40.0f;
    return {"speeds", pass,
            format("over %.2f after %.1f s, %.2f after %.1f s more, under %.2f after %.1f s", kArcadeFast, tFast,
                   kControlsFast, tFaster, kSlow, tSlow)};
}

ScenarioResult stall(const PlaneCfg& cfg)
{
    Rig rig(cfg, {0.0f, 3500.0f, 0.0f}, cfg.pCruiseSpeed);
    rig.plane->setThrottleForSpeed(0.0f);
    float minSpeed = 1e9f;
    const float tStall = rig.fly(40.0f, [&](float) {
        rig.plane->setControlVector(levelInputs(rig.plane->orientation(), 0.6f));
        minSpeed = std::min(minSpeed, rig.plane->speed());
        return rig.plane->speed() < kStallLesson;
    });
    const bool stalled = rig.plane->speed() < kStallLesson;
    const float stallHeight = rig.altitude();
    rig.plane->setThrottleCommand(1.0f);
    float steady = 0.0f;
    const float tRecover = rig.fly(10.0f, [&](float) {
        rig.plane->setControlVector(levelInputs(rig.plane->orientation(), 0.05f));
        const bool ok = rig.plane->forward().y >= -0.1f && rig.plane->speed() > cfg.pStallSpeed * 1.1f;
        steady = ok ? steady + kScenarioFrame : 0.0f;
        return steady > 1.0f;
    });
    const bool pass = stalled && stallHeight > kStallAltitude * 0.8f && tRecover < 10.0f && rig.plane->isAlive();
    return {"stall", pass,
            format("speed %.1f after %.1f s at height %.0f, recovered in %.1f s at height %.0f", minSpeed, tStall,
                   stallHeight, tRecover, rig.altitude())};
}

ScenarioResult loop(const PlaneCfg& cfg)
{
    const float speed = std::min(cfg.pCruiseSpeed * 1.2f, cfg.pMinSpeed + cfg.pSpeedSpan);
    Rig rig(cfg, {0.0f, 2000.0f, 0.0f}, speed);
    rig.plane->setThrottleCommand(1.0f);
    float turned = 0.0f, last = 0.0f, minSpeed = 1e9f, top = 0.0f;
    const float t = rig.fly(20.0f, [&](float) {
        const Vec3 f = rig.plane->forward();
        const float a = std::atan2(f.y, -f.z);
        turned += wrap(a - last);
        last = a;
        minSpeed = std::min(minSpeed, rig.plane->speed());
        top = std::max(top, rig.altitude());
        rig.plane->setControlVector({1.0f, 0.0f, 0.0f});
        return turned >= 2.0f * kPi;
    });
    const float drift = std::fabs(rig.altitude() - 2000.0f);
    const bool pass = turned >= 2.0f * kPi && t < 12.0f && drift < 150.0f && minSpeed > cfg.pStallSpeed;
    return {"loop", pass,
            format("loop in %.1f s, %.0f high, ends %.0f from the start height, slowest %.1f", t, top - 2000.0f,
                   drift, minSpeed)};
}

ScenarioResult roll(const PlaneCfg& cfg)
{
    Rig rig(cfg, {0.0f, 2000.0f, 0.0f}, cfg.pCruiseSpeed);
    float rolled = 0.0f;
    const float t = rig.fly(10.0f, [&](float) {
        rolled += rig.plane->headingVector().z * cfg.pRollRate * kScenarioFrame;
        rig.plane->setControlVector({0.0f, 0.0f, -1.0f});
        return std::fabs(rolled) >= 2.0f * kPi;
    });
    const float drift = std::fabs(rig.altitude() - 2000.0f);
    const float expected = 2.0f * kPi / cfg.pRollRate;
    const bool pass = std::fabs(rolled) >= 2.0f * kPi && t < expected * 1.3f + 0.2f && drift < 50.0f;
    return {"roll", pass, format("full roll in %.2f s (rate allows %.2f), height change %.1f", t, expected, drift)};
}

ScenarioResult turn(const PlaneCfg& cfg)
{
    Rig rig(cfg, {0.0f, 2000.0f, 0.0f}, cfg.pCruiseSpeed);
    rig.plane->setThrottleCommand(1.0f);
    float turned = 0.0f, last = 0.0f, maxDrift = 0.0f, minSpeed = 1e9f;
    const float t = rig.fly(60.0f, [&](float) {
        const Vec3 f = rig.plane->forward();
        const float h = heading(f);
        turned += wrap(h - last);
        last = h;
        maxDrift = std::max(maxDrift, std::fabs(rig.altitude() - 2000.0f));
        minSpeed = std::min(minSpeed, rig.plane->speed());
        Vec3 flat{f.x, 0.0f, f.z};
        flat = vec3Normalize(flat);
        const Vec3 left{flat.z, 0.0f, -flat.x};
        Vec3 goal = flat * 0.2f + left;
        goal.y = std::clamp((2000.0f - rig.altitude()) / 400.0f, -0.3f, 0.3f);
        rig.plane->setControlVector(steerInputs(rig.plane->orientation(), goal));
        return turned >= 2.0f * kPi;
    });
    const bool pass = turned >= 2.0f * kPi && t < 40.0f && maxDrift < 150.0f && minSpeed > cfg.pStallSpeed * 1.2f;
    return {"turn", pass,
            format("full turn in %.1f s, height held within %.0f, slowest %.1f", t, maxDrift, minSpeed)};
}

ScenarioResult dive(const PlaneCfg& cfg)
{
    Rig rig(cfg, {0.0f, 5000.0f, 0.0f}, cfg.pCruiseSpeed);
    rig.plane->setThrottleCommand(1.0f);
    float fastest = 0.0f, lowest = 1e9f;
    bool pulling = false;
    rig.fly(40.0f, [&](float) {
        fastest = std::max(fastest, rig.plane->speed());
        lowest = std::min(lowest, rig.altitude());
        if (rig.altitude() < 2000.0f)
            pulling = true;
        rig.plane->setControlVector(levelInputs(rig.plane->orientation(), pulling ? 0.0f : -1.0f));
        return pulling && std::fabs(rig.plane->forward().y) < 0.05f && rig.plane->speed() < fastest;
    });
    const float top = cfg.pMinSpeed + cfg.pSpeedSpan;
    const bool pass = fastest > top && lowest > 300.0f && rig.plane->isAlive() && pulling;
    return {"dive", pass, format("fastest %.1f (top %.1f), pulled out at %.0f", fastest, top, lowest)};
}

ScenarioResult takeOff(const PlaneCfg& cfg)
{
    Rig rig(cfg, {0.0f, 0.0f, 700.0f}, 0.0f);
    Runway& runway = rig.host.addRunway({0.0f, 0.0f, 0.0f}, 0.0f, kRunwayHalf);
    rig.plane->setPositionAndStop({0.0f, rig.plane->flightParams().groundOffset, 700.0f});
    rig.plane->setLanded(&runway);
    rig.plane->setSpeed(0.0f);
    rig.plane->setThrottleForSpeed(0.0f);
    rig.plane->setThrottleSetting(0.0f);
    rig.fly(3.0f, [](float) { return false; });
    const bool stood = rig.plane->speed() == 0.0f && rig.plane->isLanded();
    rig.plane->setThrottleCommand(1.0f);
    float liftOff = -1.0f;
    const float t = rig.fly(90.0f, [&](float now) {
        const bool rolling = rig.plane->isLanded();
        if (!rolling && liftOff < 0.0f)
            liftOff = now;
        const bool fastEnough = rig.plane->speed() > cfg.pStallSpeed * 1.2f;
        rig.plane->setControlVector(fastEnough ? levelInputs(rig.plane->orientation(), 0.2f) : Vec3{});
        return rig.altitude() >= kTakeOffAltitude;
    });
    const bool counted = std::count(rig.host.events.begin(), rig.host.events.end(), Airplane::kEventTookOff) == 1;
    const bool pass = stood && rig.altitude() >= kTakeOffAltitude && !rig.plane->onRunway() && counted &&
                      !rig.host.crashed(*rig.plane);
    return {"takeoff", pass,
            format("held still %s, lift-off after %.1f s, %.0f high after %.1f s", stood ? "yes" : "no", liftOff,
                   rig.altitude(), t)};
}

struct LandingRun {
    bool landed = false, stopped = false, linked = false, crashed = false;
    float touchSpeed = 0.0f, touchSink = 0.0f;
    CrashCause cause = CrashCause::None;
};

LandingRun flyLanding(const PlaneCfg& cfg, float runwayX)
{
    const float approach = cfg.pStallSpeed + 45.0f;
    const float startOut = 5000.0f;
    const Vec3 aim{0.0f, 0.0f, 600.0f};
    Rig rig(cfg, {0.0f, 0.0f, 0.0f}, approach);
    rig.host.addRunway({runwayX, 0.0f, 0.0f}, 0.0f, kRunwayHalf);
    const float offset = rig.plane->flightParams().groundOffset;
    rig.plane->setPositionAndStop({0.0f, offset + startOut * std::tan(3.0f * kPi / 180.0f), aim.z + startOut});
    rig.plane->setOrientation(quatFromEuler(0.0f, -3.0f * kPi / 180.0f, 0.0f));
    rig.plane->setSpeed(approach);
    rig.plane->setThrottleForSpeed(approach);
    rig.plane->setThrottleSetting(rig.plane->throttleCommand());
    LandingRun run;
    float still = 0.0f;
    rig.fly(120.0f, [&](float) {
        Airplane& p = *rig.plane;
        if (p.isLanded()) {
            if (!run.landed) {
                run.landed = true;
                run.touchSpeed = p.speed();
            }
            p.setControlVector({});
            p.setThrottleCommand(-1.0f);
            still = p.speed() == 0.0f ? still + kScenarioFrame : 0.0f;
            return still > 1.0f;
        }
        run.touchSink = -p.velocity().y;
        const float height = p.position().y - offset;
        if (height > 12.0f) {
            p.setControlVector(steerInputs(p.orientation(), aim - p.position()));
        } else {
            p.setControlVector(levelInputs(p.orientation(), -0.015f));
            p.setThrottleForSpeed(cfg.pStallSpeed * 1.15f);
        }
        return false;
    });
    run.stopped = rig.plane->speed() == 0.0f;
    run.linked = rig.plane->runway() != nullptr;
    run.crashed = rig.host.crashed(*rig.plane);
    if (run.crashed)
        run.cause = rig.host.crashes.front().cause;
    return run;
}

ScenarioResult landing(const PlaneCfg& cfg)
{
    const LandingRun run = flyLanding(cfg, 0.0f);
    const bool pass = run.landed && run.stopped && run.linked && !run.crashed;
    return {"landing", pass,
            format("touch-down at %.1f sinking %.1f, stopped at speed %s with the runway link %s", run.touchSpeed,
                   run.touchSink, run.stopped ? "exactly 0" : "above 0", run.linked ? "set" : "clear")};
}

ScenarioResult offRunway(const PlaneCfg& cfg)
{
    const LandingRun run = flyLanding(cfg, 3000.0f);
    const bool pass = !run.landed && run.crashed && run.cause == CrashCause::Ground;
    return {"offrunway", pass,
            format("the same touch-down off the runway: %s (cause %d)", run.crashed ? "crash" : "no crash",
                   static_cast<int>(run.cause))};
}

// A fixed script of inputs by time, flown at one frame delta.
Vec3 flyScript(const PlaneCfg& cfg, float dt, float& travelled)
{
    Rig rig(cfg, {0.0f, 3000.0f, 0.0f}, cfg.pCruiseSpeed);
    rig.plane->setThrottleCommand(1.0f);
    const Vec3 start = rig.plane->position();
    travelled = 0.0f;
    Vec3 last = start;
    rig.fly(12.0f, [&](float t) {
        Vec3 stick{};
        if (t < 2.0f)
            stick = {0.8f, 0.0f, 0.3f};
        else if (t < 5.0f)
            stick = {0.4f, 1.0f, 0.0f};
        else if (t < 6.0f)
            stick = {0.0f, 0.0f, -1.0f};
        else if (t < 9.0f)
            stick = {-0.3f, -0.5f, 0.2f};
        rig.plane->setControlVector(stick);
        travelled += vec3Length(rig.plane->position() - last);
        last = rig.plane->position();
        return false;
    }, dt);
    return rig.plane->position();
}

ScenarioResult frameRate(const PlaneCfg& cfg)
{
    float travelled = 0.0f, unused = 0.0f;
    const Vec3 reference = flyScript(cfg, 1.0f / 60.0f, travelled);
    float worst = 0.0f;
    for (float dt : {1.0f / 30.0f, 1.0f / 45.0f, 1.0f / 144.0f})
        worst = std::max(worst, vec3Length(flyScript(cfg, dt, unused) - reference));
    const float share = worst / std::max(travelled, 1.0f);
    return {"framerate", share < 0.01f,
            format("ends within %.1f units (%.2f%% of %.0f) at 30, 45, 60 and 144 frames a second", worst,
                   share * 100.0f, travelled)};
}

ScenarioResult controls(const PlaneCfg& cfg)
{
    auto after = [&](const Vec3& stick, ControlType type, float seconds) {
        auto rig = std::make_unique<Rig>(cfg, Vec3{0.0f, 3000.0f, 0.0f}, cfg.pCruiseSpeed);
        rig->plane->setControlType(type);
        rig->fly(seconds, [&](float) { rig->plane->setControlVector(stick); return false; });
        return rig;
    };
    const auto yawLeft = after({0.0f, 1.0f, 0.0f}, ControlType::Full, 0.5f);
    const auto rollRight = after({0.0f, 0.0f, -1.0f}, ControlType::Full, 0.2f);
    const auto noseUp = after({1.0f, 0.0f, 0.0f}, ControlType::Full, 0.3f);
    const auto arcadeLeft = after({0.0f, 1.0f, 0.0f}, ControlType::Arcade, 2.0f);
    const auto steady = after({}, ControlType::Full, 1.0f);
    const bool pass = yawLeft->plane->headingVector().y > 0.0f && rollRight->plane->bankValue() < 0.0f &&
                      noseUp->plane->forward().y > 0.0f && noseUp->plane->loadVector().x > 0.5f &&
                      std::fabs(steady->plane->loadVector().x) < 0.1f && arcadeLeft->plane->bankValue() > 0.3f &&
                      arcadeLeft->plane->headingAngle() > 0.1f;
    return {"controls", pass,
            format("yaw left %.2f, roll right bank %.2f, pull load %.2f, level load %.2f, arcade left bank %.2f "
                   "heading %.2f",
                   yawLeft->plane->headingVector().y, rollRight->plane->bankValue(), noseUp->plane->loadVector().x,
                   steady->plane->loadVector().x, arcadeLeft->plane->bankValue(), arcadeLeft->plane->headingAngle())};
}
}  // namespace

const std::vector<Scenario>& flightScenarios()
{
    static const std::vector<Scenario> all = {
        {"level", level},     {"throttle", throttle}, {"speeds", speeds},       {"stall", stall},
        {"loop", loop},       {"roll", roll},         {"turn", turn},           {"dive", dive},
        {"takeoff", takeOff}, {"landing", landing},   {"offrunway", offRunway}, {"framerate", frameRate},
        {"controls", controls},
    };
    return all;
}

const Scenario* findScenario(const std::string& name)
{
    for (const Scenario& s : flightScenarios())
        if (name == s.name)
            return &s;
    return nullptr;
}
