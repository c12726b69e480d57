// The aircraft models: one per family, "data/planes/<family>/<family>_ful.glm"
// with its palette "skin.pvr", its paint mask "paint.pvr" and the hangar
// photo "photo.png" beside it. Every family is drawn from one set of
// proportions (fuselage, wing plan, tail, engines), nose to -z, so the
// hangar shows a Spitfire, a Sabre and an A-10 as clearly different shapes.
// The special tier's craft adds a lens-shaped hull with a glowing rim.
// The first family's photo also stands in "data/sprites/photo.png" with its
// one-frame sheet "photo.bspr", the photo sprite set.
#include "DataTool.h"
#include "GlmBuilder.h"
#include "Mesh.h"
#include "ModelParts.h"
#include "SheetImage.h"

#include "render/2d/SpriteSheet.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>
#include <string_view>

namespace {
enum : int { Skin, Underside, Canopy, DarkMetal, Blade, Spinner, Insignia, Nozzle, TailSkin, Glow };

struct Nacelle {
    float x, y, z;  // centre of the intake end
    float radius, length;
};

struct AircraftShape {
    const char* family;
    bool jet;
    float length;       // nose to tail, m
    float radius;       // fuselage half width
    float span;         // wing tip to tip
    float rootChord, tipChord;
    float sweep;        // tip leading edge behind the root's
    float wingZ;        // root leading edge, from the nose
    float wingY;        // -1 low wing .. 1 high wing, in fuselage radii
    float dihedral;     // tip height above the root, m
    float tailSpan, finHeight;
    int blades;         // propeller blades; 0 for jets
    Nacelle nacelles[2];  // underwing or rear engines; radius 0 = none
    Rgb skin, underside, spinner;
};

const AircraftShape kShapes[] = {
    {"p51", false, 9.8f, 0.62f, 11.3f, 2.6f, 1.2f, 0.3f, 2.6f, -0.6f, 0.45f, 4.1f, 1.9f, 4, {}, {196, 198, 200}, {176, 178, 180}, {200, 40, 40}},
    {"spitfire", false, 9.5f, 0.58f, 11.2f, 2.5f, 0.9f, 0.25f, 2.5f, -0.6f, 0.4f, 3.3f, 1.8f, 5, {}, {98, 104, 70}, {160, 168, 160}, {60, 60, 60}},
    {"bf109", false, 9.0f, 0.56f, 9.9f, 2.2f, 1.1f, 0.2f, 2.3f, -0.7f, 0.45f, 3.0f, 1.7f, 3, {}, {112, 122, 108}, {150, 170, 190}, {230, 210, 60}},
    {"zero", false, 9.1f, 0.6f, 11.0f, 2.5f, 1.2f, 0.35f, 2.4f, -0.7f, 0.5f, 3.8f, 1.7f, 3, {}, {86, 104, 70}, {196, 196, 184}, {40, 40, 40}},
    {"corsair", false, 10.2f, 0.68f, 12.5f, 2.8f, 1.3f, 0.2f, 2.9f, -0.8f, 0.9f, 4.1f, 2.0f, 3, {}, {40, 62, 102}, {176, 186, 200}, {40, 62, 102}},
    {"il2", false, 11.6f, 0.7f, 14.6f, 3.2f, 1.4f, 0.6f, 3.2f, -0.7f, 0.6f, 4.4f, 2.1f, 3, {}, {96, 110, 70}, {130, 160, 190}, {200, 40, 40}},
    {"me262", true, 10.6f, 0.62f, 12.6f, 2.8f, 1.3f, 1.3f, 3.8f, -0.4f, 0.35f, 3.8f, 2.3f, 0,
     {{2.1f, -0.55f, 3.3f, 0.45f, 3.4f}, {}}, {120, 128, 100}, {170, 176, 184}, {0, 0, 0}},
    {"f86", true, 11.4f, 0.72f, 11.3f, 3.3f, 1.3f, 2.5f, 3.9f, -0.4f, 0.35f, 4.4f, 2.4f, 0, {}, {200, 202, 204}, {180, 182, 184}, {0, 0, 0}},
    {"mig15", true, 10.1f, 0.74f, 10.1f, 3.2f, 1.4f, 2.4f, 3.4f, 0.6f, -0.3f, 3.6f, 2.6f, 0, {}, {184, 186, 188}, {170, 172, 174}, {0, 0, 0}},
    {"mig21", true, 14.1f, 0.65f, 7.2f, 6.0f, 0.4f, 5.4f, 5.2f, 0.0f, 0.0f, 2.6f, 2.7f, 0, {}, {176, 178, 180}, {164, 166, 168}, {0, 0, 0}},
    {"f4", true, 17.8f, 1.0f, 11.7f, 5.2f, 1.9f, 3.8f, 7.2f, -0.3f, 0.5f, 5.3f, 3.2f, 0, {}, {112, 116, 92}, {150, 156, 150}, {0, 0, 0}},
    {"f16", true, 14.8f, 0.8f, 9.5f, 4.6f, 1.2f, 3.4f, 6.4f, 0.1f, 0.0f, 5.6f, 3.1f, 0, {}, {150, 156, 164}, {170, 176, 182}, {0, 0, 0}},
    {"a10", true, 16.2f, 0.85f, 17.5f, 3.0f, 1.9f, 0.3f, 6.4f, -0.7f, 0.3f, 5.7f, 2.8f, 0,
     {{1.6f, 1.1f, 9.4f, 0.6f, 3.2f}, {}}, {108, 114, 120}, {128, 134, 140}, {0, 0, 0}},
    {"su25", true, 15.4f, 0.85f, 14.4f, 3.6f, 1.3f, 1.6f, 6.4f, 0.5f, -0.2f, 4.6f, 2.8f, 0,
     {{1.15f, 0.0f, 6.6f, 0.6f, 5.6f}, {}}, {150, 128, 92}, {150, 176, 196}, {0, 0, 0}},
    {"visitor", true, 11.0f, 0.75f, 10.5f, 3.0f, 0.5f, 3.2f, 5.0f, 0.0f, -0.5f, 2.4f, 1.3f, 0, {},
     {70, 92, 100}, {150, 160, 170}, {0, 0, 0}},
};

// A lens-shaped hull around the fuselage, centred where the wing root
// starts, and the lit band around its rim.
struct Saucer {
    const char* family;
    float radius, top, bottom;
    Rgb glow;
};
const Saucer kSaucers[] = {{"visitor", 4.4f, 0.7f, 0.45f, {120, 255, 230}}};

const Saucer* saucerOf(const AircraftShape& s)
{
    for (const Saucer& saucer : kSaucers)
        if (std::string_view(saucer.family) == s.family)
            return &saucer;
    return nullptr;
}

void buildAircraft(GlmBuilder& b, const AircraftShape& s, int tex)
{
    const float nose = -s.length / 2.0f;
    const float tail = s.length / 2.0f;
    const float r = s.radius;
    b.beginObject(s.family);

    // Fuselage: a blunt nose (propeller planes) or a pointed one, widest at
    // the wing root, tapering to the tail.
    Mesh body;
    const float noseTip = s.jet ? 0.08f : 0.7f;
    const LoftSection fuselage[] = {
        {nose, r * noseTip, r * noseTip, r * noseTip, 0, 0, 2.0f},
        {nose + s.length * 0.12f, r * 0.85f, r * 0.85f, r * 0.8f, 0, 0, 2.2f},
        {nose + s.wingZ, r, r, r * 0.95f, 0, 0, 2.4f},
        {nose + s.wingZ + s.rootChord, r, r * 0.95f, r * 0.9f, 0, 0, 2.4f},
        {tail - s.length * 0.12f, r * 0.55f, r * 0.6f, r * 0.45f, 0, r * 0.2f, 2.2f},
        {tail, r * (s.jet ? 0.5f : 0.15f), r * (s.jet ? 0.5f : 0.2f), r * (s.jet ? 0.45f : 0.15f), 0, r * 0.25f, 2.0f},
    };
    addLoft(body, fuselage, 20, color(Skin), true);
    for (const Nacelle& n : s.nacelles) {
        if (n.radius <= 0.0f)
            continue;
        Mesh pod;
        const LoftSection sections[] = {{n.z, n.radius * 0.8f, n.radius * 0.8f, n.radius * 0.8f, n.x, n.y, 2.0f},
                                        {n.z + n.length * 0.3f, n.radius, n.radius, n.radius, n.x, n.y, 2.0f},
                                        {n.z + n.length, n.radius * 0.75f, n.radius * 0.75f, n.radius * 0.75f, n.x, n.y, 2.0f}};
        addLoft(pod, sections, 16, color(Underside), true);
        appendMesh(body, mirrored(pod));
    }
    // In the body node, so the cockpit view leaves it out like the fuselage.
    if (const Saucer* saucer = saucerOf(s)) {
        const float centre = nose + s.wingZ, R = saucer->radius;
        LoftSection lens[9];
        for (int i = 0; i < 9; ++i) {
            const float t = -1.0f + 2.0f * float(i) / 8.0f;
            const float w = R * std::sqrt(std::max(1.0f - t * t, 0.0f));
            const float f = w / R;
            lens[i] = {centre + R * t, std::max(w, 0.02f), std::max(saucer->top * f, 0.02f),
                       std::max(saucer->bottom * f, 0.02f), 0, 0, 2.0f};
        }
        addLoft(body, lens, 32, color(Skin), true);
        // The lit band juts a little past the rim, where the hull is thinnest.
        addCylinder(body, Vec3{0.0f, 0.0f, centre}, Axis::Y, R * 1.01f, 0.06f, 32, color(Glow));
    }
    b.addNode("body", body, tex);

    Mesh canopy;
    const float canopyZ = nose + s.wingZ + (s.jet ? -s.length * 0.12f : s.rootChord * 0.4f);
    const LoftSection bubble[] = {{canopyZ, 0.05f, 0.05f, 0.05f, 0, r * 0.8f, 2.0f},
                                  {canopyZ + 0.7f, r * 0.55f, r * 0.65f, 0.05f, 0, r * 0.8f, 2.0f},
                                  {canopyZ + 1.6f, r * 0.55f, r * 0.6f, 0.05f, 0, r * 0.8f, 2.0f},
                                  {canopyZ + 2.4f, 0.05f, 0.05f, 0.05f, 0, r * 0.8f, 2.0f}};
    addLoft(canopy, bubble, 16, color(Canopy), true);
    b.addNode("canopy", canopy, tex);

    Mesh wing;
    const float rootY = s.wingY * r * 0.8f;
    const float half = s.span / 2.0f;
    addWing(wing, Chord{{r * 0.9f, rootY, nose + s.wingZ}, s.rootChord, s.rootChord * 0.14f},
            Chord{{half, rootY + s.dihedral, nose + s.wingZ + s.sweep}, s.tipChord, s.tipChord * 0.1f}, Vec3{0, 1, 0},
            color(Skin));
    b.addNode("wing_r", wing, tex);
    Mesh leftWing;
    addMirroredX(leftWing, wing);
    b.addNode("wing_l", leftWing, tex);

    Mesh tailplane;
    const float tailZ = tail - s.length * 0.16f;
    const float tailChord = s.length * 0.12f;
    addWing(tailplane, Chord{{r * 0.4f, r * 0.2f, tailZ}, tailChord, 0.18f},
            Chord{{s.tailSpan / 2.0f, r * 0.25f, tailZ + tailChord * 0.5f}, tailChord * 0.55f, 0.08f}, Vec3{0, 1, 0},
            color(TailSkin));
    Mesh fin;
    addWing(fin, Chord{{0.0f, r * 0.5f, tailZ - tailChord * 0.3f}, tailChord * 1.3f, 0.2f},
            Chord{{0.0f, r * 0.5f + s.finHeight, tailZ + tailChord * 0.5f}, tailChord * 0.6f, 0.1f}, Vec3{1, 0, 0},
            color(TailSkin));
    Mesh tailNode = mirrored(tailplane);
    appendMesh(tailNode, fin);
    b.addNode("tail", tailNode, tex);

    if (!s.jet) {
        Mesh propeller;
        const LoftSection spinner[] = {{nose - 0.7f, 0.03f, 0.03f, 0.03f, 0, 0, 2.0f},
                                       {nose - 0.2f, r * 0.45f, r * 0.45f, r * 0.45f, 0, 0, 2.0f},
                                       {nose + 0.05f, r * 0.5f, r * 0.5f, r * 0.5f, 0, 0, 2.0f}};
        addLoft(propeller, spinner, 16, color(Spinner), true);
        const float bladeLength = s.span * 0.16f;
        for (int k = 0; k < s.blades; ++k) {
            const float a = 6.2831853f * float(k) / float(s.blades);
            const float c = std::cos(a), sn = std::sin(a);
            // A flat blade from the hub outward, turned about the nose axis.
            auto at = [&](float along, float across, float z) {
                return Vec3{c * along - sn * across, sn * along + c * across, z};
            };
            const float z0 = nose - 0.3f, z1 = nose - 0.22f;
            const Vec3 corners[8] = {at(0.1f, -0.12f, z0), at(bladeLength, -0.08f, z0), at(0.1f, 0.12f, z0),
                                     at(bladeLength, 0.08f, z0), at(0.1f, -0.12f, z1), at(bladeLength, -0.08f, z1),
                                     at(0.1f, 0.12f, z1), at(bladeLength, 0.08f, z1)};
            // The hexahedron's corner order wants +x/+y/+z bits; a turned
            // blade keeps its winding because the turn is a rotation.
            addHexahedron(propeller, corners, color(Blade));
        }
        b.addNode("propeller", propeller, tex);
    } else {
        Mesh nozzle;
        const bool pods = s.nacelles[0].radius > 0.0f;
        const Nacelle& pod = s.nacelles[0];
        const Vec3 exit = pods ? Vec3{pod.x, pod.y, pod.z + pod.length} : Vec3{0.0f, r * 0.25f, tail};
        const float exitRadius = pods ? pod.radius * 0.65f : r * 0.45f;
        addCylinder(nozzle, Vec3{exit.x, exit.y, exit.z + 0.2f}, Axis::Z, exitRadius, 0.25f, 16, color(Nozzle));
        b.addNode("nozzles", pods ? mirrored(nozzle) : nozzle, tex);
        Mesh jet;
        const LoftSection flame[] = {{exit.z + 0.5f, exitRadius * 0.9f, exitRadius * 0.9f, exitRadius * 0.9f, exit.x, exit.y, 2.0f},
                                     {exit.z + 2.5f, exitRadius * 0.6f, exitRadius * 0.6f, exitRadius * 0.6f, exit.x, exit.y, 2.0f},
                                     {exit.z + 4.5f, 0.04f, 0.04f, 0.04f, exit.x, exit.y, 2.0f}};
        addLoft(jet, flame, 12, wrappedUv(), false);
        b.addNode("jet", pods ? mirrored(jet) : jet, tex, GlmNode::kHelper);
        // The exhaust's white-hot core, the glow disc at the (right) nozzle, and
        // the boom cone of the sound barrier (unit size, scaled when drawn).
        Mesh core;
        const LoftSection coreFlame[] = {{exit.z + 0.5f, exitRadius * 0.6f, exitRadius * 0.6f, exitRadius * 0.6f, exit.x, exit.y, 2.0f},
                                         {exit.z + 2.5f, 0.03f, 0.03f, 0.03f, exit.x, exit.y, 2.0f}};
        addLoft(core, coreFlame, 12, wrappedUv(), false);
        b.addNode("jetcore", pods ? mirrored(core) : core, tex, GlmNode::kHelper);
        Mesh glow;
        const float g = exitRadius * 0.9f, gz = exit.z + 0.45f;
        addSheet(glow, {exit.x - g, exit.y + g, gz}, {exit.x + g, exit.y + g, gz}, {exit.x + g, exit.y - g, gz},
                 {exit.x - g, exit.y - g, gz}, {0, 0, 1});
        b.addNode("jetglow", glow, tex, GlmNode::kHelper);
        Mesh sonic;
        const LoftSection boom[] = {{-0.6f, 0.02f, 0.02f, 0.02f, 0, 0, 2.0f}, {0.4f, 1.0f, 1.0f, 1.0f, 0, 0, 2.0f}};
        addLoft(sonic, boom, 20, wrappedUv(), false);
        b.addNode("sonic", sonic, tex, GlmNode::kHelper);
    }

    // Vapour sheets over and under the wings in hard turns, and the shock
    // cone at the nose (authored at 1/20 scale).
    {
        const float rootZ = nose + s.wingZ, tipZ = rootZ + s.sweep;
        const float y = rootY, tipY = rootY + s.dihedral;
        Mesh over, under;
        addSheet(over, {r, y + 0.2f, rootZ}, {half * 0.9f, tipY + 0.08f, tipZ}, {half * 0.9f, tipY + 0.08f, tipZ + s.tipChord},
                 {r, y + 0.2f, rootZ + s.rootChord}, {0, 1, 0});
        addSheet(under, {r, y - 0.3f, rootZ}, {half * 0.9f, tipY - 0.12f, tipZ}, {half * 0.9f, tipY - 0.12f, tipZ + s.tipChord},
                 {r, y - 0.3f, rootZ + s.rootChord}, {0, -1, 0});
        b.addNode("steamu", mirrored(over), tex, GlmNode::kHelper);
        b.addNode("steamd", mirrored(under), tex, GlmNode::kHelper);
        Mesh cobra;
        const LoftSection shock[] = {{-0.05f, 0.065f, 0.065f, 0.065f, 0, 0, 2.0f}, {0.1f, 0.17f, 0.17f, 0.17f, 0, 0, 2.0f}};
        addLoft(cobra, shock, 20, planarUv(0.17f), false);
        b.addNode("cobra", cobra, tex, GlmNode::kHelper);
    }

    Mesh contrail;
    contrail.vertices.push_back(GlmVertex{half, rootY + s.dihedral, nose + s.wingZ + s.sweep + s.tipChord * 0.5f, 0, 1, 0, 0, 0});
    b.addNode("contrail", contrail, tex, GlmNode::kHelper);
    b.endObject();
}

// Where the player's two paint colors go: red marks the skin of fuselage and
// wings (first color), green the tail and the engine pods (second); canopy,
// metal, propeller, insignia and the glowing rim keep their own colors.
const Rgb kPaintMask[16] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 0},   {0, 0, 0},   {0, 0, 0},   {0, 0, 0},
                            {0, 0, 0},   {0, 0, 0},   {0, 255, 0}, {0, 0, 0},   {255, 0, 0}, {255, 0, 0},
                            {255, 0, 0}, {255, 0, 0}, {255, 0, 0}, {255, 0, 0}};

