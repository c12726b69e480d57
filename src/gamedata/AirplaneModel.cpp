#include "gamedata/AirplaneModel.h"

#include "gamedata/records/PlaneCfg.h"
#include "platform/File.h"
#include "platform/Log.h"
#include "render/Graphics.h"
#include "render/Texture2D.h"
#include "render/assets/TextureCache.h"
#include "render/assets/Model.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {
std::vector<std::unique_ptr<AirplaneModel>>& loaded()
{
    static std::vector<std::unique_ptr<AirplaneModel>> all;
    return all;
}
TextureRef g_canopy;
TextureRef g_propeller;
TextureRef g_photo;
const PlanePaint kNoPaint{};

std::string folderOf(const std::string& file)
{
    const std::size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string() : file.substr(0, slash);
}
}  // namespace

SkinPreviewPaint& skinPreviewPaint()
{
    static SkinPreviewPaint paint;
    return paint;
}

AirplaneModel* AirplaneModel::forPlane(const PlaneCfg& plane)
{
    for (const auto& model : loaded())
        if (model->m_file == plane.file)
            return model.get();
    if (count() >= kCapacity)
        return nullptr;
    // A record that names no model is drawn by nobody: nothing to report.
    if (plane.file.empty())
        return nullptr;
    // The model loader has logged the one line about a missing or damaged file.
    const Model* mesh = loadModel(plane.file, kModelKeepCpuData);
    if (!mesh)
        return nullptr;
    loaded().push_back(std::unique_ptr<AirplaneModel>(new AirplaneModel(plane.file, *mesh, plane)));
    return loaded().back().get();
}

void AirplaneModel::releaseAll()
{
    skinPreviewPaint().model = nullptr;
    loaded().clear();
}

AirplaneModel::AirplaneModel(std::string file, const Model& model, const PlaneCfg& plane)
    : m_file(std::move(file)), m_model(&model)
{
    for (int i = 0; i < plane.paints.count(); ++i)
        m_paints.push_back(plane.paints.at(i)->toPaint());
    if (m_paints.empty())
        m_paints.push_back(PlanePaint{});
    m_skin = folderOf(m_file) + "/skin.pvr";
    m_maskName = folderOf(m_file) + "/paint.pvr";
    const Vec3 lo = model.boundsMin(), hi = model.boundsMax();
    m_length = hi.z - lo.z;
    m_span = hi.x - lo.x;
    m_height = hi.y - lo.y;
    m_radius = model.radius();
    m_groundOffset = std::max(-lo.y, 0.0f);
    m_contrail = nodePoint("contrail");
    m_eye = hasNode("canopy") ? nodePoint("canopy") : Vec3{0.0f, hi.y * 0.5f, lo.z + m_length / 3.0f};
}

AirplaneModel::~AirplaneModel() = default;

int AirplaneModel::nodeIndex(std::string_view name) const { return m_model->findNodeIndex(name); }

Vec3 AirplaneModel::nodePoint(std::string_view name) const
{
    const Model::Node* node = m_model->findNode(name);
    if (!node)
        return {};
    // The middle of the node's mesh: a one-vertex helper (the contrail point) is that vertex.
    if (node->vertices.size() == 1)
        return mat4TransformPoint(node->matrix, {node->vertices[0].x, node->vertices[0].y, node->vertices[0].z});
    return mat4TransformPoint(node->matrix, node->centre);
}

const PlanePaint& AirplaneModel::paint(int row) const
{
    return row >= 0 && row < paintCount() ? m_paints[static_cast<std::size_t>(row)] : kNoPaint;
}

const Texture2D* AirplaneModel::paintMask() const
{
    if (m_mask || m_maskTried || !graphics())
        return m_mask.get();
    m_maskTried = true;
    if (openFile(m_maskName))
        m_mask = getTexture(m_maskName);
    if (!m_mask)
        logWarning("gamedata", "model \"%s\": paint mask \"%s\" does not load", m_file.c_str(), m_maskName.c_str());
    return m_mask.get();
}

ModelPaint AirplaneModel::modelPaint(const PlanePaint& paint, const Texture2D* mask)
{
    ModelPaint out;
    packColor3(out.colors[0], hsvToRgb(paint.hue0, paint.saturation0, paint.value0));
    packColor3(out.colors[1], hsvToRgb(paint.hue1, paint.saturation1, paint.value1));
    out.mask = mask;
    return out;
}

ModelPaint AirplaneModel::modelPaint(int row) const
{
    return modelPaint(paint(row >= 0 && row < paintCount() ? row : 0), paintMask());
}

void AirplaneModel::loadSharedTextures()
{
    if (!g_canopy)
        g_canopy = getTexture("data/models/canopy.png");
    if (!g_propeller)
        g_propeller = getTexture("data/models/propeller.png");
}

Texture2D* AirplaneModel::canopyTexture() { return g_canopy.get(); }
Texture2D* AirplaneModel::propellerTexture() { return g_propeller.get(); }

void AirplaneModel::releaseShared()
{
    g_canopy.reset();
    g_propeller.reset();
    g_photo.reset();
}

void AirplaneModel::updateView(int /*view*/) {}

std::vector<std::string> AirplaneModel::photoNames(const PlaneCfg& plane)
{
    std::vector<std::string> names;
    const std::string folder = folderOf(plane.file);
    if (!folder.empty())
        names.push_back(folder + "/photo.png");
    names.emplace_back("data/sprites/photo.png");
    return names;
}

Texture2D* AirplaneModel::loadPhoto(const PlaneCfg& plane)
{
    g_photo.reset();
    for (const std::string& name : photoNames(plane)) {
        if (!openFile(name))
            continue;
        g_photo = getTexture(name);
        if (g_photo)
            break;
    }
    return g_photo.get();
}

Texture2D* AirplaneModel::currentPhoto() { return g_photo.get(); }
