#include "SheetImage.h"

#include <algorithm>

SheetImage::SheetImage(int width, int height)
    : m_surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(width, 1), std::max(height, 1))),
      m_width(std::max(width, 1)), m_height(std::max(height, 1))
{
}

SheetImage::~SheetImage()
{
    cairo_surface_destroy(m_surface);
}

std::uint32_t* SheetImage::row(int y)
{
    return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(m_surface) +
                                            static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(m_surface));
}

void SheetImage::blitExtruded(SheetImage& source, int sx, int sy, int w, int h, int dx, int dy, int extrude)
{
    if (w <= 0 || h <= 0)
        return;
    cairo_surface_flush(source.m_surface);
    cairo_surface_flush(m_surface);
    for (int y = -extrude; y < h + extrude; ++y) {
        const int ty = dy + y;
        const int fy = sy + std::clamp(y, 0, h - 1);
        if (ty < 0 || ty >= m_height || fy < 0 || fy >= source.m_height)
            continue;
        for (int x = -extrude; x < w + extrude; ++x) {
            const int tx = dx + x;
            const int fx = sx + std::clamp(x, 0, w - 1);
            if (tx < 0 || tx >= m_width || fx < 0 || fx >= source.m_width)
                continue;
            row(ty)[tx] = source.row(fy)[fx];
        }
    }
    cairo_surface_mark_dirty(m_surface);
}

void SheetImage::setPixel(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    cairo_surface_flush(m_surface);
    const auto mul = [a](std::uint8_t c) { return static_cast<std::uint32_t>((c * a + 127) / 255); };
    row(y)[x] = (static_cast<std::uint32_t>(a) << 24) | (mul(r) << 16) | (mul(g) << 8) | mul(b);
    cairo_surface_mark_dirty(m_surface);
}

std::uint8_t SheetImage::alphaAt(int x, int y)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    cairo_surface_flush(m_surface);
    return static_cast<std::uint8_t>(row(y)[x] >> 24);
}

std::vector<std::uint8_t> SheetImage::encodePng()
{
    std::vector<std::uint8_t> bytes;
    const auto append = [](void* closure, const unsigned char* data, unsigned int length) {
        auto* out = static_cast<std::vector<std::uint8_t>*>(closure);
        out->insert(out->end(), data, data + length);
        return CAIRO_STATUS_SUCCESS;
    };
    cairo_surface_flush(m_surface);
    if (cairo_surface_write_to_png_stream(m_surface, append, &bytes) != CAIRO_STATUS_SUCCESS)
        bytes.clear();
    return bytes;
}
