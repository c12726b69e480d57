#include "modes/progress/GameProgress.h"

#include "modes/progress/Achievements.h"

void GameProgress::countEvent(int eventId) { m_achievements.notifyEvent(eventId); }

GameProgress& gameProgress()
{
    static GameProgress progress(achievements());
    return progress;
}
