// The models the maps place and the wreckage of every model: the runway
// ("runway_field.glm": runway and apron), houses, road pieces, the allied
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
    GlmBuilder runway, houses, road;
    buildRunway(runway);
    buildHouses(houses);
    buildRoad(road);
    if (!writeModelFile(context, "data/models/runway_field.glm", runway) ||
        !writeModelFile(context, "data/models/house.glm", houses) ||
        !writeModelFile(context, "data/models/road.glm", road))
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
        {"airbase", "building.pvr", 6.0f, {Wall, Roof, Concrete, Frame}},
        {"bridge", "building.pvr", 7.0f, {Concrete, Wall, Trim}},
        {"bunker", "building.pvr", 4.0f, {Concrete, Door, Frame}},
        {"house", "building.pvr", 3.0f, {Wall, Roof, Trim}},
    };
    for (const Wreck& w : wrecks) {
        const std::string_view n = w.name;
        const bool ship = n.starts_with("destroyer") || n == "cargoship" || n == "carrier";
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
