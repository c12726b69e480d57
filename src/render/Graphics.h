#pragma once
#include "platform/Math.h"
#include "render/BufferObject.h"
#include "render/Texture2D.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

class GpuProgram;
class RenderBuffer;

enum class BlendFactor : std::uint8_t {
    Zero = 0, One, SrcColor, OneMinusSrcColor, DstColor, OneMinusDstColor,
    SrcAlpha, OneMinusSrcAlpha, DstAlpha, OneMinusDstAlpha,
};
// A pair of blend factors; (One, Zero) means blending off.
struct BlendState {
    BlendFactor src = BlendFactor::One;
    BlendFactor dst = BlendFactor::OneMinusSrcAlpha;
    bool operator==(const BlendState&) const = default;
};
constexpr BlendState kBlendOpaque{BlendFactor::One, BlendFactor::Zero};
// The default: texels and colors carry premultiplied alpha.
constexpr BlendState kBlendPremultiplied{BlendFactor::One, BlendFactor::OneMinusSrcAlpha};
constexpr BlendState kBlendAdditive{BlendFactor::One, BlendFactor::One};
// Straight alpha: what the alternative blend mode draws with.
constexpr BlendState kBlendStraightAlpha{BlendFactor::SrcAlpha, BlendFactor::OneMinusSrcAlpha};

enum class CompareFunc : std::uint8_t { Never = 0, Less, Equal, LessEqual, Greater, NotEqual, GreaterEqual, Always };
enum class CullMode : std::uint8_t { None = 0, Back, Front };   // counter-clockwise faces are front
enum class StencilOp : std::uint8_t { Keep = 0, Zero, Replace, Increment, Decrement, Invert, IncrementWrap, DecrementWrap };

struct StencilState {
    bool enabled = false;
    CompareFunc func = CompareFunc::Always;
    std::uint8_t reference = 0, readMask = 0xFF, writeMask = 0xFF;
    StencilOp fail = StencilOp::Keep, depthFail = StencilOp::Keep, pass = StencilOp::Keep;
    // Two-sided: back faces take the back operations, front faces the ones
    // above (shadow volumes count both in one pass). Off: both take the above.
    bool twoSided = false;
    StencilOp backFail = StencilOp::Keep, backDepthFail = StencilOp::Keep, backPass = StencilOp::Keep;
    bool operator==(const StencilState&) const = default;
};

// Color-write mask bits.
constexpr std::uint8_t kColorMaskRed = 1, kColorMaskGreen = 2, kColorMaskBlue = 4, kColorMaskAlpha = 8;
constexpr std::uint8_t kColorMaskAll = 15, kColorMaskNone = 0;

// The polygon offset of decals drawn onto coplanar surfaces (bullet holes):
// pulls them towards the camera so they win the depth test.
constexpr float kPolygonOffsetFactor = -150.0f, kPolygonOffsetUnits = -200.0f;

// The programs the device picks among when no custom program is set.
enum class BuiltinProgram : std::uint8_t {
    Sprite = 0,    // texture x vertex color x global color factor (2-D)
    Color = 1,     // vertex color only, untextured
    Effect = 2,    // texture x vertex color (3-D effects)
    LitModel = 3,  // texture x vertex color x (ambient + diffuse sun), fogged
    UnpaintedModel = 4,  // the lit model without the paint mask's lookup
};
constexpr int kBuiltinProgramCount = 5;

// Vertex layouts: where the attributes lie in an interleaved vertex.
enum class VertexLayout : std::uint8_t {
    None = 0,
    PosColorTex24,   // pos 3f, RGBA8, u v 2f (sprites, effects, the normal particle vertex)
    PosTex16,        // x y 2f, u v 2f (2-D quads, the full-screen quad)
    PosTex20,        // pos 3f, u v 2f
    Model32,         // pos 3f, normal 3f, u v 2f
    PosNormal16,     // pos 3f, normal 3 signed bytes normalized and a pad (the ground's patches)
    PosColorTexTex32,  // pos 3f, RGBA8, u v 2f, second u v 2f (high-detail particles)
};
int vertexStride(VertexLayout layout);

