// The capture-the-flag cloths: "data/models/flag_friend.png" (the player's
// team, blue with a white star) and "data/models/flag_enemy.png" (red with
// a dark wing emblem). The pole edge is at u = 0.
#include "DataTool.h"
#include "SheetImage.h"

#include <cmath>
#include <string>
#include <vector>

namespace {
constexpr int kWidth = 128, kHeight = 80;

void star(cairo_t* cr, double cx, double cy, double outer)
{
    for (int i = 0; i < 10; ++i) {
        const double a = -1.5707963 + i * 3.14159265 / 5.0;
        const double r = (i % 2 == 0) ? outer : outer * 0.4;
        i == 0 ? cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a))
               : cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
}

std::vector<std::uint8_t> cloth(bool friendly)
{
    SheetImage image(kWidth, kHeight);
    if (!image.valid())
        return {};
    cairo_t* cr = cairo_create(image.surface());
    if (friendly)
        cairo_set_source_rgb(cr, 0.12, 0.28, 0.72);
    else
        cairo_set_source_rgb(cr, 0.78, 0.12, 0.1);
    cairo_paint(cr);
    // A band along the pole and a hem at the free end.
    cairo_set_source_rgb(cr, 0.92, 0.92, 0.88);
    cairo_rectangle(cr, 0, 0, 10, kHeight);
    cairo_fill(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.25);
    cairo_rectangle(cr, kWidth - 6, 0, 6, kHeight);
    cairo_fill(cr);
    if (friendly) {
        star(cr, kWidth * 0.55, kHeight * 0.5, 24);
        cairo_set_source_rgb(cr, 0.97, 0.97, 0.95);
        cairo_fill(cr);
    } else {
        // Two swept wings over a disc.
        cairo_arc(cr, kWidth * 0.55, kHeight * 0.5, 13, 0, 6.2831853);
        cairo_set_source_rgb(cr, 0.16, 0.1, 0.1);
        cairo_fill(cr);
        for (double m : {-1.0, 1.0}) {
            cairo_move_to(cr, kWidth * 0.55 + m * 10, kHeight * 0.5 - 4);
            cairo_line_to(cr, kWidth * 0.55 + m * 42, kHeight * 0.5 - 16);
            cairo_line_to(cr, kWidth * 0.55 + m * 36, kHeight * 0.5 + 2);
            cairo_line_to(cr, kWidth * 0.55 + m * 10, kHeight * 0.5 + 6);
            cairo_close_path(cr);
        }
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(image.surface());
    return image.encodePng();
}

bool buildFlagArt(DataContext& context)
{
    const std::vector<std::uint8_t> friendly = cloth(true), enemy = cloth(false);
    if (friendly.empty() || enemy.empty()) {
        context.error("the flag cloths cannot be drawn");
        return false;
    }
    return context.writeFile("data/models/flag_friend.png", friendly) &&
           context.writeFile("data/models/flag_enemy.png", enemy);
}
}  // namespace

SKYFRONT_DATA_STEP(540, "flag cloths", buildFlagArt);
