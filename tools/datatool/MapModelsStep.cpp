// The models the maps place and the wreckage of every model: the runway
// ("runway_field.glm": runway and apron), houses, road pieces, the
// landmarks' buildings, the allied
// destroyer, and a "<name>_gibs.glm" of debris for each aircraft, vehicle,
// ship and building.
#include "DataTool.h"
#include "GlmBuilder.h"
#include "Mesh.h"
#include "ModelParts.h"
#include "WorldNoise.h"

#include <cairo.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <algorithm>
#include <cctype>
#include <string_view>
#include <string>
#include <vector>

namespace {
// Cells of "building.pvr" (ModelsStep.cpp) and "units.pvr".
enum : int { Wall = 0, Roof = 1, Door = 2, Glass = 3, Trim = 4, Concrete = 5, TowerWall = 6, Frame = 7 };
enum : int { JetSkin = 0, Nozzle = 3, Olive = 4, Tyre = 6, Hull = 8, Deck = 9, GunMetal = 11, Funnel = 12 };

// A runway of 1800 x 45 m along x with a threshold, a centre line and edge
// lines, a few centimetres above the flattened field; and the apron beside it.
void buildRunway(GlmBuilder& b)
{
    const int tex = b.texture("building.pvr");
    b.beginObject("runway");
    Mesh strip;
    addBox(strip, {-900.0f, -1.0f, -22.5f}, {900.0f, 0.05f, 22.5f}, color(Door));
    Mesh marks;
    for (float x = -820.0f; x < 820.0f; x += 60.0f)
        addBox(marks, {x, 0.05f, -0.6f}, {x + 30.0f, 0.08f, 0.6f}, color(TowerWall));
    for (float side : {-1.0f, 1.0f}) {
        addBox(marks, {-900.0f, 0.05f, side * 21.5f - 0.5f}, {900.0f, 0.08f, side * 21.5f + 0.5f}, color(TowerWall));
        for (float z = -18.0f; z <= 18.0f; z += 4.0f)
            addBox(marks, {side * 880.0f - 12.0f, 0.05f, z - 0.9f}, {side * 880.0f + 12.0f, 0.08f, z + 0.9f},
                   color(TowerWall));
    }
    b.addNode("runway", strip, tex);
    b.addNode("markings", marks, tex);
    b.endObject();

    b.beginObject("apron");
    Mesh apron;
    addBox(apron, {-180.0f, -1.0f, -70.0f}, {180.0f, 0.05f, 70.0f}, color(Concrete));
    addBox(apron, {150.0f, -1.0f, -130.0f}, {170.0f, 0.04f, -70.0f}, color(Concrete));
    b.addNode("apron", apron, tex);
    b.endObject();
}

// Three houses: a cottage, a long farmhouse and a two-storey town house.
void buildHouses(GlmBuilder& b)
{
    const int tex = b.texture("building.pvr");
    struct House {
        const char* name;
        float halfX, halfZ, wall, roof;
        int roofColor;
    };
    const House houses[] = {{"cottage", 5.0f, 4.0f, 3.2f, 3.0f, Trim},
                            {"farmhouse", 11.0f, 5.0f, 3.5f, 3.6f, Roof},
                            {"townhouse", 6.0f, 6.0f, 7.0f, 3.2f, Trim}};
    for (const House& h : houses) {
        b.beginObject(h.name);
        Mesh body;
        addBox(body, {-h.halfX, -1.0f, -h.halfZ}, {h.halfX, h.wall, h.halfZ}, color(Wall));
        addBox(body, {-1.0f, 0.0f, h.halfZ}, {1.0f, 2.2f, h.halfZ + 0.05f}, color(Door));
        for (float x = -h.halfX + 1.5f; x < h.halfX - 1.5f; x += 3.0f)
            addBox(body, {x, h.wall * 0.55f, -h.halfZ - 0.05f}, {x + 1.2f, h.wall * 0.55f + 1.1f, -h.halfZ},
                   color(Glass));
        Mesh roof;
        const float o = 0.4f;  // overhang
        const Vec3 corners[8] = {{-h.halfX - o, h.wall, -h.halfZ - o}, {h.halfX + o, h.wall, -h.halfZ - o},
                                 {-h.halfX - o, h.wall + h.roof, 0.0f},  {h.halfX + o, h.wall + h.roof, 0.0f},
                                 {-h.halfX - o, h.wall, h.halfZ + o},  {h.halfX + o, h.wall, h.halfZ + o},
                                 {-h.halfX - o, h.wall + h.roof, 0.0f},  {h.halfX + o, h.wall + h.roof, 0.0f}};
        addHexahedron(roof, corners, color(h.roofColor));
        b.addNode("walls", body, tex);
        b.addNode("roof", roof, tex);
        b.endObject();
    }
}

// One 100 m piece of an 8 m country road along x, with a verge line each side.
void buildRoad(GlmBuilder& b)
{
    const int tex = b.texture("building.pvr");
    b.beginObject("road");
    Mesh road;
    addBox(road, {-50.5f, -0.6f, -4.0f}, {50.5f, 0.0f, 4.0f}, color(Frame));
    for (float side : {-1.0f, 1.0f})
        addBox(road, {-50.5f, 0.0f, side * 3.5f - 0.12f}, {50.5f, 0.02f, side * 3.5f + 0.12f}, color(TowerWall));
    b.addNode("road", road, tex);
    b.endObject();
}

// Debris: a handful of bent plates and chunks in the model's colors, each a
// node of its own so the wreck can throw them apart.
// The first three pieces carry the kind's node names: "body" pieces of an
// aircraft come off early, "expl" pieces of a ship burst as it goes down.
void buildGibs(GlmBuilder& b, const std::string& name, const std::string& texture, float size,
               const std::vector<int>& colors, unsigned seed, const char* leadName)
{
    const WorldNoise noise(seed);
    const int tex = b.texture(texture);
    b.beginObject(name + "_gibs");
    for (int k = 0; k < 7; ++k) {
        auto jitter = [&](int i, float axis) { return (0.6f + 0.8f * noise.value(k * 3.1f + i, axis)) * size * 0.5f; };
        const float sx = jitter(0, 1.0f), sy = jitter(1, 2.0f) * (k % 2 ? 0.25f : 0.8f), sz = jitter(2, 3.0f);
        Vec3 corners[8];
        for (int c = 0; c < 8; ++c) {
            const float skew = (noise.value(k * 5.0f + c, 9.0f) - 0.5f) * size * 0.3f;
            corners[c] = {(c & 1 ? sx : -sx) + skew, (c & 2 ? sy : -sy), (c & 4 ? sz : -sz) - skew * 0.5f};
        }
        Mesh shard;
        addHexahedron(shard, corners, color(colors[static_cast<std::size_t>(k) % colors.size()]));
        Mat4 at;
        mat4TranslateV(at, Vec3{(k % 3 - 1) * size, (k / 3) * size * 0.4f, ((k + 1) % 2 - 0.5f) * size});
        b.addNode((k < 3 ? leadName : "gib") + std::to_string(k), shard, tex, 0, -1, at);
    }
    b.endObject();
}

std::vector<std::uint8_t> pngOf(cairo_surface_t* surface)
{
    std::vector<std::uint8_t> png;
    cairo_surface_write_to_png_stream(
        surface,
        [](void* closure, const unsigned char* data, unsigned int length) {
            auto* out = static_cast<std::vector<std::uint8_t>*>(closure);
            out->insert(out->end(), data, data + length);
            return CAIRO_STATUS_SUCCESS;
        },
        &png);
    return png;
}

// The aircraft's shared textures: tinted canopy glass with a sky reflection
// and a streak of sun, and the blur disc of a turning propeller.
bool buildAircraftTextures(DataContext& context)
{
    cairo_surface_t* glass = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 128, 128);
    cairo_t* cr = cairo_create(glass);
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, 128);
    cairo_pattern_add_color_stop_rgba(sky, 0.0, 0.78, 0.88, 0.96, 0.55);
    cairo_pattern_add_color_stop_rgba(sky, 0.55, 0.36, 0.50, 0.64, 0.45);
    cairo_pattern_add_color_stop_rgba(sky, 1.0, 0.14, 0.20, 0.26, 0.6);
    cairo_set_source(cr, sky);
    cairo_paint(cr);
    cairo_pattern_destroy(sky);
    cairo_move_to(cr, 20, 0);
    cairo_line_to(cr, 44, 0);
    cairo_line_to(cr, 18, 128);
    cairo_line_to(cr, 4, 128);
    cairo_close_path(cr);
    cairo_set_source_rgba(cr, 1.0, 1.0, 1.0, 0.35);
    cairo_fill(cr);
    cairo_destroy(cr);
    const std::vector<std::uint8_t> canopy = pngOf(glass);
    cairo_surface_destroy(glass);

    cairo_surface_t* disc = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 128, 128);
    cr = cairo_create(disc);
    cairo_pattern_t* blur = cairo_pattern_create_radial(64, 64, 6, 64, 64, 63);
    cairo_pattern_add_color_stop_rgba(blur, 0.0, 0.12, 0.12, 0.12, 0.5);
    cairo_pattern_add_color_stop_rgba(blur, 0.8, 0.16, 0.16, 0.16, 0.22);
    cairo_pattern_add_color_stop_rgba(blur, 0.93, 0.85, 0.75, 0.20, 0.35);  // the yellow blade tips
    cairo_pattern_add_color_stop_rgba(blur, 1.0, 0.85, 0.75, 0.20, 0.0);
    cairo_arc(cr, 64, 64, 63, 0, 2 * M_PI);
    cairo_set_source(cr, blur);
    cairo_fill(cr);
    cairo_pattern_destroy(blur);
    cairo_destroy(cr);
    const std::vector<std::uint8_t> propeller = pngOf(disc);
    cairo_surface_destroy(disc);
    if (canopy.empty() || propeller.empty()) {
        context.error("aircraft textures: cannot encode");
        return false;
    }
    return context.writeFile("data/models/canopy.png", canopy) &&
           context.writeFile("data/models/propeller.png", propeller);
}

