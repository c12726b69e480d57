#pragma once
#include <array>
#include <cstddef>

class Settings;
class SoundData;
class SoundSourceBuffered;
class SoundSourceStreamed;

// The game's effect sounds, "data/sounds/<name>.wav", in load order (which is
// also their registry order).
enum class SoundName : int {
    Jet, JetFar, PropellerPlane, Missile, SonicBoom, Mg1, Mg2, Mg3, MgunNoAmmo, Lock, Warning,
    BulletHit1, BulletHit2, BulletHit3, BulletHit4, BulletPassBy1, BulletPassBy2, Flares, Alarm,
    Airbrake, Parachute, MissileCruise, BulletHitGlass, BulletHitMetal0, BulletHitMetal1, Click,
    ClickBack, Land, Takeoff, Seagulls, Faint, Score, Medal, MsgSound, Unlock1, Dive, BombRelease,
    BombDropHiss, EngineExplode, EngineExplodeJet, WindPlane1, Rain, Thunder, FxsExplAirBig,
    FxsExplAirSmall, FxsExplTerrain, FxsExplWaterBig, FxsExplWaterSmall, FxsExplShip, FxsSnd1,
    DiveExplosion1, FxsSnd2, Beep, TakenLead, LostLead, TiedLead, Frag1, Frags2, Frags3, DoubleKill,
    TripleKill, UltraKill, Rampage, Unstoppable, Godlike,
    Count
};
constexpr std::size_t kSoundNameCount = static_cast<std::size_t>(SoundName::Count);

// The file name of each slot, without folder and extension ("jet", "1frag").
extern const std::array<const char*, kSoundNameCount> kSoundFileNames;
constexpr const char* kSoundFolder = "data/sounds/";
constexpr const char* kMenuMusic = "data/sounds/music/a_hero_returns.mp3";
constexpr const char* kEndMusic = "data/sounds/music/courage_1.mp3";

// Explosion sounds by a particle description's "soundID"; -1 plays nothing.
enum class ExplosionSound : int {
    None = -1, AirBig = 0, AirSmall, Terrain, WaterBig, WaterSmall, Ship, Snd1, Snd2, Snd3, Count
};

// Loaded once by Sound::init; a slot is null when its file is missing.
struct SoundTable {
    std::array<SoundData*, kSoundNameCount> slots{};
    std::array<SoundData*, 3> noAmmo{};         // beside mg_1, mg_2, mg_3: one sound
    std::array<SoundData*, 2> bombRelease{};    // the same object twice
    std::array<SoundData*, 5> leadAnnouncements{};  // taken, lost, tied, taken, lost
    std::array<SoundData*, static_cast<std::size_t>(ExplosionSound::Count)> explosions{};

    SoundData* operator[](SoundName name) const { return slots[static_cast<std::size_t>(name)]; }
    // Null for -1 and for ids outside the table (a description's number is data).
    SoundData* explosion(int soundId) const;
};
const SoundTable& soundTable();

// The sources every part of the game plays through, made once after the table.
// A source whose sound is missing exists and stays silent.
struct GlobalSources {
    SoundSourceBuffered *missile = nullptr, *sonicBoom = nullptr, *lock = nullptr, *warning = nullptr;
    std::array<SoundSourceBuffered*, 4> bulletHit{};  // bullet_hit_1, _2, _1, _2
    std::array<SoundSourceBuffered*, 2> bulletPassBy{};
    SoundSourceBuffered *flares = nullptr, *alarm = nullptr, *airbrake = nullptr, *parachute = nullptr;
    SoundSourceBuffered *bulletHitGlass = nullptr;
    std::array<SoundSourceBuffered*, 2> bulletHitMetal{};
    SoundSourceBuffered *click = nullptr, *clickBack = nullptr, *land = nullptr, *takeoff = nullptr;
    SoundSourceBuffered *seagulls = nullptr, *faint = nullptr, *score = nullptr, *medal = nullptr;
    SoundSourceBuffered *msgSound = nullptr, *unlock = nullptr;
    std::array<SoundSourceBuffered*, 2> bombRelease{};
    SoundSourceBuffered *bombDropHiss = nullptr, *rain = nullptr, *thunder = nullptr;
    SoundSourceBuffered *engineExplode = nullptr, *engineExplodeJet = nullptr;
    SoundSourceBuffered *alarmHigh = nullptr;  // the alarm an octave up, pitched by the aircraft
    SoundSourceStreamed *music = nullptr;      // looping
    SoundSourceStreamed *stream2 = nullptr;    // once; game modes stop it at the end of play
    SoundSourceBuffered *jet = nullptr, *jetFar = nullptr, *missileCruise = nullptr;  // 3-D loops
};
// Null members before Sound::init.
const GlobalSources& globalSources();

// Used by Sound::init and Sound::close.
void loadSoundTable();
void createGlobalSources();
void forgetSoundTable();

// Music and volume rules.
// Master volume: the sound volume when sound is on, else 0; the music source
// takes the music volume.
void applySavedVolumes(const Settings& settings);
// The menu's music: the saved volumes, then, when music is on, the menu piece
// from its start.
void startMenuMusic(const Settings& settings);
// End of a match, a won mission or a finished tutorial: everything stops and,
// when music is on, the end piece plays.
void startEndMusic(const Settings& settings);
// A map trigger's music: a null name stops the music; otherwise, when music is
// on, the file plays on the music source, looping or once.
void playTriggerMusic(const char* name, bool loop, const Settings& settings);
// A map trigger's sound: when sound is on, the file streams through its own
// source, which is deleted once it ends.
void playTriggerSound(const char* name, const Settings& settings);
// Window focus: everything silent; back to the saved volumes.
void applyFocusLost();
void applyFocusGained(const Settings& settings);
