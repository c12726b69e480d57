#include "modes/kinds/GameModeSRV.h"

#include "entities/aircraft/Airplane.h"
#include "gamedata/records/WeaponList.h"
#include "modes/IGameListener.h"
#include "modes/kinds/MatchRules.h"
#include "modes/progress/UnlocksMgr.h"
#include "platform/Settings.h"

#include <algorithm>
#include <array>
#include <cmath>

using namespace matchrules;

namespace {

constexpr std::array<int, 15> kWavePoints = {5, 5, 8, 8, 8, 10, 10, 10, 12, 12, 12, 20, 30, 40, 50};
constexpr int kRaiseLimit = 16;

int wavePoints(int w)
{
    return kWavePoints[static_cast<std::size_t>(std::clamp(w, 0, 14))];
}

}  // namespace

GameModeSRV::WaveRow GameModeSRV::waveRow(int w)
{
    w = std::max(w, 0);
    if (w <= 2) {
        constexpr float kSkill[3] = {0.2f, 0.5f, 0.7f};
        return {kSkill[w], 0, 1, 0};
    }
    if (w <= 5) {
        constexpr float kSkill[3] = {0.2f, 0.5f, 0.7f};
        constexpr int kFormation[3] = {1, 0, 1};
        return {kSkill[w - 3], kFormation[w - 3], 2, 1};
    }
    if (w <= 13) {
        constexpr float kSkill[4] = {0.2f, 0.4f, 0.5f, 0.7f};
        constexpr int kFormation[4] = {1, 0, 1, 2};
        return {kSkill[(w - 6) % 4], kFormation[(w - 6) % 4], (w - 6) / 4 + 3, 2};
    }
    if (w <= 17) {
        constexpr float kSkill[2] = {0.7f, 0.5f};
        constexpr int kFormation[2] = {1, 2};
        return {kSkill[(w - 14) % 2], kFormation[(w - 14) % 2], (w - 14) / 2 + 5, 2};
    }
    return {1.0f, w % 2 == 0 ? 1 : 2, 6, 2};
}

int GameModeSRV::rewardFor(int wave, int best)
{
    if (wave <= 0)
        return 0;
    const int m = std::min(wave, std::max(best, 0));
    // Capped so a corrupt wave count cannot loop for long.
    const int top = std::min(wave, 100000);
    double sum = 0.0;
    for (int w = 0; w < m && w < top; ++w)
        sum += wavePoints(w) / 5.0;
    for (int w = m; w < top; ++w)
        sum += wavePoints(w);
    return static_cast<int>(sum);
}

GameModeSRV::GameModeSRV() : GameModeCustom(GameType::Survival, false) {}

void GameModeSRV::resetRound()
{
    GameModeCustom::resetRound();
    ScoreMgr& sm = ScoreMgr::instance();
    sm.reset(false);
    sm.timeLimit = 0.0f;
    sm.scoreLimit = 0;
    m_reward = 0;
}

Target* GameModeSRV::addPlayerAirplane(std::unique_ptr<Target> entity, bool relay)
{
    // The players are scored; the waves are not.
    Target* added = GameMode::addPlayerAirplane(std::move(entity), relay);
    if (added && added->kind() == TargetKind::Airplane && added->team() == 0)
        ScoreMgr::instance().addPlayer(static_cast<Airplane&>(*added));
    return added;
}

void GameModeSRV::buildPlayers()
{
    createMapEntities();
    setPlayerAirplane(nullptr);
    const Vec3 start{kPlayerStart.x, spawnHeightAt(kPlayerStart.x, kPlayerStart.z), kPlayerStart.z};
    (void)createPlayerAirplane(0, -1.0f, nullptr, start);
}

bool GameModeSRV::startLevel()
{
    if (!GameModeCustom::startLevel())
        return false;
    startMatch();
    return true;
}

void GameModeSRV::startMatch()
{
    m_waveTimer = 0.0f;
    m_wave = 0;
    m_waveTick = true;
    // Built before anyone joins: the joiners get the first wave with the entity records.
    if (!isNetworkClient()) {
        startWaveRow();
        for (int i = 0; i < m_row.enemies; ++i)
            holdWaveBot(buildBot(1, m_row.skill, nullptr, true, -1), i);
        setCountdown(kFirstCountdown);
    }
    m_hooks.progressOrNone().countEvent(50);
}

