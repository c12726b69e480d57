// Art of the world passes: the tree atlas, the cloud puff atlas, the
// vegetation props' atlas and the cut-out building details.
#include "DataTool.h"
#include "WorldNoise.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kTreeCell = 128;        // 2 x 2 tree kinds
constexpr int kCloudSide = 256;       // 4 x 4 puffs, luminance-alpha
constexpr int kCloudCell = kCloudSide / 4;

void shadedFill(cairo_t* cr, double x0, double y0, double x1, double y1, double r, double g, double b)
{
    // Lit from the upper left: a lighter tone there, darker lower right.
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
    cairo_pattern_add_color_stop_rgb(p, 0.0, std::min(1.0, r * 1.45), std::min(1.0, g * 1.35), std::min(1.0, b * 1.3));
    cairo_pattern_add_color_stop_rgb(p, 1.0, r * 0.6, g * 0.6, b * 0.6);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void trunk(cairo_t* cr, double cx, double top, double bottom, double width)
{
    cairo_rectangle(cr, cx - width * 0.5, top, width, bottom - top);
    shadedFill(cr, cx - width, top, cx + width, bottom, 0.36, 0.25, 0.15);
}

void conifer(cairo_t* cr)
{
    const double cx = kTreeCell * 0.5;
    trunk(cr, cx, 100, 128, 9);
    for (int tier = 0; tier < 4; ++tier) {
        const double top = 4 + tier * 22, bottom = top + 44, half = 20 + tier * 9;
        cairo_move_to(cr, cx, top);
        cairo_line_to(cr, cx + half, bottom);
        cairo_curve_to(cr, cx + half * 0.4, bottom - 5, cx - half * 0.4, bottom - 5, cx - half, bottom);
        cairo_close_path(cr);
        shadedFill(cr, cx - half, top, cx + half, bottom, 0.12, 0.33, 0.16);
    }
}

void broadleaf(cairo_t* cr, const WorldNoise& noise)
{
    const double cx = kTreeCell * 0.5;
    trunk(cr, cx, 70, 128, 11);
    // A crown of overlapping round clumps.
    for (int k = 0; k < 9; ++k) {
        const double a = k * 0.7, r = k == 0 ? 0.0 : 22.0 + 8.0 * noise.value(k * 1.7f, 3.1f);
        const double x = cx + std::cos(a) * r, y = 48 + std::sin(a) * r * 0.8;
        const double radius = 22.0 + 6.0 * noise.value(k * 2.3f, 9.7f);
        cairo_arc(cr, x, y, radius, 0, 2 * M_PI);
        shadedFill(cr, x - radius, y - radius, x + radius, y + radius, 0.26, 0.45, 0.15);
    }
}

void poplar(cairo_t* cr)
{
    const double cx = kTreeCell * 0.5;
    trunk(cr, cx, 100, 128, 8);
    cairo_save(cr);
    cairo_translate(cr, cx, 56);
    cairo_scale(cr, 1.0, 2.6);
    cairo_arc(cr, 0, 0, 21, 0, 2 * M_PI);
    cairo_restore(cr);
    shadedFill(cr, cx - 21, 2, cx + 21, 110, 0.22, 0.40, 0.14);
}

void birch(cairo_t* cr)
{
    const double cx = kTreeCell * 0.5;
    cairo_rectangle(cr, cx - 4, 50, 8, 78);
    cairo_set_source_rgb(cr, 0.86, 0.85, 0.80);
    cairo_fill(cr);
    for (int k = 0; k < 5; ++k) {
        const double x = cx + (k - 2) * 14.0, y = 30.0 + (k % 2) * 16.0, radius = 20.0 + (k % 3) * 4.0;
        cairo_arc(cr, x, y + 10, radius, 0, 2 * M_PI);
        shadedFill(cr, x - radius, y - radius, x + radius, y + radius + 10, 0.45, 0.58, 0.20);
    }
}

std::vector<std::uint8_t> encodeSurface(cairo_surface_t* surface)
{
    std::vector<std::uint8_t> png;
    const cairo_status_t status = cairo_surface_write_to_png_stream(
        surface,
        [](void* closure, const unsigned char* data, unsigned int length) {
            auto* out = static_cast<std::vector<std::uint8_t>*>(closure);
            out->insert(out->end(), data, data + length);
            return CAIRO_STATUS_SUCCESS;
        },
        &png);
    if (status != CAIRO_STATUS_SUCCESS)
        png.clear();
    return png;
}

// Draws four 128-pixel cells of a 2 x 2 atlas and writes it as a PNG.
template <class DrawCell>
bool writeAtlas(DataContext& context, const std::string& name, DrawCell drawCell)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kTreeCell * 2, kTreeCell * 2);
    cairo_t* cr = cairo_create(surface);
    for (int cell = 0; cell < 4; ++cell) {
        cairo_save(cr);
        cairo_translate(cr, (cell & 1) * kTreeCell, (cell >> 1) * kTreeCell);
        cairo_rectangle(cr, 0, 0, kTreeCell, kTreeCell);
        cairo_clip(cr);
        drawCell(cr, cell);
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    const std::vector<std::uint8_t> png = encodeSurface(surface);
    cairo_surface_destroy(surface);
    if (png.empty()) {
        context.error(name + ": cannot encode the atlas");
        return false;
    }
    return context.writeFile(name, png);
}

