#pragma once
#include "Mesh.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class DataContext;
class GlmBuilder;

// Helpers shared by the model steps.

// Palette textures: 4 x 4 flat color cells of 16 pixels. A part samples the
// centre of its cell, so it keeps a clean flat color through the mip levels.
using Rgb = std::array<std::uint8_t, 3>;
constexpr int kPaletteSide = 64;
constexpr int kCell = 16;
Vec2 cell(int i);
MeshUv color(int i);
// The palette as an uncompressed RGBA texture with its full mip chain (the
// cells stay flat down to 4 x 4 pixels).
std::vector<std::uint8_t> paletteTexture(const Rgb (&palette)[16]);

// A thin aerofoil-like surface between a root and a tip chord: two flat
// slabs meeting at a ridge a third of the way back, thin at both edges.
// Each chord runs along +z from its leading-edge point; thick is the
// direction of the thickness.
struct Chord {
    Vec3 leading;
    float length = 0.0f;
    float thickness = 0.0f;
};
void addWing(Mesh& mesh, const Chord& root, const Chord& tip, Vec3 thick, const MeshUv& uv);

// The mesh and its mirror image across x = 0.
Mesh mirrored(const Mesh& half);

// Writes a model at its data name; fails the step on a table or winding
// fault, so a bad model never ships.
bool writeModelFile(DataContext& context, const std::string& path, const GlmBuilder& builder);