void GameModeSRV::makeWave()
{
    startWaveRow();
    for (int i = 0; i < m_row.enemies; ++i)
        holdWaveBot(spawnBot(1, m_row.skill, nullptr, true, -1), i);
}

void GameModeSRV::startWaveRow()
{
    m_row = waveRow(m_wave);
    std::vector<Target*> old;
    for (const auto& e : m_entities)
        if (e->kind() == TargetKind::Airplane && e->team() == 1)
            old.push_back(e.get());
    for (Target* t : old)
        deleteAirplane(*t);
}

void GameModeSRV::holdWaveBot(Airplane* bot, int index)
{
    if (!bot)
        return;
    const WeaponCfg* missile = WeaponList::instance().findByName("simple_missile_2");
    if (index < m_row.missiles && missile) {
        bot->removeWeaponsWithTag(1);
        (void)bot->mountWeapon(*missile, 1);
    }
    // Waiting out of play until the wave starts and places them; the wave's start tells the peers.
    withdrawFromPlay(*bot);
}

void GameModeSRV::placeWave()
{
    Vec3 origin = mapSpawnPoint();
    const Vec3 spawnForward = quatRotateVector(mapSpawnOrientation(), {0.0f, 0.0f, -1.0f});
    Vec3 heading = vec3NormalizeOr(Vec3{spawnForward.x, 0.0f, spawnForward.z}, Vec3{0.0f, 0.0f, -1.0f});
    for (Target* t : m_active)
        if (t->kind() == TargetKind::Airplane && t->team() == 0) {
            origin = t->position();
            const Vec3 f = static_cast<Airplane&>(*t).forward();
            const float len = std::hypot(f.x, f.z);
            if (len > 1e-4f)
                heading = {f.x / len, 0.0f, f.z / len};
            break;
        }
    std::vector<Target*> enemies;
    for (const auto& e : m_entities)
        if (e->kind() == TargetKind::Airplane && e->team() == 1)
            enemies.push_back(e.get());
    const int d = m_row.formation == 2 ? 4 : 2;
    for (std::size_t i = 0; i < enemies.size(); ++i) {
        const int n = static_cast<int>(i);
        Vec3 axis = heading;
        float side = 0.0f, along = 0.0f;
        if (m_row.formation == 0) {
            side = static_cast<float>(n % 2) * 1000.0f - 500.0f;
            along = -5000.0f - static_cast<float>(n / 2) * 1500.0f;
        } else {
            const float a = static_cast<float>(n % d) * 6.2831853f / static_cast<float>(d);
            axis = {heading.x * std::cos(a) - heading.z * std::sin(a), 0.0f,
                    heading.x * std::sin(a) + heading.z * std::cos(a)};
            side = static_cast<float>((n / d) % 2) * 1000.0f - 500.0f;
            along = static_cast<float>((n / d) / 2) * 1500.0f + 5000.0f;
        }
        const Vec3 sideAxis{axis.z, 0.0f, -axis.x};
        Vec3 p = origin + axis * along + sideAxis * side;
        p.y = std::max(groundHeightAt(p.x, p.z), 0.0f) + 2000.0f;
        // Raised while another airplane is there (a bounded number of times).
        for (int k = 0; k < kRaiseLimit && isSpawnOccupied(p, 2000.0f, enemies[i]); ++k)
            p.y += 2000.0f;
        const Vec3 face = m_row.formation == 0 ? axis : axis * -1.0f;
        GameMode::respawnQuietly(*enemies[i], 0.0f, &p);
        Quat q;
        quatFromDirectionTo(q, Vec3{face.x, 0.0f, face.z});
        static_cast<Airplane&>(*enemies[i]).setOrientation(q);
    }
}

void GameModeSRV::startCountdown(float t)
{
    setCountdown(t);
    post(matchevent::ModeValue{static_cast<int>(t), m_wave});
}

void GameModeSRV::setCountdown(float t)
{
    m_waveTimer = t;
    if (t <= 0.0f) {
        m_hooks.progressOrNone().countEvent(51);
        if (!isNetworkClient())
            placeWave();
        pushStart(*this, kWaveStartText, m_wave + 1);
    }
    m_waveTick = true;
}

void GameModeSRV::setModeValue(int value, int index)
{
    m_wave = std::clamp(index, 0, 0x7FFF);
    setCountdown(static_cast<float>(std::clamp(value, 0, 3600)));
}

bool GameModeSRV::teamIn(int team) const
{
    for (const Target* t : m_active)
        if (t->kind() == TargetKind::Airplane && t->team() == team && (t->isActive() || t->respawnTimer > 0.0f))
            return true;
    return false;
}

