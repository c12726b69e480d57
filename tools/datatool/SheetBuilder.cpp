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
//     stroke <width> <color>        outlines the path
//     glow <width> <color>          a soft outline fading out to the width
//     line <width> <color> <x> <y> <x> <y> ...   an open polyline stroked with round ends
//     arc <cx> <cy> <r> <from> <to> <width> <color>  a stroked arc, angles in degrees
//                                    clockwise from 12 o'clock
//     text <x> <y> <size> <color> <left|centre|right> <words ...>
//                                    text in DejaVu Sans Bold, <size> pixels high; (x, y) is
//                                    its left end, centre or right end, y the middle of its ink
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
//   variant <suffix> <factor>      also writes "<sheet><suffix>" with every picture drawn
//                                  <factor> times larger at <factor> times the density, so
//                                  it shows the same sizes on screen more sharply
#include "AtlasPacker.h"
#include "DataTool.h"
#include "SheetImage.h"
#include "TextSource.h"

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
    int factor = 1;
};

struct SheetPlan {
    std::string name;
    float density = 1.0f;
    std::vector<SheetVariant> variants;
    std::map<std::string, std::unique_ptr<SheetImage>> pictures;
    std::map<std::string, ModulePlan> modules;
    std::vector<std::string> moduleOrder;
    std::map<int, std::vector<PartPlan>> frames;
};

class SheetParser {
public:
    // `factor` draws every picture that many times larger (a sheet variant).
    SheetParser(DataContext& context, const TextSource& source, SheetPlan& sheet, int factor)
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
    int m_factor = 1;
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
    auto picture = std::make_unique<SheetImage>(size[0] * m_factor, size[1] * m_factor);
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
        out.x = r[0] * m_factor;
        out.y = r[1] * m_factor;
        out.w = r[2] * m_factor;
        out.h = r[3] * m_factor;
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
        part.x = offset[0] * m_factor;
        part.y = offset[1] * m_factor;
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
    return addFrame(line, number, {PartPlan{name, -origin[0] * m_factor, -origin[1] * m_factor, 0, 0.0f}});
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
    const int left = insets[0] * m_factor, top = insets[1] * m_factor, right = insets[2] * m_factor,
              bottom = insets[3] * m_factor;
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
        m_sheet.density *= static_cast<float>(m_factor);
        return true;
    }
    if (w[0] == "variant" && w.size() == 3) {
        SheetVariant variant{std::string(w[1]), 0};
        if (!parseInt(w[2], variant.factor) || variant.factor < 2 || variant.factor > 4 || variant.suffix.empty() ||
            variant.suffix.find('/') != std::string::npos)
            return fail(line, "expected: variant <suffix> <factor 2 to 4>");
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
    sheet.sheetScale = 1.0f / plan.density;
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
