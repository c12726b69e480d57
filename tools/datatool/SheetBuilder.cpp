// Step 400: builds the sprite sheets from their descriptions in
// assets/sprites/*.sheet: draws each picture with Cairo, cuts modules from the
// pictures, packs them into "<sheet>.png" and writes "<sheet>.bspr".
//
// A description, one statement a line ('#' starts a comment):
//   sheet <data name>              e.g. data/sprites/menus (".bspr" and ".png" are added)
//   density <n>                    art pixels per screen pixel at sprite scale 1 (sheet scale 1/n)
//   picture <name> <w> <h>         starts a picture, drawn by the commands up to "end":
//     rect <x> <y> <w> <h> [r]       a new path: a rectangle, corners rounded by r
//     circle <cx> <cy> <r>           a new path: a circle
//     poly <x> <y> <x> <y> ...       a new path: a closed polygon
//     fill <color>                  paints the path ("#RRGGBB" or "#RRGGBBAA")
//     vgradient <top> <bottom>       paints the path with a gradient over its height
//     clear                         makes the path transparent again (a window in the picture)
//     stroke <width> <color>        outlines the path
//     glow <width> <color>          a soft outline fading out to the width
//     line <width> <color> <x> <y> <x> <y> ...   an open polyline stroked with round ends
//     arc <cx> <cy> <r> <from> <to> <width> <color>  a stroked arc, angles in degrees
//                                    clockwise from 12 o'clock
//     text <x> <y> <size> <color> <left|centre|right> <words ...>
//                                    text in DejaVu Sans Bold, <size> pixels high; (x, y) is
//                                    its left end, centre or right end, y the middle of its ink
//     radial <cx> <cy> <r> <inner> <outer> [<rim>]
//                                    a new path: a circle painted with a radial gradient from the
//                                    centre color (through the outer one at half the radius when a
//                                    rim color is given) to its edge
//     puff <cx> <cy> <r> <color> <seed> [<roughness>]
//                                    a soft billow of smoke laid over the picture: seeded noise
//                                    frays its edge (roughness 0 round, default 0.6) and shades it
//                                    lighter towards the top left
//   end
//   module <name> <picture> [<x> <y> <w> <h>] [at <number>]
//                                  a texture rectangle (the whole picture by default);
//                                  numbered automatically unless "at" is given
//   frame <number> <module> <x> <y> [flipx] [flipy] [rotate <degrees>] [, <module> <x> <y> ...]
//                                  a frame of parts, each a module at an offset from the origin
//   cut <frame> <picture> [<x> <y> <w> <h>] [origin <x> <y>]
//                                  a frame of one module cut from a picture; the origin (default
//                                  the top-left) is the point drawFrame places at (x, y)
//   nine <frame> <picture> <left> <top> <right> <bottom> [modules <first>]
//                                  a nine-patch frame: the picture cut into corners, edges and
//                                  centre (top-left, top, top-right, left, centre, right,
//                                  bottom-left, bottom, bottom-right), as parts at their places
//   anim <number> <frame> ...      an animation: the frames in order, each shown for one tick;
//                                  "<a>-<b>" stands for the frames a to b. Numbers left out
//                                  between animations stay empty
//   sheetscale <s>                 writes scale s into the sheet and each of its variants in
//                                  place of 1/density (the comic slides: a "_2x" variant is
//                                  then twice the plain sheet's size)
//   variant <suffix> <factor>      also writes "<sheet><suffix>" with every picture drawn
//                                  <factor> times larger at <factor> times the density, so
//                                  it shows the same sizes on screen more sharply; a factor
//                                  of 0.5 makes the reduced sheet of the low quality tiers
#include "AtlasPacker.h"
#include "DataTool.h"
#include "SheetImage.h"
#include "TextSource.h"
#include "WorldNoise.h"

#include "render/2d/SpriteSheet.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kAtlasPadding = 1;
constexpr int kMaxAtlasSide = 4096;
constexpr int kMaxPictureSide = 2048;

struct ModulePlan {
    std::string picture;
    int x = 0, y = 0, w = 0, h = 0;
    int number = -1;   // -1 until numbered
};

struct PartPlan {
    std::string module;
    int x = 0, y = 0;
    std::uint8_t flip = 0;
    float rotation = 0.0f;
};

struct SheetVariant {
    std::string suffix;
    float factor = 1.0f;
};

