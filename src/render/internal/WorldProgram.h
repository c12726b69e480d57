#pragma once
#include "render/GpuProgram.h"

class Graphics;
class Texture2D;

#include <string>

// A program of the world passes, built on first use once a renderer exists.
// A failed build is logged once and the pass then draws nothing.
class WorldProgram {
public:
    // True when the program is ready; builds it on the first call.
    bool ensure(const char* name, const std::string& vertexSource, const std::string& fragmentSource);
    GpuProgram& program() { return m_program; }
    int location(const char* uniformName) const { return m_program.uniformLocation(uniformName); }

private:
    GpuProgram m_program;
    bool m_tried = false;
};

// Saves the render state and sets the one of the opaque world passes: no
// blending, depth tested and written, both faces, `program` with two textures.
// The caller pops the state when done.
void pushOpaqueWorldState(Graphics& g, GpuProgram& program, const Texture2D* texture0, const Texture2D* texture1);

// Shader sources of the world passes (GLSL ES 1.00 bodies; fogFactor is
// already prepended where used).
namespace worldshaders {
extern const std::string kTerrainVertex, kTerrainFragment;
extern const std::string kPropsVertex, kPropsFragment;
extern const std::string kTreesVertex, kTreesFragment;
extern const std::string kSkyVertex, kSkyFragment;
extern const std::string kCloudVertex, kCloudFragment;
extern const std::string kWaterVertex, kWaterFragment;
extern const std::string kShadowDepthVertex, kShadowDepthFragment;
}  // namespace worldshaders
