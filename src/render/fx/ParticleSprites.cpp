#include "render/fx/ParticleSprites.h"

#include "render/BufferObject.h"
#include "render/Graphics.h"
#include "render/gl/GraphicsES20Extensions.h"
#include "render/2d/SpriteSheet.h"
#include "render/internal/SpriteQuads.h"

#include <algorithm>
#include <cstring>

namespace {
struct Corner {
    float x, y, z;
    Color4 color;
    float u, v;
    float lu, lv;
};

void put(std::vector<std::uint8_t>& out, const Corner& c, bool highDetail)
{
    const float head[3] = {c.x, c.y, c.z};
    const std::uint8_t rgba[4] = {c.color.r, c.color.g, c.color.b, c.color.a};
    const float tail[4] = {c.u, c.v, c.lu, c.lv};
    const std::size_t at = out.size();
    out.resize(at + (highDetail ? 32 : 24));
    std::memcpy(out.data() + at, head, 12);
    std::memcpy(out.data() + at + 12, rgba, 4);
    std::memcpy(out.data() + at + 16, tail, highDetail ? 16 : 8);
}

ParticleAtlas::Rect lightmapCell(int animLightMap, int grid)
{
    if (grid < 1 || animLightMap < 1 || animLightMap > grid * grid)
        return {-1.0f, -1.0f, -1.0f, -1.0f};
    const int cell = animLightMap - 1;
    const float side = 1.0f / float(grid);
    const float u = float(cell % grid) * side, v = float(cell / grid) * side;
    return {u, v, u + side, v + side};
}
}  // namespace

ParticleAtlas ParticleAtlas::fromSheet(const SpriteSheet& sheet)
{
    ParticleAtlas atlas;
    atlas.animations.resize(sheet.anims.size());
    for (std::size_t a = 0; a < sheet.anims.size(); ++a) {
        // The reader checked every range, so the tables are indexed directly.
        const SpriteSheet::Anim& anim = sheet.anims[a];
        for (std::uint16_t k = 0; k < anim.count; ++k) {
            const SpriteSheet::Frame& frame = sheet.frames[sheet.animFrames[anim.firstAnimFrame + k].frame];
            Rect cell{0.0f, 0.0f, 0.0f, 0.0f};
            if (frame.partCount > 0) {
                const SpriteSheet::Part& part = sheet.parts[frame.firstPart];
                const ModuleUv uv = moduleUv(sheet, sheet.modules[part.module], part.flip);
                cell = Rect{uv.u0, uv.v0, uv.u1, uv.v1};
            }
            atlas.animations[a].push_back(cell);
        }
    }
    return atlas;
}

int ParticleAtlas::frameCount(int animation) const
{
    if (animation < 0 || static_cast<std::size_t>(animation) >= animations.size())
        return 0;
    return static_cast<int>(animations[static_cast<std::size_t>(animation)].size());
}

void ParticleSpriteBatch::begin(const ParticleAtlas& atlas, bool highDetail)
{
    m_atlas = &atlas;
    m_highDetail = highDetail;
    m_count = 0;
    m_vertices.clear();
}

bool ParticleSpriteBatch::add(const Vec3& p, const Vec3& h, const Vec3& v, Color4 color, int animation, int frame,
                              int animLightMap)
{
    if (!m_atlas || m_count >= kCapacity || animation < 0 ||
        static_cast<std::size_t>(animation) >= m_atlas->animations.size())
        return false;
    const auto& frames = m_atlas->animations[static_cast<std::size_t>(animation)];
    if (frame < 0 || static_cast<std::size_t>(frame) >= frames.size())
        return false;
    const ParticleAtlas::Rect& t = frames[static_cast<std::size_t>(frame)];
    if (t.u0 == t.u1 || t.v0 == t.v1)
        return false;
    const ParticleAtlas::Rect l = lightmapCell(animLightMap, m_atlas->lightmapGrid);
    // Corner order of every effect quad: top left, top right, bottom left,
    // bottom right, which the shared quad indices make two triangles.
    const Corner corners[4] = {
        {p.x + v.x - h.x, p.y + v.y - h.y, p.z + v.z - h.z, color, t.u0, t.v0, l.u0, l.v0},
        {p.x + v.x + h.x, p.y + v.y + h.y, p.z + v.z + h.z, color, t.u1, t.v0, l.u1, l.v0},
        {p.x - v.x - h.x, p.y - v.y - h.y, p.z - v.z - h.z, color, t.u0, t.v1, l.u0, l.v1},
        {p.x - v.x + h.x, p.y - v.y + h.y, p.z - v.z + h.z, color, t.u1, t.v1, l.u1, l.v1},
    };
    for (const Corner& c : corners)
        put(m_vertices, c, m_highDetail);
    ++m_count;
    return true;
}

void ParticleSpriteBatch::draw(BufferObject* stream, const Texture2D* lightmaps) const
{
    if (m_count == 0 || !graphics())
        return;
    m_highDetail ? drawHighDetail(stream, lightmaps) : drawNormal(stream);
}

void ParticleSpriteBatch::drawNormal(BufferObject* stream) const
{
    Graphics& device = *graphics();
    device.pushState();
    device.state().customProgram = nullptr;
    device.state().program = BuiltinProgram::Effect;
    device.state().perVertexColor = true;
    drawChunks(stream);
    device.popState();
}

void ParticleSpriteBatch::drawHighDetail(BufferObject* stream, const Texture2D* lightmaps) const
{
    Graphics& device = *graphics();
    GraphicsES20Extensions* extensions = graphicsExtensions();
    if (!extensions)
        return;
    device.pushState();
    EffectPrograms& effects = extensions->effects();
    GpuProgramWith<LightmapUniforms>& program =
        device.state().blend == kBlendAdditive ? effects.lightmapGlow : effects.lightmapLit;
    device.state().perVertexColor = true;
    device.state().textures[1] = lightmaps;
    EffectPrograms::use(device, program);
    const float* tint = effects.lightmapTint();
    GpuProgram::setUniform(program.locations().lightTint, tint[0], tint[1], tint[2]);
    drawChunks(stream);
    device.popState();
}

void ParticleSpriteBatch::drawChunks(BufferObject* stream) const
{
    Graphics& device = *graphics();
    const VertexLayout layout = m_highDetail ? VertexLayout::PosColorTexTex32 : VertexLayout::PosColorTex24;
    const std::size_t quadBytes = std::size_t{4} * static_cast<std::size_t>(stride());
    const bool streamed = stream && stream->glName() != 0 && stream->size() >= m_vertices.size() &&
                          stream->update(0, m_vertices.data(), m_vertices.size());
    if (!streamed)
        device.bindBuffer(BufferTarget::Array, 0);
    for (int first = 0; first < m_count; first += Graphics::kSharedQuadCount) {
        const std::size_t offset = static_cast<std::size_t>(first) * quadBytes;
        if (streamed) {
            stream->bind();
            device.setBufferVertexLayout(layout, offset);
        } else {
            device.setVertexLayout(layout, m_vertices.data() + offset);
        }
        device.drawQuads(std::min(m_count - first, Graphics::kSharedQuadCount));
    }
    device.bindBuffer(BufferTarget::Array, 0);
    device.invalidateVertexLayout();
}