struct SheetPlan {
    std::string name;
    float density = 1.0f;
    float fixedScale = 0.0f;   // 0: 1 / density
    std::vector<SheetVariant> variants;
    std::map<std::string, std::unique_ptr<SheetImage>> pictures;
    std::map<std::string, ModulePlan> modules;
    std::vector<std::string> moduleOrder;
    std::map<int, std::vector<PartPlan>> frames;
    std::map<int, std::vector<int>> anims;
};

class SheetParser {
public:
    // `factor` draws every picture that many times larger (a sheet variant;
    // below 1 a reduced one).
    SheetParser(DataContext& context, const TextSource& source, SheetPlan& sheet, float factor)
        : m_context(context), m_source(source), m_sheet(sheet), m_factor(factor)
    {
    }
    bool parse();

private:
    using Words = std::vector<std::string_view>;
    bool fail(const TextSource::Line& line, const std::string& message) { return m_source.fail(m_context, line, message); }
    bool drawCommand(const TextSource::Line& line, cairo_t* cr);
    bool addModule(const TextSource::Line& line, const std::string& name, ModulePlan module);
    bool addFrame(const TextSource::Line& line, int number, std::vector<PartPlan> parts);
    bool statement(const TextSource::Line& line, std::size_t& index);
    bool pictureStatement(const TextSource::Line& line, std::size_t& index);
    bool frameStatement(const TextSource::Line& line);
    bool cutStatement(const TextSource::Line& line);
    bool nineStatement(const TextSource::Line& line);
    // Optional "<x> <y> <w> <h>" at words[at..]; the whole picture when absent.
    bool region(const TextSource::Line& line, std::size_t& at, const std::string& picture, ModulePlan& out);

    bool textCommand(const TextSource::Line& line, cairo_t* cr);

    DataContext& m_context;
    const TextSource& m_source;
    SheetPlan& m_sheet;
    float m_factor = 1.0f;
    // A length of the description in pixels of this variant.
    int scaled(int v) const { return static_cast<int>(std::lround(static_cast<float>(v) * m_factor)); }
    bool pixelCommand(const TextSource::Line& line, cairo_t* cr);
    bool animStatement(const TextSource::Line& line);
};

constexpr const char* kSheetFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

// The text face of the sheets, loaded once; null when the font file is missing.
cairo_font_face_t* sheetFontFace()
{
    static FT_Library library = nullptr;
    static FT_Face face = nullptr;
    static cairo_font_face_t* cairoFace = nullptr;
    if (!cairoFace && !library) {
        if (FT_Init_FreeType(&library) == 0 && FT_New_Face(library, kSheetFontFile, 0, &face) == 0)
            cairoFace = cairo_ft_font_face_create_for_ft_face(face, 0);
    }
    return cairoFace;
}

bool ints(const std::vector<std::string_view>& words, std::size_t from, std::size_t count, int* out)
{
    if (words.size() < from + count)
        return false;
    for (std::size_t i = 0; i < count; ++i) {
        if (!parseInt(words[from + i], out[i]))
            return false;
    }
    return true;
}

