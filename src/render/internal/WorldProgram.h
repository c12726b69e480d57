#pragma once
#include "render/GpuProgram.h"
#include "render/Graphics.h"
#include "render/shadows/ShadowMaps.h"

#include <string_view>


// Builds `program` on the first call once a renderer exists; true when it is
// ready. A failed build is logged once (`tried` remembers it) and the pass
// then draws nothing.
bool ensureWorldProgram(GpuProgram& program, bool& tried, const char* name, std::string_view vertexSource,
                        std::string_view fragmentSource);

// A program of the world passes with its uniform struct U, built on first use.
template <class U>
class WorldProgram {
public:
    bool ensure(const char* name, std::string_view vertexSource, std::string_view fragmentSource)
    {
        return ensureWorldProgram(m_program, m_tried, name, vertexSource, fragmentSource);
    }
    GpuProgramWith<U>& program() { return m_program; }
    const U& locations() const { return m_program.locations(); }

private:
    GpuProgramWith<U> m_program;
    bool m_tried = false;
};

// The state of the opaque world passes: RenderState::opaque() drawn by
// `program` with two textures.
RenderState opaqueWorldState(GpuProgram& program, const Texture2D* texture0, const Texture2D* texture1);

// The uniforms of the world programs (shaders/terrain.*, props.*, sky.*; trees,
// clouds and the shadow depth use the standard ones only).
struct TerrainUniforms {
    int terrainSize = -1;   // "u_terrainSize" float
    int detailFade = -1;    // "u_detailFade" vec2: eye distances where the grain starts and ends fading
    int groundTint = -1;    // "u_groundTint" vec3
    int detailScale = -1;   // "u_detailScale" float
    int clip = -1;          // "u_clip" vec2 (height, side)
    int underwater = -1;    // "u_underwater" vec4 (water color, 1 / fade depth)
    ShadowLookupUniforms shadow;
    template <class F> void forEach(F&& f)
    {
        f("u_terrainSize", terrainSize);
        f("u_detailFade", detailFade);
        f("u_groundTint", groundTint);
        f("u_detailScale", detailScale);
        f("u_clip", clip);
        f("u_underwater", underwater);
        shadow.forEach(f);
    }
};

struct PropsUniforms {
    ShadowLookupUniforms shadow;
    template <class F> void forEach(F&& f) { shadow.forEach(f); }
};

struct SkyUniforms {
    int sunDirection = -1;  // "u_sunDirection" vec3, towards the sun
    int sunColor = -1;      // "u_sunColor" vec3: the disc's color, black when it has set
    template <class F> void forEach(F&& f)
    {
        f("u_sunDirection", sunDirection);
        f("u_sunColor", sunColor);
    }
};

struct SeaDepthUniforms {
    int depthBias = -1;  // "u_depthBias" float, clip-space z over w
    template <class F> void forEach(F&& f) { f("u_depthBias", depthBias); }
};

using TreesUniforms = NoUniforms;
using CloudUniforms = NoUniforms;
using ShadowDepthUniforms = NoUniforms;
