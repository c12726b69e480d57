#include "render/assets/Model.h"
#include "platform/Log.h"

#include "platform/File.h"
#include "render/assets/ModelBuffers.h"
#include "render/internal/RenderGlobals.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <memory>

namespace {
constexpr std::string_view kModelFolder = "data/models/";
constexpr std::string_view kGlm = ".glm";

// Every loaded model by key; the cache is the only owner.
auto& cache()
{
    return renderGlobals().caches().models;
}

struct ModelAddress {
    std::string file;       // "data/models/x.glm"
    std::size_t object = 0;
};

// False when the name addresses no .glm object.
bool parseAddress(std::string_view name, ModelAddress& out)
{
    const std::size_t at = name.rfind(kGlm);
    if (at == std::string_view::npos || at == 0)
        return false;
    const std::string_view tail = name.substr(at + kGlm.size());
    std::size_t object = 0;
    if (!tail.empty()) {
        if (tail.size() < 2 || tail[0] != '_')
            return false;
        const char* first = tail.data() + 1;
        const char* last = tail.data() + tail.size();
        const auto [end, ec] = std::from_chars(first, last, object);
        if (ec != std::errc() || end != last)
            return false;
    }
    std::string file(name.substr(0, at + kGlm.size()));
    if (file.find('/') == std::string::npos)
        file.insert(0, kModelFolder);
    out = ModelAddress{std::move(file), object};
    return true;
}

// Reads and decodes a .glm file; false, with a log line naming it, when it is
// missing or damaged.
bool readModelFile(const std::string& path, GlmFile& out)
{
    std::unique_ptr<File> file = openFile(path);
    std::vector<std::uint8_t> bytes;
    if (!file || !file->readAll(bytes)) {
        logWarning("render", "model \"%s\": missing", path.c_str());
        return false;
    }
    std::string fault;
    if (!readGlm(bytes, out, fault)) {
        logWarning("render", "model \"%s\": %s", path.c_str(), fault.c_str());
        return false;
    }
    return true;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}
}  // namespace

Model* Model::create(std::string name, const GlmFile& file, std::size_t object, unsigned flags,
                     std::string_view textureFolder)
{
    if (object >= file.objects.size() || !checkGlm(file).empty())
        return nullptr;
    const GlmObject& o = file.objects[object];
    std::unique_ptr<Model> model(new Model());
    model->m_name = std::move(name);
    model->m_flags = flags;
    model->m_boundsMin = o.boundsMin;
    model->m_boundsMax = o.boundsMax;
    model->m_radius = o.radius;
    model->m_collision.assign(file.collision.begin() + o.collFirstTriangle,
                              file.collision.begin() + o.collFirstTriangle + o.collTriangleCount);
    for (const std::string& texture : file.textures)
        model->m_textureNames.push_back(std::string(textureFolder) + texture);
    model->m_textures.resize(file.textures.size());
    model->m_nodes.reserve(o.nodeCount);
    for (std::uint32_t i = o.firstNode; i < o.firstNode + o.nodeCount; ++i) {
        const GlmNode& n = file.nodes[i];
        Node node;
        node.name = n.name;
        node.flags = n.flags;
        node.parent = n.parent < 0 ? -1 : n.parent - static_cast<int>(o.firstNode);
        node.matrix = n.matrix;
        node.vertexCount = n.vertexCount;
        node.indexCount = n.indexCount;
        node.texture = n.texture;
        node.centre = n.centre;
        node.radius = n.radius;
        node.size = n.size;
        node.vertices.assign(file.vertices.begin() + n.vertexBase,
                             file.vertices.begin() + n.vertexBase + n.vertexCount);
        node.indices.assign(file.indices.begin() + n.firstIndex, file.indices.begin() + n.firstIndex + n.indexCount);
        model->m_nodes.push_back(std::move(node));
    }
    return model.release();
}

Model::~Model() = default;

const Model::Node* Model::node(std::size_t index) const
{
    return index < m_nodes.size() ? &m_nodes[index] : nullptr;
}

const Model::Node* Model::findNode(std::string_view name) const
{
    const int index = findNodeIndex(name);
    return index < 0 ? nullptr : &m_nodes[static_cast<std::size_t>(index)];
}

int Model::findNodeIndex(std::string_view name) const
{
    for (std::size_t i = 0; i < m_nodes.size(); ++i)
        if (m_nodes[i].name == name)
            return static_cast<int>(i);
    return -1;
}

