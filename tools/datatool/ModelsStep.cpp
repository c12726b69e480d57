// The generated models: one of each family the game draws (an aircraft with
// its effect nodes, a ground vehicle, a ship, airfield buildings), their
// palette textures and the model-name table.
#include "DataTool.h"
#include "GlmBuilder.h"
#include "Mesh.h"
#include "ModelParts.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {
namespace units {
enum : int {
    JetSkin, JetLight, Canopy, Nozzle, Olive, Canvas, Tyre, Windscreen,
    Hull, Deck, Superstructure, GunMetal, Funnel, White, Insignia, Headlight,
};
const Rgb kPalette[16] = {{148, 158, 170}, {186, 192, 198}, {38, 56, 84},    {64, 62, 60},
                          {92, 100, 58},   {134, 126, 88},  {30, 30, 32},    {64, 84, 104},
                          {118, 124, 132}, {92, 88, 82},    {168, 172, 176}, {70, 74, 78},
                          {26, 26, 28},    {228, 228, 228}, {36, 58, 132},   {236, 214, 128}};
}  // namespace units

namespace building {
enum : int { Wall, Roof, Door, Glass, Trim, Concrete, TowerWall, Frame };
const Rgb kPalette[16] = {{178, 172, 160}, {108, 118, 106}, {70, 74, 80},    {78, 104, 128},
                          {150, 48, 40},   {136, 132, 124}, {214, 212, 204}, {50, 52, 56},
                          {178, 172, 160}, {178, 172, 160}, {178, 172, 160}, {178, 172, 160},
                          {178, 172, 160}, {178, 172, 160}, {178, 172, 160}, {178, 172, 160}};
}  // namespace building

// The town's houses and the docks' and factories' sheds.
namespace town {
const Rgb kPalette[16] = {{196, 150, 112}, {162, 84, 62},   {222, 208, 180}, {128, 60, 48},
                          {92, 96, 104},   {70, 82, 98},    {238, 232, 218}, {88, 64, 48},
                          {180, 170, 150}, {140, 112, 86},  {104, 118, 88},  {56, 58, 62},
                          {206, 186, 150}, {150, 140, 128}, {120, 40, 36},   {82, 110, 132}};
}  // namespace town
namespace industry {
const Rgb kPalette[16] = {{128, 134, 138}, {150, 84, 50},   {96, 100, 98},  {62, 66, 70},
                          {170, 168, 158}, {118, 96, 70},   {84, 96, 76},   {190, 150, 60},
                          {46, 48, 52},    {140, 70, 44},   {112, 120, 124}, {200, 196, 186},
                          {74, 84, 92},    {160, 150, 120}, {98, 58, 40},   {132, 150, 156}};
}  // namespace industry

Mat4 placedAt(Vec3 offset)
{
    Mat4 m;
    mat4TranslateV(m, offset);
    return m;
}

// Placed and turned to face the other way (a gun turret facing aft).
Mat4 placedFacingAft(Vec3 offset)
{
    Mat4 m = placedAt(offset);
    mat4RotateY(m, kPi);
    return m;
}

