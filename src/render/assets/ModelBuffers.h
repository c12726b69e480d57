#pragma once
#include "platform/Math.h"

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
};

// Draws one node's triangles from the shared buffers with the current render
// state, world matrix and textures. Nothing for a node that is not uploaded.
void drawModelNode(const Model& model, int node);
// The same node through the distortion program: it writes the node's
// screen-space refraction offset (view-space normal x strength, around 0.5)
// for the heat-distortion pass. strength is in texture units.
void drawModelNodeDistortion(const Model& model, int node, float strength);

// The lit model state: the lit model program, per-vertex color off with the
// current color white, texture unit 0 = texture.
void setLitModelState(const Texture2D* texture);
// Every drawn (non-helper) node with world x node matrix and the node's own
// texture, in the lit model state.
void drawModel(const Model& model, const Mat4& world);
