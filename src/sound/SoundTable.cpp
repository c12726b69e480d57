#include "sound/SoundTable.h"

#include "platform/Log.h"
#include "platform/Settings.h"
#include "sound/Sound.h"

#include <string>

const std::array<const char*, kSoundNameCount> kSoundFileNames = {
    "jet", "jetfar", "propellerPlane", "missile", "sonicBoom", "mg_1", "mg_2", "mg_3", "mgun_no_ammo", "lock",
    "warning", "bullet_hit_1", "bullet_hit_2", "bullet_hit_3", "bullet_hit_4", "bullet_pass_by1",
    "bullet_pass_by2", "flares", "alarm", "airbrake", "parachute", "missilecruise", "bulletHitGlass",
    "bulletHitMetal0", "bulletHitMetal1", "click", "clickback", "land", "takeoff", "seagulls", "faint", "score",
    "medal", "msgSound", "unlock1", "dive", "bomb_release", "bomb_drop_hiss", "engine_explode",
    "engine_explode_jet", "wind_plane_1", "rain", "thunder", "fxs_expl_air_big", "fxs_expl_air_small",
    "fxs_expl_terrain", "fxs_expl_water_big", "fxs_expl_water_small", "fxs_expl_ship", "fxs_snd_1",
    "dive_explosion_1", "fxs_snd_2", "beep", "takenlead", "lostlead", "tiedlead", "1frag", "2frags", "3frags",
    "double_kill", "triple_kill", "ultrakill", "rampage", "unstoppable", "godlike"};

namespace {
SoundTable& table()
{
    static SoundTable object;
    return object;
}

GlobalSources& sources()
{
    static GlobalSources object;
    return object;
}

SoundSourceBuffered* flat(SoundName name, bool loop, float volume)
{
    SoundSourceBuffered* source = Sound::createSource2D(table()[name], loop);
    if (source)
        source->setVolume(volume);
    return source;
}

SoundSourceBuffered* positioned(SoundName name, float minDistance, float maxDistance)
{
    SoundSourceBuffered* source = Sound::createLoopSource3D(table()[name]);
    if (source)
        source->setMinMaxDistance(minDistance, maxDistance);
    return source;
}
}  // namespace

SoundData* SoundTable::explosion(int soundId) const
{
    if (soundId < 0 || soundId >= static_cast<int>(explosions.size()))
        return nullptr;
    return explosions[static_cast<std::size_t>(soundId)];
}

const SoundTable& soundTable() { return table(); }
const GlobalSources& globalSources() { return sources(); }

void loadSoundTable()
{
    SoundTable& t = table();
    for (std::size_t i = 0; i < kSoundNameCount; ++i)
        t.slots[i] = SoundData::load(std::string(kSoundFolder) + kSoundFileNames[i] + ".wav");
    t.noAmmo = {t[SoundName::MgunNoAmmo], t[SoundName::MgunNoAmmo], t[SoundName::MgunNoAmmo]};
    t.bombRelease = {t[SoundName::BombRelease], t[SoundName::BombRelease]};
    t.leadAnnouncements = {t[SoundName::TakenLead], t[SoundName::LostLead], t[SoundName::TiedLead],
                           t[SoundName::TakenLead], t[SoundName::LostLead]};
    t.explosions = {t[SoundName::FxsExplAirBig],   t[SoundName::FxsExplAirSmall],   t[SoundName::FxsExplTerrain],
                    t[SoundName::FxsExplWaterBig], t[SoundName::FxsExplWaterSmall], t[SoundName::FxsExplShip],
                    t[SoundName::FxsSnd1],         t[SoundName::DiveExplosion1],    t[SoundName::FxsSnd2]};
}

