#include "render/world/ModelPropShape.h"

#include "render/assets/Model.h"

ModelPropShape::ModelPropShape(Model& model) : m_model(model)
{
    for (std::size_t i = 0; i < model.nodeCount(); ++i) {
        const Model::Node* node = model.node(i);
        if (!node || node->isHelper())
            continue;
        std::string file;
        if (node->texture >= 0 && static_cast<std::size_t>(node->texture) < model.textureNames().size()) {
            const std::string& path = model.textureNames()[static_cast<std::size_t>(node->texture)];
            const std::size_t slash = path.find_last_of('/');
            file = slash == std::string::npos ? path : std::string(path.begin() + static_cast<std::ptrdiff_t>(slash) + 1, path.end());
        }
        m_nodes.push_back(i);
        m_textureFiles.push_back(std::move(file));
    }
}

Vec3 ModelPropShape::boundsMin() const { return m_model.boundsMin(); }
Vec3 ModelPropShape::boundsMax() const { return m_model.boundsMax(); }
std::span<const PropTriangle> ModelPropShape::collisionTriangles() const { return m_model.collisionTriangles(); }

PropPiece ModelPropShape::piece(std::size_t index) const
{
    if (index >= m_nodes.size())
        return PropPiece{};
    const Model::Node* node = m_model.node(m_nodes[index]);
    if (!node)
        return PropPiece{};
    return PropPiece{m_textureFiles[index], node->vertices, node->indices, node->matrix};
}

void ModelPropShape::beforeBake() const
{
    (void)m_model.restoreCpuData();  // a failure leaves empty pieces, already logged
}

void ModelPropShape::markBaked() const
{
    m_model.markBakedIntoProps();
}