bool floats(const std::vector<std::string_view>& words, std::size_t from, std::size_t count, double* out)
{
    if (words.size() < from + count)
        return false;
    for (std::size_t i = 0; i < count; ++i) {
        float v = 0.0f;
        if (!parseFloat(words[from + i], v))
            return false;
        out[i] = v;
    }
    return true;
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    r = std::clamp(r, 0.0, std::min(w, h) / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

bool SheetParser::drawCommand(const TextSource::Line& line, cairo_t* cr)
{
    const Words& w = line.words;
    double v[4] = {};
    double c[4] = {}, c2[4] = {};
    if (w[0] == "rect" && (w.size() == 5 || w.size() == 6)) {
        double all[5] = {};
        if (!floats(w, 1, w.size() - 1, all))
            return fail(line, "bad rect");
        cairo_new_path(cr);
        roundedRect(cr, all[0], all[1], all[2], all[3], w.size() == 6 ? all[4] : 0.0);
        return true;
    }
    if (w[0] == "circle" && w.size() == 4 && floats(w, 1, 3, v)) {
        cairo_new_path(cr);
        cairo_arc(cr, v[0], v[1], v[2], 0, 2 * kPi);
        cairo_close_path(cr);
        return true;
    }
    if (w[0] == "poly" && w.size() >= 7 && (w.size() - 1) % 2 == 0) {
        std::vector<double> points(w.size() - 1);
        if (!floats(w, 1, points.size(), points.data()))
            return fail(line, "bad poly");
        cairo_new_path(cr);
        for (std::size_t i = 0; i < points.size(); i += 2)
            cairo_line_to(cr, points[i], points[i + 1]);
        cairo_close_path(cr);
        return true;
    }
    if (w[0] == "fill" && w.size() == 2 && parseColor(w[1], c)) {
        cairo_set_source_rgba(cr, c[0], c[1], c[2], c[3]);
        cairo_fill_preserve(cr);
        return true;
    }
    if (w[0] == "clear" && w.size() == 1) {
        // A window through what is drawn so far: the path becomes transparent.
        cairo_save(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_fill_preserve(cr);
        cairo_restore(cr);
        return true;
    }
    if (w[0] == "vgradient" && w.size() == 3 && parseColor(w[1], c) && parseColor(w[2], c2)) {
        double x0, y0, x1, y1;
        cairo_path_extents(cr, &x0, &y0, &x1, &y1);
        cairo_pattern_t* gradient = cairo_pattern_create_linear(0, y0, 0, y1);
        cairo_pattern_add_color_stop_rgba(gradient, 0, c[0], c[1], c[2], c[3]);
        cairo_pattern_add_color_stop_rgba(gradient, 1, c2[0], c2[1], c2[2], c2[3]);
        cairo_set_source(cr, gradient);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(gradient);
        return true;
    }
    if (w[0] == "stroke" && w.size() == 3 && floats(w, 1, 1, v) && parseColor(w[2], c)) {
        cairo_set_source_rgba(cr, c[0], c[1], c[2], c[3]);
        cairo_set_line_width(cr, v[0]);
        cairo_stroke_preserve(cr);
        return true;
    }
    if (w[0] == "glow" && w.size() == 3 && floats(w, 1, 1, v) && parseColor(w[2], c) && v[0] > 0.0) {
        // Strokes of falling width laid over each other: dense at the path, fading outward.
        const int steps = std::max(1, static_cast<int>(std::ceil(v[0])));
        for (int i = steps; i >= 1; --i) {
            cairo_set_source_rgba(cr, c[0], c[1], c[2], c[3] / steps);
            cairo_set_line_width(cr, v[0] * i / steps);
            cairo_stroke_preserve(cr);
        }
        return true;
    }
    if (w[0] == "line" && w.size() >= 7 && (w.size() - 3) % 2 == 0 && floats(w, 1, 1, v) && parseColor(w[2], c)) {
        std::vector<double> points(w.size() - 3);
        if (!floats(w, 3, points.size(), points.data()))
            return fail(line, "bad line");
        cairo_new_path(cr);
        for (std::size_t i = 0; i < points.size(); i += 2)
            cairo_line_to(cr, points[i], points[i + 1]);
        cairo_set_source_rgba(cr, c[0], c[1], c[2], c[3]);
        cairo_set_line_width(cr, v[0]);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        return true;
    }
    if (w[0] == "arc" && w.size() == 8) {
        double a[6] = {};
        if (!floats(w, 1, 6, a) || !parseColor(w[7], c))
            return fail(line, "bad arc");
        // Degrees clockwise from 12 o'clock, as a dial reads.
        const double from = (a[3] - 90.0) * kPi / 180.0, to = (a[4] - 90.0) * kPi / 180.0;
        cairo_new_path(cr);
        cairo_arc(cr, a[0], a[1], a[2], from, to);
        cairo_set_source_rgba(cr, c[0], c[1], c[2], c[3]);
        cairo_set_line_width(cr, a[5]);
        cairo_stroke(cr);
        return true;
    }
    if (w[0] == "text")
        return textCommand(line, cr);
    if (w[0] == "radial" || w[0] == "puff")
        return pixelCommand(line, cr);
    return fail(line, "unknown or malformed drawing command");
}

bool SheetParser::textCommand(const TextSource::Line& line, cairo_t* cr)
{
    const Words& w = line.words;
    double v[3] = {}, c[4] = {};
    if (w.size() < 7 || !floats(w, 1, 3, v) || !parseColor(w[4], c) ||
        (w[5] != "left" && w[5] != "centre" && w[5] != "right"))
        return fail(line, "expected: text <x> <y> <size> <color> <left|centre|right> <words ...>");
    cairo_font_face_t* face = sheetFontFace();
    if (!face)
        return fail(line, std::string("cannot load the sheet font ") + kSheetFontFile);
    std::string text;
    for (std::size_t i = 6; i < w.size(); ++i)
        text += (i > 6 ? " " : "") + std::string(w[i]);
    cairo_set_font_face(cr, face);
    cairo_set_font_size(cr, v[2]);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    double x = v[0] - extents.x_bearing;
    if (w[5] == "centre")
        x -= extents.width / 2.0;
    else if (w[5] == "right")
        x -= extents.width;
    const double y = v[1] - extents.y_bearing - extents.height / 2.0;
    cairo_new_path(cr);
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, text.c_str());
    cairo_set_source_rgba(cr, c[0], c[1], c[2], c[3]);
    cairo_fill_preserve(cr);
    return true;
}

bool SheetParser::pixelCommand(const TextSource::Line& line, cairo_t* cr)
{
    const Words& w = line.words;
    double v[3] = {}, c0[4] = {}, c1[4] = {}, c2[4] = {};
    if (w[0] == "radial") {
        if ((w.size() != 6 && w.size() != 7) || !floats(w, 1, 3, v) || !parseColor(w[4], c0) ||
            !parseColor(w[5], c1) || (w.size() == 7 && !parseColor(w[6], c2)) || v[2] <= 0.0)
            return fail(line, "expected: radial <cx> <cy> <r> <inner> <outer> [<rim>]");
        cairo_pattern_t* gradient = cairo_pattern_create_radial(v[0], v[1], 0.0, v[0], v[1], v[2]);
        cairo_pattern_add_color_stop_rgba(gradient, 0.0, c0[0], c0[1], c0[2], c0[3]);
        if (w.size() == 7) {
            cairo_pattern_add_color_stop_rgba(gradient, 0.5, c1[0], c1[1], c1[2], c1[3]);
            cairo_pattern_add_color_stop_rgba(gradient, 1.0, c2[0], c2[1], c2[2], c2[3]);
        } else {
            cairo_pattern_add_color_stop_rgba(gradient, 1.0, c1[0], c1[1], c1[2], c1[3]);
        }
        cairo_new_path(cr);
        cairo_arc(cr, v[0], v[1], v[2], 0, 2 * kPi);
        cairo_close_path(cr);
        cairo_set_source(cr, gradient);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(gradient);
        return true;
    }
    int seed = 0;
    double roughness = 0.6;
    if ((w.size() != 6 && w.size() != 7) || !floats(w, 1, 3, v) || !parseColor(w[4], c0) || !parseInt(w[5], seed) ||
        (w.size() == 7 && !floats(w, 6, 1, &roughness)) || v[2] <= 0.0)
        return fail(line, "expected: puff <cx> <cy> <r> <color> <seed> [<roughness>]");
    cairo_surface_t* target = cairo_get_target(cr);
    cairo_surface_flush(target);
    const int width = cairo_image_surface_get_width(target), height = cairo_image_surface_get_height(target);
    const int stride = cairo_image_surface_get_stride(target);
    unsigned char* data = cairo_image_surface_get_data(target);
    if (!data)
        return fail(line, "puff needs an image surface");
    const double cx = v[0] * m_factor, cy = v[1] * m_factor, r = v[2] * m_factor;
    const WorldNoise noise(static_cast<std::uint32_t>(seed) * 7919u + 13u);
    const int x0 = std::max(0, static_cast<int>(cx - r - 1)), x1 = std::min(width - 1, static_cast<int>(cx + r + 1));
    const int y0 = std::max(0, static_cast<int>(cy - r - 1)), y1 = std::min(height - 1, static_cast<int>(cy + r + 1));
    for (int y = y0; y <= y1; ++y) {
        auto* pixels = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = x0; x <= x1; ++x) {
            // Normalised to the radius, so the reduced and enlarged sheets draw the same shape.
            const double dx = (x + 0.5 - cx) / r, dy = (y + 0.5 - cy) / r;
            const double d = std::sqrt(dx * dx + dy * dy);
            const float fx = static_cast<float>(dx), fy = static_cast<float>(dy);
            const double edgeNoise = noise.fractal(fx * 2.2f + 10.0f, fy * 2.2f + 10.0f, 4);
            const double shaped = d + (edgeNoise - 0.5) * roughness * 1.4;
            if (shaped >= 1.0)
                continue;
            const double t = std::clamp((1.0 - shaped) / 0.75, 0.0, 1.0);
            const double density = t * t * (3.0 - 2.0 * t);
            const double billow = 0.55 + 0.45 * noise.fractal(fx * 4.5f + 40.0f, fy * 4.5f + 40.0f, 3);
            const double shade = std::clamp(0.82 - 0.22 * dx - 0.3 * dy + 0.3 * (edgeNoise - 0.5), 0.45, 1.15);
            const double a = std::clamp(c0[3] * density * billow, 0.0, 1.0);
            if (a <= 0.0)
                continue;
            const double sr = std::min(1.0, c0[0] * shade) * a, sg = std::min(1.0, c0[1] * shade) * a,
                         sb = std::min(1.0, c0[2] * shade) * a;
            const std::uint32_t dst = pixels[x];
            const double keep = 1.0 - a;
            auto channel = [&](int shift, double source) {
                const double out = source * 255.0 + static_cast<double>((dst >> shift) & 0xFFu) * keep;
                return static_cast<std::uint32_t>(std::clamp(std::lround(out), 0L, 255L)) << shift;
            };
            pixels[x] = channel(24, a) | channel(16, sr) | channel(8, sg) | channel(0, sb);
        }
    }
    cairo_surface_mark_dirty(target);
    return true;
}

bool SheetParser::animStatement(const TextSource::Line& line)
{
    const Words& w = line.words;
    int number = -1;
    if (w.size() < 3 || !parseInt(w[1], number) || number < 0 || number > 0xFFFE)
        return fail(line, "expected: anim <number> <frame> ...");
    if (m_sheet.anims.count(number))
        return fail(line, "animation " + std::to_string(number) + " defined twice");
    std::vector<int> frames;
    for (std::size_t i = 2; i < w.size(); ++i) {
        const std::size_t dash = w[i].find('-');
        int first = -1, last = -1;
        if (dash == std::string_view::npos) {
            if (!parseInt(w[i], first))
                return fail(line, "bad frame number");
            last = first;
        } else if (!parseInt(w[i].substr(0, dash), first) || !parseInt(w[i].substr(dash + 1), last) || last < first) {
            return fail(line, "bad frame range");
        }
        for (int f = first; f <= last; ++f)
            frames.push_back(f);
    }
    if (frames.size() > 0xFFFF)
        return fail(line, "too many frames");
    m_sheet.anims.emplace(number, std::move(frames));
    return true;
}

bool SheetParser::pictureStatement(const TextSource::Line& line, std::size_t& index)
{
    const Words& w = line.words;
    int size[2] = {};
    if (w.size() != 4 || !ints(w, 2, 2, size) || size[0] < 1 || size[1] < 1 || size[0] > kMaxPictureSide ||
        size[1] > kMaxPictureSide)
        return fail(line, "expected: picture <name> <width> <height>");
    const std::string name(w[1]);
    if (m_sheet.pictures.count(name))
        return fail(line, "picture \"" + name + "\" drawn twice");
    auto picture = std::make_unique<SheetImage>(std::max(1, scaled(size[0])), std::max(1, scaled(size[1])));
    cairo_t* cr = cairo_create(picture->surface());
    cairo_scale(cr, m_factor, m_factor);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    bool ok = true, ended = false;
    const auto& lines = m_source.lines();
    for (++index; index < lines.size(); ++index) {
        if (lines[index].words[0] == "end") {
            ended = true;
            break;
        }
        if (!drawCommand(lines[index], cr)) {
            ok = false;
            break;
        }
    }
    cairo_destroy(cr);
    if (ok && !ended)
        return fail(line, "picture without \"end\"");
    if (ok && !picture->valid())
        return fail(line, "Cairo failed to draw the picture");
    m_sheet.pictures.emplace(name, std::move(picture));
    return ok;
}

bool SheetParser::region(const TextSource::Line& line, std::size_t& at, const std::string& picture, ModulePlan& out)
{
    const auto found = m_sheet.pictures.find(picture);
    if (found == m_sheet.pictures.end())
        return fail(line, "no picture \"" + picture + "\" drawn before");
    out.picture = picture;
    int r[4] = {};
    if (ints(line.words, at, 4, r)) {
        out.x = scaled(r[0]);
        out.y = scaled(r[1]);
        out.w = std::max(1, scaled(r[2]));
        out.h = std::max(1, scaled(r[3]));
        at += 4;
    } else {
        out.x = out.y = 0;
        out.w = found->second->width();
        out.h = found->second->height();
    }
    if (out.x < 0 || out.y < 0 || out.w < 1 || out.h < 1 || out.x + out.w > found->second->width() ||
        out.y + out.h > found->second->height())
        return fail(line, "region outside the picture");
    return true;
}

bool SheetParser::addModule(const TextSource::Line& line, const std::string& name, ModulePlan module)
{
    if (m_sheet.modules.count(name))
        return fail(line, "module \"" + name + "\" defined twice");
    for (const auto& [other, plan] : m_sheet.modules) {
        if (module.number >= 0 && plan.number == module.number)
            return fail(line, "module number " + std::to_string(module.number) + " used by \"" + other + "\" too");
    }
    m_sheet.modules.emplace(name, module);
    m_sheet.moduleOrder.push_back(name);
    return true;
}

bool SheetParser::addFrame(const TextSource::Line& line, int number, std::vector<PartPlan> parts)
{
    if (number < 0 || number > 0xFFFE)
        return fail(line, "frame number out of range");
    if (m_sheet.frames.count(number))
        return fail(line, "frame " + std::to_string(number) + " defined twice");
    m_sheet.frames.emplace(number, std::move(parts));
    return true;
}

bool SheetParser::frameStatement(const TextSource::Line& line)
{
    const Words& w = line.words;
    int number = -1;
    if (w.size() < 5 || !parseInt(w[1], number))
        return fail(line, "expected: frame <number> <module> <x> <y> ...");
    std::vector<PartPlan> parts;
    std::size_t i = 2;
    while (i < w.size()) {
        PartPlan part;
        part.module = std::string(w[i]);
        int offset[2] = {};
        if (!ints(w, i + 1, 2, offset))
            return fail(line, "a part needs <module> <x> <y>");
        part.x = scaled(offset[0]);
        part.y = scaled(offset[1]);
        for (i += 3; i < w.size() && w[i] != ","; ++i) {
            float degrees = 0.0f;
            if (w[i] == "flipx")
                part.flip |= SpriteSheet::kFlipX;
            else if (w[i] == "flipy")
                part.flip |= SpriteSheet::kFlipY;
            else if (w[i] == "rotate" && i + 1 < w.size() && parseFloat(w[i + 1], degrees))
                part.rotation = degrees * kPi / 180.0f, ++i;
            else
                return fail(line, "unknown part option");
        }
        if (i < w.size())
            ++i;   // the ','
        parts.push_back(part);
    }
    return addFrame(line, number, std::move(parts));
}

bool SheetParser::cutStatement(const TextSource::Line& line)
{
    const Words& w = line.words;
    int number = -1;
    if (w.size() < 3 || !parseInt(w[1], number))
        return fail(line, "expected: cut <frame> <picture> [x y w h] [origin x y]");
    ModulePlan module;
    std::size_t at = 3;
    if (!region(line, at, std::string(w[2]), module))
        return false;
    int origin[2] = {};
    if (at < w.size()) {
        if (w[at] != "origin" || at + 3 != w.size() || !ints(w, at + 1, 2, origin))
            return fail(line, "expected: origin <x> <y>");
    }
    const std::string name = "frame" + std::to_string(number);
    if (!addModule(line, name, module))
        return false;
    return addFrame(line, number, {PartPlan{name, -scaled(origin[0]), -scaled(origin[1]), 0, 0.0f}});
}

bool SheetParser::nineStatement(const TextSource::Line& line)
{
    const Words& w = line.words;
    int number = -1, insets[4] = {}, first = -1;
    if ((w.size() != 7 && w.size() != 9) || !parseInt(w[1], number) || !ints(w, 3, 4, insets) ||
        (w.size() == 9 && (w[7] != "modules" || !parseInt(w[8], first) || first < 0)))
        return fail(line, "expected: nine <frame> <picture> <left> <top> <right> <bottom> [modules <first>]");
    ModulePlan whole;
    std::size_t at = w.size();
    if (!region(line, at, std::string(w[2]), whole))
        return false;
    const int left = scaled(insets[0]), top = scaled(insets[1]), right = scaled(insets[2]),
              bottom = scaled(insets[3]);
    if (left < 1 || top < 1 || right < 1 || bottom < 1 || left + right >= whole.w || top + bottom >= whole.h)
        return fail(line, "the insets leave no centre");
    const int xs[4] = {0, left, whole.w - right, whole.w}, ys[4] = {0, top, whole.h - bottom, whole.h};
    std::vector<PartPlan> parts;
    for (int i = 0; i < 9; ++i) {
        const int column = i % 3, row = i / 3;
        ModulePlan piece{whole.picture, xs[column], ys[row], xs[column + 1] - xs[column], ys[row + 1] - ys[row],
                         first >= 0 ? first + i : -1};
        const std::string name = "frame" + std::to_string(number) + "." + std::to_string(i);
        if (!addModule(line, name, piece))
            return false;
        parts.push_back(PartPlan{name, xs[column], ys[row], 0, 0.0f});
    }
    return addFrame(line, number, std::move(parts));
}

bool SheetParser::statement(const TextSource::Line& line, std::size_t& index)
{
    const Words& w = line.words;
    if (w[0] == "sheet" && w.size() == 2) {
        m_sheet.name = std::string(w[1]);
        return true;
    }
    if (w[0] == "density" && w.size() == 2) {
        if (!parseFloat(w[1], m_sheet.density) || m_sheet.density <= 0.0f)
            return fail(line, "bad density");
        m_sheet.density *= m_factor;
        return true;
    }
    if (w[0] == "sheetscale" && w.size() == 2) {
        if (!parseFloat(w[1], m_sheet.fixedScale) || m_sheet.fixedScale < SpriteSheet::kMinScale ||
            m_sheet.fixedScale > SpriteSheet::kMaxScale)
            return fail(line, "bad sheet scale");
        return true;
    }
    if (w[0] == "variant" && w.size() == 3) {
        SheetVariant variant{std::string(w[1]), 0.0f};
        // 2 to 4: larger pictures for dense screens; 0.5: the low-detail sheet.
        if (!parseFloat(w[2], variant.factor) || (variant.factor != 0.5f && (variant.factor < 2.0f || variant.factor > 4.0f)) ||
            variant.suffix.empty() ||
            variant.suffix.find('/') != std::string::npos)
            return fail(line, "expected: variant <suffix> <factor 2 to 4, or 0.5>");
        m_sheet.variants.push_back(variant);
        return true;
    }
    if (w[0] == "picture")
        return pictureStatement(line, index);
    if (w[0] == "module" && w.size() >= 3) {
        ModulePlan module;
        std::size_t at = 3;
        if (!region(line, at, std::string(w[2]), module))
            return false;
        if (at < w.size() && (w[at] != "at" || at + 2 != w.size() || !parseInt(w[at + 1], module.number) ||
                              module.number < 0 || module.number > 0xFFFE))
            return fail(line, "expected: at <number>");
        return addModule(line, std::string(w[1]), module);
    }
    if (w[0] == "frame")
        return frameStatement(line);
    if (w[0] == "anim")
        return animStatement(line);
    if (w[0] == "cut")
        return cutStatement(line);
    if (w[0] == "nine")
        return nineStatement(line);
    return fail(line, "unknown statement");
}

bool SheetParser::parse()
{
    const auto& lines = m_source.lines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!statement(lines[i], i))
            return false;
    }
    if (m_sheet.name.empty() || m_sheet.name.rfind("data/", 0) != 0) {
        m_context.error("a sheet description needs \"sheet data/...\"");
        return false;
    }
    return true;
}