void createGlobalSources()
{
    GlobalSources& g = sources();
    g.missile = flat(SoundName::Missile, false, 0.5f);
    g.sonicBoom = flat(SoundName::SonicBoom, false, 0.5f);
    g.lock = flat(SoundName::Lock, true, 0.2f);
    g.warning = flat(SoundName::Warning, true, 0.2f);
    g.bulletHit = {flat(SoundName::BulletHit1, false, 0.5f), flat(SoundName::BulletHit2, false, 0.5f),
                   flat(SoundName::BulletHit1, false, 0.5f), flat(SoundName::BulletHit2, false, 0.5f)};
    g.bulletPassBy = {flat(SoundName::BulletPassBy1, false, 0.75f), flat(SoundName::BulletPassBy2, false, 0.75f)};
    g.flares = flat(SoundName::Flares, false, 1.0f);
    g.alarm = flat(SoundName::Alarm, true, 1.0f);
    g.airbrake = flat(SoundName::Airbrake, true, 1.0f);
    g.parachute = flat(SoundName::Parachute, false, 1.0f);
    g.bulletHitGlass = flat(SoundName::BulletHitGlass, false, 2.0f);
    g.bulletHitMetal = {flat(SoundName::BulletHitMetal0, false, 1.0f), flat(SoundName::BulletHitMetal1, false, 1.0f)};
    g.click = flat(SoundName::Click, false, 0.2f);
    g.clickBack = flat(SoundName::ClickBack, false, 0.2f);
    g.land = flat(SoundName::Land, false, 1.0f);
    g.takeoff = flat(SoundName::Takeoff, false, 0.2f);
    g.seagulls = flat(SoundName::Seagulls, true, 0.5f);
    g.faint = flat(SoundName::Faint, true, 1.0f);
    g.score = flat(SoundName::Score, true, 1.0f);
    g.medal = flat(SoundName::Medal, false, 1.0f);
    g.msgSound = flat(SoundName::MsgSound, false, 0.5f);
    g.unlock = flat(SoundName::Unlock1, false, 1.0f);
    g.bombRelease = {flat(SoundName::BombRelease, false, 2.0f), flat(SoundName::BombRelease, false, 2.0f)};
    g.bombDropHiss = flat(SoundName::BombDropHiss, false, 0.5f);
    g.rain = flat(SoundName::Rain, true, 0.5f);
    g.thunder = flat(SoundName::Thunder, false, 2.5f);
    g.engineExplode = flat(SoundName::EngineExplode, false, 2.0f);
    g.engineExplodeJet = flat(SoundName::EngineExplodeJet, false, 1.5f);
    g.alarmHigh = flat(SoundName::Alarm, true, 1.0f);
    if (g.alarmHigh) {
        g.alarmHigh->setPitch(2.0f);
        g.alarmHigh->applyPitch();
    }
    g.music = Sound::createStreamSource(true);
    g.stream2 = Sound::createStreamSource(false);
    g.jet = positioned(SoundName::Jet, 200.0f, 5000.0f);
    g.jetFar = positioned(SoundName::JetFar, 1000.0f, 5000.0f);
    g.missileCruise = positioned(SoundName::MissileCruise, 100.0f, 5000.0f);
}

void forgetSoundTable()
{
    table() = SoundTable{};
    sources() = GlobalSources{};
}

void applySavedVolumes(const Settings& settings)
{
    Sound::setMasterVolume(settings.soundOn ? settings.soundVolume : 0.0f);
    if (SoundSourceStreamed* music = sources().music)
        music->setVolume(settings.musicVolume);
}

void startMenuMusic(const Settings& settings)
{
    applySavedVolumes(settings);
    SoundSourceStreamed* music = sources().music;
    if (!settings.musicOn || !music)
        return;
    music->stop();
    music->open(kMenuMusic);
}

void startEndMusic(const Settings& settings)
{
    Sound::stopAll();
    SoundSourceStreamed* music = sources().music;
    if (!music)
        return;
    music->stop();
    // The end tune plays over the engines' silence at twice the music volume.
    music->setVolume(2.0f * settings.musicVolume);
    if (settings.musicOn)
        music->open(kEndMusic);
}

void playTriggerMusic(const char* name, bool loop, const Settings& settings)
{
    SoundSourceStreamed* music = sources().music;
    if (!music)
        return;
    if (!name) {
        if (music->isPlaying())
            logInfo("sound", "map music stopped");
        music->stop();
        return;
    }
    if (!settings.musicOn)
        return;
    if (!loop)
        music->stop();
    // The end tune may have left the volume doubled.
    music->setVolume(settings.musicVolume);
    music->open(name);
    music->setLoop(loop);
    logInfo("sound", "map music \"%s\"%s", name, loop ? ", looping" : ", once");
}

void playTriggerSound(const char* name, const Settings& settings)
{
    if (!settings.soundOn || !name || !Sound::isStarted())
        return;
    auto* source = new SoundSourceStreamed(true);
    if (!source->isRegistered()) {
        logWarning("sound", "%s not played: every source is in use", name);
        delete source;
        return;
    }
    source->open(name);
    logInfo("sound", "map sound \"%s\"", name);
}

void applyFocusLost()
{
    Sound::setMasterVolume(0.0f);
    if (SoundSourceStreamed* music = sources().music)
        music->setVolume(0.0f);
}

void applyFocusGained(const Settings& settings)
{
    if (settings.soundOn)
        Sound::setMasterVolume(settings.soundVolume);
    if (SoundSourceStreamed* music = sources().music; music && settings.musicOn)
        music->setVolume(settings.musicVolume);
}