void setRgb(cairo_t* cr, const Rgb& c, double shade = 1.0)
{
    cairo_set_source_rgb(cr, c[0] / 255.0 * shade, c[1] / 255.0 * shade, c[2] / 255.0 * shade);
}

constexpr int kPhotoWidth = 256, kPhotoHeight = 160;

// The hangar photo: the aircraft from above against an evening sky, its
// plan drawn from the same proportions as the model.
std::vector<std::uint8_t> photo(const AircraftShape& s)
{
    constexpr int kWidth = kPhotoWidth, kHeight = kPhotoHeight;
    SheetImage image(kWidth, kHeight);
    if (!image.valid())
        return {};
    cairo_t* cr = cairo_create(image.surface());
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, kHeight);
    cairo_pattern_add_color_stop_rgb(sky, 0.0, 0.33, 0.5, 0.74);
    cairo_pattern_add_color_stop_rgb(sky, 1.0, 0.86, 0.78, 0.62);
    cairo_set_source(cr, sky);
    cairo_paint(cr);
    cairo_pattern_destroy(sky);

    // Model x to the right, model z downward (nose up), centred.
    const double scale = 136.0 / std::max(s.span, s.length);
    cairo_translate(cr, kWidth / 2.0, kHeight / 2.0);
    cairo_scale(cr, scale, scale);
    cairo_rotate(cr, -0.35);
    const double nose = -s.length / 2.0, tail = s.length / 2.0, r = s.radius;
    auto polygon = [cr](std::initializer_list<std::pair<double, double>> points, bool mirror) {
        for (int side = 0; side < (mirror ? 2 : 1); ++side) {
            const double m = side == 0 ? 1.0 : -1.0;
            bool first = true;
            for (const auto& [x, z] : points) {
                first ? cairo_move_to(cr, m * x, z) : cairo_line_to(cr, m * x, z);
                first = false;
            }
            cairo_close_path(cr);
        }
    };
    // Shadow on the haze below, then wings, tail, fuselage, canopy.
    const double wingZ = nose + s.wingZ, half = s.span / 2.0;
    cairo_save(cr);
    cairo_translate(cr, 1.2, 1.6);
    polygon({{r, wingZ}, {half, wingZ + s.sweep}, {half, wingZ + s.sweep + s.tipChord}, {r, wingZ + s.rootChord}}, true);
    cairo_set_source_rgba(cr, 0.1, 0.1, 0.15, 0.25);
    cairo_fill(cr);
    cairo_restore(cr);
    const double tailZ = tail - s.length * 0.16, tailChord = s.length * 0.12;
    polygon({{r * 0.4, tailZ}, {s.tailSpan / 2.0, tailZ + tailChord * 0.5}, {s.tailSpan / 2.0, tailZ + tailChord * 1.05},
             {r * 0.4, tailZ + tailChord}},
            true);
    polygon({{r, wingZ}, {half, wingZ + s.sweep}, {half, wingZ + s.sweep + s.tipChord}, {r, wingZ + s.rootChord}}, true);
    setRgb(cr, s.skin);
    cairo_fill_preserve(cr);
    setRgb(cr, s.skin, 0.55);
    cairo_set_line_width(cr, 0.08);
    cairo_stroke(cr);
    if (const Saucer* saucer = saucerOf(s)) {
        cairo_arc(cr, 0, wingZ, saucer->radius, 0, 6.2831853);
        setRgb(cr, s.skin, 1.05);
        cairo_fill_preserve(cr);
        setRgb(cr, saucer->glow);
        cairo_set_line_width(cr, 0.18);
        cairo_stroke(cr);
    }
    for (const Nacelle& n : s.nacelles) {
        if (n.radius <= 0.0f)
            continue;
        for (double m : {1.0, -1.0}) {
            cairo_save(cr);
            cairo_translate(cr, m * n.x, n.z + n.length / 2.0);
            cairo_scale(cr, n.radius, n.length / 2.0);
            cairo_arc(cr, 0, 0, 1.0, 0, 6.2831853);
            cairo_restore(cr);
            setRgb(cr, s.underside, 0.8);
            cairo_fill(cr);
        }
    }
    cairo_save(cr);
    cairo_translate(cr, 0, (nose + tail) / 2.0);
    cairo_scale(cr, r, s.length / 2.0);
    cairo_arc(cr, 0, 0, 1.0, 0, 6.2831853);
    cairo_restore(cr);
    setRgb(cr, s.skin, 1.1);
    cairo_fill(cr);
    const double canopyZ = wingZ + (s.jet ? -s.length * 0.12 : s.rootChord * 0.4);
    cairo_save(cr);
    cairo_translate(cr, 0, canopyZ + 1.2);
    cairo_scale(cr, r * 0.5, 1.1);
    cairo_arc(cr, 0, 0, 1.0, 0, 6.2831853);
    cairo_restore(cr);
    cairo_set_source_rgb(cr, 0.16, 0.23, 0.33);
    cairo_fill(cr);
    if (!s.jet) {
        cairo_arc(cr, 0, nose - 0.35, s.span * 0.16, 0, 6.2831853);
        cairo_set_source_rgba(cr, 0.2, 0.2, 0.2, 0.3);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(image.surface());
    return image.encodePng();
}

