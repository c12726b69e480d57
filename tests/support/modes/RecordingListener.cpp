#include "support/modes/RecordingListener.h"

#include <algorithm>

int RecordingListener::count(const std::string& name) const
{
    return static_cast<int>(std::count(calls.begin(), calls.end(), name));
}

void RecordingListener::update(Phase phase)
{
    calls.push_back(phase == Phase::Receive ? "receive" : "send");
    (phase == Phase::Receive ? receives : sends)++;
}

namespace {
struct EventReader {
    PostedEvents& out;
    void operator()(const matchevent::AirplaneAdded& e)
    {
        out.names.push_back("added");
        out.added.push_back(e.airplane.resolve());
    }
    void operator()(const matchevent::AirplaneRespawned&) { out.names.push_back("respawned"); }
    void operator()(const matchevent::AirplaneDestroyed& e)
    {
        out.names.push_back("destroyed");
        out.destroyed.push_back({e.victim.resolve(), e.killer.resolve(), e.cause, e.flags, e.respawnTime});
    }
    void operator()(const matchevent::FlaresLaunched&) { out.names.push_back("flares"); }
    void operator()(const matchevent::PilotEjected&) { out.names.push_back("ejected"); }
    void operator()(const matchevent::WeaponLaunched&)
    {
        out.names.push_back("launched");
        ++out.launches;
    }
    void operator()(const matchevent::SunValue&) { out.names.push_back("sun"); }
    void operator()(const matchevent::AirplaneTakenOut& e)
    {
        out.names.push_back("takenOut");
        out.takenOut.push_back(e.airplane.resolve());
    }
    void operator()(const matchevent::ModeValue&) { out.names.push_back("modeValue"); }
    void operator()(const matchevent::FlagChanged&) { out.names.push_back("flag"); }
    void operator()(const matchevent::MatchEnded&) { out.names.push_back("matchEnded"); }
    void operator()(const matchevent::Chat&) { out.names.push_back("chat"); }
    void operator()(const matchevent::WeatherChanged&) { out.names.push_back("weather"); }
    void operator()(const matchevent::Restarted&) { out.names.push_back("restart"); }
    void operator()(const matchevent::TeamFlag&) { out.names.push_back("teamFlag"); }
    void operator()(const matchevent::ScoreEvent&) { out.names.push_back("scoreEvent"); }
    void operator()(const matchevent::WeaponHit&) { out.names.push_back("weaponHit"); }
    void operator()(const matchevent::FlightState&) { out.names.push_back("flightState"); }
    void operator()(const matchevent::AirplaneRemoved&) { out.names.push_back("removed"); }
    void operator()(const matchevent::TeamRequest&) { out.names.push_back("teamRequest"); }
    void operator()(const matchevent::StateChanged&) { out.names.push_back("stateChanged"); }
};
}  // namespace

int PostedEvents::count(const std::string& name) const
{
    return static_cast<int>(std::count(names.begin(), names.end(), name));
}

PostedEvents readOutbox(const MatchOutbox& outbox)
{
    PostedEvents posted;
    for (const MatchEvent& e : outbox.events())
        std::visit(EventReader{posted}, e);
    return posted;
}

void RecordingHud::forget(const Target& entity)
{
    // Both the camera and the score groups are told; one list per role would
    // need two objects, so the test reads either.
    forgottenByCamera.push_back(&entity);
    forgottenByScores.push_back(&entity);
}
