// The incoming-missile warning is heard rising as the missile closes: the
// game's own mode and sound table over OpenAL mixing into memory, the
// warning's rate read from how far its loop moves through a stretch of output.
#include "entities/aircraft/Airplane.h"
#include "entities/weapons/Missile.h"
#include "gamedata/records/WeaponList.h"
#include "modes/GameMode.h"
#include "platform/Log.h"
#include "platform/Random.h"
#include "sound/OpenAlDevice.h"
#include "sound/Sound.h"
#include "sound/SoundSource.h"
#include "sound/SoundTable.h"
#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
constexpr int kRate = 44100;
constexpr int kWarningLoopMs = 800;  // the staged "warning.wav"

struct WarningPitch : testing::Test {
    ModeHarness harness;
    OpenAlDevice* device = nullptr;

    void SetUp() override
    {
        seedRandom(31, 4);
        setLogCapture([](LogLevel, const std::string&, const std::string&) {});
        std::string error;
        ASSERT_TRUE(harness.mountData(error)) << error;
        auto loopback = OpenAlDevice::openLoopback(kRate);
        if (!loopback)
            GTEST_SKIP() << "OpenAL has no ALC_SOFT_loopback";
        device = loopback.get();
        ASSERT_TRUE(Sound::init(std::move(loopback)));
        Sound::setMasterVolume(1.0f);
    }
    void TearDown() override
    {
        harness.finish();
        Sound::close();
        setLogCapture({});
    }

    // Milliseconds of the loop's own time that pass in 0.3 s of output.
    int loopAdvanceMs(const SoundSource& source)
    {
        std::vector<float> out(2 * kRate / 10);
        int total = 0;
        int last = static_cast<int>(device->positionMs(source.channel()));
        for (int i = 0; i < 3; ++i) {
            device->render(out.data(), kRate / 10);
            const int now = static_cast<int>(device->positionMs(source.channel()));
            total += (now - last + kWarningLoopMs) % kWarningLoopMs;
            last = now;
        }
        return total;
    }
};

TEST_F(WarningPitch, TheWarningRisesAsTheMissileCloses)
{
    GameMode* mode = harness.start(static_cast<int>(GameType::FreeForAll), harness.firstSkirmishMap());
    ASSERT_NE(mode, nullptr);
    Airplane& me = *mode->playerAirplane();
    Airplane* bot = nullptr;
    for (const auto& e : mode->entities())
        if (e->kind() == TargetKind::Airplane && e.get() != &me && e->isActive() && e->isAlive())
            bot = static_cast<Airplane*>(e.get());
    const WeaponCfg* simple = WeaponList::instance().findByName("simple_missile_1");
    ASSERT_TRUE(bot && simple);
    // Behind the player, heading its way: the missile chases it down.
    bot->setPositionAndStop(me.position() - me.forward() * 2100.0f);
    bot->setOrientation(me.orientation());
    ASSERT_TRUE(mode->launchWeaponById(simple->weapon_id, bot, &me, bot->position()));
    mode->update(ModeHarness::kFrame);
    ASSERT_NE(me.incomingMissile, nullptr);
    const SoundSourceBuffered* warning = globalSources().warning;
    ASSERT_NE(warning, nullptr);
    ASSERT_TRUE(warning->isPlaying());
    const int far = loopAdvanceMs(*warning);
    EXPECT_NEAR(far, 300, 12);  // 2000 units off or more: the sound's own rate

    auto distance = [&] {
        const auto* missile = static_cast<const Missile*>(me.incomingMissile);
        return missile ? vec3Length(missile->position() - me.position()) : -1.0f;
    };
    for (int frame = 0; frame < 1200 && distance() > 400.0f; ++frame)
        mode->update(ModeHarness::kFrame);
    const float closing = distance();
    ASSERT_GT(closing, 0.0f) << "the missile is no longer homing";
    ASSERT_LE(closing, 400.0f);
    ASSERT_TRUE(warning->isPlaying());
    // 1.1 less a twentieth of the distance in thousands of units: up about 8 %.
    const float expected = 300.0f * (1.1f - closing / 20000.0f);
    const int near = loopAdvanceMs(*warning);
    EXPECT_NEAR(near, expected, 12.0f);
    EXPECT_GE(near, far + 15);
}
}  // namespace
