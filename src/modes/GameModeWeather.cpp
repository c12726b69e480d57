#include "modes/GameMode.h"

#include "gamedata/records/MapInfoCfg.h"

namespace {
constexpr int kWeatherClear = 0;
constexpr int kWeatherRain = 1;
constexpr float kFirstThunder = 12.0f;
}  // namespace

IModeScene& ModeServices::sceneOrNone() const
{
    static IModeScene none;
    return scene ? *scene : none;
}

IModeMessages& ModeServices::messagesOrNone() const
{
    static IModeMessages none;
    return messages ? *messages : none;
}

IModeOverlays& ModeServices::overlaysOrNone() const
{
    static IModeOverlays none;
    return overlays ? *overlays : none;
}

void GameMode::startWeather(int mode, float duration)
{
    if (mode == m_services.sceneOrNone().weatherMode()) {
        m_weatherTarget = -1;
        return;
    }
    m_weatherTarget = mode;
    m_weatherElapsed = 0.0f;
    m_weatherDuration = duration;
    if (mode == kWeatherRain)
        m_thunderTimer = kFirstThunder;
    updateWeather(0.0f);
    post(matchevent::WeatherChanged{mode, duration});
}

void GameMode::updateWeather(float dt)
{
    IModeScene& scene = m_services.sceneOrNone();
    if (m_weatherTarget >= 0) {
        m_weatherElapsed += dt;
        int mode = m_weatherTarget;
        float factor = 1.0f;
        if (m_weatherElapsed >= m_weatherDuration) {
            m_weatherTarget = -1;
        } else {
            factor = m_weatherElapsed / m_weatherDuration;
            // Clearing up: the weather shown fades out and only then goes.
            if (mode == kWeatherClear && scene.weatherMode() != kWeatherClear) {
                factor = 1.0f - factor;
                mode = scene.weatherMode();
            }
        }
        scene.setWeather(mode, mode == kWeatherClear ? 0.0f : factor, factor * 0.5f);
    }
    updateRainSound(scene.weatherMode() == kWeatherRain, dt);
}

void GameMode::setSunValue(float value)
{
    m_sunValue = value;
    m_services.sceneOrNone().setSunValue(value);
    post(matchevent::SunValue{value});
}

void GameMode::setDifficulty(int level)
{
    if (level == 2) {
        difficulty = 2;
        const Vec3 d = m_mapRecord ? m_mapRecord->difficulty : Vec3{0.5f, 0.5f, 0.5f};
        difficultyScales[0] = 2.0f * d.x;
        difficultyScales[1] = 2.0f * d.y;
        difficultyScales[2] = 2.0f * d.z;
    } else if (level == 0) {
        difficulty = 0;
        difficultyScales[0] = 0.7f;
        difficultyScales[1] = 0.75f;
        difficultyScales[2] = 0.5f;
    }
}
