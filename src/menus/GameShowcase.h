#pragma once
#include "ui/IMenuShowcase.h"

#include <functional>

// The scene pages' view of the game: plane and weapon records, unlocks and
// their descriptions, and the menu scene. The scene part goes through the
// functions below, which the menu screen's owner fills; until the menu scene
// has a showcase airplane and its camera, the camera state is kept here.
class GameShowcase : public IMenuShowcase {
public:
    static GameShowcase& instance();

    std::vector<int> planeList(int selector) const override;
    int tierCount() const override;
    int planeTier(int planeId) const override;
    bool isPlane(int planeId) const override;
    bool isLocked(int planeId) const override;
    bool anyVariantUnlocked(int planeId) const override;
    std::vector<int> variants(int planeId, int which) const override;
    int variantId(int k, int planeId) const override;
    int planeByName(const char* name) const override;
    Stats planeStats(int planeId) const override;
    std::u16string planeDescription(int planeId) const override;
    std::u16string unlockDescription(int planeId) const override;
    int weaponIcon(int planeId, int slot) const override;

    void createShowcasePlane(int planeId) override;
    void setSceneShown() override;
    void setSceneHidden() override;
    int cameraMode() const override;
    bool cameraBlendComplete() const override;
    void snapCameraToMode1() override;
    void snapCameraToMode0() override;
    void returnCameraToDefault() override;
    void setCameraSlide(float x, float y) override;
    // The menu camera to that view, with a transition (4: the painting view).
    void setCameraMode(int mode);
    // Turns the menu camera by a drag or wheel of that many pixels.
    void rotateCamera(float dx, float dy);

    // The menu scene's side; each may stay empty.
    struct SceneHooks {
        std::function<void(int planeId)> createPlane;
        std::function<void()> sceneShown;
        std::function<void()> sceneHidden;
        std::function<int()> cameraMode;
        std::function<bool()> blendComplete;
        std::function<void(int mode, bool snap)> setCameraMode;
        std::function<void(float x, float y)> slide;
        std::function<void(float dx, float dy)> rotate;
    };
    SceneHooks scene;

    int shownPlane() const { return m_shownPlane; }

private:
    int m_shownPlane = -1;
    int m_mode = 0;
};
