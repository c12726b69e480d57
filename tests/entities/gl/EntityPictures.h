#pragma once
// The fixture of the entity pictures: a camera, airplanes in a deterministic
// host, and the picture and pixel helpers.
#include "GlTestContext.h"
#include "TestWorld.h"

#include "entities/EntityIds.h"
#include "entities/aircraft/Airplane.h"
#include "gamedata/AirplaneModel.h"
#include "gamedata/records/PlaneCfg.h"
#include "platform/File.h"
#include "render/assets/Model.h"
#include "support/entities/SimHost.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class EntityPictures : public GlTest {
protected:
    static constexpr int kWidth = 480, kHeight = 240;

    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        clearEntityIds();
        setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
        useTarget(kWidth, kHeight);
        // Sun straight above: faces that look up show their exact colors.
        m_light.direction[0] = 0.0f;
        m_light.direction[1] = 1.0f;
        m_light.direction[2] = 0.0f;
        for (int i = 0; i < 3; ++i) {
            m_light.ambient[i] = 0.45f;
            m_light.diffuse[i] = 0.55f;
        }
        gfx().setLight(&m_light);
        gfx().setFog(nullptr);
        std::filesystem::create_directories(SKYFRONT_BINARY_DIR "/entities");
    }
    void TearDown() override
    {
        clearPlanes();
        AirplaneModel::releaseAll();
        releaseAllModels();
        gfx().setQualityTier(0);
        setDataRoot("");
        GlTest::TearDown();
    }

    // A record kept for the test's life (airplanes point at theirs).
    PlaneCfg& fighterRecord(const std::string& file)
    {
        m_records.push_back(std::make_unique<PlaneCfg>());
        PlaneCfg& p = *m_records.back();
        p.name = "picture";
        p.file = file;
        p.pMinSpeed = 107.0f;
        p.pSpeedSpan = 108.0f;
        return p;
    }
    // An airplane in play, level, nose to -z, in the nearest draw class.
    Airplane* spawn(const PlaneCfg& cfg, int team, const Vec3& at)
    {
        auto plane = Target::create<Airplane>(m_host, cfg, team, std::u16string(u"p"));
        plane->setPositionAndStop(at);
        plane->setActive(true);
        plane->drawClass = 1;
        m_planes.push_back(std::move(plane));
        return m_planes.back().get();
    }
    void clearPlanes() { m_planes.clear(); }
    void drawAll(DrawPass pass)
    {
        for (auto& p : m_planes)
            p->drawIn(m_view, pass);
    }

    void lookAt(const Vec3& eye, const Vec3& target, float zNear = 0.5f)
    {
        Quat q;
        quatFromDirectionTo(q, target - eye);
        Mat4 camera = mat4FromQuatPosition(q, eye), viewMatrix;
        ASSERT_TRUE(mat4InvertAffine(camera, viewMatrix));
        Mat4 projection;
        mat4Perspective(projection, 0.8f, float(kWidth) / float(kHeight), zNear, 20000.0f);
        gfx().setProjectionMatrix(projection);
        gfx().setViewMatrix(viewMatrix);
        gfx().setWorldMatrix(Mat4{});
        RenderState state = RenderState::opaque();
        gfx().setRenderState(state);
        m_view.eye = eye;
        m_view.forward = vec3NormalizeOr(target - eye, {0.0f, 0.0f, -1.0f});
    }
    const DrawView& view() const { return m_view; }

    bool savePicture(const std::string& name)
    {
        return saveTargetPng(gfx(), kWidth, kHeight, std::string(SKYFRONT_BINARY_DIR "/entities/") + name + ".png");
    }
    // Pixels of columns x0..x0+width showing the color in any shade of it
    // (sides turned from the sun are darker): compared as fractions of the
    // brightest channel.
    int countNear(int x0, int width, const Color4& color, float tolerance = 0.12f)
    {
        const float cm = std::max({color.r, color.g, color.b, std::uint8_t{1}});
        int n = 0;
        for (const Rgba& p : rect(x0, 0, width, kHeight)) {
            const float pm = std::max({p.r, p.g, p.b});
            if (pm < 60.0f)
                continue;
            const float d = std::abs(p.r / pm - color.r / cm) + std::abs(p.g / pm - color.g / cm) +
                            std::abs(p.b / pm - color.b / cm);
            n += d <= tolerance ? 1 : 0;
        }
        return n;
    }

    LightRecord m_light;
    SimHost m_host;
    std::vector<std::unique_ptr<PlaneCfg>> m_records;
    std::vector<std::unique_ptr<Airplane>> m_planes;
    DrawView m_view;
};