enum class PrimitiveType : std::uint8_t { Triangles = 0, TriangleStrip, TriangleFan, Lines, LineStrip, Points };

// The render state record: what setRenderState applies and pushState saves.
// Passes may change fields directly and call applyState before drawing.
struct RenderState {
    // Presets for a pass to start from; the pass then sets its program,
    // textures and color. Every field not named keeps its default.
    // Opaque, depth tested and written, both faces: solid world passes.
    static RenderState opaque();
    // Opaque, depth tested but not written: the sky behind everything.
    static RenderState backdrop();
    // Premultiplied alpha, depth tested but not written: clouds, haze.
    static RenderState alphaBlend();
    // Added light, depth tested but not written: glows.
    static RenderState additive();
    // Opaque without depth, the built-in effect program in plain white:
    // full-target passes over a picture (post-processing).
    static RenderState fullTarget();

    BlendState blend = kBlendPremultiplied;
    // The alternative blend mode: while set, draws blend with kBlendStraightAlpha
    // whatever `blend` says (the HUD's faint darkening, the underwater tint).
    bool alternativeBlend = false;
    bool depthTest = true;
    bool depthWrite = true;
    CompareFunc depthFunc = CompareFunc::LessEqual;
    CullMode cull = CullMode::None;
    StencilState stencil;
    bool polygonOffset = false;          // kPolygonOffsetFactor / kPolygonOffsetUnits when on
    std::uint8_t colorMask = kColorMaskAll;
    // The current color (premultiplied), used instead of per-vertex color when
    // perVertexColor is off.
    Color4 color{255, 255, 255, 255};
    bool perVertexColor = true;
    BuiltinProgram program = BuiltinProgram::Sprite;
    // A program of a later subsystem used instead of the built-in one; not owned.
    GpuProgram* customProgram = nullptr;
    // Set while the player's own aircraft parts draw.
    bool playerDraw = false;
    // Textures of units 0 and 1; null samples white.
    std::array<const Texture2D*, 2> textures{};
    // The lit model program's two paint colors, laid over the texture where
    // the paint mask in unit 1 has red (first) or green (second). Alpha is
    // how much of the paint shows: 0, the default, leaves the texture bare.
    std::array<Color4, 2> paint{Color4{0, 0, 0, 0}, Color4{0, 0, 0, 0}};
};

// Scene light record (12 floats): direction towards the sun, ambient = 0.4 x sun
// color, diffuse = 0.9 x sun color, sun color; colors 0..1.
struct LightRecord {
    float direction[3] = {0.0f, 1.0f, 0.0f};
    float ambient[3] = {0.4f, 0.4f, 0.4f};
    float diffuse[3] = {0.9f, 0.9f, 0.9f};
    float sunColor[3] = {1.0f, 1.0f, 1.0f};
};
// Fog record (5 floats): color 0..1, start and end in world units from the eye.
// end may lie below start; the shaders then fog everything past the start.
struct FogRecord {
    float color[3] = {1.0f, 1.0f, 1.0f};
    float start = 0.0f;
    float end = 1.0f;
};

// The one renderer: the render state, matrices, targets and the quality the
// other subsystems read. Reached through graphics(); null before start-up and
// in tools and unit tests, where nothing draws and textures keep no GL object.
class Graphics {
public:
    virtual ~Graphics();
    // Frees every GL object the device made; the context must still be current.
    virtual void shutdown() = 0;

    // ---- quality -------------------------------------------------------------
    int qualityTier() const { return m_qualityTier; }
    // Clamped to 0..3; tier 3 also sets the high-detail byte.
    void setQualityTier(int tier);
    // The program-wide high-detail ("top quality") byte: 1 at tier 3.
    std::uint8_t highDetail() const { return m_highDetail; }
    // Trilinear from tier 2, else bilinear.
    TextureFilter qualityFilter() const;
    // The quality filter with clamp-to-edge.
    SamplerSettings defaultSampler() const { return {qualityFilter(), TextureWrap::ClampToEdge}; }

