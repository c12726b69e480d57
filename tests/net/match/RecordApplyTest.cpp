#include "entities/aircraft/Airplane.h"
#include "entities/ground/GroundTarget.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/records/PlaneList.h"
#include "gamedata/records/WeaponList.h"
#include "modes/GameMode.h"
#include "modes/kinds/GameModeDTB.h"
#include "net/match/PlayerRecordCodec.h"
#include "platform/Random.h"
#include "platform/Settings.h"

#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

// Records and join requests through their bytes into a headless mode, as
// the host and the clients exchange them.
namespace {
struct HeadlessMatch : testing::Test {
    ModeHarness harness;
    GameMode* mode = nullptr;

    void SetUp() override
    {
        seedRandom(2024, 7);
        std::string error;
        ASSERT_TRUE(harness.mountData(error)) << error;
        const MapInfoCfg* map = harness.firstSkirmishMap();
        ASSERT_NE(map, nullptr);
        // The base rules alone: type 9 is a match type the factory makes into a tutorial.
        mode = harness.start(std::make_unique<GameMode>(GameType::Tutorial), map);
        ASSERT_NE(mode, nullptr);
        ASSERT_NE(mode->world(), nullptr);
    }

    int writeRecord(const Target& entity, std::span<std::uint8_t> out) const
    {
        PlayerRecord record;
        mode->fillPlayerRecord(entity, record);
        return encodePlayerRecord(record, out);
    }
    Target* applyRecord(std::span<const std::uint8_t> bytes)
    {
        PlayerRecord record;
        return decodePlayerRecord(bytes, mode->recordLimits(), record) ? mode->addNetworkPlayer(record, false)
                                                                       : nullptr;
    }
    Airplane* joinWith(std::span<const std::uint8_t> bytes)
    {
        JoinRequest request;
        return decodeJoinRequest(bytes, mode->recordLimits(), request) ? mode->addServerPlayer(request, -1)
                                                                       : nullptr;
    }
};

// A client builds the airplane the host described, with its name, team,
// scores, paint and weapons.
TEST_F(HeadlessMatch, APlayerRecordBuildsTheSameAirplaneOnTheOtherSide)
{
    const PlanePaint paint{120.0f, 0.5f, -0.25f, 300.0f, 0.0f, 1.0f};
    const PlaneCfg* record = PlaneList::instance().at(0);
    Airplane* a = mode->createAirplane(&paint, record->plane_id, 1, 0.0f, nullptr, true);
    ASSERT_NE(a, nullptr);
    a->pilotName = u"Wren";
    a->scores[Airplane::kScorePoints] = 42;
    const WeaponCfg* gun = WeaponList::instance().findByName(record->pGunWeapon);
    ASSERT_NE(gun, nullptr);
    ASSERT_TRUE(a->mountWeapon(*gun, 0));
    std::array<std::uint8_t, PlayerRecord::kAirplaneSize> bytes{};
    ASSERT_EQ(writeRecord(*a, bytes), PlayerRecord::kAirplaneSize);
    const int hostId = a->id();
    mode->removeEntity(*a);
    mode->update(ModeHarness::kFrame);  // gone, its id free again

    Target* made = applyRecord(bytes);
    ASSERT_NE(made, nullptr);
    ASSERT_EQ(made->kind(), TargetKind::Airplane);
    auto& copy = static_cast<Airplane&>(*made);
    EXPECT_EQ(copy.pilotName, u"Wren");
    EXPECT_EQ(copy.team(), 1);
    EXPECT_EQ(copy.id(), hostId);
    EXPECT_EQ(copy.scores[Airplane::kScorePoints], 42);
    EXPECT_EQ(copy.networkRole, NetworkRole::RemoteClient);
    EXPECT_NEAR(mode->paintOf(copy).hue0, 120.0f, 0.02f);
    ASSERT_NE(copy.weapon(0), nullptr);
    EXPECT_EQ(copy.weapon(0)->record().weapon_id, gun->weapon_id);

    // A damaged copy of the same record builds nothing.
    for (std::size_t i = PlayerRecord::kNameOffset; i < bytes.size(); i += 2)
        if (bytes[i] == 0)
            bytes[i] = 'x';  // no unit of the name is 0 any more
    const std::size_t before = mode->entities().size();
    EXPECT_EQ(applyRecord(bytes), nullptr);
    EXPECT_EQ(applyRecord(std::span<const std::uint8_t>(bytes.data(), 29)), nullptr);
    EXPECT_EQ(mode->entities().size(), before);
}

TEST_F(HeadlessMatch, TheHostPutsAJoiningPlayerInPlayInTheSmallerTeam)
{
    ASSERT_NE(mode->createAirplane(nullptr, 0, 1, 0.0f, nullptr, true), nullptr);
    JoinRequest join;
    join.rank = 5;
    join.name = u"Joiner";
    join.planeId = PlaneList::instance().at(0)->plane_id;
    std::array<std::uint8_t, JoinRequest::kSize> bytes{};
    ASSERT_EQ(encodeJoinRequest(join, bytes), JoinRequest::kSize);
    Airplane* a = joinWith(bytes);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->team(), 0);
    EXPECT_TRUE(a->isActive());
    EXPECT_EQ(a->networkRole, NetworkRole::RemoteClient);
    EXPECT_EQ(a->rank(), 5);
    EXPECT_EQ(a->pilotName, u"Joiner");
    EXPECT_EQ(harness.posted().count("takenOut"), 0);  // its respawn was not relayed
    bytes[1] ^= 0xFF;  // a damaged tag builds nothing
    EXPECT_EQ(joinWith(bytes), nullptr);
}

