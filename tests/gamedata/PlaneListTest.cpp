#include "GameDataFixture.h"

#include "gamedata/records/PlaneList.h"
#include "platform/Settings.h"

#include <cmath>

namespace {
std::string plane(const std::string& name, int id, const std::string& file, const std::string& extra = "")
{
    return "PlaneCfg { name \"" + name + "\" plane_id " + std::to_string(id) + " file \"" + file + "\" " + extra +
           " }\n";
}

struct PlaneListTest : GameDataFixture {
    Settings profile;
    PlaneList planes;

    // A family of three variants sharing one model, two single planes, and
    // a hidden drone. Ids differ from list positions on purpose.
    void writeHangar()
    {
        write("data/planes/planes.lst", "# hangar\np51\nspit1\nspit9\n\nspit14\nf86\ndrone\n");
        write("data/planes/p51.cfg", plane("p51", 0, "m/p51.glm",
                                           "pStartUnlocked true pStrInfo \"PLANE_INFO\" paints [ PaintRow { color0 "
                                           "120 0.5 0.25 color1 10 0.2 0.9 } PaintRow { } ]"));
        write("data/planes/spit1.cfg", plane("spit1", 7, "m/spit.glm", "plane_tier 0 pStartUnlocked true"));
        write("data/planes/spit9.cfg", plane("spit9", 8, "m/spit.glm", "plane_tier 0"));
        write("data/planes/spit14.cfg", plane("spit14", 9, "m/spit.glm", "plane_tier 1"));
        write("data/planes/f86.cfg", plane("f86", 20, "m/f86.glm", "plane_tier 2"));
        write("data/planes/drone.cfg", plane("drone", 30, "m/drone.glm", "pHidden true"));
    }
    void load() { ASSERT_TRUE(planes.load("data/planes/planes.lst", texts, profile)); }
};

TEST_F(PlaneListTest, LooksPlanesUpByIdAndName)
{
    writeHangar();
    load();
    ASSERT_EQ(planes.count(), 6);
    EXPECT_EQ(planes.tierCount(), 3);
    EXPECT_EQ(planes.findById(8)->name, "spit9");
    // An unknown id falls back to the first plane, never to null.
    EXPECT_EQ(planes.findById(77), planes.at(0));
    EXPECT_EQ(planes.findById(-1), planes.at(0));
    EXPECT_EQ(planes.findByName("f86")->plane_id, 20);
    EXPECT_EQ(planes.findByName("mig15"), nullptr);
    EXPECT_EQ(planes.indexByName("f86"), 4);
    EXPECT_EQ(planes.indexByName("mig15"), -1);
    EXPECT_EQ(planes.idByName("f86"), 20);
    EXPECT_EQ(planes.at(6), nullptr);
    EXPECT_EQ(planes.findById(0)->strInfoId, 100);
    EXPECT_GT(planes.valueById(20), 0.0f);
    EXPECT_EQ(planes.valueById(21), -1.0f);
    EXPECT_TRUE(warnings.empty());
}

TEST_F(PlaneListTest, UnlockByNameWritesThePlaneIdNotTheListIndex)
{
    writeHangar();
    load();
    EXPECT_TRUE(planes.isLocked(20));
    ASSERT_TRUE(planes.unlockByName("f86"));
    EXPECT_EQ(profile.planeUnlockedAt(20), 1);
    EXPECT_EQ(profile.planeUnlockedAt(4), 0);  // f86's list index
    EXPECT_FALSE(planes.isLocked(20));
    EXPECT_FALSE(planes.unlockByName("mig15"));
}

TEST_F(PlaneListTest, FamiliesAreThePlanesSharingAModel)
{
    writeHangar();
    load();
    EXPECT_EQ(planes.variantIds(9), (std::vector<int>{7, 8, 9}));
    EXPECT_EQ(planes.variantIds(20), (std::vector<int>{20}));
    EXPECT_TRUE(planes.variantIds(55).empty());
    EXPECT_EQ(planes.variantId(1, 7), 8);
    EXPECT_EQ(planes.variantId(3, 7), 7);   // no fourth variant
    EXPECT_EQ(planes.variantId(-1, 9), 9);
    EXPECT_EQ(planes.variantId(0, 55), 55);

    EXPECT_EQ(planes.unlockedVariants(8), (std::vector<int>{7}));
    EXPECT_EQ(planes.lockedVariants(8), (std::vector<int>{8, 9}));
    profile.setPlaneUnlocked(9, 1);
    EXPECT_EQ(planes.unlockedVariants(8), (std::vector<int>{7, 9}));
    EXPECT_TRUE(planes.anyVariantUnlocked(8));
    EXPECT_FALSE(planes.anyVariantUnlocked(20));
}

TEST_F(PlaneListTest, MenusOfferUnhiddenPlanes)
{
    writeHangar();
    load();
    EXPECT_EQ(planes.selectionIds(), (std::vector<int>{0, 7, 8, 9, 20}));
    EXPECT_EQ(planes.listForMenu(), (std::vector<int>{0, 7, 20}));
    EXPECT_EQ(planes.listAvailable(), (std::vector<int>{0, 7}));
    profile.setPlaneUnlocked(20, 1);
    profile.setPlaneUnlocked(30, 1);  // the hidden drone stays out of every menu
    EXPECT_EQ(planes.listAvailable(), (std::vector<int>{0, 7, 20}));
    EXPECT_EQ(planes.countAvailable(), 3);
}

TEST_F(PlaneListTest, FactoryPaintComesFromTheFirstPaintRow)
{
    writeHangar();
    load();
    const PlanePaint& paint = profile.defaultPaintTable[0];
    EXPECT_FLOAT_EQ(paint.hue0, 120.0f);
    EXPECT_FLOAT_EQ(paint.saturation0, 0.5f);
    EXPECT_FLOAT_EQ(paint.value1, 0.9f);
    EXPECT_EQ(planes.findById(0)->paints.count(), 2);
    // A plane without paint rows still has one to pick modulo.
    EXPECT_EQ(planes.findById(20)->paints.count(), 1);
    EXPECT_EQ(profile.defaultPaintTable[20], PlanePaint{});
}

TEST_F(PlaneListTest, UnpaintedPlanesFlyInTheirFactoryPaintAndPaintedOnesKeepTheirs)
{
    writeHangar();
    const PlanePaint painted{300.0f, 1.0f, 0.5f, 40.0f, 0.3f, 0.2f};
    profile.setPaint(7, painted);
    load();
    EXPECT_EQ(profile.paintAt(0), profile.defaultPaintTable[0]);
    EXPECT_FLOAT_EQ(profile.paintAt(0).hue0, 120.0f);
    EXPECT_EQ(profile.paintAt(7), painted);
}

TEST_F(PlaneListTest, BrokenRecordsAreSkippedBesideTheirNeighbours)
{
    write("data/planes/planes.lst", "good1\nunknown\nmalformed\nmissing\nsameid\nbadid\nnofile\nbad/name\ngood2\n");
    write("data/planes/good1.cfg", plane("good1", 3, "a.glm"));
    write("data/planes/unknown.cfg", plane("unknown", 4, "b.glm", "pTurbo 2"));
    write("data/planes/malformed.cfg", "PlaneCfg { name \"malformed\" plane_id 5 pArmour \"thick\" }");
    write("data/planes/sameid.cfg", plane("sameid", 3, "c.glm"));
    write("data/planes/badid.cfg", plane("badid", 256, "d.glm"));
    write("data/planes/nofile.cfg", "PlaneCfg { plane_id 6 }");
    write("data/planes/good2.cfg", plane("good2", 1, "e.glm"));
    ASSERT_TRUE(planes.load("data/planes/planes.lst", texts, profile));
    ASSERT_EQ(planes.count(), 2);
    EXPECT_EQ(planes.at(0)->name, "good1");
    EXPECT_EQ(planes.at(1)->name, "good2");
    EXPECT_EQ(planes.findByName("unknown"), nullptr);
    // One message each, naming the file or the list line.
    EXPECT_EQ(warnings.size(), 7u);
    EXPECT_TRUE(warned({"planes.lst:2", "data/planes/unknown.cfg:1", "pTurbo"}));
    EXPECT_TRUE(warned({"planes.lst:3", "data/planes/malformed.cfg:1"}));
    EXPECT_TRUE(warned({"planes.lst:4", "data/planes/missing.cfg"}));
    EXPECT_TRUE(warned({"planes.lst:5", "already used"}));
    EXPECT_TRUE(warned({"planes.lst:6", "outside 0..255"}));
    EXPECT_TRUE(warned({"planes.lst:7", "file"}));
    EXPECT_TRUE(warned({"planes.lst:8"}));
}

TEST_F(PlaneListTest, AnEmptyPlaneListIsAnError)
{
    write("data/planes/planes.lst", "# nothing yet\n");
    EXPECT_FALSE(planes.load("data/planes/planes.lst", texts, profile));
    EXPECT_TRUE(warned({"no plane record loaded"}));
    EXPECT_EQ(planes.findById(0), nullptr);
    EXPECT_FALSE(planes.load("data/planes/none.lst", texts, profile));
}

TEST_F(PlaneListTest, ValuesThatDivideOrSizeAreClampedOnLoad)
{
    write("data/planes/planes.lst", "thin\n");
    write("data/planes/thin.cfg", plane("thin", 2, "t.glm",
                                        "pArmour 0.2 pFlares -4 plane_tier 40 pSpeedSpan 0 pStallSpeed 900 pLuck 7"));
    ASSERT_TRUE(planes.load("data/planes/planes.lst", texts, profile));
    const PlaneCfg& p = *planes.at(0);
    EXPECT_FLOAT_EQ(p.pArmour, PlaneCfg::kMinArmour);
    EXPECT_GT(p.pArmour - 0.5f, 0.0f);
    EXPECT_EQ(p.pFlares, 0);
    EXPECT_EQ(p.plane_tier, PlaneCfg::kMaxTier);
    EXPECT_GE(p.pSpeedSpan, 1.0f);
    EXPECT_LE(p.pStallSpeed, p.topSpeed());
    EXPECT_FLOAT_EQ(p.pLuck, 1.0f);
}

TEST_F(PlaneListTest, EveryFlightValueIsBoundedWithOneLogLinePerRecord)
{
    write("data/planes/planes.lst", "wild\ntame\n");
    write("data/planes/wild.cfg", plane("wild", 2, "w.glm",
                                        "pMinSpeed 3e38 pSpeedSpan 3e38 pCruiseSpeed 1e30 pAccel 1e9 "
                                        "pPitchRate -3 pRollRate 1e20 pYawRate 400 pRadarRange 1e12 pDamage 1e30 "
                                        "ap_bonus -2 pFaintStart 1e9"));
    write("data/planes/tame.cfg", plane("tame", 3, "t.glm", "pMinSpeed 150 pSpeedSpan 150 pCruiseSpeed 200"));
    ASSERT_TRUE(planes.load("data/planes/planes.lst", texts, profile));
    const PlaneCfg& p = *planes.at(0);
    EXPECT_TRUE(std::isfinite(p.topSpeed()));
    EXPECT_LE(p.topSpeed(), PlaneCfg::kMaxMinSpeed + PlaneCfg::kMaxSpeedSpan);
    EXPECT_LE(p.pCruiseSpeed, p.topSpeed());
    EXPECT_LE(p.pAccel, PlaneCfg::kMaxAccel);
    for (const float rate : {p.pPitchRate, p.pRollRate, p.pYawRate}) {
        EXPECT_GE(rate, 0.0f);
        EXPECT_LE(rate, PlaneCfg::kMaxTurnRate);
    }
    EXPECT_LE(p.pRadarRange, PlaneCfg::kMaxFactor);
    EXPECT_LE(p.pDamage, PlaneCfg::kMaxFactor);
    EXPECT_GE(p.ap_bonus, 0.0f);
    EXPECT_LE(p.pFaintStart, PlaneCfg::kMaxFaint);
    EXPECT_GT(p.pFaintEnd, p.pFaintStart);
    int lines = 0;
    for (const std::string& w : warnings)
        lines += w.find("out of bounds") != std::string::npos;
    EXPECT_EQ(lines, 1);
    EXPECT_TRUE(warned({"wild", "pMinSpeed", "pSpeedSpan", "pAccel", "pYawRate"}));
    // A record inside its bounds keeps its values and says nothing.
    const PlaneCfg& t = *planes.at(1);
    EXPECT_FLOAT_EQ(t.topSpeed(), 300.0f);
    EXPECT_FLOAT_EQ(t.pCruiseSpeed, 200.0f);
    EXPECT_FALSE(warned({"tame"}));
}
}  // namespace
