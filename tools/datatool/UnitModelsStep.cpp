// Models of the ground and naval units beside the truck and the destroyer:
// a tank, a flak gun, a road bridge, a cargo ship, a headquarters bunker and
// an aircraft carrier with its flight deck, and a surfaced submarine.
// They share the palettes "units.pvr" and "building.pvr" of the models step.
#include "DataTool.h"
#include "GlmBuilder.h"
#include "Mesh.h"
#include "ModelParts.h"

#include <algorithm>
#include <cmath>
#include <string>

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

// A submarine on the surface (bow toward -z): the long hull mostly under the
// waterline, a flat casing along its back, the sail with its periscopes, a
// deck gun forward of it and the stern's planes and rudder.
void buildSubmarine(GlmBuilder& b)
{
    const int tex = b.texture("units.pvr");
    b.beginObject("submarine");
    Mesh hull;
    const LoftSection sections[] = {
        {-40.0f, 0.4f, 0.5f, 0.5f, 0, -0.5f, 2.0f},  {-36.0f, 2.4f, 2.2f, 2.6f, 0, -0.6f, 2.0f},
        {-26.0f, 3.6f, 3.0f, 3.8f, 0, -0.8f, 2.2f},  {18.0f, 3.6f, 3.0f, 3.8f, 0, -0.8f, 2.2f},
        {32.0f, 2.2f, 2.0f, 2.6f, 0, -0.6f, 2.0f},   {40.0f, 0.3f, 0.4f, 0.5f, 0, -0.4f, 2.0f},
    };
    addLoft(hull, sections, 20, color(Hull), true);
    b.addNode("hull", hull, tex);
    Mesh casing;
    addBox(casing, {-1.4f, 2.0f, -30.0f}, {1.4f, 2.7f, 26.0f}, color(Deck));
    b.addNode("casing", casing, tex);
    Mesh sail;
    const LoftSection tower[] = {
        {-9.0f, 0.3f, 3.0f, 0.0f, 0, 5.5f, 2.0f}, {-7.0f, 1.4f, 3.2f, 0.0f, 0, 5.6f, 3.0f},
        {-1.0f, 1.5f, 3.2f, 0.0f, 0, 5.6f, 3.0f}, {1.0f, 0.6f, 2.6f, 0.0f, 0, 5.6f, 2.0f},
    };
    addLoft(sail, tower, 14, color(Hull), true);
    addBox(sail, {-1.5f, 2.6f, -9.0f}, {1.5f, 5.5f, 1.0f}, color(Hull));
    addBox(sail, {-1.55f, 7.8f, -8.0f}, {1.55f, 8.3f, -5.5f}, color(Windscreen));
    addBox(sail, {-4.2f, 6.4f, -6.0f}, {4.2f, 6.7f, -3.8f}, color(Hull));  // the sail's planes
    for (const float z : {-4.0f, -2.4f})
        addCylinder(sail, {0.0f, 10.0f, z}, Axis::Y, 0.18f, 1.6f, 8, color(GunMetal));
    b.addNode("sail", sail, tex);
    Mesh gun;
    addCylinder(gun, {0.0f, 3.2f, -17.0f}, Axis::Y, 0.9f, 0.5f, 12, color(GunMetal));
    addBox(gun, {-0.6f, 3.6f, -17.8f}, {0.6f, 4.6f, -16.0f}, color(GunMetal));
    addCylinder(gun, {0.0f, 4.2f, -20.0f}, Axis::Z, 0.14f, 2.4f, 8, color(GunMetal));
    b.addNode("gun", gun, tex);
    Mesh stern;
    addBox(stern, {-5.0f, -0.9f, 33.0f}, {5.0f, -0.6f, 37.0f}, color(Hull));
    addBox(stern, {-0.2f, -3.0f, 34.5f}, {0.2f, 2.2f, 38.5f}, color(Hull));
    b.addNode("stern", stern, tex);
    b.endObject();
}

