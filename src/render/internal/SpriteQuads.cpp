#include "render/internal/SpriteQuads.h"

#include <algorithm>
#include <utility>

ModuleUv moduleUv(const SpriteSheet& sheet, const SpriteSheet::Module& module, int flip)
{
    ModuleUv uv;
    if (sheet.texWidth == 0 || sheet.texHeight == 0)
        return uv;
    const float du = 1.0f / sheet.texWidth, dv = 1.0f / sheet.texHeight;
    uv.u0 = module.x * du;
    uv.u1 = (module.x + module.w) * du;
    uv.v0 = module.y * dv;
    uv.v1 = (module.y + module.h) * dv;
    if (flip & SpriteSheet::kFlipX)
        std::swap(uv.u0, uv.u1);
    if (flip & SpriteSheet::kFlipY)
        std::swap(uv.v0, uv.v1);
    return uv;
}

namespace {

bool opaqueAround(const TextureImage& image, const SpriteSheet::Module& module)
{
    const int x0 = std::max(module.x - 1, 0), y0 = std::max(module.y - 1, 0);
    const int x1 = std::min(module.x + module.w + 1, image.width), y1 = std::min(module.y + module.h + 1, image.height);
    for (int y = y0; y < y1; ++y) {
        const std::uint8_t* row = image.levels[0].data() + static_cast<std::size_t>(y) * image.width * 4;
        for (int x = x0; x < x1; ++x)
            if (row[x * 4 + 3] != 255)
                return false;
    }
    return true;
}

}  // namespace

std::vector<ModuleArt> moduleArt(const SpriteSheet& sheet, const TextureImage& image)
{
    std::vector<ModuleArt> boxes;
    boxes.reserve(sheet.modules.size());
    const bool readable = image.format == TextureFormat::Rgba8 && !image.levels.empty() &&
                          image.levels[0].size() >= static_cast<std::size_t>(image.width) * image.height * 4;
    for (const SpriteSheet::Module& module : sheet.modules) {
        const SpriteSheet::Module whole{0, 0, module.w, module.h};
        // Texels we cannot see are kept: only what is known blank is cut.
        if (!readable || module.x + module.w > image.width || module.y + module.h > image.height) {
            boxes.push_back(ModuleArt{whole, false});
            continue;
        }
        const std::uint8_t* texels = image.levels[0].data();
        int left = module.w, right = -1, top = module.h, bottom = -1;
        for (int y = 0; y < module.h; ++y) {
            const std::uint8_t* row = texels + (static_cast<std::size_t>(module.y + y) * image.width + module.x) * 4;
            for (int x = 0; x < module.w; ++x) {
                const std::uint8_t* t = row + x * 4;
                if ((t[0] | t[1] | t[2] | t[3]) == 0)
                    continue;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
        if (right < 0) {
            boxes.push_back(ModuleArt{SpriteSheet::Module{0, 0, 0, 0}, false});
            continue;
        }
        const int x0 = std::max(left - 1, 0), y0 = std::max(top - 1, 0);
        const int x1 = std::min(right + 2, static_cast<int>(module.w));
        const int y1 = std::min(bottom + 2, static_cast<int>(module.h));
        const SpriteSheet::Module kept{static_cast<std::uint16_t>(x0), static_cast<std::uint16_t>(y0),
                                       static_cast<std::uint16_t>(x1 - x0), static_cast<std::uint16_t>(y1 - y0)};
        boxes.push_back(ModuleArt{kept, opaqueAround(image, module)});
    }
    return boxes;
}

Color4 premultiplied(Color4 color)
{
    const auto mul = [&](std::uint8_t c) { return static_cast<std::uint8_t>((c * color.a + 127) / 255); };
    return Color4{mul(color.r), mul(color.g), mul(color.b), color.a};
}

void emitQuad(SpriteBatch& batch, const Transform2D& place, float x0, float y0, float x1, float y1,
              const ModuleUv& uv, Color4 vertexColor, const Texture2D* texture, bool opaque)
{
    const float xs[4] = {x0, x1, x0, x1}, ys[4] = {y0, y0, y1, y1};
    const float us[4] = {uv.u0, uv.u1, uv.u0, uv.u1}, vs[4] = {uv.v0, uv.v0, uv.v1, uv.v1};
    SpriteVertex quad[4];
    for (int i = 0; i < 4; ++i) {
        quad[i].x = place.applyX(xs[i], ys[i]);
        quad[i].y = place.applyY(xs[i], ys[i]);
        quad[i].color = vertexColor;
        quad[i].u = us[i];
        quad[i].v = vs[i];
    }
    batch.addQuad(quad, texture, opaque);
}