// A low round bush: a dome of overlapping clumps standing on the cell's floor.
void bush(cairo_t* cr, const WorldNoise& noise, double r, double g, double b)
{
    cairo_save(cr);
    cairo_translate(cr, 64, 128);
    cairo_scale(cr, 1.0, 0.72);
    cairo_arc(cr, 0, 0, 60, M_PI, 2 * M_PI);
    cairo_restore(cr);
    shadedFill(cr, 4, 84, 124, 128, r * 0.85, g * 0.85, b * 0.85);
    for (int k = 0; k < 12; ++k) {
        const double a = M_PI + (k + 0.5) * (M_PI / 12.0);
        const double x = 64.0 + std::cos(a) * 44.0, y = 122.0 + std::sin(a) * 30.0;
        const double radius = 14.0 + 7.0 * noise.value(k * 1.9f, 5.3f);
        cairo_arc(cr, x, y, radius, 0, 2 * M_PI);
        shadedFill(cr, x - radius, y - radius, x + radius, y + radius, r, g, b);
    }
}

// A palm: a leaning trunk and drooping fronds.
void palm(cairo_t* cr)
{
    cairo_move_to(cr, 58, 128);
    cairo_curve_to(cr, 56, 90, 62, 60, 72, 36);
    cairo_line_to(cr, 78, 38);
    cairo_curve_to(cr, 70, 62, 66, 92, 68, 128);
    cairo_close_path(cr);
    shadedFill(cr, 54, 36, 80, 128, 0.48, 0.38, 0.24);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int k = 0; k < 7; ++k) {
        const double a = -M_PI + k * (M_PI / 6.0);
        const double reach = k == 3 ? 26.0 : 48.0;
        const double tx = 75 + std::cos(a) * reach, ty = 36 + std::fabs(std::cos(a)) * 34.0 - (k == 3 ? 24.0 : 0.0);
        cairo_move_to(cr, 75, 36);
        cairo_curve_to(cr, 75 + std::cos(a) * reach * 0.5, 22, tx, ty - 18, tx, ty);
        cairo_set_line_width(cr, 8.0);
        cairo_set_source_rgb(cr, 0.18 + 0.02 * k, 0.44, 0.14);
        cairo_stroke(cr);
    }
}

// Reeds and tall grass: thin tapering blades from the floor.
void reeds(cairo_t* cr, const WorldNoise& noise)
{
    for (int k = 0; k < 26; ++k) {
        const double x = 8.0 + k * 4.4 + 3.0 * noise.value(k * 0.9f, 1.7f);
        const double top = 24.0 + 50.0 * noise.value(k * 2.1f, 7.9f);
        const double lean = (noise.value(k * 3.3f, 2.2f) - 0.5) * 26.0;
        cairo_move_to(cr, x - 2.0, 128);
        cairo_curve_to(cr, x - 1.0, 90, x + lean * 0.6, top + 20, x + lean, top);
        cairo_curve_to(cr, x + lean * 0.6 + 1.5, top + 20, x + 1.5, 90, x + 2.0, 128);
        cairo_close_path(cr);
        shadedFill(cr, x - 4, top, x + 4, 128, 0.42, 0.50, 0.20);
    }
}

