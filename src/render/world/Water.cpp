#include "render/world/Water.h"
#include "platform/Log.h"

#include "render/world/AtmosScatter.h"
#include "render/Graphics.h"
#include "render/world/SkyDome.h"
#include "render/world/Terrain.h"
#include "render/world/WorldView.h"
#include "platform/Math.h"
#include "render/internal/RenderGlobals.h"
#include "render/internal/WorldProgram.h"
#include "render/shaders/ShaderSources.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr int kGridCells = 24;          // per side; fog is per vertex, so the grid needs some density
constexpr float kGridExtent = 60000.0f; // beyond the far plane
constexpr float kGridSnap = 2500.0f;    // the grid follows the eye in steps, so the waves do not swim

// The water's tint under the renderer's light, lit as the world programs light
// a face turned up: unchanged by day, dark at night. Unlit without a light record.
Vec3 litWaterColor(const WaterTechnique& technique, const LightRecord* light)
{
    const Vec3 c = technique.waterColor();
    if (!light)
        return c;
    const float sun = std::max(light->direction[1], 0.0f);
    float lit[3];
    for (int i = 0; i < 3; ++i)
        lit[i] = clampf(0.0f, light->ambient[i] + light->diffuse[i] * sun, 1.0f);
    return Vec3{c.x * lit[0], c.y * lit[1], c.z * lit[2]};
}

// The part of the screen, in 0..1 on each axis (x0, y0, x1, y1), the water
// grid covers under a view-projection: the grid's square clipped against the
// view volume in clip space. False when none of it is in view.
bool waterOnScreen(const Mat4& viewProjection, const Vec3& gridCentre, float rect[4])
{
    struct Clip {
        float x, y, z, w;
    };
    std::vector<Clip> polygon, next;
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    const float* m = viewProjection.m;
    for (const auto& c : corners) {
        const float x = gridCentre.x + c[0] * kGridExtent, z = gridCentre.z + c[1] * kGridExtent;
        polygon.push_back(Clip{m[0] * x + m[8] * z + m[12], m[1] * x + m[9] * z + m[13], m[2] * x + m[10] * z + m[14],
                               m[3] * x + m[11] * z + m[15]});
    }
    // Against w + a, w - a >= 0 for each axis a.
    for (int plane = 0; plane < 6 && !polygon.empty(); ++plane) {
        const float sign = (plane & 1) ? -1.0f : 1.0f;
        auto distance = [plane, sign](const Clip& p) {
            const float a = plane < 2 ? p.x : (plane < 4 ? p.y : p.z);
            return p.w + sign * a;
        };
        next.clear();
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            const Clip& a = polygon[i];
            const Clip& b = polygon[(i + 1) % polygon.size()];
            const float da = distance(a), db = distance(b);
            if (da >= 0.0f)
                next.push_back(a);
            if ((da >= 0.0f) != (db >= 0.0f)) {
                const float t = da / (da - db);
                next.push_back(Clip{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t,
                                    a.w + (b.w - a.w) * t});
            }
        }
        polygon.swap(next);
    }
    if (polygon.empty())
        return false;
    rect[0] = rect[1] = 1.0f;
    rect[2] = rect[3] = 0.0f;
    for (const Clip& p : polygon) {
        if (!(p.w > 0.0f)) {  // degenerate: take the whole screen
            rect[0] = rect[1] = 0.0f;
            rect[2] = rect[3] = 1.0f;
            return true;
        }
        const float u = p.x / p.w * 0.5f + 0.5f, v = p.y / p.w * 0.5f + 0.5f;
        rect[0] = std::min(rect[0], u);
        rect[1] = std::min(rect[1], v);
        rect[2] = std::max(rect[2], u);
        rect[3] = std::max(rect[3], v);
    }
    return true;
}

}  // namespace

void WaterTechnique::setWaterValue(float value)
{
    m_value = std::isfinite(value) ? clampf(0.0f, value, 1.0f) : 0.0f;
}

Vec3 WaterTechnique::waterColor() const
{
    const Vec3 sea{0.04f, 0.15f, 0.27f}, inland{0.10f, 0.22f, 0.19f};
    return Vec3{lerpf(sea.x, inland.x, m_value), lerpf(sea.y, inland.y, m_value),
                lerpf(sea.z, inland.z, m_value)};
}

bool WaterTechnique::ensureProgram(bool pictures, bool glint)
{
    WaterGpuProgram& program = m_programs[variant(pictures, glint)];
    bool& tried = m_programTried[variant(pictures, glint)];
    if (program.isValid())
        return true;
    if (tried || graphics() == nullptr)
        return false;
    tried = true;
    std::string defines = pictures ? "" : "#define NO_PICTURES\n";
    if (!glint)
        defines += "#define NO_GLINT\n";
    if (!program.build("water", defines + std::string(shaders::kWaterVert), defines + std::string(shaders::kWaterFrag))) {
        logWarning("render", "the water program does not build: %s", program.error().c_str());
        return false;
    }
    return true;
}