    // ---- features read from the context ---------------------------------------
    bool occlusionQuerySupported() const { return m_occlusionQuerySupported; }
    bool isDesktopContext() const { return m_desktopContext; }

    // ---- render state --------------------------------------------------------
    RenderState& state() { return m_state; }
    const RenderState& state() const { return m_state; }
    // Replaces the whole record and applies blend, depth, cull, stencil, polygon
    // offset and color mask at once.
    void setRenderState(const RenderState& state);
    // Save and restore the record; a pop without a push leaves it unchanged.
    void pushState();
    void popState();
    // Drawing through a mirror (the sea's reflection): clockwise faces are
    // front, so culling keeps the faces that show.
    void setMirroredWinding(bool on) { m_mirroredWinding = on; }
    bool mirroredWinding() const { return m_mirroredWinding; }
    // Sends the changed state to GL, picks the program (the custom one, else the
    // built-in one of state().program) and uploads its changed uniforms. Every
    // draw call applies first, so callers only need it before drawing through GL
    // themselves.
    virtual void applyState() = 0;

    // ---- matrices (column order) ------------------------------------------------
    virtual void setProjectionMatrix(const Mat4& m);
    virtual void setViewMatrix(const Mat4& m);
    virtual void setWorldMatrix(const Mat4& m);
    const Mat4& projectionMatrix() const { return m_projection; }
    const Mat4& viewMatrix() const { return m_view; }
    const Mat4& worldMatrix() const { return m_world; }

    // ---- light, fog, color factor ---------------------------------------------
    // Records owned by the scene; null means unlit / no fog.
    void setLight(const LightRecord* light);
    void setFog(const FogRecord* fog);
    const LightRecord* light() const { return m_light; }
    const FogRecord* fog() const { return m_fog; }
    // The 2-D global color factor (1.0 normal) the sprite program multiplies in.
    void setColorFactor(float r, float g, float b, float a);

    // ---- targets, viewport, clear ------------------------------------------------
    // Null binds the screen. Also sets the viewport to the whole target.
    virtual void setRenderTarget(RenderBuffer* target) = 0;
    RenderBuffer* currentRenderTarget() const { return m_renderTarget; }
    int screenWidth() const { return m_screenWidth; }
    int screenHeight() const { return m_screenHeight; }
    void setScreenSize(int width, int height);
    virtual void setViewport(int x, int y, int width, int height) = 0;
    virtual void setClearColor(const Color4& color) = 0;
    const Color4& clearColor() const { return m_clearColor; }
    // The clear color the device starts with; a screen that clears to its own
    // color puts this one back after its draw.
    static constexpr Color4 kDefaultClearColor{0, 0, 0, 255};
    void restoreDefaultClearColor() { setClearColor(kDefaultClearColor); }
    // Limits drawing (and clears) to a rectangle of the target in pixels,
    // origin bottom left; off draws everywhere.
    virtual void setScissor(bool enabled, int x, int y, int width, int height) = 0;
    // Clears color, depth and stencil of the current target (those it has),
    // ignoring the color mask and depth-write state.
    virtual void clear() = 0;
    // Scene targets in their order of preference (multisampled, scene, reduced,
    // screen); links, not owned. The scene draws into the first that is set.
    std::array<RenderBuffer*, 4> sceneTargets{};
    RenderBuffer* hazeTarget = nullptr;
    RenderBuffer* distortionTarget = nullptr;

    // ---- vertices and drawing -------------------------------------------------------
    // Points the attributes of the layout at vertices in client memory (no
    // array buffer bound). The device remembers the layout (for the color
    // attribute); callers that set vertex attributes through GL themselves
    // call invalidateVertexLayout afterwards.
    virtual void setVertexLayout(VertexLayout layout, const void* vertices) = 0;
    // The same for vertices in the bound array buffer, from `byteOffset`.
    virtual void setBufferVertexLayout(VertexLayout layout, std::size_t byteOffset) = 0;
    virtual void invalidateVertexLayout() = 0;
    // Binds through a cache per target; 0 unbinds.
    virtual void bindBuffer(BufferTarget target, unsigned int glName) = 0;
    virtual void invalidateBufferBindings() = 0;

