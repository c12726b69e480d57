#pragma once
#include <cairo.h>

#include <cstdint>
#include <vector>

// A premultiplied RGBA picture over a Cairo image surface: what the sheet
// builder draws into and the atlases are made of.
class SheetImage {
public:
    SheetImage(int width, int height);
    ~SheetImage();
    SheetImage(const SheetImage&) = delete;
    SheetImage& operator=(const SheetImage&) = delete;

    bool valid() const { return m_surface && cairo_surface_status(m_surface) == CAIRO_STATUS_SUCCESS; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    cairo_surface_t* surface() { return m_surface; }

    // Copies the rectangle (sx, sy, w, h) of `source` to (dx, dy) and repeats
    // its edge pixels `extrude` pixels outward. Parts outside either image are
    // skipped.
    void blitExtruded(SheetImage& source, int sx, int sy, int w, int h, int dx, int dy, int extrude);
    // Sets one pixel from straight color components.
    void setPixel(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);
    // Alpha of a pixel; 0 outside.
    std::uint8_t alphaAt(int x, int y);

    // The picture as a PNG file; empty on failure.
    std::vector<std::uint8_t> encodePng();

private:
    std::uint32_t* row(int y);

    cairo_surface_t* m_surface = nullptr;
    int m_width = 0, m_height = 0;
};
