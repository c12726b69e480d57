#pragma once
#include "render/BufferObject.h"
#include "render/Texture2D.h"
#include "render/world/PropWorld.h"
#include "render/world/WorldView.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>


// Which chunks of a batch a draw keeps: with a view, those whose box is in
// its frustum and, when `reach` is above 0, within that distance of its eye;
// without one, all.
struct PropCull {
    const WorldView* view = nullptr;
    float reach = 0.0f;
    bool keeps(const Vec3& boxMin, const Vec3& boxMax) const;
};

// How far the props are drawn at a quality tier (0: as far as the view goes).
// At the lower tiers a house past it covers a pixel or so, and each prop
// drawn costs its vertices on the calling thread of a software renderer.
float propReach(int qualityTier);

// The square of the world a prop placed by `placement` is baked into; props
// of one square share chunks.
std::int64_t propSquareKey(const Mat4& placement);

// One static batch of the map's props: every drawn piece of every placed
// prop that uses one texture, baked into world space. Pieces are grouped into
// chunks of at most 65536 vertices, so 16-bit indices always reach, and of
// one square of the world each, so a draw can leave out those out of view.
class PropBatch {
public:
    struct Chunk {
        std::uint32_t firstVertex = 0, vertexCount = 0;
        std::uint32_t firstIndex = 0, indexCount = 0;  // indices count from firstVertex
        // World-space box of the chunk's vertices.
        Vec3 boundsMin{1e30f, 1e30f, 1e30f}, boundsMax{-1e30f, -1e30f, -1e30f};
    };
    explicit PropBatch(std::string textureName);
    ~PropBatch();
    PropBatch(const PropBatch&) = delete;
    PropBatch& operator=(const PropBatch&) = delete;

    const std::string& textureName() const { return m_textureName; }
    // Null when the texture did not load; the caller then deletes the batch.
    Texture2D* texture() const { return m_texture.get(); }

    // Appends the pieces of the world's props that use this batch's texture.
    void addWorld(const IPropWorld& world);
    // World-space geometry; emptied once uploaded.
    const std::vector<PropVertex>& vertices() const { return m_vertices; }
    const std::vector<std::uint16_t>& indices() const { return m_indices; }
    const std::vector<Chunk>& chunks() const { return m_chunks; }
    bool isUploaded() const { return m_uploaded; }

    // Internal to the props code: the texture load, the upload, the draw.
    void loadTexture();
    bool upload();
    void draw(const PropCull& cull) const;

private:
    std::string m_textureName;
    TextureRef m_texture;
    std::vector<PropVertex> m_vertices;
    std::vector<std::uint16_t> m_indices;
    std::vector<Chunk> m_chunks;
    BufferObject m_vertexBuffer, m_indexBuffer;
    bool m_uploaded = false;
};

// Starts a round of batch building; batches are sized as they are built.
void allocatePropBuffers();
// The batch of the world's props that use `textureName` (found under
// "data/models/"). Its texture() is null when the texture failed to load.
std::unique_ptr<PropBatch> buildProps(std::string_view textureName, const IPropWorld& world);
// Uploads every batch built since allocatePropBuffers into GL buffers and
// frees their CPU copies (without a renderer the copies stay).
void unmapPropBuffers();
// Draws a batch lit, fogged and shadowed in pass 1, the color pass; pass 0
// lays only its depth (color writes off). After pass 0 the color pass leaves
// the depth as it is (`depthLaid`) and shades each pixel that shows once.
// Null draws nothing. `cull` leaves out the chunks it does not keep.
void drawProps(const PropBatch* batch, int pass, bool depthLaid = false, const PropCull& cull = {});
// Every live batch's geometry, depth only, with the current program and matrices (shadow map).
void drawPropDepths();