bool WaterTechnique::preparePictures()
{
    Graphics* g = graphics();
    if (!g || g->qualityTier() < 2)
        return false;
    const RenderBuffer* scene = g->currentRenderTarget();
    const int sceneWidth = scene ? scene->width() : g->screenWidth();
    const int sceneHeight = scene ? scene->height() : g->screenHeight();
    // The reflection at a third of the scene's size (the ripples shift and soften
    // it; half looked the same and cost twice the pixels); what is seen through the water
    // is soft already (faded into the water's color and mostly outweighed by
    // the reflection), so a quarter does not show.
    // Tier 2 takes a quarter and a sixth: the software renderer pays for
    // every pixel of both pictures twice, drawing and sampling them.
    struct Wanted {
        RenderBuffer* target;
        int divisor;
    };
    const bool top = g->qualityTier() >= 3;
    for (const Wanted& wanted : {Wanted{&m_reflection, top ? 3 : 4}, Wanted{&m_refraction, top ? 4 : 6}}) {
        RenderBuffer* target = wanted.target;
        const int width = std::max(1, sceneWidth / wanted.divisor), height = std::max(1, sceneHeight / wanted.divisor);
        if (target->isValid() && target->width() == width && target->height() == height)
            continue;
        target->destroy();
        if (!target->createTexture(TextureFormat::Rgb8, width, height, kClampSampler))
            return false;
    }
    return true;
}

Water::Water() { buildGrid(); }
Water::~Water()
{
    if (renderGlobals().water == this)
        renderGlobals().water = nullptr;
}

void Water::setWorld(Terrain* terrain, SkyDome* sky, const AtmosScatter* scatter)
{
    if (m_terrain && m_terrain != terrain)
        m_terrain->setHiddenUnderSea(false);
    m_terrain = terrain;
    m_sky = sky;
    m_scatter = scatter;
}

void Water::buildGrid()
{
    const int side = kGridCells + 1;
    for (int j = 0; j < side; ++j)
        for (int i = 0; i < side; ++i) {
            const float x = (static_cast<float>(i) / kGridCells - 0.5f) * 2.0f * kGridExtent;
            const float z = (static_cast<float>(j) / kGridCells - 0.5f) * 2.0f * kGridExtent;
            m_grid.insert(m_grid.end(), {x, 0.0f, z, 0.0f, 0.0f});
        }
    for (int j = 0; j < kGridCells; ++j)
        for (int i = 0; i < kGridCells; ++i) {
            const auto a = static_cast<std::uint16_t>(j * side + i);
            const auto b = static_cast<std::uint16_t>(a + 1), c = static_cast<std::uint16_t>(a + side),
                       d = static_cast<std::uint16_t>(a + side + 1);
            m_gridIndices.insert(m_gridIndices.end(), {a, c, b, b, c, d});
        }
}

void Water::update(const Vec3& cameraPosition, float sceneTime)
{
    m_eye = cameraPosition;
    // The surface's grid follows the eye in snapped steps: around the eye it
    // reaches its extent less one step.
    if (m_terrain)
        m_terrain->setHiddenUnderSea(cameraPosition.y > 0.0f, kGridExtent - kGridSnap);
    m_time = std::isfinite(sceneTime) ? std::fmod(sceneTime, 3600.0f) : 0.0f;
}

void Water::limitToWater(Graphics& g, const RenderBuffer& picture) const
{
    // Past the water's edge on screen no pixel of the pictures is read. The
    // margin covers the ripples' offset (under 0.2 % of the picture) and the
    // bilinear filter's reach.
    constexpr int kMargin = 4;
    const int w = picture.width(), h = picture.height();
    const int x0 = std::max(0, static_cast<int>(std::floor(m_pictureRect[0] * static_cast<float>(w))) - kMargin);
    const int y0 = std::max(0, static_cast<int>(std::floor(m_pictureRect[1] * static_cast<float>(h))) - kMargin);
    const int x1 = std::min(w, static_cast<int>(std::ceil(m_pictureRect[2] * static_cast<float>(w))) + kMargin);
    const int y1 = std::min(h, static_cast<int>(std::ceil(m_pictureRect[3] * static_cast<float>(h))) + kMargin);
    g.setScissor(true, x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0));
}