// The family folder of a plane record's model: the <family> of its first
// `file "data/planes/<family>/..."` line; empty when it has none.
std::string modelFamily(const std::string& text)
{
    constexpr std::string_view kPrefix = "\"data/planes/";
    for (std::size_t at = text.find("file"); at != std::string::npos; at = text.find("file", at + 4)) {
        std::size_t i = at + 4;
        if (i >= text.size() || (text[i] != ' ' && text[i] != '\t'))
            continue;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        if (text.compare(i, kPrefix.size(), kPrefix) != 0)
            continue;
        i += kPrefix.size();
        std::size_t end = i;
        while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_'))
            ++end;
        if (end > i && end < text.size() && text[end] == '/')
            return text.substr(i, end - i);
    }
    return {};
}

// The model families of the plane records ("data/planes/<family>/<family>_ful.glm").
std::vector<std::string> planeFamilies(const DataContext& context)
{
    std::vector<std::string> families;
    for (const auto& path : listFolder(context.sourceDir() / "records/data/planes", Listing::Files, ".cfg")) {
        std::string text;
        if (!readSourceFile(path, text))
            continue;
        const std::string family = modelFamily(text);
        if (!family.empty() && std::find(families.begin(), families.end(), family) == families.end())
            families.push_back(family);
    }
    return families;
}