// A twin-engine jet fighter, 16 m long, nose to -z. Drawn nodes first, then
// the helper meshes the effects copy: "jet" and "jetcore" flames from the
// nozzles, "jetglow" at the right nozzle (the haze mirrors it), vapour sheets
// "steamu" and "steamd" over and under the wings, the shock cone "cobra"
// (authored at 1/20 scale), the boom cone "sonic" (unit size, scaled when
// drawn) and the "contrail" point at the right wing tip.
void buildFighter(GlmBuilder& b)
{
    using namespace units;
    const int tex = b.texture("units.pvr");
    b.beginObject("fighter_jet");

    Mesh body;
    const LoftSection fuselage[] = {
        {-8.0f, 0.02f, 0.02f, 0.02f, 0, 0.0f, 2.0f}, {-7.0f, 0.35f, 0.33f, 0.28f, 0, 0.0f, 2.0f},
        {-5.5f, 0.62f, 0.55f, 0.48f, 0, 0.05f, 2.2f}, {-3.5f, 0.85f, 0.75f, 0.65f, 0, 0.1f, 2.4f},
        {-1.0f, 1.25f, 0.78f, 0.72f, 0, 0.1f, 2.8f}, {3.0f, 1.3f, 0.7f, 0.68f, 0, 0.05f, 3.0f},
        {6.5f, 1.15f, 0.56f, 0.58f, 0, 0.0f, 3.0f},   {7.6f, 1.05f, 0.5f, 0.52f, 0, 0.0f, 3.0f}};
    addLoft(body, fuselage, 24, color(JetSkin), true);
    // Engine intakes under the wing roots.
    Mesh intake;
    const Vec3 intakeCorners[8] = {{0.95f, -0.55f, -3.0f}, {1.55f, -0.55f, -2.6f}, {0.95f, 0.15f, -3.0f},
                                   {1.55f, 0.15f, -2.6f},  {0.95f, -0.55f, 1.0f},  {1.35f, -0.55f, 1.0f},
                                   {0.95f, 0.15f, 1.0f},   {1.35f, 0.15f, 1.0f}};
    addHexahedron(intake, intakeCorners, color(JetLight));
    appendMesh(body, mirrored(intake));
    b.addNode("body", body, tex);

    Mesh canopy;
    const LoftSection bubble[] = {{-5.6f, 0.05f, 0.05f, 0.05f, 0, 0.55f, 2.0f},
                                  {-4.7f, 0.38f, 0.42f, 0.05f, 0, 0.55f, 2.0f},
                                  {-3.4f, 0.45f, 0.55f, 0.05f, 0, 0.55f, 2.0f},
                                  {-2.2f, 0.36f, 0.36f, 0.05f, 0, 0.55f, 2.0f},
                                  {-1.5f, 0.05f, 0.05f, 0.05f, 0, 0.55f, 2.0f}};
    addLoft(canopy, bubble, 16, color(Canopy), true);
    b.addNode("canopy", canopy, tex);

    Mesh wing;
    addWing(wing, Chord{{1.1f, -0.1f, -1.6f}, 5.2f, 0.3f}, Chord{{5.3f, -0.02f, 2.3f}, 1.5f, 0.1f}, Vec3{0, 1, 0},
            color(JetSkin));
    b.addNode("wing_r", wing, tex);
    Mesh leftWing;
    addMirroredX(leftWing, wing);
    b.addNode("wing_l", leftWing, tex);

    Mesh tail;
    addWing(tail, Chord{{1.0f, 0.0f, 5.2f}, 2.8f, 0.16f}, Chord{{3.5f, 0.0f, 7.1f}, 1.0f, 0.06f}, Vec3{0, 1, 0},
            color(JetSkin));
    // Twin fins canted outward.
    addWing(tail, Chord{{0.7f, 0.45f, 3.6f}, 3.6f, 0.16f}, Chord{{1.3f, 3.1f, 6.3f}, 1.4f, 0.06f},
            Vec3{0.98f, -0.2f, 0}, color(JetSkin));
    b.addNode("tail", mirrored(tail), tex);

    Mesh nozzle;
    addCylinder(nozzle, Vec3{0.55f, 0.0f, 7.6f}, Axis::Z, 0.46f, 0.5f, 16, color(Nozzle));
    b.addNode("nozzles", mirrored(nozzle), tex);

    Mesh jet;
    const LoftSection flame[] = {{8.1f, 0.4f, 0.4f, 0.4f, 0.55f, 0, 2.0f},
                                 {10.0f, 0.28f, 0.28f, 0.28f, 0.55f, 0, 2.0f},
                                 {12.1f, 0.04f, 0.04f, 0.04f, 0.55f, 0, 2.0f}};
    addLoft(jet, flame, 12, wrappedUv(), false);
    b.addNode("jet", mirrored(jet), tex, GlmNode::kHelper);

    Mesh core;
    const LoftSection coreFlame[] = {{8.1f, 0.26f, 0.26f, 0.26f, 0.55f, 0, 2.0f},
                                     {10.1f, 0.03f, 0.03f, 0.03f, 0.55f, 0, 2.0f}};
    addLoft(core, coreFlame, 12, wrappedUv(), false);
    b.addNode("jetcore", mirrored(core), tex, GlmNode::kHelper);

    Mesh glow;
    addSheet(glow, {0.3f, 0.25f, 8.3f}, {0.8f, 0.25f, 8.3f}, {0.8f, -0.25f, 8.3f}, {0.3f, -0.25f, 8.3f}, {0, 0, 1});
    b.addNode("jetglow", glow, tex, GlmNode::kHelper);

    Mesh over, under;
    addSheet(over, {1.3f, 0.2f, -1.2f}, {5.2f, 0.08f, 2.4f}, {5.2f, 0.08f, 3.7f}, {1.3f, 0.2f, 3.4f}, {0, 1, 0});
    addSheet(under, {1.3f, -0.35f, -1.2f}, {5.2f, -0.12f, 2.4f}, {5.2f, -0.12f, 3.7f}, {1.3f, -0.35f, 3.4f},
             {0, -1, 0});
    b.addNode("steamu", mirrored(over), tex, GlmNode::kHelper);
    b.addNode("steamd", mirrored(under), tex, GlmNode::kHelper);

    Mesh cobra;
    const LoftSection shock[] = {{-0.05f, 0.065f, 0.065f, 0.065f, 0, 0, 2.0f},
                                 {0.1f, 0.17f, 0.17f, 0.17f, 0, 0, 2.0f}};
    addLoft(cobra, shock, 20, planarUv(0.17f), false);
    b.addNode("cobra", cobra, tex, GlmNode::kHelper);

    Mesh sonic;
    const LoftSection boom[] = {{-0.6f, 0.02f, 0.02f, 0.02f, 0, 0, 2.0f}, {0.4f, 1.0f, 1.0f, 1.0f, 0, 0, 2.0f}};
    addLoft(sonic, boom, 20, wrappedUv(), false);
    b.addNode("sonic", sonic, tex, GlmNode::kHelper);

    Mesh contrail;
    contrail.vertices.push_back(GlmVertex{5.3f, 0.0f, 3.0f, 0, 1, 0, 0, 0});
    b.addNode("contrail", contrail, tex, GlmNode::kHelper);
    b.endObject();
}

