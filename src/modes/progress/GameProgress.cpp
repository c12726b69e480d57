#include "modes/progress/GameProgress.h"

#include "modes/progress/Achievements.h"
#include "platform/Log.h"

void GameProgress::countEvent(int eventId)
{
    logInfo("progress", "achievement event %d", eventId);
    m_achievements.notifyEvent(eventId);
}

GameProgress& gameProgress()
{
    static GameProgress progress(achievements());
    return progress;
}