// The landmarks' own buildings ("landmarks.glm"), in the order of their
// object indices: town stone and paint from "build1.pvr", steel and rust
// from "build2.pvr". y = 0 is the ground; each stands a metre into it.
enum : int { Sandstone = 0, RedRoof = 3, Slate = 4, Whitewash = 6, DarkWood = 7, Stone = 8, Timber = 9, Green = 10,
             Shadow = 11, Cream = 12, Grey = 13, Red = 14, Lantern = 15 };
enum : int { Steel = 0, Rust = 1, Iron = 3, Cement = 4, Yellow = 7, Black = 8, Tank = 11 };

void addRoof(Mesh& m, float halfX, float halfZ, float wall, float rise, int c)
{
    const Vec3 corners[8] = {{-halfX, wall, -halfZ}, {halfX, wall, -halfZ}, {-halfX, wall + rise, 0.0f},
                             {halfX, wall + rise, 0.0f}, {-halfX, wall, halfZ}, {halfX, wall, halfZ},
                             {-halfX, wall + rise, 0.0f}, {halfX, wall + rise, 0.0f}};
    addHexahedron(m, corners, color(c));
}

void addSpire(Mesh& m, Vec3 base, float half, float height, int c)
{
    const Vec3 top{base.x, base.y + height, base.z};
    const Vec3 corners[8] = {{base.x - half, base.y, base.z - half}, {base.x + half, base.y, base.z - half}, top, top,
                             {base.x - half, base.y, base.z + half}, {base.x + half, base.y, base.z + half}, top, top};
    addHexahedron(m, corners, color(c));
}

