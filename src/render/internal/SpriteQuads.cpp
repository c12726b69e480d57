#include "render/internal/SpriteQuads.h"

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

Color4 premultiplied(Color4 color)
{
    const auto mul = [&](std::uint8_t c) { return static_cast<std::uint8_t>((c * color.a + 127) / 255); };
    return Color4{mul(color.r), mul(color.g), mul(color.b), color.a};
}

void emitQuad(SpriteBatch& batch, const Transform2D& place, float x0, float y0, float x1, float y1,
              const ModuleUv& uv, Color4 vertexColor, const Texture2D* texture)
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
    batch.addQuad(quad, texture);
}