// A six-wheeled army truck with a canvas-covered bed, 6.6 m long, nose to -z.
// The wheels node carries the axle height in its matrix.
void buildTruck(GlmBuilder& b)
{
    using namespace units;
    const int tex = b.texture("units.pvr");
    b.beginObject("army_truck");

    Mesh body;
    addBox(body, {-1.1f, 0.55f, -3.3f}, {1.1f, 0.85f, 3.3f}, color(Olive));
    addBox(body, {-1.15f, 0.85f, -3.3f}, {1.15f, 1.6f, -1.4f}, color(Olive));
    const Vec3 cab[8] = {{-1.15f, 1.6f, -3.3f}, {1.15f, 1.6f, -3.3f}, {-1.1f, 2.45f, -3.0f}, {1.1f, 2.45f, -3.0f},
                         {-1.15f, 1.6f, -1.4f}, {1.15f, 1.6f, -1.4f}, {-1.1f, 2.45f, -1.4f}, {1.1f, 2.45f, -1.4f}};
    addHexahedron(body, cab, color(Olive));
    // The windscreen lies on the sloped cab front, raised a little off it.
    const auto onFront = [](float x, float y, float out) {
        const float z = -3.3f + (y - 1.6f) / 0.85f * 0.3f;
        return Vec3{x, y + out * 0.33f, z - out * 0.94f};
    };
    const Vec3 screen[8] = {onFront(-0.95f, 1.75f, 0), onFront(0.95f, 1.75f, 0), onFront(-0.95f, 2.35f, 0),
                            onFront(0.95f, 2.35f, 0), onFront(-0.95f, 1.75f, 0.04f), onFront(0.95f, 1.75f, 0.04f),
                            onFront(-0.95f, 2.35f, 0.04f), onFront(0.95f, 2.35f, 0.04f)};
    addHexahedron(body, screen, color(Windscreen));
    addBox(body, {-1.2f, 0.45f, -3.45f}, {1.2f, 0.7f, -3.3f}, color(Tyre));
    addBox(body, {-0.95f, 1.1f, -3.34f}, {-0.65f, 1.35f, -3.3f}, color(Headlight));
    addBox(body, {0.65f, 1.1f, -3.34f}, {0.95f, 1.35f, -3.3f}, color(Headlight));
    b.addNode("body", body, tex);

    Mesh cargo;
    addBox(cargo, {-1.15f, 0.85f, -1.3f}, {1.15f, 1.05f, 3.3f}, color(Olive));
    const LoftSection cover[] = {{-1.25f, 1.12f, 1.35f, 0.0f, 0, 1.05f, 3.0f}, {3.25f, 1.12f, 1.35f, 0.0f, 0, 1.05f, 3.0f}};
    addLoft(cargo, cover, 20, color(Canvas), true);
    b.addNode("cargo", cargo, tex);

    Mesh wheels;
    for (float z : {-2.3f, 1.3f, 2.5f})
        for (float x : {-1.0f, 1.0f})
            addCylinder(wheels, Vec3{x, 0.0f, z}, Axis::X, 0.5f, 0.2f, 18, color(Tyre));
    b.addNode("wheels", wheels, tex, 0, 0, placedAt({0.0f, 0.5f, 0.0f}));
    b.endObject();
}

