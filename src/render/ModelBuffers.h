#pragma once

class Model;

// The shared model vertex and index buffers: every uploaded model's nodes
// live in them. Pages of buffers are added when a model loaded later does not
// fit, so a node records which page it sits in.
class ModelBuffers {
public:
    // Places the model's nodes into the shared buffers and loads its
    // textures. False, leaving the model CPU-only, when there is no renderer
    // or a buffer cannot be made.
    static bool upload(Model& model);
    // Deletes the buffers (the models' placements become invalid).
    static void release();
};