void GameModeSRV::update(float dt)
{
    GameModeCustom::update(dt);
    updateRules(dt);
}

void GameModeSRV::updateRules(float dt)
{
    if (playStopped || !ScoreMgr::instance().ready())
        return;
    updateSpectatorCamera();
    if (m_waveTimer <= 0.0f && !isNetworkClient()) {
        if (!teamIn(0)) {
            freezeMatch();
            return;
        }
        if (!teamIn(1)) {
            ++m_wave;
            UnlocksMgr::instance().onSurvivalWave(m_wave);
            if (m_wave == kJoinsCloseAtWave && isNetworkServer() && m_listener)
                m_listener->setAcceptingJoins(false);
            makeWave();
            startCountdown(kWaveCountdown);
        }
    }
    if (m_waveTimer > 0.0f) {
        if (tick(m_waveTimer, dt))
            m_waveTick = true;
        if (m_waveTimer <= 0.0f) {
            if (isNetworkClient()) {
                m_waveTimer = 0.99999f;
            } else {
                startCountdown(0.0f);
                m_waveTick = false;
            }
        }
    }
    if (m_waveTick) {
        if (m_waveTimer > 0.0f)
            pushCountdown(*this, kWaveInText, m_wave + 1, static_cast<int>(m_waveTimer) + 1);
        m_waveTick = false;
    }
}

void GameModeSRV::deathFinished(Target& victim)
{
    // Out until the match ends: the player's autopilot lets go once the airplane is down.
    if (&victim == m_playerAirplane)
        detachAI(*m_playerAirplane);
}

void GameModeSRV::getSpawnPoint(const Target& entity, Vec3& position, Quat& orientation) const
{
    if (entity.kind() != TargetKind::Airplane || entity.team() != 0 || isNetworkClient()) {
        GameModeCustom::getSpawnPoint(entity, position, orientation);
        return;
    }
    const Target* mate = nullptr;
    for (const Target* t : m_active)
        if (t != &entity && t->kind() == TargetKind::Airplane && t->team() == 0)
            mate = t;
    if (mate) {
        position = spawnOnCircle(mate->position(), kPlayerCircle, false, &orientation);
        // Flying the way the mate flies, to join it rather than meet it.
        const Vec3 f = static_cast<const Airplane&>(*mate).forward();
        if (std::hypot(f.x, f.z) > 1e-4f)
            quatFromDirectionTo(orientation, Vec3{f.x, 0.0f, f.z});
    } else
        position = spawnOnCircle(mapSpawnPoint(), kStartCircle, false, &orientation);
}

Airplane* GameModeSRV::addServerPlayer(const JoinRequest& joinRequest, int /*team*/)
{
    return GameModeCustom::addServerPlayer(joinRequest, 0);
}

void GameModeSRV::finishMatch()
{
    m_reward = 0;
    m_hooks.progressOrNone().countEvent(27);
    if (m_wave > 0) {
        Settings& s = settings();
        std::int32_t& best = isSinglePlayer() ? s.bestWaveSP : s.bestWaveMP;
        m_reward = rewardFor(m_wave, best);
        const bool newBest = m_wave > best;
        best = std::max(best, m_wave);
        UnlocksMgr::instance().onSurvivalWave(m_wave + 1);
        // Kept at once: the result page may never be reached.
        if (newBest)
            s.save();
    }
    GameModeCustom::finishMatch();
    matchOutcome() = m_wave > 0 ? MatchOutcome::Won : MatchOutcome::Lost;
}

int GameModeSRV::matchBonusPercent() const
{
    return matchOutcome() == MatchOutcome::NoResult ? 0 : m_reward;
}

void GameModeSRV::fillServerData(ServerData& out) const
{
    out.layout = ServerData::Layout::Waves;
    out.elapsed = ScoreMgr::instance().elapsed();
    out.timer = m_waveTimer;
    out.wave = m_wave;
}

void GameModeSRV::applyServerData(const ServerData& data)
{
    if (data.elapsed >= 0.0f)
        ScoreMgr::instance().setElapsed(data.elapsed);
    m_wave = std::max(data.wave, 0);
    const float t = data.timer;
    if (t <= 0.0f) {
        m_waveTimer = t;
        m_waveTick = true;
    } else {
        startCountdown(std::min(t, 3600.0f));
    }
}
