#pragma once
#include "render/2d/SpriteBatch.h"
#include "render/2d/SpriteSheet.h"
#include "render/2d/Transform2D.h"
#include "render/assets/TextureImage.h"

#include <vector>

// Quad building shared by sprites and fonts.

// Texture coordinates of a module: (u0, v0) at the quad's left/top, (u1, v1)
// at its right/bottom, swapped by the flip bits.
struct ModuleUv {
    float u0 = 0.0f, v0 = 0.0f, u1 = 0.0f, v1 = 0.0f;
};
ModuleUv moduleUv(const SpriteSheet& sheet, const SpriteSheet::Module& module, int flip);

// What the texels of a module allow a draw to skip.
struct ModuleArt {
    // The part worth drawing, in texels from the module's top-left: the box
    // of its non-blank texels grown by one texel, because a pixel next to
    // that box still blends a little of it in. Outside the box a quad would
    // only add zero, so it is cut away to save the fill. A wholly blank
    // module keeps an empty box (w or h 0) and draws nothing.
    SpriteSheet::Module kept;
    // Every texel filtering can reach (the module and a ring of one texel)
    // is fully opaque: an untinted draw may skip blending.
    bool opaque = false;
};
std::vector<ModuleArt> moduleArt(const SpriteSheet& sheet, const TextureImage& image);

// The color the vertices carry: premultiplied by alpha.
Color4 premultiplied(Color4 color);

// Appends the rectangle (x0, y0)-(x1, y1), mapped by `place`, to the batch.
void emitQuad(SpriteBatch& batch, const Transform2D& place, float x0, float y0, float x1, float y1,
              const ModuleUv& uv, Color4 vertexColor, const Texture2D* texture, bool opaque = false);
