#pragma once
#include "platform/Math.h"
#include "render/BufferObject.h"
#include "render/RenderBuffer.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteBatch.h"
#include "render/2d/SpriteSets.h"
#include "render/assets/Model.h"
#include "render/assets/TextureCache.h"
#include "render/gl/GlContext.h"
#include "render/shadows/ShadowMaps.h"
#include "render/shadows/ShadowVolumeMesh.h"
#include "render/world/AtmosScatter.h"
#include "render/internal/WorldProgram.h"

#include <array>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class GlObject;
class Graphics;
class GraphicsES20Extensions;
class PropBatch;
class Water;

// One page of the shared model buffers: models are appended until it is full.
struct ModelBufferPage {
    BufferObject vertices;
    BufferObject indices;
    std::size_t vertexCapacity = 0, indexCapacity = 0;
    std::size_t vertexUsed = 0, indexUsed = 0;
};

// The scene target and the light shafts' target of the post-process pass.
struct PostTargets {
    std::unique_ptr<RenderBuffer> scene;
    std::unique_ptr<RenderBuffer> shafts;
    // The heat shimmer: offsets drawn by the hot parts, and the picture they
    // bend, copied from the bound target just before.
    std::unique_ptr<RenderBuffer> distortion;
    std::unique_ptr<RenderBuffer> distortionPicture;
    // The lower tiers' scene, drawn at a fraction of the screen's size.
    std::unique_ptr<RenderBuffer> reduced;
    bool shaftsDrawn = false;
    Vec2 sun;
    float strength = 0.0f;
};

struct SpriteSlot {
    CSprite sprite;
    bool tried = false;   // a failed load is not retried every frame
};
struct FontSlot {
    CFont font;
    bool tried = false;
};
struct SpriteTables {
    float loadScale = 2.0f;
    std::array<SpriteSlot, kSpriteSetCount> sets;
    SpriteSlot menuPanel;   // the menus' panel frame alone
    SpriteSlot hudCorners;  // the HUD sheet's screen corners alone
    CSprite emptySprite;
    std::array<FontSlot, kFontCount> fonts;
    FontSlot hudFont;
    float hudFontScale = 1.0f;
    CFont emptyFont;

    // Every set and font unloaded, back to the first values; the objects stay.
    void unloadAll();
};

// The welded shadow-volume meshes by triangle set. Weak: a mesh lives as long
// as a caster holds it, and while one does, its triangles (and so the key) stay valid.
using ShadowMeshKey = std::pair<const Vec3*, std::size_t>;
struct ShadowVolumeFrame {
    // Batches reused from frame to frame, the first `batchCount` of them filled.
    std::vector<ShadowVolumeBatch> batches;
    std::size_t batchCount = 0;
    float strength = 0.0f;
    float groundFloor = -1e30f;  // no shadow falls below this height
    // The lowest height a shadow can fall on in an x0, z0, x1, z1 area, and
    // the terrain that answers it (see ShadowVolumes::setFloorQuery).
    std::function<float(float, float, float, float)> floorQuery;
    const void* floorQueryOwner = nullptr;
    bool stencilDrawn = false;   // renderStencil counted something applyShadow must clear
    float screenRect[4] = {-1, -1, 1, 1};  // NDC x0, y0, x1, y1 the counted volumes cover
    std::map<ShadowMeshKey, std::weak_ptr<const ShadowVolumeMesh>> meshes;
};

// The 2-D pass: the matrices it saved and the target's height, for scissor
// rows counted from the bottom.
struct Pass2D {
    Mat4 projection, view, world;
    bool inPass = false;
    float height = 0.0f;
};

// Everything the renderer loads or builds on demand. Dropped as a whole by
// resetRenderGlobals; the texture cache comes first, so it goes last, after
// the models that hold references into it.
struct RenderCaches {
    TextureCache textures;
    std::map<std::string, std::unique_ptr<Model>, std::less<>> models;
    std::vector<std::unique_ptr<ModelBufferPage>> modelPages;
    SpriteBatch spriteBatch;
    Pass2D pass2d;
    PostTargets post;
    std::unique_ptr<ShadowMaps> shadowMaps;
    WorldProgram<ShadowDepthUniforms> shadowDepthProgram;
    ShadowVolumeFrame shadowVolumes;
    WorldProgram<PropsUniforms> propsProgram;
    std::vector<PropBatch*> pendingProps;   // built since allocatePropBuffers, not yet uploaded
    float shaderTerrainSize = 1.0f;
};

// The render library's one piece of shared state, reached through renderGlobals(). The upper part outlives a
// reset: the device and its extensions belong to whoever made them, and the
// lists follow objects their owners hold; the scattering model may be a
// source the extensions point to.
class RenderGlobals {
public:
    // Made on first use, after the globals themselves: its objects register
    // with the globals as they are built.
    RenderCaches& caches();
    // Drops the caches, and unloads the sprite sets and fonts first; the next
    // caches() makes a fresh set.
    void dropCaches();
    // How often the caches were dropped: a sprite or font from before was
    // unloaded then, and loads again at its next getSprite or getFont.
    unsigned cachesDropped() const { return m_cachesDropped; }

    // The sprite sets and fonts. Unlike the caches they live as long as the
    // program: pages, widgets and the HUD keep pointers to them.
    SpriteTables sprites;

    Graphics* device = nullptr;
    GraphicsES20Extensions* extensions = nullptr;
    GlContextInfo context;
    GlObject* glObjects = nullptr;          // every object holding GL names, linked
    std::vector<PropBatch*> liveProps;
    Water* water = nullptr;
    AtmosScatter atmosScatter;

private:
    std::unique_ptr<RenderCaches> m_caches;
    unsigned m_cachesDropped = 0;
};

RenderGlobals& renderGlobals();
