#pragma once
#include "platform/ManagedArray.h"
#include "platform/Math.h"
#include "render/Texture2D.h"
#include "render/assets/GlmFormat.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Flags of loadModel.
enum ModelLoadFlags : unsigned {
    // Keeps the node vertex and index arrays through freeModelCpuData: for
    // models whose meshes are copied after the free (aircraft exhaust, vapour
    // and sonic meshes, effect models).
    kModelKeepCpuData = 1,
};

// One object of a .glm file: its nodes, bounds and collision triangles. The
// CPU side loads without a GL context (tools, tests, collision); when the
// renderer exists, the nodes are also placed in the shared model buffers.
class Model : public ManagedArray<Model, 1024> {
public:
    struct Node {
        std::string name;
        std::uint32_t flags = 0;               // GlmNode::kHelper
        int parent = -1;                       // node index in this model, -1 for a root
        Mat4 matrix;                           // node space to model space
        std::uint32_t vertexCount = 0;
        std::uint32_t indexCount = 0;          // unsigned 16-bit triangle-list indices
        int texture = -1;                      // index into textureNames(), -1 for none
        Vec3 centre;                           // bounding values in node space (see GlmNode)
        float radius = 0.0f;
        float size = 0.0f;
        // CPU copies: 32-byte vertices and node-relative indices. Emptied by
        // freeModelCpuData only for models baked into prop batches.
        std::vector<GlmVertex> vertices;
        std::vector<std::uint16_t> indices;
        // Placement in the shared model buffers once uploaded: the first
        // index and the first vertex there; indices count from vertexBase.
        int bufferPage = -1;
        std::uint32_t firstIndex = 0;
        std::uint32_t vertexBase = 0;

        bool isHelper() const { return (flags & GlmNode::kHelper) != 0; }
    };
    // The drawn nodes merged in model space at one detail level (see
    // buildMergedMesh), placed in the shared model buffers at upload.
    struct Level {
        int bufferPage = -1;
        std::uint32_t firstIndex = 0;
        std::uint32_t vertexBase = 0;
        std::vector<std::uint32_t> nodeStart;  // nodeCount + 1 offsets from firstIndex
        std::size_t triangles = 0;
    };

    // Builds object k of a decoded file; null when k is not in it. The name
    // is the cache key; texture names are taken relative to textureFolder.
    static Model* create(std::string name, const GlmFile& file, std::size_t object, unsigned flags,
                         std::string_view textureFolder);
    ~Model();
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    const std::string& name() const { return m_name; }
    unsigned loadFlags() const { return m_flags; }

    std::size_t nodeCount() const { return m_nodes.size(); }
    // Null past the count.
    const Node* node(std::size_t index) const;
    // The first node of that name; null when none.
    const Node* findNode(std::string_view name) const;
    const Node* getNode(std::string_view name) const { return findNode(name); }
    // Index of the first node of that name; -1 when none.
    int findNodeIndex(std::string_view name) const;

    // Object space, over the drawn (non-helper) nodes.
    const Vec3& boundsMin() const { return m_boundsMin; }
    const Vec3& boundsMax() const { return m_boundsMax; }
    // Distance of the farthest drawn vertex from the model origin.
    float radius() const { return m_radius; }
    // The longest edge of the bounds: the size measure of wreckage.
    float size() const;

    // Object-space collision triangles; kept by freeModelCpuData.
    std::span<const GlmTriangle> collisionTriangles() const { return m_collision; }

    // Full texture paths ("data/models/units.pvr"), by node texture index.
    const std::vector<std::string>& textureNames() const { return m_textureNames; }
    // The texture of a node once uploaded; null without one.
    Texture2D* nodeTexture(const Node& node) const;
    // The texture of the first non-helper node; null before upload or without one.
    Texture2D* firstTexture() const;

    // Set by the prop builder once the nodes are baked into a prop batch:
    // then nothing reads the node arrays any more and freeModelCpuData may drop them.
    void markBakedIntoProps() { m_bakedIntoProps = true; }
    bool isBakedIntoProps() const { return m_bakedIntoProps; }
    bool isUploaded() const { return m_uploaded; }
    // Detail levels by index (kModelLevelCount of them once uploaded); a level
    // with no page was not made or simplified nothing.
    std::span<const Level> levels() const { return m_levels; }
    // Drops the node arrays when the rules of freeModelCpuData allow; true when dropped.
    bool freeCpuData();
    // Reads the node arrays back from the model's file after freeCpuData
    // dropped them. True when the arrays are there; false (logged) when the
    // file is gone or no longer matches the model, which then keeps none.
    [[nodiscard]] bool restoreCpuData();

private:
    friend class ModelBuffers;
    friend Model* loadModel(std::string_view name, unsigned flags, const SamplerSettings* sampler);
    Model() = default;

    std::string m_name;
    unsigned m_flags = 0;
    std::vector<Node> m_nodes;
    std::vector<GlmTriangle> m_collision;
    std::vector<std::string> m_textureNames;
    std::vector<TextureRef> m_textures;        // by texture index, filled at upload
    std::vector<Level> m_levels;
    Vec3 m_boundsMin, m_boundsMax;
    float m_radius = 0.0f;
    bool m_bakedIntoProps = false;
    bool m_cpuDataFreed = false;
    bool m_uploaded = false;
};

// The cache key of a model name: a bare name ("runway_field.glm_0") lives
// under "data/models/", and "x.glm" is the same model as "x.glm_0". Empty when
// the name addresses no .glm object.
std::string modelKey(std::string_view name);

// Loads a model once by name through openFile and caches it: "path.glm" is
// object 0 of the file, "path.glm_<k>" object k. Null when the file is
// missing or damaged or has no object k; a failure is not cached, so a later
// call tries again. Flags of a later call are added to the cached model's.
// With a renderer, the model also goes into the shared model buffers and its
// textures are loaded (sampler null: the quality filter with repeat), also
// when it was first loaded before the renderer existed.
[[nodiscard]] Model* loadModel(std::string_view name, unsigned flags = 0, const SamplerSettings* sampler = nullptr);

// Loads every model named in the model-name table, one name a line ('#'
// starts a comment). Returns how many are loaded; missing ones are logged.
int loadAllModels(std::string_view tableName = "data/models/models.lst");

// Frees the CPU copies nothing reads any more: the node arrays of uploaded
// models baked into prop batches, unless loaded with kModelKeepCpuData.
// Collision triangles always stay (the props grid is built after the free in
// the menu), and so do the meshes that exhaust and vapour effects copy later.
void freeModelCpuData();

// Deletes every model and the shared model buffers (shut-down, tests).
void releaseAllModels();
