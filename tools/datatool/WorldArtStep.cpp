// Art of the world passes: the tree atlas and the cloud puff atlas.
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

bool buildWorldArt(DataContext& context) { return buildTreeAtlas(context) && buildCloudAtlas(context); }

}  // namespace

SKYFRONT_DATA_STEP(610, "world art", buildWorldArt);