// The ejected pilot: olive flight suit and white helmet, the seat with its
// two rocket flames, the canopy blast flashes and a striped chute. Every part
// is in the pilot's space (origin at the hips); the chute scales from there.
void buildParatrooper(GlmBuilder& b)
{
    constexpr int kYellow = 15;
    const int tex = b.texture("units.pvr");
    b.beginObject("paratrooper_generic");
    Mesh body;
    addBox(body, {-0.22f, 0.0f, -0.14f}, {0.22f, 0.65f, 0.14f}, color(Olive));
    addBox(body, {-0.26f, 0.45f, -0.16f}, {0.26f, 0.62f, 0.18f}, color(Canvas));   // harness
    addCylinder(body, {0.0f, 0.72f, 0.0f}, Axis::Y, 0.13f, 0.26f, 10, color(White));
    addBox(body, {-0.1f, 0.78f, -0.15f}, {0.1f, 0.86f, -0.1f}, color(Windscreen));  // visor
    b.addNode("body", body, tex);
    Mesh legs;
    addBox(legs, {-0.2f, -0.85f, -0.1f}, {-0.03f, 0.0f, 0.1f}, color(Olive));
    addBox(legs, {0.03f, -0.85f, -0.1f}, {0.2f, 0.0f, 0.1f}, color(Olive));
    addBox(legs, {-0.21f, -0.95f, -0.16f}, {-0.02f, -0.85f, 0.1f}, color(Tyre));
    addBox(legs, {0.02f, -0.95f, -0.16f}, {0.21f, -0.85f, 0.1f}, color(Tyre));
    b.addNode("legs", legs, tex);
    Mesh hands;
    addBox(hands, {-0.36f, 0.05f, -0.07f}, {-0.23f, 0.62f, 0.07f}, color(Olive));
    addBox(hands, {0.23f, 0.05f, -0.07f}, {0.36f, 0.62f, 0.07f}, color(Olive));
    b.addNode("hands", hands, tex);
    Mesh chute;
    // The lines from the shoulders to the canopy's edges.
    for (float side : {-1.0f, 1.0f})
        for (float depth : {-1.4f, 1.4f}) {
            const Vec3 lo{0.25f * side, 0.6f, 0.0f}, hi{2.75f * side, 4.75f, depth};
            const Vec3 c[8] = {lo, lo + Vec3{0.03f, 0.0f, 0.0f}, lo + Vec3{0.0f, 0.03f, 0.0f}, lo + Vec3{0.03f, 0.03f, 0.0f},
                               hi, hi + Vec3{0.03f, 0.0f, 0.0f}, hi + Vec3{0.0f, 0.03f, 0.0f}, hi + Vec3{0.03f, 0.03f, 0.0f}};
            addHexahedron(chute, c, color(White));
        }
    for (int k = 0; k < 8; ++k) {
        // Eight panels of the canopy, alternating white and yellow.
        const float a0 = -1.2f + 2.4f * static_cast<float>(k) / 8.0f, a1 = a0 + 0.3f;
        const float x0 = 3.0f * std::sin(a0), x1 = 3.0f * std::sin(a1);
        const float y0 = 4.4f + 1.4f * std::cos(a0), y1 = 4.4f + 1.4f * std::cos(a1);
        const Vec3 c[8] = {{x0, y0, -1.6f}, {x1, y1, -1.6f}, {x0, y0 + 0.12f, -1.6f}, {x1, y1 + 0.12f, -1.6f},
                           {x0, y0, 1.6f},  {x1, y1, 1.6f},  {x0, y0 + 0.12f, 1.6f},  {x1, y1 + 0.12f, 1.6f}};
        addHexahedron(chute, c, color(k % 2 ? kYellow : static_cast<int>(White)));
    }
    b.addNode("chute", chute, tex);
    Mesh seat;
    addBox(seat, {-0.32f, -0.15f, -0.05f}, {0.32f, 0.0f, 0.45f}, color(GunMetal));
    addBox(seat, {-0.32f, 0.0f, 0.3f}, {0.32f, 0.95f, 0.45f}, color(GunMetal));
    addBox(seat, {-0.2f, 0.95f, 0.32f}, {0.2f, 1.1f, 0.44f}, color(Canvas));
    b.addNode("seat", seat, tex);
    Mesh jet1, jet2;
    addCylinder(jet1, {0.0f, -0.75f, 0.38f}, Axis::Y, 0.12f, 1.1f, 8, color(kYellow));
    addCylinder(jet2, {0.0f, -0.95f, 0.38f}, Axis::Y, 0.16f, 1.5f, 8, color(kYellow));
    b.addNode("jet1", jet1, tex);
    b.addNode("jet2", jet2, tex);
    const float blast[3][2] = {{0.9f, 0.4f}, {1.2f, 0.7f}, {1.5f, 1.0f}};
    for (int k = 0; k < 3; ++k) {
        Mesh flash;
        addCylinder(flash, {0.0f, 1.0f + blast[k][1] * 0.5f, 0.0f}, Axis::Y, blast[k][0], 0.15f + blast[k][1] * 0.2f, 12,
                    color(White));
        b.addNode("blow" + std::to_string(k + 1), flash, tex);
    }
    b.endObject();
}

bool buildUnitModels(DataContext& context)
{
    GlmBuilder paratrooper;
    buildParatrooper(paratrooper);
    if (!writeModelFile(context, "data/models/paratrooper_generic.glm", paratrooper))
        return false;
    GlmBuilder tank, flak, bridge, cargo, bunker, carrier, submarine;
    buildCarrier(carrier);
    buildSubmarine(submarine);
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
           writeModelFile(context, "data/models/carrier.glm", carrier) &&
           writeModelFile(context, "data/models/submarine.glm", submarine);
}
}  // namespace

SKYFRONT_DATA_STEP(520, "unit models", buildUnitModels);