// A destroyer, 110 m long with a 12 m beam, bow to -z, waterline at y = 0.
// The two gun turrets are nodes of their own, the aft one turned to face aft.
void buildShip(GlmBuilder& b)
{
    using namespace units;
    const int tex = b.texture("units.pvr");
    b.beginObject("destroyer");

    Mesh hull;
    const LoftSection lines[] = {
        {-55.0f, 0.15f, 1.8f, 4.5f, 0, 4.0f, 4.0f}, {-47.0f, 3.0f, 0.6f, 7.0f, 0, 4.0f, 4.0f},
        {-32.0f, 5.6f, 0.05f, 7.8f, 0, 4.0f, 4.0f}, {-10.0f, 6.0f, 0.05f, 8.0f, 0, 4.0f, 4.0f},
        {22.0f, 6.0f, 0.05f, 8.0f, 0, 4.0f, 4.0f},  {46.0f, 5.1f, 0.05f, 7.0f, 0, 4.0f, 4.0f},
        {55.0f, 4.0f, 0.05f, 5.0f, 0, 4.0f, 4.0f}};
    addLoft(hull, lines, 28, color(Hull), true);
    b.addNode("hull", hull, tex);

    Mesh deck;
    // The deck plate covers the flat part of the hull top, aft of the raised bow.
    std::vector<LoftSection> plank;
    for (const LoftSection& s : lines)
        if (s.z > -40.0f)
            plank.push_back(LoftSection{s.z, s.w * 0.97f, 0.02f, 0.02f, 0, s.y + s.top + 0.02f, 2.0f});
    addLoft(deck, plank, 28, color(Deck), true);
    b.addNode("deck", deck, tex);

    Mesh superstructure;
    addBox(superstructure, {-4.5f, 4.0f, -22.0f}, {4.5f, 9.0f, -9.0f}, color(Superstructure));
    const Vec3 bridge[8] = {{-3.6f, 9.0f, -21.0f}, {3.6f, 9.0f, -21.0f}, {-3.4f, 11.8f, -20.2f},
                            {3.4f, 11.8f, -20.2f}, {-3.6f, 9.0f, -13.0f}, {3.6f, 9.0f, -13.0f},
                            {-3.4f, 11.8f, -13.0f}, {3.4f, 11.8f, -13.0f}};
    addHexahedron(superstructure, bridge, color(Superstructure));
    addBox(superstructure, {-3.3f, 10.2f, -21.0f}, {3.3f, 11.0f, -20.3f}, color(Windscreen));
    addCylinder(superstructure, Vec3{0.0f, 17.0f, -12.0f}, Axis::Y, 0.35f, 5.5f, 10, color(GunMetal));
    addBox(superstructure, {-3.0f, 19.0f, -12.2f}, {3.0f, 19.4f, -11.8f}, color(GunMetal));
    const Vec3 funnel[8] = {{-2.2f, 4.0f, -3.5f}, {2.2f, 4.0f, -3.5f}, {-1.7f, 13.0f, -2.2f}, {1.7f, 13.0f, -2.2f},
                            {-2.2f, 4.0f, 3.5f},  {2.2f, 4.0f, 3.5f},  {-1.7f, 13.0f, 3.2f},  {1.7f, 13.0f, 3.2f}};
    addHexahedron(superstructure, funnel, color(Superstructure));
    addBox(superstructure, {-1.75f, 13.0f, -2.3f}, {1.75f, 13.8f, 3.3f}, color(Funnel));
    addBox(superstructure, {-4.0f, 4.0f, 9.0f}, {4.0f, 8.0f, 21.0f}, color(Superstructure));
    b.addNode("superstructure", superstructure, tex);

    Mesh turret;
    const Vec3 house[8] = {{-2.6f, 0.0f, -2.6f}, {2.6f, 0.0f, -2.6f}, {-2.0f, 2.4f, -1.8f}, {2.0f, 2.4f, -1.8f},
                           {-2.6f, 0.0f, 3.0f},  {2.6f, 0.0f, 3.0f},  {-2.2f, 2.4f, 3.0f},  {2.2f, 2.4f, 3.0f}};
    addHexahedron(turret, house, color(Superstructure));
    addCylinder(turret, Vec3{0.0f, 1.3f, -6.0f}, Axis::Z, 0.22f, 4.0f, 10, color(GunMetal));
    b.addNode("turret_fore", turret, tex, 0, 0, placedAt({0.0f, 4.05f, -34.0f}));
    b.addNode("turret_aft", turret, tex, 0, 0, placedFacingAft({0.0f, 4.05f, 32.0f}));
    b.endObject();
}