float Model::size() const
{
    return std::max({m_boundsMax.x - m_boundsMin.x, m_boundsMax.y - m_boundsMin.y, m_boundsMax.z - m_boundsMin.z});
}

Texture2D* Model::nodeTexture(const Node& node) const
{
    if (node.texture < 0 || static_cast<std::size_t>(node.texture) >= m_textures.size())
        return nullptr;
    return m_textures[static_cast<std::size_t>(node.texture)].get();
}

Texture2D* Model::firstTexture() const
{
    for (const Node& n : m_nodes)
        if (!n.isHelper())
            return nodeTexture(n);
    return nullptr;
}

bool Model::freeCpuData()
{
    if (!m_uploaded || !m_bakedIntoProps || (m_flags & kModelKeepCpuData) != 0)
        return false;
    for (Node& n : m_nodes) {
        std::vector<GlmVertex>().swap(n.vertices);
        std::vector<std::uint16_t>().swap(n.indices);
    }
    m_cpuDataFreed = true;
    return true;
}

bool Model::restoreCpuData()
{
    if (!m_cpuDataFreed)
        return true;
    ModelAddress address;
    GlmFile file;
    if (!parseAddress(m_name, address) || !readModelFile(address.file, file))
        return false;
    // The file must still hold this model as it was loaded: same nodes, same sizes.
    const auto matches = [&] {
        if (address.object >= file.objects.size() || file.objects[address.object].nodeCount != m_nodes.size())
            return false;
        const GlmObject& o = file.objects[address.object];
        for (std::size_t i = 0; i < m_nodes.size(); ++i) {
            const GlmNode& n = file.nodes[o.firstNode + i];
            if (n.vertexCount != m_nodes[i].vertexCount || n.indexCount != m_nodes[i].indexCount)
                return false;
        }
        return true;
    };
    if (!matches()) {
        logWarning("render", "model \"%s\": the file changed since it was loaded", m_name.c_str());
        return false;
    }
    const GlmObject& o = file.objects[address.object];
    for (std::size_t i = 0; i < m_nodes.size(); ++i) {
        const GlmNode& n = file.nodes[o.firstNode + i];
        m_nodes[i].vertices.assign(file.vertices.begin() + n.vertexBase, file.vertices.begin() + n.vertexBase + n.vertexCount);
        m_nodes[i].indices.assign(file.indices.begin() + n.firstIndex, file.indices.begin() + n.firstIndex + n.indexCount);
    }
    m_cpuDataFreed = false;
    return true;
}

std::string modelKey(std::string_view name)
{
    ModelAddress address;
    if (!parseAddress(name, address))
        return {};
    return address.file + "_" + std::to_string(address.object);
}

Model* loadModel(std::string_view name, unsigned flags, const SamplerSettings* sampler)
{
    ModelAddress address;
    if (!parseAddress(name, address)) {
        logWarning("render", "model \"%.*s\": not a .glm name", static_cast<int>(name.size()), name.data());
        return nullptr;
    }
    std::string key = address.file + "_" + std::to_string(address.object);
    auto& models = cache();
    if (auto found = models.find(key); found != models.end()) {
        // A later caller may need the CPU arrays kept (an aircraft model
        // first loaded from the model table).
        found->second->m_flags |= flags;
        ModelBuffers::upload(*found->second, sampler);
        return found->second.get();
    }

    GlmFile glm;
    if (!readModelFile(address.file, glm))
        return nullptr;
    std::unique_ptr<Model> model(Model::create(key, glm, address.object, flags, folderOf(address.file)));
    if (!model) {
        logWarning("render", "model \"%s\": no object %zu", address.file.c_str(), address.object);
        return nullptr;
    }
    ModelBuffers::upload(*model, sampler);
    Model* loaded = model.get();
    models.emplace(std::move(key), std::move(model));
    return loaded;
}

int loadAllModels(std::string_view tableName)
{
    std::unique_ptr<File> file = openFile(tableName);
    std::vector<std::uint8_t> bytes;
    if (!file || !file->readAll(bytes)) {
        logWarning("render", "model table \"%.*s\": missing", static_cast<int>(tableName.size()), tableName.data());
        return 0;
    }
    int loaded = 0;
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        if (!line.empty() && loadModel(line))
            ++loaded;
    }
    return loaded;
}

void freeModelCpuData()
{
    for (auto& [key, model] : cache())
        model->freeCpuData();
}

void releaseAllModels()
{
    cache().clear();
    ModelBuffers::release();
}