// The profile's four player words ride with the player's airplane: in its
// record to the joiners, and from a joiner's request into the host's records.
TEST_F(HeadlessMatch, TheProfilesPlayerWordsTravelWithThePlayersAirplane)
{
    const std::array<std::uint32_t, 4> saved = settings().playerAccount;
    settings().playerAccount = {5, 0, 0xFFFFFFFEu, 77};
    Airplane* own = mode->createAirplane(nullptr, 0, 0, 0.0f, nullptr, true);
    ASSERT_NE(own, nullptr);
    mode->setPlayerAirplane(own);
    settings().playerAccount = saved;
    std::array<std::uint8_t, PlayerRecord::kAirplaneSize> bytes{};
    ASSERT_EQ(writeRecord(*own, bytes), PlayerRecord::kAirplaneSize);
    PlayerRecord sent;
    ASSERT_TRUE(decodePlayerRecord(bytes, mode->recordLimits(), sent));
    EXPECT_EQ(sent.playerValues, (std::array<std::int32_t, 4>{5, 0, -2, 77}));

    JoinRequest join;
    join.name = u"Joiner";
    join.planeId = PlaneList::instance().at(0)->plane_id;
    join.playerWords = {1, 2, 3, 4};
    std::array<std::uint8_t, JoinRequest::kSize> request{};
    ASSERT_EQ(encodeJoinRequest(join, request), JoinRequest::kSize);
    Airplane* joiner = joinWith(request);
    ASSERT_NE(joiner, nullptr);
    ASSERT_EQ(writeRecord(*joiner, bytes), PlayerRecord::kAirplaneSize);
    ASSERT_TRUE(decodePlayerRecord(bytes, mode->recordLimits(), sent));
    EXPECT_EQ(sent.playerValues, join.playerWords);
}
// A destroy-the-base host's bases reach a joiner through their records'
// bytes whole: damaged, at their full 4.0 health, or down; a record naming
// no base changes none.
TEST(BaseRecords, ABasesHealthCrossesWhole)
{
    ModeHarness harness;
    std::string error;
    ASSERT_TRUE(harness.mountData(error)) << error;
    auto* mode = dynamic_cast<GameModeDTB*>(
        harness.start(static_cast<int>(GameType::DestroyTheBase), harness.firstSkirmishMap()));
    ASSERT_NE(mode, nullptr);
    ASSERT_FALSE(mode->bases(1).empty());
    GroundTarget* base = mode->bases(1).front();
    auto bytesOf = [&](float health) {
        base->setHealth(health);
        PlayerRecord record;
        mode->fillPlayerRecord(*base, record);
        std::vector<std::uint8_t> bytes(64);
        bytes.resize(static_cast<std::size_t>(std::max(encodePlayerRecord(record, bytes), 0)));
        return bytes;
    };
    auto apply = [&](std::span<const std::uint8_t> bytes) -> Target* {
        PlayerRecord record;
        return decodePlayerRecord(bytes, mode->recordLimits(), record) ? mode->addNetworkPlayer(record, false)
                                                                       : nullptr;
    };
    for (float health : {GameModeDTB::kBaseHealth, 2.5f, 0.75f}) {
        const auto bytes = bytesOf(health);
        base->setHealth(1.0f);
        EXPECT_EQ(apply(bytes), base);
        EXPECT_FLOAT_EQ(base->health(), health);
    }
    auto stranger = bytesOf(GameModeDTB::kBaseHealth);
    ASSERT_GE(stranger.size(), 10u);
    stranger[8] = 0x55, stranger[9] = 0x44;
    EXPECT_EQ(apply(stranger), nullptr);
    harness.finish();
}

}  // namespace