// A tunnel under a grassed mound, open at both ends, along z, `half` of it
// each way. Unlike the other landmarks its origin is the middle of the bore,
// 16 above the road, and its box is even about it: the game takes the box for
// the bore.
void buildTunnel(GlmBuilder& b, int stone, const char* name, float half)
{
    b.beginObject(name);
    Mesh tube;
    addBox(tube, {-25.0f, -24.0f, -half}, {25.0f, -16.0f, half}, color(Grey));  // the floor
    for (float side : {-1.0f, 1.0f})
        addBox(tube, {side > 0 ? 22.0f : -25.0f, -16.0f, -half}, {side > 0 ? 25.0f : -22.0f, 16.0f, half},
               color(Sandstone));
    addBox(tube, {-25.0f, 16.0f, -half}, {25.0f, 19.0f, half}, color(Grey));
    addBox(tube, {-5.0f, -16.0f, -half}, {5.0f, -15.9f, half}, color(Slate));
    for (float z = -half + 6.0f; z < half; z += 24.0f)
        addBox(tube, {-0.3f, -15.9f, z}, {0.3f, -15.85f, z + 8.0f}, color(Whitewash));
    b.addNode("tube", tube, stone);
    Mesh mound;
    for (float side : {-1.0f, 1.0f}) {
        const float out = 46.0f * side, wall = 25.0f * side;
        const Vec3 bank[8] = {{std::min(out, wall), -24.0f, -half}, {std::max(out, wall), -24.0f, -half},
                              {wall, 19.0f, -half},                 {wall, 19.0f, -half},
                              {std::min(out, wall), -24.0f, half},  {std::max(out, wall), -24.0f, half},
                              {wall, 19.0f, half},                  {wall, 19.0f, half}};
        addHexahedron(mound, bank, color(Green));
    }
    const Vec3 crown[8] = {{-25.0f, 19.0f, -half}, {25.0f, 19.0f, -half}, {-16.0f, 24.0f, -half}, {16.0f, 24.0f, -half},
                           {-25.0f, 19.0f, half},  {25.0f, 19.0f, half},  {-16.0f, 24.0f, half},  {16.0f, 24.0f, half}};
    addHexahedron(mound, crown, color(Green));
    b.addNode("mound", mound, stone);
    Mesh portals;
    for (float end : {-1.0f, 1.0f}) {
        const float z0 = end > 0 ? half : -half - 6.0f, z1 = z0 + 6.0f;
        addBox(portals, {-32.0f, -24.0f, z0}, {-22.0f, 22.0f, z1}, color(Stone));
        addBox(portals, {22.0f, -24.0f, z0}, {32.0f, 22.0f, z1}, color(Stone));
        addBox(portals, {-22.0f, 16.0f, z0}, {22.0f, 22.0f, z1}, color(Stone));
        addBox(portals, {-33.0f, 22.0f, z0 - 0.5f}, {33.0f, 24.0f, z1 + 0.5f}, color(Grey));
    }
    b.addNode("portals", portals, stone);
    b.endObject();
}

