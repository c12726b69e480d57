// Models of the ground and naval units beside the truck and the destroyer:
// a tank, a flak gun, a road bridge, a cargo ship, a headquarters bunker and
// an aircraft carrier with its flight deck.
// They share the palettes "units.pvr" and "building.pvr" of the models step.
#include "DataTool.h"
#include "GlmBuilder.h"
#include "Mesh.h"
#include "ModelParts.h"

namespace {
// Cells of "units.pvr" and "building.pvr".
enum : int { Olive = 4, Canvas = 5, Tyre = 6, Windscreen = 7, Hull = 8, Deck = 9, Superstructure = 10,
             GunMetal = 11, Funnel = 12, White = 13 };
enum : int { Wall = 0, Roof = 1, Door = 2, Glass = 3, Trim = 4, Concrete = 5, Frame = 7 };

Mat4 placedAt(Vec3 offset)
{
    Mat4 m;
    mat4TranslateV(m, offset);
    return m;
}

void buildTank(GlmBuilder& b)
{
    const int tex = b.texture("units.pvr");
    b.beginObject("tank");
    Mesh hull;
    const Vec3 glacis[8] = {{-1.6f, 0.5f, -3.2f}, {1.6f, 0.5f, -3.2f}, {-1.6f, 1.2f, -2.5f}, {1.6f, 1.2f, -2.5f},
                            {-1.6f, 0.5f, 3.0f},  {1.6f, 0.5f, 3.0f},  {-1.6f, 1.5f, 3.0f},  {1.6f, 1.5f, 3.0f}};
    addHexahedron(hull, glacis, color(Olive));
    addBox(hull, {-1.9f, 0.0f, -3.3f}, {-1.2f, 0.9f, 3.1f}, color(Tyre));
    addBox(hull, {1.2f, 0.0f, -3.3f}, {1.9f, 0.9f, 3.1f}, color(Tyre));
    b.addNode("hull", hull, tex);
    Mesh turret;
    const LoftSection dome[] = {{-1.4f, 0.9f, 0.5f, 0.05f, 0, 0, 2.6f}, {0.0f, 1.2f, 0.75f, 0.05f, 0, 0, 2.6f},
                                {1.4f, 1.0f, 0.55f, 0.05f, 0, 0, 2.6f}};
    addLoft(turret, dome, 16, color(Olive), true);
    addCylinder(turret, {0.0f, 0.35f, -3.2f}, Axis::Z, 0.12f, 1.9f, 10, color(GunMetal));
    b.addNode("turret", turret, tex, 0, -1, placedAt({0.0f, 1.5f, 0.2f}));
    b.endObject();
}

void buildFlakGun(GlmBuilder& b)
{
    const int tex = b.texture("units.pvr");
    b.beginObject("flakgun");
    Mesh base;
    addCylinder(base, {0.0f, 0.3f, 0.0f}, Axis::Y, 1.6f, 0.3f, 16, color(Olive));
    for (float side : {-1.0f, 1.0f}) {
        addBox(base, {side * 3.0f - 0.25f, 0.0f, -0.3f}, {side * 3.0f + 0.25f, 0.25f, 0.3f}, color(GunMetal));
        addBox(base, {-0.3f, 0.0f, side * 3.0f - 0.25f}, {0.3f, 0.25f, side * 3.0f + 0.25f}, color(GunMetal));
    }
    addBox(base, {-2.8f, 0.1f, -0.15f}, {2.8f, 0.2f, 0.15f}, color(GunMetal));
    addBox(base, {-0.15f, 0.1f, -2.8f}, {0.15f, 0.2f, 2.8f}, color(GunMetal));
    b.addNode("base", base, tex);
    Mesh gun;
    addBox(gun, {-0.9f, 0.0f, -0.8f}, {0.9f, 1.2f, 0.8f}, color(Olive));
    const Vec3 shield[8] = {{-1.2f, 0.2f, -1.1f}, {1.2f, 0.2f, -1.1f}, {-1.0f, 1.6f, -1.0f}, {1.0f, 1.6f, -1.0f},
                            {-1.2f, 0.2f, -0.95f}, {1.2f, 0.2f, -0.95f}, {-1.0f, 1.6f, -0.85f}, {1.0f, 1.6f, -0.85f}};
    addHexahedron(gun, shield, color(Olive));
    Mesh barrel;
    addCylinder(barrel, {0.0f, 0.0f, -2.2f}, Axis::Z, 0.11f, 2.2f, 10, color(GunMetal));
    // Raised to fire at aircraft.
    Mat4 raised = placedAt({0.0f, 1.0f, 0.0f});
    mat4RotateX(raised, 0.75f);
    const int gunNode = b.addNode("gun", gun, tex, 0, -1, placedAt({0.0f, 0.6f, 0.0f}));
    b.addNode("barrel", barrel, tex, 0, gunNode, raised);
    b.endObject();
}

void buildBridge(GlmBuilder& b)
{
    const int tex = b.texture("building.pvr");
    b.beginObject("bridge");
    Mesh deck;
    addBox(deck, {-60.0f, 9.0f, -4.5f}, {60.0f, 10.2f, 4.5f}, color(Concrete));
    addBox(deck, {-60.0f, 10.2f, -4.5f}, {60.0f, 11.2f, -4.1f}, color(Trim));
    addBox(deck, {-60.0f, 10.2f, 4.1f}, {60.0f, 11.2f, 4.5f}, color(Trim));
    b.addNode("deck", deck, tex);
    Mesh piers;
    for (float x : {-36.0f, -12.0f, 12.0f, 36.0f})
        addBox(piers, {x - 1.5f, -12.0f, -3.5f}, {x + 1.5f, 9.0f, 3.5f}, color(Wall));
    b.addNode("piers", piers, tex);
    b.endObject();
}

void buildCargoShip(GlmBuilder& b)
{
    const int tex = b.texture("units.pvr");
    b.beginObject("cargoship");
    Mesh hull;
    const LoftSection sections[] = {
        {-58.0f, 0.3f, 6.0f, 0.3f, 0, 1.0f, 2.0f},  {-50.0f, 6.0f, 6.0f, 5.0f, 0, 0.5f, 3.0f},
        {-30.0f, 9.0f, 5.5f, 6.0f, 0, 0.0f, 4.0f},  {30.0f, 9.0f, 5.5f, 6.0f, 0, 0.0f, 4.0f},
        {52.0f, 7.5f, 5.5f, 5.0f, 0, 0.3f, 3.5f},   {56.0f, 5.0f, 5.5f, 2.5f, 0, 0.5f, 3.0f},
    };
    addLoft(hull, sections, 24, color(Hull), true);
    addBox(hull, {-48.0f, 5.4f, -7.5f}, {48.0f, 5.6f, 7.5f}, color(Deck));
    b.addNode("hull", hull, tex);
    Mesh cargo;
    for (float z : {-38.0f, -24.0f, -10.0f, 4.0f})
        addBox(cargo, {-6.5f, 5.6f, z}, {6.5f, 8.4f, z + 11.0f}, color(Canvas));
    b.addNode("holds", cargo, tex);
    Mesh bridge;
    addBox(bridge, {-8.0f, 5.6f, 30.0f}, {8.0f, 14.0f, 44.0f}, color(White));
    addBox(bridge, {-8.05f, 12.0f, 29.0f}, {8.05f, 13.2f, 30.0f}, color(Windscreen));
    addCylinder(bridge, {0.0f, 18.0f, 40.0f}, Axis::Y, 2.0f, 4.0f, 14, color(Funnel));
    addCylinder(bridge, {0.0f, 13.0f, -20.0f}, Axis::Y, 0.4f, 7.5f, 8, color(Superstructure));
    b.addNode("superstructure", bridge, tex);
    b.endObject();
}

void buildBunker(GlmBuilder& b)
{
    const int tex = b.texture("building.pvr");
    b.beginObject("bunker");
    Mesh block;
    const Vec3 mound[8] = {{-16.0f, 0.0f, -12.0f}, {16.0f, 0.0f, -12.0f}, {-12.0f, 7.0f, -8.0f}, {12.0f, 7.0f, -8.0f},
                           {-16.0f, 0.0f, 12.0f},  {16.0f, 0.0f, 12.0f},  {-12.0f, 7.0f, 8.0f},  {12.0f, 7.0f, 8.0f}};
    addHexahedron(block, mound, color(Concrete));
    addBox(block, {-3.0f, 0.0f, -12.5f}, {3.0f, 3.5f, -11.9f}, color(Door));
    for (float x : {-9.0f, 6.0f})
        addBox(block, {x, 4.2f, -9.6f}, {x + 3.0f, 5.0f, -9.2f}, color(Glass));
    b.addNode("bunker", block, tex);
    Mesh mast;
    addCylinder(mast, {8.0f, 12.0f, 4.0f}, Axis::Y, 0.25f, 5.0f, 8, color(Frame));
    addBox(mast, {6.5f, 16.0f, 3.9f}, {9.5f, 16.3f, 4.1f}, color(Frame));
    addBox(mast, {-10.0f, 7.0f, -3.0f}, {-4.0f, 8.0f, 3.0f}, color(Roof));
    b.addNode("mast", mast, tex);
    b.endObject();
}

// A flat-top: the hull, the flight deck as its own node "deck" (its box is
// where airplanes land and stand), painted runway lines, and the island.
void buildCarrier(GlmBuilder& b)
{
    const int tex = b.texture("units.pvr");
    b.beginObject("carrier");
    Mesh hull;
    const LoftSection sections[] = {
        {-130.0f, 0.5f, 14.0f, 1.0f, 0, 4.0f, 2.0f},  {-115.0f, 12.0f, 12.0f, 9.0f, 0, 2.0f, 3.0f},
        {-80.0f, 17.0f, 11.0f, 10.0f, 0, 0.5f, 4.0f}, {90.0f, 17.0f, 11.0f, 10.0f, 0, 0.5f, 4.0f},
        {120.0f, 14.0f, 11.0f, 8.0f, 0, 1.0f, 3.5f},  {126.0f, 10.0f, 11.0f, 3.0f, 0, 2.0f, 3.0f},
    };
    addLoft(hull, sections, 28, color(Hull), true);
    b.addNode("hull", hull, tex);
    Mesh deck;
    addBox(deck, {-20.0f, 11.0f, -125.0f}, {20.0f, 12.5f, 125.0f}, color(Deck));
    b.addNode("deck", deck, tex);
    Mesh lines;
    addBox(lines, {-0.6f, 12.5f, -115.0f}, {0.6f, 12.55f, 115.0f}, color(White));
    for (float x : {-14.0f, 14.0f})
        addBox(lines, {x - 0.4f, 12.5f, -80.0f}, {x + 0.4f, 12.55f, 120.0f}, color(White));
    for (float z = 95.0f; z <= 115.0f; z += 5.0f)
        addBox(lines, {-10.0f, 12.5f, z}, {10.0f, 12.55f, z + 1.2f}, color(White));
    b.addNode("lines", lines, tex);
    Mesh island;
    addBox(island, {21.0f, 12.5f, 10.0f}, {28.0f, 30.0f, 40.0f}, color(Superstructure));
    addBox(island, {20.9f, 25.0f, 9.0f}, {28.1f, 27.0f, 10.0f}, color(Windscreen));
    addCylinder(island, {24.5f, 34.0f, 30.0f}, Axis::Y, 2.5f, 4.0f, 12, color(Funnel));
    addCylinder(island, {24.5f, 40.0f, 18.0f}, Axis::Y, 0.4f, 10.0f, 8, color(GunMetal));
    b.addNode("island", island, tex);
    b.endObject();
}

bool buildUnitModels(DataContext& context)
{
    GlmBuilder tank, flak, bridge, cargo, bunker, carrier;
    buildCarrier(carrier);
    buildTank(tank);
    buildFlakGun(flak);
    buildBridge(bridge);
    buildCargoShip(cargo);
    buildBunker(bunker);
    return writeModelFile(context, "data/models/tank.glm", tank) &&
           writeModelFile(context, "data/models/flakgun.glm", flak) &&
           writeModelFile(context, "data/models/bridge.glm", bridge) &&
           writeModelFile(context, "data/models/cargoship.glm", cargo) &&
           writeModelFile(context, "data/models/bunker.glm", bunker) &&
           writeModelFile(context, "data/models/carrier.glm", carrier);
}
}  // namespace

SKYFRONT_DATA_STEP(520, "unit models", buildUnitModels);
