#pragma once
#include "render/world/PropWorld.h"

#include <cstddef>
#include <string>
#include <vector>

class Model;

// A loaded model object as a prop shape, for the game world's IPropWorld:
// its drawn (non-helper) nodes are the pieces, its collision triangles and
// bounds come straight from the model. A link: the model must outlive it.
// Baking marks the model, so freeModelCpuData may drop its node arrays; a
// later bake (the menu entered again) reads them back from the model's file.
// Nodes whose arrays are gone and cannot be read back give empty pieces.
class ModelPropShape final : public IPropShape {
public:
    explicit ModelPropShape(Model& model);

    Vec3 boundsMin() const override;
    Vec3 boundsMax() const override;
    std::span<const PropTriangle> collisionTriangles() const override;
    std::size_t pieceCount() const override { return m_nodes.size(); }
    PropPiece piece(std::size_t index) const override;
    void beforeBake() const override;
    void markBaked() const override;

private:
    Model& m_model;
    std::vector<std::size_t> m_nodes;        // drawn nodes
    std::vector<std::string> m_textureFiles; // per node, the texture's file name ("units.pvr")
};