// Gives every module without a number the lowest free one.
void numberModules(SheetPlan& sheet)
{
    std::set<int> used;
    for (const auto& [name, module] : sheet.modules) {
        if (module.number >= 0)
            used.insert(module.number);
    }
    int next = 0;
    for (const std::string& name : sheet.moduleOrder) {
        ModulePlan& module = sheet.modules[name];
        if (module.number >= 0)
            continue;
        while (used.count(next))
            ++next;
        module.number = next;
        used.insert(next);
    }
}

bool buildSheet(DataContext& context, SheetPlan& plan)
{
    numberModules(plan);
    int moduleCount = 0;
    for (const auto& [name, module] : plan.modules)
        moduleCount = std::max(moduleCount, module.number + 1);
    std::vector<const ModulePlan*> byNumber(static_cast<std::size_t>(moduleCount), nullptr);
    std::vector<AtlasSize> sizes;
    std::vector<int> packedNumbers;
    for (const auto& [name, module] : plan.modules) {
        byNumber[static_cast<std::size_t>(module.number)] = &module;
        sizes.push_back({module.w, module.h});
        packedNumbers.push_back(module.number);
    }
    AtlasLayout layout;
    if (!packAtlas(sizes, kAtlasPadding, kMaxAtlasSide, layout)) {
        context.error(plan.name + ": the modules do not fit a texture");
        return false;
    }

    SpriteSheet sheet;
    sheet.sheetScale = plan.fixedScale > 0.0f ? plan.fixedScale : 1.0f / plan.density;
    const std::string base = std::filesystem::path(plan.name).filename().string();
    sheet.textureName = base + ".png";
    sheet.texWidth = static_cast<std::uint16_t>(layout.width);
    sheet.texHeight = static_cast<std::uint16_t>(layout.height);
    sheet.modules.resize(static_cast<std::size_t>(moduleCount));   // unused numbers stay 0 x 0
    SheetImage atlas(layout.width, layout.height);
    for (std::size_t i = 0; i < packedNumbers.size(); ++i) {
        const ModulePlan& module = *byNumber[static_cast<std::size_t>(packedNumbers[i])];
        const AtlasPlacement& at = layout.placements[i];
        atlas.blitExtruded(*plan.pictures.at(module.picture), module.x, module.y, module.w, module.h, at.x, at.y,
                           kAtlasPadding);
        sheet.modules[static_cast<std::size_t>(module.number)] =
            SpriteSheet::Module{static_cast<std::uint16_t>(at.x), static_cast<std::uint16_t>(at.y),
                                static_cast<std::uint16_t>(module.w), static_cast<std::uint16_t>(module.h)};
    }

    const int frameCount = plan.frames.empty() ? 0 : plan.frames.rbegin()->first + 1;
    sheet.frames.resize(static_cast<std::size_t>(frameCount));
    for (const auto& [number, parts] : plan.frames) {
        sheet.frames[static_cast<std::size_t>(number)] =
            SpriteSheet::Frame{static_cast<std::uint16_t>(sheet.parts.size()), static_cast<std::uint16_t>(parts.size())};
        for (const PartPlan& part : parts) {
            const auto module = plan.modules.find(part.module);
            if (module == plan.modules.end()) {
                context.error(plan.name + ": frame " + std::to_string(number) + " names no module \"" + part.module +
                              "\"");
                return false;
            }
            sheet.parts.push_back(SpriteSheet::Part{static_cast<std::uint16_t>(module->second.number),
                                                    static_cast<std::int16_t>(part.x), static_cast<std::int16_t>(part.y),
                                                    part.flip, part.rotation});
        }
    }

    const int animCount = plan.anims.empty() ? 0 : plan.anims.rbegin()->first + 1;
    sheet.anims.resize(static_cast<std::size_t>(animCount));
    for (int number = 0; number < animCount; ++number) {
        SpriteSheet::Anim& anim = sheet.anims[static_cast<std::size_t>(number)];
        anim.firstAnimFrame = static_cast<std::uint16_t>(sheet.animFrames.size());
        const auto found = plan.anims.find(number);
        if (found == plan.anims.end())
            continue;
        for (int frame : found->second) {
            if (frame < 0 || frame >= frameCount || !plan.frames.count(frame)) {
                context.error(plan.name + ": animation " + std::to_string(number) + " names no frame " +
                              std::to_string(frame));
                return false;
            }
            sheet.animFrames.push_back(SpriteSheet::AnimFrame{static_cast<std::uint16_t>(frame), 1});
        }
        anim.count = static_cast<std::uint16_t>(found->second.size());
    }

    const std::vector<std::uint8_t> bytes = writeSpriteSheet(sheet);
    SpriteSheet check;
    if (sheet.parts.size() > 0xFFFF || !readSpriteSheet(bytes, check)) {
        context.error(plan.name + ": the written sheet does not read back");
        return false;
    }
    const std::vector<std::uint8_t> png = atlas.encodePng();
    if (png.empty()) {
        context.error(plan.name + ": cannot encode the atlas");
        return false;
    }
    return context.writeFile(plan.name + ".bspr", bytes) && context.writeFile(plan.name + ".png", png);
}

bool buildSheets(DataContext& context)
{
    for (const std::filesystem::path& file : listFolder(context.sourceDir() / "sprites", Listing::Files, ".sheet")) {
        TextSource source;
        SheetPlan sheet;
        if (!source.load(context, "sprites/" + file.filename().string()))
            return false;
        SheetParser parser(context, source, sheet, 1);
        if (!parser.parse() || !buildSheet(context, sheet))
            return false;
        for (const SheetVariant& variant : sheet.variants) {
            SheetPlan larger;
            SheetParser variantParser(context, source, larger, variant.factor);
            if (!variantParser.parse())
                return false;
            larger.name += variant.suffix;
            if (!buildSheet(context, larger))
                return false;
        }
    }
    return true;
}

}  // namespace

SKYFRONT_DATA_STEP(400, "sprite sheets", buildSheets);