    virtual void drawArrays(PrimitiveType type, int first, int count) = 0;
    // 16-bit indices from client memory (no element buffer bound).
    virtual void drawIndexed(PrimitiveType type, std::span<const std::uint16_t> indices) = 0;
    // 16-bit indices from the bound element buffer, starting at a byte offset.
    virtual void drawIndexedBuffer(PrimitiveType type, int count, std::size_t byteOffset) = 0;
    // Quads of the current vertex layout (4 vertices each, from vertex 0)
    // through the shared quad index buffer. At most kSharedQuadCount quads: a
    // larger count is clamped, never read past the indices.
    virtual void drawQuads(int quadCount) = 0;
    // The -1..1 quad with texture coordinates 0..1 under the current state;
    // the caller sets the matrices (identity for a full-target pass).
    virtual void drawFullScreenQuad() = 0;

    // The shared quad indices: 0,1,2, 1,2,3 (+4 per quad), kSharedQuadCount quads.
    static constexpr int kSharedQuadCount = 2048;
    static std::span<const std::uint16_t> sharedQuadIndices();

    // RGBA8 pixels of a rectangle of the current target, bottom row first.
    virtual void readPixels(int x, int y, int width, int height, std::vector<std::uint8_t>& rgba) = 0;
    // Copies the current target's lower-left width x height pixels into the
    // texture's first level (at least that large); false when the device cannot.
    virtual bool copyTargetTo(Texture2D& texture, int width, int height)
    {
        (void)texture;
        (void)width;
        (void)height;
        return false;
    }

    // The device's 1x1 white texture, sampled where a unit has no texture.
    virtual const Texture2D* whiteTexture() const = 0;

    // Binds a texture to a unit past the two the render state keeps (shadow
    // maps); null binds the white texture. Unit 0 is active again afterwards.
    virtual void bindExtraTexture(int unit, const Texture2D* texture) = 0;
    // Stencil bits of the screen's own buffer (the window's request), read
    // from the context at start.
    int screenStencilBits() const { return m_screenStencilBits; }

protected:
    Graphics() = default;

    RenderState m_state;
    std::vector<RenderState> m_stateStack;
    Mat4 m_projection, m_view, m_world;
    const LightRecord* m_light = nullptr;
    const FogRecord* m_fog = nullptr;
    float m_colorFactor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    // Change serials compared with GpuProgram::uploaded().
    std::uint32_t m_matrixSerial = 1, m_colorFactorSerial = 1, m_lightSerial = 1, m_fogSerial = 1;
    RenderBuffer* m_renderTarget = nullptr;
    Color4 m_clearColor = kDefaultClearColor;
    int m_screenWidth = 0, m_screenHeight = 0;
    int m_qualityTier = 0;
    std::uint8_t m_highDetail = 0;
    bool m_mirroredWinding = false;
    bool m_occlusionQuerySupported = false;
    bool m_desktopContext = false;
    int m_screenStencilBits = 0;
};

// The current device; null when none exists.
Graphics* graphics();
// Set by start-up (and GL tests) once the device is initialised; null at shut-down.
void setGraphics(Graphics* device);

// Saves what a pass changes - the render target (and with it the viewport),
// the three matrices, the render state and the clear color - and puts back
// what changed when it ends. Scopes nest. The state comes back as a record;
// the next draw applies it.
class RenderPassScope {
public:
    explicit RenderPassScope(Graphics& device);
    ~RenderPassScope();
    RenderPassScope(const RenderPassScope&) = delete;
    RenderPassScope& operator=(const RenderPassScope&) = delete;

private:
    Graphics& m_device;
    RenderBuffer* m_target;
    Mat4 m_projection, m_view, m_world;
    RenderState m_state;
    Color4 m_clearColor;
};
