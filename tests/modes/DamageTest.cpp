#include "ModeTestKit.h"

#include "platform/Settings.h"

#include <cmath>

namespace {
struct DamageRules : ModeKit {
    WeaponCfg weapon;
    void SetUp() override
    {
        ModeKit::SetUp();
        weapon.type = kWeaponAllAspect;
        weapon.dmgNaval = 2.0f;
        weapon.dmgLand = 3.0f;
        weapon.dmgAir = 5.0f;
    }
    // Health lost by one hit of d.
    float lossOf(Target& victim, Target* attacker, float d, const WeaponCfg* w = nullptr, bool force = false)
    {
        victim.setMaxHealth(100.0f);
        victim.setHealth(100.0f);
        mode->damageAirplane(victim, attacker, d, victim.position(), w, force);
        return 100.0f - victim.health();
    }
};

TEST_F(DamageRules, EasyCampaignScalesWhatThePlayerTakes)
{
    makeMode(GameType::Campaign);
    mode->difficultyScales[1] = 0.75f;  // easy
    Airplane* player = airplane(0);
    mode->setPlayerAirplane(player);
    // 10 x 0.333 (no weapon record) x 0.75 / (armour 1.5 - 0.5)
    EXPECT_NEAR(lossOf(*player, nullptr, 10.0f), 2.4975f, 1e-4f);
    EXPECT_EQ(hud.hitIndicators, 1);
}

TEST_F(DamageRules, CampaignDividesWhatThePlayerDeals)
{
    makeMode(GameType::Campaign);
    mode->difficultyScales[0] = 2.0f;
    Airplane* player = airplane(0);
    mode->setPlayerAirplane(player);
    Target* tank = groundUnit(1);
    EXPECT_NEAR(lossOf(*tank, player, 10.0f), 5.0f, 1e-4f);
}

TEST_F(DamageRules, MatchesUseTheLighterArmourRule)
{
    Airplane* victim = airplane(1);
    // 10 / (1.5 + 0.2); no difficulty scaling outside campaign missions.
    mode->difficultyScales[1] = 0.75f;
    mode->setPlayerAirplane(victim);
    EXPECT_NEAR(lossOf(*victim, nullptr, 10.0f), 10.0f / 1.7f, 1e-4f);
}

TEST_F(DamageRules, TierTwoPlanesHitGroundTargetsHarderOutsideTheCampaign)
{
    const PlaneCfg* heavy = record(1.5f, 2, 1.0f);
    Airplane* attacker = airplane(0, {0, 2000, 0}, heavy);
    Target* tank = groundUnit(1);
    EXPECT_NEAR(lossOf(*tank, attacker, 10.0f), 15.0f, 1e-4f);
    Airplane* fighter = airplane(1, {0, 2000, 100});
    // Against an air target the tier does not count; armour does.
    EXPECT_NEAR(lossOf(*fighter, attacker, 10.0f), 10.0f / 1.7f, 1e-4f);

    makeMode(GameType::Campaign);
    Airplane* campaignAttacker = airplane(0, {0, 2000, 0}, heavy);
    Target* campaignTank = groundUnit(1);
    EXPECT_NEAR(lossOf(*campaignTank, campaignAttacker, 10.0f), 10.0f, 1e-4f);
}

TEST_F(DamageRules, TheAttackersPlaneDamageAndTheWeaponsClassMultipliersApply)
{
    const PlaneCfg* strong = record(1.5f, 0, 2.0f);
    Airplane* attacker = airplane(0, {0, 2000, 0}, strong);
    Target* ship = groundUnit(1, TargetKind::Ship);
    Target* tank = groundUnit(1, TargetKind::LandUnit);
    Airplane* fighter = airplane(1, {0, 2000, 100});
    EXPECT_NEAR(lossOf(*ship, attacker, 1.0f, &weapon), 1.0f * 2.0f * 2.0f, 1e-4f);
    EXPECT_NEAR(lossOf(*tank, attacker, 1.0f, &weapon), 1.0f * 2.0f * 3.0f, 1e-4f);
    EXPECT_NEAR(lossOf(*fighter, attacker, 1.0f, &weapon), 1.0f * 2.0f * 5.0f / 1.7f, 1e-4f);
}

TEST_F(DamageRules, ArmourAtOrBelowHalfNeverDividesByZeroOrHeals)
{
    makeMode(GameType::Campaign);
    for (float armour : {0.5f, 0.4f, 0.0f, -3.0f}) {
        const PlaneCfg* paper = record(armour);
        Airplane* victim = airplane(1, {0, 2000, 0}, paper);
        const float loss = lossOf(*victim, nullptr, 1.0f);
        EXPECT_TRUE(std::isfinite(loss)) << armour;
        EXPECT_GT(loss, 0.0f) << armour;
        mode->removeEntity(*victim);
    }
}

TEST_F(DamageRules, HitsOnDeadOrUntargetableTargetsChangeNothing)
{
    Airplane* attacker = airplane(0);
    Target* dead = groundUnit(1);
    dead->setLifeState(LifeState::Destroyed);
    Target* hidden = groundUnit(1);
    hidden->setTargetable(false);
    for (Target* t : {dead, hidden}) {
        EXPECT_EQ(lossOf(*t, attacker, 10.0f), 0.0f);
        EXPECT_EQ(t->hitReport, 0);
    }
    EXPECT_EQ(attacker->rememberedTarget, nullptr);
    mode->damageEnabled = false;
    Target* alive = groundUnit(1);
    EXPECT_EQ(lossOf(*alive, attacker, 10.0f), 0.0f);
}

TEST_F(DamageRules, TheAttackerRemembersItsTargetAndAKillingHitNamesIt)
{
    Airplane* attacker = airplane(0);
    Target* tank = groundUnit(1);
    tank->setHealth(5.0f);
    mode->damageAirplane(*tank, attacker, 2.0f, {}, nullptr, false);
    EXPECT_EQ(attacker->rememberedTarget, tank);
    EXPECT_FLOAT_EQ(attacker->rememberTime, GameMode::kRememberTargetTime);
    EXPECT_EQ(tank->lastAttacker, nullptr);
    mode->damageAirplane(*tank, attacker, 4.0f, {}, nullptr, false);
    EXPECT_EQ(tank->lastAttacker, attacker);
}

TEST_F(DamageRules, AClientWithoutForceOnlyShowsTheHit)
{
    mode->setNetwork(true, false, false);
    Airplane* attacker = airplane(0);
    Target* tank = groundUnit(1);
    tank->setHealth(1.0f);
    mode->damageAirplane(*tank, attacker, 10.0f, {}, nullptr, false);
    EXPECT_FLOAT_EQ(tank->health(), 1.0f);
    EXPECT_EQ(tank->lastAttacker, nullptr);
    EXPECT_EQ(tank->hitReport, 1);  // the hit reaction still runs
    mode->damageAirplane(*tank, attacker, 10.0f, {}, nullptr, true);
    EXPECT_LT(tank->health(), 0.0f);
    EXPECT_EQ(tank->lastAttacker, attacker);
}

TEST(KillPoints, TheRankGapInThirdsAroundThreeClampedToOneToSix)
{
    GameMode mode(GameType::FreeForAll);
    PlaneCfg cfg;
    kitPlane(cfg);
    auto victim = Target::create<Airplane>(mode, cfg, 1, std::u16string(u"V"));
    struct Case {
        int victimRank, playerRank, points;
    };
    // (10 - 0) / 3 = 3, + 3 = 6; (0 - 10) / 3 = -3, + 3 = 0, raised to 1.
    for (Case c : {Case{10, 0, 6}, Case{0, 10, 1}, Case{7, 7, 3}, Case{17, 0, 6}, Case{4, 0, 4}, Case{0, 4, 2}}) {
        victim->setRank(c.victimRank);
        mode.playerRank = c.playerRank;
        EXPECT_EQ(mode.killPoints(*victim), c.points) << c.victimRank << " vs " << c.playerRank;
    }
}

// The profile's rank reaches the player's airplane and the kill points when
// the airplane becomes the player's, in a campaign mission
// as in a match, and a new match's reset of the scores keeps it.
TEST_F(DamageRules, ThePlayersRankIsTheProfilesAndOutlivesTheMatchStart)
{
    const std::uint8_t saved = settings().playerRank;
    settings().playerRank = 7;
    for (GameType type : {GameType::Campaign, GameType::FreeForAll}) {
        makeMode(type);
        Airplane* player = airplane(0);
        Airplane* victim = airplane(1);
        victim->setRank(13);
        mode->setPlayerAirplane(player);
        EXPECT_EQ(mode->playerRank, 7);
        EXPECT_EQ(player->rank(), 7);
        EXPECT_EQ(mode->killPoints(*victim), 5);  // (13 - 7) / 3 + 3
        player->scores[Airplane::kScorePoints] = 40;
        player->resetScores();
        EXPECT_EQ(player->rank(), 7);
        EXPECT_EQ(player->scores[Airplane::kScorePoints], 0);
    }
    settings().playerRank = saved;
}

TEST_F(DamageRules, AreaDamageSparesTheOwnersTeam)
{
    Airplane* owner = airplane(0, {0, 2000, 0});
    Target* friendTank = groundUnit(0, TargetKind::LandUnit, {10, 0, 0});
    Target* enemyTank = groundUnit(1, TargetKind::LandUnit, {10, 0, 0});
    Target* farTank = groundUnit(1, TargetKind::LandUnit, {500, 0, 0});
    for (Target* t : {friendTank, enemyTank, farTank})
        t->setHealth(10.0f);
    mode->applyAreaDamage(owner, {0, 0, 0}, 50.0f, 4.0f, nullptr);
    EXPECT_FLOAT_EQ(friendTank->health(), 10.0f);
    EXPECT_FLOAT_EQ(enemyTank->health(), 6.0f);
    EXPECT_FLOAT_EQ(farTank->health(), 10.0f);
}
}  // namespace
