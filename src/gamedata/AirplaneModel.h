#pragma once
#include "platform/ManagedArray.h"
#include "platform/Math.h"
#include "platform/Settings.h"
#include "render/Texture2D.h"
#include "render/assets/ModelBuffers.h"

#include <string>
#include <string_view>
#include <vector>

class Model;
class Texture2D;
struct PlaneCfg;

// An aircraft's model as the game uses it: the mesh of the plane record's
// "file", its helper nodes, measurements and paint rows. One per model file,
// shared by the variants that use it.
//
// Helper nodes the effects look for (null when the model has none): "jet",
// "jetcore", "jetglow" (exhaust), "steamu", "steamd" (vapour), "cobra",
// "sonic", "canopy", "contrail" (the contrail emitter point).
class AirplaneModel : public ManagedArray<AirplaneModel, 256> {
public:
    // The model of a plane record, loaded on first use; null when its file
    // does not load or 256 models are loaded.
    static AirplaneModel* forPlane(const PlaneCfg& plane);
    // Forgets every loaded one (level end, tests).
    static void releaseAll();

    ~AirplaneModel();
    AirplaneModel(const AirplaneModel&) = delete;
    AirplaneModel& operator=(const AirplaneModel&) = delete;

    const std::string& file() const { return m_file; }
    const Model& model() const { return *m_model; }
    // Node index in the model, -1 when absent.
    int nodeIndex(std::string_view name) const;
    bool hasNode(std::string_view name) const { return nodeIndex(name) >= 0; }
    // The middle of a node's mesh in model space; zero when absent.
    Vec3 nodePoint(std::string_view name) const;

    // Measurements in metres from the model's bounds; nose toward -z.
    float length() const { return m_length; }
    float span() const { return m_span; }
    float height() const { return m_height; }
    float radius() const { return m_radius; }
    // How far the model reaches below its origin: the height it stands at on the ground.
    float groundOffset() const { return m_groundOffset; }
    const Vec3& contrailPoint() const { return m_contrail; }
    // The pilot's eye: the canopy node's point, else a third of the way back and above the centre.
    const Vec3& eyePoint() const { return m_eye; }

    // Paint rows of the plane record that loaded it; row 0 is the factory paint.
    int paintCount() const { return static_cast<int>(m_paints.size()); }
    const PlanePaint& paint(int row) const;
    // Skin and paint-mask textures beside the model ("skin.pvr", "paint.pvr").
    const std::string& skinTexture() const { return m_skin; }
    const std::string& paintMaskName() const { return m_maskName; }
    // The paint mask, loaded on the first call with a renderer; null without
    // one or when the file is missing or damaged (logged once).
    const Texture2D* paintMask() const;
    // The two colors of a paint row and the mask, as the model program takes
    // them; a row out of range gives the factory paint.
    ModelPaint modelPaint(int row) const;
    static ModelPaint modelPaint(const PlanePaint& paint, const Texture2D* mask);

    // Canopy ("data/models/canopy.png") and propeller ("data/models/propeller.png")
    // textures, loaded once; needs the renderer.
    static void loadSharedTextures();
    static Texture2D* canopyTexture();
    static Texture2D* propellerTexture();
    // Forgets the shared textures and the photo.
    static void releaseShared();
    // Per-view update of the loaded models (nothing yet needs one).
    static void updateView(int view);
    // "<folder of file>/photo.png", else "data/sprites/photo.png", as the
    // current plane photo; null when neither loads.
    static Texture2D* loadPhoto(const PlaneCfg& plane);
    static Texture2D* currentPhoto();
    // The photo names loadPhoto tries, in order.
    static std::vector<std::string> photoNames(const PlaneCfg& plane);

private:
    AirplaneModel(std::string file, const Model& model, const PlaneCfg& plane);
    std::string m_file;
    const Model* m_model;
    std::vector<PlanePaint> m_paints;
    std::string m_skin;
    std::string m_maskName;
    mutable TextureRef m_mask;
    mutable bool m_maskTried = false;
    float m_length = 0.0f, m_span = 0.0f, m_height = 0.0f, m_radius = 0.0f, m_groundOffset = 0.0f;
    Vec3 m_contrail, m_eye;
};

// The two colors the menu plane's skin is drawn with while the painting page
// edits them, and the model whose skin is loaded for it (null otherwise).
struct SkinPreviewPaint {
    float colors[6] = {0.0f, 0.0f, 0.6f, 0.0f, 0.0f, 0.8f};
    const AirplaneModel* model = nullptr;
};
SkinPreviewPaint& skinPreviewPaint();
