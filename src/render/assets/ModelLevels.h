#pragma once
#include "render/assets/GlmFormat.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class Model;

// A model's drawn nodes as one mesh in model space (node matrices applied),
// node after node, so that neighbouring nodes with one texture draw in one
// call. Helper nodes add no triangles.
struct MergedMesh {
    std::vector<GlmVertex> vertices;
    std::vector<std::uint16_t> indices;  // from the first vertex of the mesh
    // nodeCount + 1 offsets into indices: node i owns [nodeStart[i], nodeStart[i + 1]).
    std::vector<std::uint32_t> nodeStart;

    std::size_t triangleCount() const { return indices.size() / 3; }
};

// The merged mesh, at full detail when cell is 0, else simplified for small
// sizes on screen: every node's vertices are gathered into cubes of `cell`
// model units (split further by texture point and normal direction, so
// colour borders and hard edges stay), and triangles that collapse are left
// out. Nodes never share vertices, so one of them may still turn on its own.
// False, with out emptied, without CPU node data or past 65536 vertices.
bool buildMergedMesh(const Model& model, float cell, MergedMesh& out);

// The detail levels a model keeps: level 0 is full detail; level k has cells
// of the model radius / kLevelDivisions[k]. The steps are a square root of
// two apart, so a model far off gets a level whose cell is close to the
// half-pixel limit rather than up to half of it: each step about halves the
// triangles, and most of a small model's cost is its triangles.
inline constexpr int kModelLevelCount = 10;
inline constexpr float kLevelDivisions[kModelLevelCount] = {0.0f,   64.0f, 45.25f, 32.0f, 22.63f,
                                                            16.0f, 11.31f, 8.0f,  5.66f, 4.0f};

// The coarsest of the levels present whose cell stays under half a pixel at a
// model radius of projectedRadius pixels. present[k] says whether level k
// exists; level 0 always does.
int modelLevelFor(float projectedRadius, std::span<const bool> present);