void buildLandmarks(GlmBuilder& b)
{
    const int stone = b.texture("build1.pvr");
    const int steel = b.texture("build2.pvr");

    // 0: a dock crane, a yellow tower with its jib over the water (+x).
    b.beginObject("crane");
    Mesh crane;
    addBox(crane, {-5.0f, -1.0f, -5.0f}, {5.0f, 1.5f, 5.0f}, color(Cement));
    addBox(crane, {-1.5f, 1.5f, -1.5f}, {1.5f, 34.0f, 1.5f}, color(Yellow));
    addBox(crane, {-12.0f, 34.0f, -1.2f}, {30.0f, 36.0f, 1.2f}, color(Yellow));
    addBox(crane, {-12.0f, 30.0f, -2.0f}, {-8.0f, 34.0f, 2.0f}, color(Iron));
    addBox(crane, {1.5f, 31.0f, -1.6f}, {4.5f, 34.0f, 1.6f}, color(Tank));
    addBox(crane, {27.0f, 18.0f, -0.2f}, {27.4f, 34.0f, 0.2f}, color(Black));
    b.addNode("crane", crane, steel);
    b.endObject();

    // 1: an oil tank, white with a dark band.
    b.beginObject("oiltank");
    Mesh tank;
    addCylinder(tank, {0.0f, 6.0f, 0.0f}, Axis::Y, 14.0f, 7.0f, 20, color(Tank));
    addCylinder(tank, {0.0f, 9.0f, 0.0f}, Axis::Y, 14.2f, 0.8f, 20, color(Iron));
    addCylinder(tank, {0.0f, 13.5f, 0.0f}, Axis::Y, 11.0f, 0.6f, 20, color(Steel));
    b.addNode("tank", tank, steel);
    b.endObject();

    // 2: a water tower: a tank on four legs.
    b.beginObject("watertower");
    Mesh water;
    for (float x : {-5.0f, 5.0f})
        for (float z : {-5.0f, 5.0f})
            addBox(water, {x - 0.6f, -1.0f, z - 0.6f}, {x + 0.6f, 22.0f, z + 0.6f}, color(Iron));
    addCylinder(water, {0.0f, 27.0f, 0.0f}, Axis::Y, 8.0f, 5.0f, 16, color(Steel));
    addSpire(water, {0.0f, 32.0f, 0.0f}, 8.0f, 4.0f, Rust);
    b.addNode("watertower", water, steel);
    b.endObject();

    // 3: radar masts, three tall towers in a row with cross-bars, and their hut.
    b.beginObject("radarmasts");
    Mesh masts;
    for (float z : {-40.0f, 0.0f, 40.0f}) {
        addBox(masts, {-1.2f, -1.0f, z - 1.2f}, {1.2f, 90.0f, z + 1.2f}, color(Steel));
        for (float y = 20.0f; y < 90.0f; y += 20.0f)
            addBox(masts, {-4.0f, y, z - 0.4f}, {4.0f, y + 0.8f, z + 0.4f}, color(Iron));
    }
    addBox(masts, {6.0f, -1.0f, -8.0f}, {18.0f, 4.0f, 8.0f}, color(Cement));
    b.addNode("masts", masts, steel);
    b.endObject();

    // 4: a tunnel (see buildTunnel).
    buildTunnel(b, stone, "tunnel", 104.0f);

    // 5: a lighthouse, white with red bands and a glazed lantern.
    b.beginObject("lighthouse");
    Mesh light;
    addBox(light, {-7.0f, -1.0f, -7.0f}, {7.0f, 3.0f, 7.0f}, color(Stone));
    for (int k = 0; k < 6; ++k) {
        const float y = 3.0f + static_cast<float>(k) * 5.0f, r = 4.5f - static_cast<float>(k) * 0.35f;
        addCylinder(light, {0.0f, y + 2.5f, 0.0f}, Axis::Y, r, 2.5f, 14, color(k % 2 ? Red : Whitewash));
    }
    addCylinder(light, {0.0f, 35.0f, 0.0f}, Axis::Y, 2.6f, 2.0f, 12, color(Lantern));
    addSpire(light, {0.0f, 37.0f, 0.0f}, 3.0f, 3.0f, Slate);
    b.addNode("lighthouse", light, stone);
    b.endObject();

    // 6: a village church: nave, roof and a west tower (-x) with its spire.
    b.beginObject("church");
    Mesh church;
    addBox(church, {-10.0f, -1.0f, -6.0f}, {14.0f, 8.0f, 6.0f}, color(Stone));
    addRoof(church, 14.3f, 6.5f, 8.0f, 5.0f, RedRoof);
    addBox(church, {-16.0f, -1.0f, -4.0f}, {-8.0f, 20.0f, 4.0f}, color(Stone));
    addSpire(church, {-12.0f, 20.0f, 0.0f}, 4.5f, 12.0f, Slate);
    addBox(church, {-16.05f, 0.0f, -1.2f}, {-16.0f, 3.5f, 1.2f}, color(DarkWood));
    b.addNode("church", church, stone);
    b.endObject();

    // 7: a castle: curtain walls, four round towers and a square keep.
    b.beginObject("castle");
    Mesh castle;
    for (float side : {-1.0f, 1.0f}) {
        addBox(castle, {-30.0f, -1.0f, side * 30.0f - 2.5f}, {30.0f, 12.0f, side * 30.0f + 2.5f}, color(Grey));
        addBox(castle, {side * 30.0f - 2.5f, -1.0f, -30.0f}, {side * 30.0f + 2.5f, 12.0f, 30.0f}, color(Grey));
        for (float other : {-1.0f, 1.0f})
            addCylinder(castle, {side * 30.0f, 8.0f, other * 30.0f}, Axis::Y, 6.0f, 9.0f, 12, color(Stone));
    }
    addBox(castle, {-10.0f, -1.0f, -10.0f}, {10.0f, 24.0f, 10.0f}, color(Stone));
    for (float x = -9.0f; x < 10.0f; x += 4.5f)
        addBox(castle, {x, 24.0f, -10.0f}, {x + 2.0f, 26.0f, 10.0f}, color(Grey));
    b.addNode("castle", castle, stone);
    b.endObject();

    // 8: a cathedral: a long nave and transept under slate, two west towers.
    b.beginObject("cathedral");
    Mesh cathedral;
    addBox(cathedral, {-30.0f, -1.0f, -10.0f}, {40.0f, 22.0f, 10.0f}, color(Sandstone));
    addRoof(cathedral, 40.3f, 10.5f, 22.0f, 10.0f, Slate);
    addBox(cathedral, {12.0f, -1.0f, -24.0f}, {26.0f, 22.0f, 24.0f}, color(Sandstone));
    for (float z : {-8.0f, 8.0f}) {
        addBox(cathedral, {-42.0f, -1.0f, z - 6.0f}, {-30.0f, 48.0f, z + 6.0f}, color(Sandstone));
        addSpire(cathedral, {-36.0f, 48.0f, z}, 6.0f, 16.0f, Slate);
    }
    addBox(cathedral, {14.0f, 22.0f, -5.0f}, {24.0f, 40.0f, 5.0f}, color(Sandstone));
    b.addNode("cathedral", cathedral, stone);
    b.endObject();

    // 9: a wooden watchtower: four posts, a railed platform and its roof.
    b.beginObject("watchtower");
    Mesh watch;
    for (float x : {-3.0f, 3.0f})
        for (float z : {-3.0f, 3.0f})
            addBox(watch, {x - 0.4f, -1.0f, z - 0.4f}, {x + 0.4f, 18.5f, z + 0.4f}, color(DarkWood));
    addBox(watch, {-4.0f, 14.0f, -4.0f}, {4.0f, 15.0f, 4.0f}, color(Timber));
    for (float x : {-3.8f, 3.8f})
        addBox(watch, {x - 0.2f, 15.0f, -3.8f}, {x + 0.2f, 16.2f, 3.8f}, color(Timber));
    addSpire(watch, {0.0f, 18.5f, 0.0f}, 5.0f, 3.0f, DarkWood);
    b.addNode("watchtower", watch, stone);
    b.endObject();

    // 10: a radar station: a hut and a tilted dish on a post.
    b.beginObject("radar");
    Mesh radar;
    addBox(radar, {-6.0f, -1.0f, -4.0f}, {6.0f, 4.0f, 4.0f}, color(Cement));
    addBox(radar, {-0.5f, 4.0f, -0.5f}, {0.5f, 12.0f, 0.5f}, color(Iron));
    const Vec3 dish[8] = {{-6.0f, 10.0f, -0.5f}, {6.0f, 10.0f, -0.5f}, {-6.0f, 18.0f, 1.5f}, {6.0f, 18.0f, 1.5f},
                          {-6.0f, 10.0f, 0.3f},  {6.0f, 10.0f, 0.3f},  {-6.0f, 18.0f, 2.3f}, {6.0f, 18.0f, 2.3f}};
    addHexahedron(radar, dish, color(Tank));
    b.addNode("radar", radar, steel);
    b.endObject();

    // 11: a golf green: the smooth green, a sand bunker and the flag.
    b.beginObject("golfgreen");
    Mesh golf;
    addCylinder(golf, {0.0f, -0.7f, 0.0f}, Axis::Y, 22.0f, 0.8f, 20, color(Green));
    addCylinder(golf, {26.0f, -0.75f, 8.0f}, Axis::Y, 7.0f, 0.8f, 12, color(Cream));
    addBox(golf, {-0.1f, 0.0f, -0.1f}, {0.1f, 2.4f, 0.1f}, color(Whitewash));
    addBox(golf, {0.1f, 1.8f, -0.05f}, {1.1f, 2.4f, 0.05f}, color(Red));
    b.addNode("green", golf, stone);
    b.endObject();

    // 12: a waterfall: white water falling in steps down a rock face (+z downhill).
    b.beginObject("waterfall");
    Mesh fall;
    for (int k = 0; k < 5; ++k) {
        const float z = static_cast<float>(k) * 8.0f, top = -static_cast<float>(k) * 9.0f;
        const float in = static_cast<float>(k) * 0.4f;
        // The rock ledge, the stream across it and the sheet falling off its edge.
        addBox(fall, {-9.0f, top - 3.0f, z - 2.0f}, {9.0f, top, z + 8.0f}, color(Grey));
        addBox(fall, {-6.0f + in, top, z - 2.0f}, {6.0f - in, top + 0.4f, z + 8.0f}, color(Lantern));
        addBox(fall, {-6.0f + in, top - 9.5f, z + 8.0f}, {6.0f - in, top + 0.4f, z + 9.8f}, color(Whitewash));
    }
    addBox(fall, {-10.0f, -46.0f, 38.0f}, {10.0f, -44.5f, 52.0f}, color(Whitewash));
    b.addNode("waterfall", fall, stone);
    b.endObject();

    // 13: a wooden bridge of 60 m along x: planks, posts and rails.
    b.beginObject("woodbridge");
    Mesh wood;
    addBox(wood, {-30.0f, 4.0f, -2.5f}, {30.0f, 4.6f, 2.5f}, color(Timber));
    for (float x = -30.0f; x <= 30.0f; x += 10.0f)
        for (float z : {-2.3f, 2.3f}) {
            addBox(wood, {x - 0.3f, -6.0f, z - 0.3f}, {x + 0.3f, 5.8f, z + 0.3f}, color(DarkWood));
            if (x < 30.0f)
                addBox(wood, {x, 5.5f, z - 0.1f}, {x + 10.0f, 5.8f, z + 0.1f}, color(DarkWood));
        }
    b.addNode("bridge", wood, stone);
    b.endObject();

    // 14: the long tunnel.
    buildTunnel(b, stone, "longtunnel", 248.0f);
}