// "vegetati.png": the vegetation props' atlas: a green bush, a flowering
// shrub, a palm and reeds.
bool buildVegetationAtlas(DataContext& context)
{
    const WorldNoise noise(29u);
    return writeAtlas(context, "data/models/vegetati.png", [&noise](cairo_t* cr, int cell) {
        switch (cell) {
        case 0: bush(cr, noise, 0.20, 0.40, 0.13); break;
        case 1:
            bush(cr, noise, 0.28, 0.44, 0.16);
            for (int k = 0; k < 14; ++k) {
                const double x = 20.0 + 88.0 * noise.value(k * 1.3f, 8.1f), y = 70.0 + 40.0 * noise.value(k * 2.9f, 0.4f);
                cairo_arc(cr, x, y, 3.2, 0, 2 * M_PI);
                cairo_set_source_rgb(cr, 0.92, 0.86, 0.42);
                cairo_fill(cr);
            }
            break;
        case 2: palm(cr); break;
        default: reeds(cr, noise); break;
        }
    });
}

// "build_a.png": building details cut out by alpha: a wire fence, a lattice
// mast, a window row and a camouflage net.
bool buildBuildingDetails(DataContext& context)
{
    const WorldNoise noise(53u);
    return writeAtlas(context, "data/models/build_a.png", [&noise](cairo_t* cr, int cell) {
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        switch (cell) {
        case 0:   // fence: posts and a diagonal wire mesh
            cairo_set_source_rgb(cr, 0.42, 0.44, 0.46);
            cairo_set_line_width(cr, 1.6);
            for (int k = -8; k < 16; ++k) {
                cairo_move_to(cr, k * 12.0, 24);
                cairo_line_to(cr, k * 12.0 + 104, 128);
                cairo_move_to(cr, k * 12.0 + 104, 24);
                cairo_line_to(cr, k * 12.0, 128);
            }
            cairo_stroke(cr);
            for (double x : {4.0, 64.0, 124.0}) {
                cairo_rectangle(cr, x - 3, 16, 6, 112);
                shadedFill(cr, x - 3, 16, x + 3, 128, 0.34, 0.30, 0.26);
            }
            break;
        case 1:   // lattice mast
            cairo_set_source_rgb(cr, 0.62, 0.22, 0.18);
            cairo_set_line_width(cr, 3.0);
            cairo_move_to(cr, 30, 128);
            cairo_line_to(cr, 58, 4);
            cairo_move_to(cr, 98, 128);
            cairo_line_to(cr, 70, 4);
            cairo_stroke(cr);
            cairo_set_line_width(cr, 1.8);
            for (int k = 0; k < 8; ++k) {
                const double y0 = 128 - k * 15.5, y1 = y0 - 15.5;
                const double l0 = 30 + (128 - y0) * 28 / 124, r0 = 98 - (128 - y0) * 28 / 124;
                const double l1 = 30 + (128 - y1) * 28 / 124, r1 = 98 - (128 - y1) * 28 / 124;
                cairo_move_to(cr, l0, y0);
                cairo_line_to(cr, r1, y1);
                cairo_move_to(cr, r0, y0);
                cairo_line_to(cr, l1, y1);
                cairo_move_to(cr, l1, y1);
                cairo_line_to(cr, r1, y1);
            }
            cairo_stroke(cr);
            break;
        case 2:   // a window row in a wall strip
            cairo_rectangle(cr, 0, 34, 128, 60);
            shadedFill(cr, 0, 34, 128, 94, 0.70, 0.66, 0.58);
            for (int k = 0; k < 4; ++k) {
                const double x = 8 + k * 30.0;
                cairo_rectangle(cr, x, 44, 22, 38);
                shadedFill(cr, x, 44, x + 22, 82, 0.30, 0.40, 0.50);
                cairo_set_source_rgb(cr, 0.88, 0.86, 0.80);
                cairo_set_line_width(cr, 2.0);
                cairo_move_to(cr, x + 11, 44);
                cairo_line_to(cr, x + 11, 82);
                cairo_move_to(cr, x, 63);
                cairo_line_to(cr, x + 22, 63);
                cairo_stroke(cr);
            }
            break;
        default:   // camouflage net: patches over a knotted mesh
            for (int k = 0; k < 40; ++k) {
                const double x = 128.0 * noise.value(k * 1.1f, 3.7f), y = 128.0 * noise.value(k * 2.7f, 9.1f);
                const double r = 8.0 + 10.0 * noise.value(k * 0.5f, 4.4f);
                cairo_arc(cr, x, y, r, 0, 2 * M_PI);
                const double shade = (k % 3) * 0.08;
                cairo_set_source_rgb(cr, 0.30 + shade, 0.34 + shade, 0.18 + shade * 0.5);
                cairo_fill(cr);
            }
            cairo_set_source_rgb(cr, 0.22, 0.22, 0.16);
            cairo_set_line_width(cr, 1.2);
            for (int k = 0; k <= 16; ++k) {
                cairo_move_to(cr, k * 8.0, 0);
                cairo_line_to(cr, k * 8.0, 128);
                cairo_move_to(cr, 0, k * 8.0);
                cairo_line_to(cr, 128, k * 8.0);
            }
            cairo_stroke(cr);
            break;
        }
    });
}

