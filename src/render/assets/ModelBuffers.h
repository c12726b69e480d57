#pragma once
#include "platform/Math.h"

#include <span>

class Model;
class Texture2D;
struct SamplerSettings;

// The shared model vertex and index buffers: every uploaded model's nodes live
// in them. A model loaded after the first ones that does not fit the current
// page gets a new page, so a node records the page it sits in.
class ModelBuffers {
public:
    // Places the model's nodes into the shared buffers and loads its textures
    // (sampler null: the device's quality filter with repeat). False, leaving
    // the model CPU-only, when there is no renderer or a buffer cannot be made.
    static bool upload(Model& model, const SamplerSettings* sampler = nullptr);
    // Binds the first page's buffers, where loadAllModels put every model,
    // and marks the device's vertex layout stale.
    static void bindShared();
    // Deletes the buffers; the models' placements become invalid.
    static void release();

private:
    // The merged detail levels of an uploaded model with its CPU data.
    static void placeLevels(Model& model);
};

// Draws one node's triangles from the shared buffers with the current render
// state, world matrix and textures. Nothing for a node that is not uploaded.
void drawModelNode(const Model& model, int node);
// The same node through the distortion program: it writes the node's
// screen-space refraction offset (view-space normal x strength, around 0.5)
// for the heat-distortion pass. strength is in texture units.
void drawModelNodeDistortion(const Model& model, int node, float strength);

// Two paint colors and the mask that says where they go (red: first color,
// green: second). A null mask or a color with alpha 0 leaves that paint off.
struct ModelPaint {
    Color4 colors[2]{Color4{0, 0, 0, 0}, Color4{0, 0, 0, 0}};
    const Texture2D* mask = nullptr;
    // Multiplies the whole model (soot of a damaged aircraft); white leaves it.
    Color4 tint{255, 255, 255, 255};
};

// The lit model state: the lit model program (its unpainted build when no
// paint shows), per-vertex color off with the current color white, texture
// unit 0 = texture, no paint.
void setLitModelState(const Texture2D* texture);
// The same with the paint's colors and its mask in unit 1.
void setLitModelState(const Texture2D* texture, const ModelPaint& paint);
// Every drawn (non-helper) node with world x node matrix and the node's own
// texture, in the lit model state; painted when a paint is given.
void drawModel(const Model& model, const Mat4& world, const ModelPaint* paint = nullptr);
// One drawn node the same way; nothing for a helper or an index out of range.
void drawModelPart(const Model& model, int node, const Mat4& world, const ModelPaint* paint = nullptr);
// A whole model with a few nodes treated apart: one turned by its own
// matrix (a spinning propeller: world x turn x node), some left out.
struct ModelDrawOptions {
    const ModelPaint* paint = nullptr;
    int turnedNode = -1;
    Mat4 turn;
    std::span<const int> skippedNodes;
};
void drawModel(const Model& model, const Mat4& world, const ModelDrawOptions& options);