void Water::renderRefraction()
{
    Graphics* g = graphics();
    m_picturesReady = g && m_technique.preparePictures();
    if (!m_picturesReady)
        return;
    const Vec3 centre{std::floor(m_eye.x / kGridSnap) * kGridSnap, 0.0f, std::floor(m_eye.z / kGridSnap) * kGridSnap};
    if (!waterOnScreen(mat4Multiply(g->projectionMatrix(), g->viewMatrix()), centre, m_pictureRect))
        m_pictureRect[0] = m_pictureRect[1] = m_pictureRect[2] = m_pictureRect[3] = 0.0f;
    const Vec3 c = litWaterColor(m_technique, g->light());
    RenderPassScope pass(*g);
    g->setRenderTarget(&m_technique.refraction());
    limitToWater(*g, m_technique.refraction());
    // Rounded as the GL rounds the ground's color: ground deep enough to be
    // lost in the water is left out of the picture, which must not show where.
    auto byte = [](float v) { return static_cast<std::uint8_t>(std::lround(clampf(0.0f, v, 1.0f) * 255.0f)); };
    g->setClearColor(Color4{byte(c.x), byte(c.y), byte(c.z), 255});
    g->clear();
    if (m_terrain)
        m_terrain->drawRefractionPass(c);
    g->setScissor(false, 0, 0, 0, 0);
}

void Water::renderReflection(const std::function<void()>& extra)
{
    Graphics* g = graphics();
    if (!g || !m_picturesReady)
        return;
    RenderPassScope pass(*g);
    Mat4 mirror;  // y -> -y: the world seen from below the sea
    mirror.m[5] = -1.0f;
    g->setRenderTarget(&m_technique.reflection());
    limitToWater(*g, m_technique.reflection());
    g->setClearColor(Color4{128, 160, 200, 255});
    g->clear();
    g->setViewMatrix(mat4Multiply(g->viewMatrix(), mirror));
    const Vec3 mirroredEye{m_eye.x, -m_eye.y, m_eye.z};
    // The ground first: the sky then fills only what is left.
    if (m_terrain)
        m_terrain->drawReflectionPass();
    if (extra)
        extra();
    if (m_sky && m_scatter)
        m_sky->draw(*m_scatter, mirroredEye);
    g->setScissor(false, 0, 0, 0, 0);
}

void Water::finishTargets()
{
    // The pictures are complete; nothing else is drawn into them this frame.
}

bool Water::glintInView(const Mat4& projection, const Mat4& view, const Vec3& sun)
{
    constexpr float kMargin = 0.7071f;  // sine of 45 degrees
    return directionInSidePlanes(projection, view, Vec3{sun.x, -sun.y, sun.z}, kMargin);
}

void Water::drawSurface()
{
    Graphics* g = graphics();
    const Vec3 sunDirection = m_scatter ? m_scatter->sunDirection() : Vec3{0, 1, 0};
    const bool glint = g && glintInView(g->projectionMatrix(), g->viewMatrix(), sunDirection);
    if (!g || !m_technique.ensureProgram(m_picturesReady, glint))
        return;
    WaterGpuProgram& program = m_technique.program(m_picturesReady, glint);
    RenderPassScope pass(*g);
    g->state() = opaqueWorldState(program, m_picturesReady ? m_technique.reflection().colorTexture() : nullptr,
                                  m_picturesReady ? m_technique.refraction().colorTexture() : nullptr);
    Mat4 follow;
    follow.m[12] = std::floor(m_eye.x / kGridSnap) * kGridSnap;
    follow.m[14] = std::floor(m_eye.z / kGridSnap) * kGridSnap;
    g->setWorldMatrix(follow);
    g->applyState();
    const WaterUniforms& u = program.locations();
    // The shader works in grid space: the eye moves with the grid.
    GpuProgram::setUniform(u.eye, m_eye.x - follow.m[12], m_eye.y, m_eye.z - follow.m[14]);
    GpuProgram::setUniform(u.time, m_time);
    const Vec3 tint = litWaterColor(m_technique, g->light());
    GpuProgram::setUniform(u.waterColor, tint.x, tint.y, tint.z);
    const Vec3 sky = m_scatter ? m_scatter->skyColor(Vec3{1.0f, 0.25f, 0.0f}) : Vec3{0.55f, 0.65f, 0.8f};
    GpuProgram::setUniform(u.skyColor, sky.x, sky.y, sky.z);
    const Vec3 sun = m_scatter ? m_scatter->sunDirection() : Vec3{0, 1, 0};
    const Vec3 light = m_scatter ? m_scatter->sunColor() : Vec3{1, 1, 1};
    GpuProgram::setUniform(u.sunDirection, sun.x, sun.y, sun.z);
    GpuProgram::setUniform(u.sunColor, light.x, light.y, light.z);
    GpuProgram::setUniform(u.pictures, m_picturesReady ? 1.0f : 0.0f);
    g->bindBuffer(BufferTarget::Array, 0);
    g->bindBuffer(BufferTarget::ElementArray, 0);
    g->setVertexLayout(VertexLayout::PosTex20, m_grid.data());
    g->drawIndexed(PrimitiveType::Triangles, m_gridIndices);
    g->invalidateVertexLayout();
    m_picturesReady = false;
    // Below the sea's far edge the sky would only be depth-tested away.
    if (m_sky)
        m_sky->setSeaDrawn(m_eye, kGridExtent - kGridSnap);
}

Water* water() { return renderGlobals().water; }
void setWater(Water* w) { renderGlobals().water = w; }
