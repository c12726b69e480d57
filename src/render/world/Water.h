#pragma once
#include "platform/Math.h"
#include "render/GpuProgram.h"
#include "render/RenderBuffer.h"

#include <functional>
#include <vector>

class AtmosScatter;
class Graphics;
class SkyDome;
class Terrain;

// The uniforms of the water surface's program (shaders/water.*): the tint,
// the sky, the sun glint and, from tier 2, the reflection and refraction
// pictures mixed by a fresnel term.
struct WaterUniforms {
    int eye = -1;           // "u_eye" vec3, in the grid's space
    int time = -1;          // "u_time" float, seconds, wrapped
    int waterColor = -1;    // "u_waterColor" vec3, lit
    int skyColor = -1;      // "u_skyColor" vec3
    int sunDirection = -1;  // "u_sunDirection" vec3
    int sunColor = -1;      // "u_sunColor" vec3
    int pictures = -1;      // "u_pictures" float: 1 samples the reflection and refraction
    template <class F> void forEach(F&& f)
    {
        f("u_eye", eye);
        f("u_time", time);
        f("u_waterColor", waterColor);
        f("u_skyColor", skyColor);
        f("u_sunDirection", sunDirection);
        f("u_sunColor", sunColor);
        f("u_pictures", pictures);
    }
};
using WaterGpuProgram = GpuProgramWith<WaterUniforms>;

// How the water is drawn at the renderer's quality tier: below tier 2 a
// tinted surface reflecting the sky's color; from tier 2 with reflection and
// refraction pictures at a third and a quarter of the scene's resolution.
class WaterTechnique {
public:
    // The map record's water value, 0..1 (clamped; NaN counts as 0): 0 is a
    // deep blue sea, 1 a green inland water.
    void setWaterValue(float value);
    float waterValue() const { return m_value; }
    Vec3 waterColor() const;
    // True at tier 2 and above, when both picture targets can be made for the
    // current scene target's size.
    bool preparePictures();
    RenderBuffer& reflection() { return m_reflection; }
    RenderBuffer& refraction() { return m_refraction; }
    // The surface's program with the pictures, or the one without them (the
    // lower tiers': no picture lookups at all); with the sun's glint, or
    // without it where it cannot show.
    WaterGpuProgram& program(bool pictures = true, bool glint = true) { return m_programs[variant(pictures, glint)]; }
    bool ensureProgram(bool pictures = true, bool glint = true);

private:
    static int variant(bool pictures, bool glint) { return (pictures ? 0 : 1) | (glint ? 0 : 2); }
    float m_value = 0.0f;
    RenderBuffer m_reflection, m_refraction;
    WaterGpuProgram m_programs[4];
    bool m_programTried[4] = {false, false, false, false};
};

// The sea at y = 0 (and any water below it in the terrain): the scene's water
// renderer, reached through the renderer's global water pointer.
class Water {
public:
    Water();
    ~Water();
    Water(const Water&) = delete;
    Water& operator=(const Water&) = delete;

    WaterTechnique& technique() { return m_technique; }
    // Whether the sun's glint can show anywhere in the view of projection x
    // view: the waves tilt the surface by at most 6.5 degrees, and past 14
    // degrees off the mirror angle the glint is under half a count, so only
    // where the sun's mirror image lies within 45 degrees of the view.
    static bool glintInView(const Mat4& projection, const Mat4& view, const Vec3& sun);
    // What the pictures show: links, not owned; null skips that part.
    void setWorld(Terrain* terrain, SkyDome* sky, const AtmosScatter* scatter);

    // Per frame, with the camera position and the scene time in seconds;
    // before the ground is drawn (it tells the terrain what the sea hides).
    void update(const Vec3& cameraPosition, float sceneTime);
    // Draw the pictures with the renderer's current matrices (tier 2 and above):
    // the ground below the sea, and the mirrored world above it plus whatever
    // `extra` draws (the game's reflected ground targets).
    void renderRefraction();
    void renderReflection(const std::function<void()>& extra = {});
    // The target pass after both pictures: restores the scene target's matrices.
    void finishTargets();
    // The surface; depth-tested against the ground drawn before it.
    void drawSurface();
    // After the shadow volumes: nothing to add yet.
    void afterShadow() {}
    // The screen area (0..1: x0, y0, x1, y1) the last renderRefraction found
    // the water in; the pictures are drawn there only. All 0 when out of view.
    const float* pictureArea() const { return m_pictureRect; }

private:
    void buildGrid();
    // Scissors the bound picture to the water's part of the screen.
    void limitToWater(Graphics& g, const RenderBuffer& picture) const;

    WaterTechnique m_technique;
    Terrain* m_terrain = nullptr;
    SkyDome* m_sky = nullptr;
    const AtmosScatter* m_scatter = nullptr;
    Vec3 m_eye;
    float m_time = 0.0f;
    bool m_picturesReady = false;
    float m_pictureRect[4] = {0, 0, 1, 1};  // the water on screen, 0..1: x0, y0, x1, y1
    std::vector<float> m_grid;             // x y z u v around the origin
    std::vector<std::uint16_t> m_gridIndices;
};

// The renderer's global water pointer; null when the map has no water.
Water* water();
void setWater(Water* water);
