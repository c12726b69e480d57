#include "modes/GameMode.h"

#include "entities/aircraft/Airplane.h"
#include "modes/IGameListener.h"
#include "modes/PlayerRecord.h"

#include <algorithm>

void GameMode::post(MatchEvent event)
{
    if (posting())
        m_outbox.post(std::move(event));
}

void GameMode::postChat(std::u16string_view text)
{
    post(matchevent::Chat{EntityHandle(m_playerAirplane), std::u16string(text)});
    // Typed between frames: it goes now rather than with the next frame.
    if (m_listener)
        m_listener->sendEvents();
}

void GameMode::postAdded(const Target& entity)
{
    if (!posting())
        return;
    matchevent::AirplaneAdded added;
    added.airplane = EntityHandle(&entity);
    added.isPlayer = &entity == m_playerAirplane;
    fillPlayerRecord(entity, added.record);
    post(std::move(added));
}

void GameMode::postDestroyed(const Target& victim, const Target* killer, CrashCause cause, int flags,
                             float respawnTime)
{
    if (!posting())
        return;
    matchevent::AirplaneDestroyed destroyed;
    destroyed.victim = EntityHandle(&victim);
    destroyed.killer = EntityHandle(killer);
    destroyed.cause = cause;
    destroyed.flags = flags;
    destroyed.respawnTime = respawnTime;
    destroyed.victimRole = victim.networkRole;
    destroyed.position = victim.position();
    if (victim.kind() == TargetKind::Airplane)
        destroyed.orientation = static_cast<const Airplane&>(victim).orientation();
    post(std::move(destroyed));
}

void GameMode::postScoreEvent(const Target& airplane, int kind, int audience)
{
    if (!posting())
        return;
    matchevent::ScoreEvent score;
    score.airplane = EntityHandle(&airplane);
    score.kind = kind;
    score.audience = audience;
    if (airplane.kind() == TargetKind::Airplane) {
        const auto& scores = static_cast<const Airplane&>(airplane).scores;
        std::copy_n(scores.begin(), std::min(scores.size(), score.record.size()), score.record.begin());
    }
    post(std::move(score));
}
