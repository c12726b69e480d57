#pragma once
#include "modes/ModeHooks.h"

class Achievements;

// The local player's progress as a match reports it: every counted event goes
// to the achievements, and the values the statistics service sends with its
// next mission, medal or checkpoint event are kept until then. The mode
// counts shots, missiles and hits into the mission statistics itself.
class GameProgress : public IModeProgress {
public:
    // What the statistics service sends with the next event of its kind; -1 until given.
    struct EventParams {
        int missionPlane = -1;
        int medalPlane = -1, medal = -1;
        int checkpointPlane = -1;
    };

    explicit GameProgress(Achievements& achievements) : m_achievements(achievements) {}

    void countEvent(int eventId) override;
    void setMissionEventParams(int planeId) override { m_params.missionPlane = planeId; }
    void setMedalEventParams(int planeId, int medal) override
    {
        m_params.medalPlane = planeId;
        m_params.medal = medal;
    }
    void setCheckpointEventParams(int planeId) override { m_params.checkpointPlane = planeId; }

    const EventParams& eventParams() const { return m_params; }

private:
    Achievements& m_achievements;
    EventParams m_params;
};

// The one of the game, over achievements().
GameProgress& gameProgress();