bool writeGibs(DataContext& context, const std::string& name, const std::string& texture, float size,
               const std::vector<int>& colors, const char* leadName = "gib")
{
    GlmBuilder b;
    unsigned seed = 0;
    for (char c : name)
        seed = seed * 31u + static_cast<unsigned char>(c);
    buildGibs(b, name, texture, size, colors, seed, leadName);
    return writeModelFile(context, "data/models/" + name + "_gibs.glm", b);
}

bool buildMapModels(DataContext& context)
{
    if (!buildAircraftTextures(context))
        return false;
    GlmBuilder runway, houses, road, landmarks;
    buildRunway(runway);
    buildHouses(houses);
    buildRoad(road);
    buildLandmarks(landmarks);
    if (!writeModelFile(context, "data/models/runway_field.glm", runway) ||
        !writeModelFile(context, "data/models/house.glm", houses) ||
        !writeModelFile(context, "data/models/road.glm", road) ||
        !writeModelFile(context, "data/models/landmarks.glm", landmarks))
        return false;
    // The allied destroyer is the fleet's destroyer under its own name.
    std::string destroyer;
    if (!readSourceFile(context.stageDir() / "data/models/destroyer.glm", destroyer)) {
        context.error("maps: the destroyer model is missing");
        return false;
    }
    if (!context.writeFile("data/models/destroyer_ally.glm", destroyer))
        return false;

    struct Wreck {
        const char* name;
        const char* texture;
        float size;
        std::vector<int> colors;
    };
    const Wreck wrecks[] = {
        {"fighter_jet", "units.pvr", 2.0f, {JetSkin, Nozzle, GunMetal}},
        {"army_truck", "units.pvr", 1.2f, {Olive, Tyre, GunMetal}},
        {"tank", "units.pvr", 1.6f, {Olive, GunMetal, Tyre}},
        {"flakgun", "units.pvr", 1.0f, {Olive, GunMetal}},
        {"destroyer", "units.pvr", 8.0f, {Hull, Deck, Funnel, GunMetal}},
        {"destroyer_ally", "units.pvr", 8.0f, {Hull, Deck, Funnel, GunMetal}},
        {"cargoship", "units.pvr", 9.0f, {Hull, Deck, Funnel}},
        {"carrier", "units.pvr", 12.0f, {Hull, Deck, Funnel, GunMetal}},
        {"submarine", "units.pvr", 4.0f, {Hull, Deck, GunMetal}},
        {"airbase", "building.pvr", 6.0f, {Wall, Roof, Concrete, Frame}},
        {"bridge", "building.pvr", 7.0f, {Concrete, Wall, Trim}},
        {"bunker", "building.pvr", 4.0f, {Concrete, Door, Frame}},
        {"house", "building.pvr", 3.0f, {Wall, Roof, Trim}},
    };
    for (const Wreck& w : wrecks) {
        const std::string_view n = w.name;
        const bool ship = n.starts_with("destroyer") || n == "cargoship" || n == "carrier" || n == "submarine";
        const bool plane = n == "fighter_jet";
        if (!writeGibs(context, w.name, w.texture, w.size, w.colors, ship ? "expl" : plane ? "body" : "gib"))
            return false;
    }
    for (const std::string& family : planeFamilies(context))
        if (!writeGibs(context, family, "units.pvr", 1.6f, {JetSkin, Nozzle, GunMetal, Tyre}, "body"))
            return false;
    return true;
}
}  // namespace

SKYFRONT_DATA_STEP(530, "map models", buildMapModels);