// The photo sprite set: one frame covering the whole picture. Its own
// picture is the fallback photo; the painting page swaps in the photo of the
// plane being painted, which every family has at the same size.
bool writePhotoSheet(DataContext& context)
{
    SpriteSheet sheet;
    sheet.sheetScale = 0.5f;   // drawn like the menu art, two picture pixels to a sprite unit
    sheet.textureName = "photo.png";
    sheet.texWidth = kPhotoWidth;
    sheet.texHeight = kPhotoHeight;
    sheet.modules.push_back({0, 0, kPhotoWidth, kPhotoHeight});
    sheet.parts.push_back({0, 0, 0, 0, 0.0f});
    sheet.frames.push_back({0, 1});
    const std::vector<std::uint8_t> bytes = writeSpriteSheet(sheet);
    SpriteSheet check;
    if (!readSpriteSheet(bytes, check)) {
        context.error("the photo sheet does not read back");
        return false;
    }
    return context.writeFile("data/sprites/photo.bspr", bytes);
}

bool buildAircraftModels(DataContext& context)
{
    for (const AircraftShape& shape : kShapes) {
        const std::string folder = std::string("data/planes/") + shape.family + "/";
        const Saucer* saucer = saucerOf(shape);
        const Rgb glow = saucer ? saucer->glow : shape.skin;
        const Rgb palette[16] = {shape.skin,   shape.underside, {40, 58, 84},   {70, 72, 76},
                                 {28, 28, 30}, shape.spinner,   {36, 58, 132},  {60, 56, 52},
                                 shape.skin,   glow,            shape.skin,     shape.skin,
                                 shape.skin,   shape.skin,      shape.skin,     shape.skin};
        GlmBuilder builder;
        buildAircraft(builder, shape, builder.texture("skin.pvr"));
        if (!writeModelFile(context, folder + shape.family + "_ful.glm", builder) ||
            !context.writeFile(folder + "skin.pvr", paletteTexture(palette)) ||
            !context.writeFile(folder + "paint.pvr", paletteTexture(kPaintMask)))
            return false;
        const std::vector<std::uint8_t> picture = photo(shape);
        if (picture.empty() || !context.writeFile(folder + "photo.png", picture)) {
            context.error(std::string("the photo of ") + shape.family + " cannot be made");
            return false;
        }
    }
    // The photo shown for a plane whose family has none.
    const std::vector<std::uint8_t> fallback = photo(kShapes[0]);
    return !fallback.empty() && context.writeFile("data/sprites/photo.png", fallback) && writePhotoSheet(context);
}
}  // namespace

SKYFRONT_DATA_STEP(510, "aircraft models", buildAircraftModels);