// Airfield buildings: object 0 an arched hangar (30 x 40 m, door to -z),
// object 1 a control tower with a glazed cab.
void buildAirbase(GlmBuilder& b)
{
    using namespace building;
    const int tex = b.texture("building.pvr");
    b.beginObject("hangar");
    Mesh hangar;
    addBox(hangar, {-15.0f, 0.0f, -20.0f}, {15.0f, 8.0f, 20.0f}, color(Wall));
    const LoftSection arch[] = {{-20.3f, 15.6f, 6.5f, 0.0f, 0, 8.0f, 2.0f}, {20.3f, 15.6f, 6.5f, 0.0f, 0, 8.0f, 2.0f}};
    addLoft(hangar, arch, 28, color(Roof), true);
    addBox(hangar, {-11.0f, 0.0f, -20.08f}, {11.0f, 8.8f, -20.0f}, color(Door));
    addBox(hangar, {-11.6f, 0.0f, -20.12f}, {-11.0f, 9.4f, -20.0f}, color(Trim));
    addBox(hangar, {11.0f, 0.0f, -20.12f}, {11.6f, 9.4f, -20.0f}, color(Trim));
    addBox(hangar, {-11.6f, 8.8f, -20.12f}, {11.6f, 9.4f, -20.0f}, color(Trim));
    for (float x : {-15.06f, 15.0f})
        for (float z : {-14.0f, -6.0f, 2.0f, 10.0f})
            addBox(hangar, {x, 4.5f, z}, {x + 0.06f, 6.5f, z + 5.0f}, color(Glass));
    b.addNode("hangar", hangar, tex);
    b.endObject();

    b.beginObject("control_tower");
    Mesh tower;
    addBox(tower, {-3.0f, 0.0f, -3.0f}, {3.0f, 12.0f, 3.0f}, color(TowerWall));
    addBox(tower, {-3.6f, 12.0f, -3.6f}, {3.6f, 12.5f, 3.6f}, color(Frame));
    const Vec3 cab[8] = {{-3.4f, 12.5f, -3.4f}, {3.4f, 12.5f, -3.4f}, {-4.0f, 15.5f, -4.0f}, {4.0f, 15.5f, -4.0f},
                         {-3.4f, 12.5f, 3.4f},  {3.4f, 12.5f, 3.4f},  {-4.0f, 15.5f, 4.0f},  {4.0f, 15.5f, 4.0f}};
    addHexahedron(tower, cab, color(Glass));
    addBox(tower, {-4.4f, 15.5f, -4.4f}, {4.4f, 16.1f, 4.4f}, color(Frame));
    addBox(tower, {-0.8f, 0.0f, -3.05f}, {0.8f, 2.4f, -3.0f}, color(Door));
    addBox(tower, {-3.1f, 11.4f, -3.1f}, {3.1f, 12.0f, 3.1f}, color(Trim));
    b.addNode("tower", tower, tex);
    b.endObject();
}

bool writeModel(DataContext& context, const std::string& name, const GlmBuilder& builder)
{
    return writeModelFile(context, "data/models/" + name, builder);
}

bool buildModels(DataContext& context)
{
    GlmBuilder fighter, truck, ship, airbase;
    buildFighter(fighter);
    buildTruck(truck);
    buildShip(ship);
    buildAirbase(airbase);
    const bool written = writeModel(context, "fighter_jet.glm", fighter) &&
                         writeModel(context, "army_truck.glm", truck) && writeModel(context, "destroyer.glm", ship) &&
                         writeModel(context, "airbase.glm", airbase) &&
                         context.writeFile("data/models/units.pvr", paletteTexture(units::kPalette)) &&
                         context.writeFile("data/models/building.pvr", paletteTexture(building::kPalette)) &&
                         context.writeFile("data/models/build1.pvr", paletteTexture(town::kPalette)) &&
                         context.writeFile("data/models/build2.pvr", paletteTexture(industry::kPalette));
    if (!written)
        return false;
    return context.writeFile("data/models/models.lst",
                             "# Models loaded once at start-up; \"name.glm_<k>\" is object k of a file.\n"
                             "fighter_jet.glm\n"
                             "army_truck.glm\n"
                             "destroyer.glm\n"
                             "airbase.glm_0\n"
                             "airbase.glm_1\n"
                             "tank.glm\n"
                             "flakgun.glm\n"
                             "bridge.glm\n"
                             "cargoship.glm\n"
                             "bunker.glm\n");
}
}  // namespace

SKYFRONT_DATA_STEP(500, "models", buildModels);