bool buildTreeAtlas(DataContext& context)
{
    const WorldNoise noise(17u);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kTreeCell * 2, kTreeCell * 2);
    cairo_t* cr = cairo_create(surface);
    for (int kind = 0; kind < 4; ++kind) {
        cairo_save(cr);
        cairo_translate(cr, (kind & 1) * kTreeCell, (kind >> 1) * kTreeCell);
        cairo_rectangle(cr, 0, 0, kTreeCell, kTreeCell);
        cairo_clip(cr);
        switch (kind) {
        case 0: conifer(cr); break;
        case 1: broadleaf(cr, noise); break;
        case 2: poplar(cr); break;
        default: birch(cr); break;
        }
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    std::vector<std::uint8_t> png;
    const cairo_status_t status = cairo_surface_write_to_png_stream(
        surface,
        [](void* closure, const unsigned char* data, unsigned int length) {
            auto* out = static_cast<std::vector<std::uint8_t>*>(closure);
            out->insert(out->end(), data, data + length);
            return CAIRO_STATUS_SUCCESS;
        },
        &png);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        context.error("trees: cannot encode the tree atlas");
        return false;
    }
    return context.writeFile("data/terrain/trees.png", png);
}

// Sixteen soft puffs: a few overlapping blobs each, denser and brighter on top.
bool buildCloudAtlas(DataContext& context)
{
    const WorldNoise noise(4711u);
    std::vector<std::uint8_t> la(static_cast<std::size_t>(kCloudSide * kCloudSide * 2), 0);
    for (int cell = 0; cell < 16; ++cell) {
        const int ox = (cell % 4) * kCloudCell, oy = (cell / 4) * kCloudCell;
        struct Blob {
            float x, y, r;
        } blobs[5];
        for (int b = 0; b < 5; ++b)
            blobs[b] = Blob{0.5f + (noise.value(cell * 3.1f, b * 1.3f) - 0.5f) * 0.5f,
                            0.55f + (noise.value(cell * 1.9f, b * 2.7f + 5.0f) - 0.5f) * 0.3f,
                            0.17f + 0.09f * noise.value(cell * 0.7f, b * 4.1f + 9.0f)};
        for (int y = 0; y < kCloudCell; ++y)
            for (int x = 0; x < kCloudCell; ++x) {
                const float u = (static_cast<float>(x) + 0.5f) / kCloudCell;
                const float v = (static_cast<float>(y) + 0.5f) / kCloudCell;
                float density = 0.0f;
                for (const Blob& b : blobs) {
                    const float d2 = ((u - b.x) * (u - b.x) + (v - b.y) * (v - b.y)) / (b.r * b.r);
                    density += std::exp(-d2);
                }
                density *= 0.75f + 0.5f * noise.fractal(u * 6.0f + cell * 10.0f, v * 6.0f, 3);
                // Fade to nothing at the cell border so no puff shows an edge.
                const float edge = std::min({u, v, 1.0f - u, 1.0f - v}) * 6.0f;
                const float alpha = std::clamp((density - 0.2f) * 1.2f, 0.0f, 1.0f) * std::clamp(edge, 0.0f, 1.0f);
                const float light = std::clamp(1.05f - v * 0.45f, 0.0f, 1.0f);
                const std::size_t i = static_cast<std::size_t>(((oy + y) * kCloudSide + ox + x) * 2);
                la[i] = static_cast<std::uint8_t>(std::lround(light * 255.0f));
                la[i + 1] = static_cast<std::uint8_t>(std::lround(alpha * 255.0f));
            }
    }
    return context.writeFile("data/sky/clouds256.raw", la);
}

bool buildWorldArt(DataContext& context)
{
    return buildTreeAtlas(context) && buildCloudAtlas(context) && buildVegetationAtlas(context) &&
           buildBuildingDetails(context);
}

}  // namespace

SKYFRONT_DATA_STEP(610, "world art", buildWorldArt);
