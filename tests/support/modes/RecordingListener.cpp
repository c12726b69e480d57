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

void RecordingListener::onAirplaneAdded(Target& airplane)
{
    calls.push_back("added");
    added.push_back(&airplane);
}

void RecordingListener::onAirplaneDestroyed(Target& victim, Target* killer, CrashCause cause, int flags,
                                            float respawnTime, bool)
{
    calls.push_back("destroyed");
    destroyed.push_back({&victim, killer, cause, flags, respawnTime});
}

void RecordingListener::onWeaponLaunched(int, Target*, Target*)
{
    calls.push_back("launched");
    ++launches;
}

void RecordingListener::onAirplaneTakenOut(Target& airplane)
{
    calls.push_back("takenOut");
    takenOut.push_back(&airplane);
}

void RecordingHud::forget(const Target& entity)
{
    // Both the camera and the score groups are told; one list per role would
    // need two objects, so the test reads either.
    forgottenByCamera.push_back(&entity);
    forgottenByScores.push_back(&entity);
}
