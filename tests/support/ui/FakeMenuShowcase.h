#pragma once
#include "ui/IMenuShowcase.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

// A plane list and a menu scene in memory that record what the pages ask of
// them. Planes are {id, tier, family}; a family's variants are in id order.
class FakeMenuShowcase : public IMenuShowcase {
public:
    struct Plane {
        int id, tier, family;
        bool locked = false;
        Stats stats{};
        int weapon0 = -1, weapon1 = -1;   // icon indices
    };

    void add(Plane plane) { planes.push_back(plane); }
    const Plane* find(int id) const
    {
        for (const Plane& p : planes)
            if (p.id == id)
                return &p;
        return nullptr;
    }
    Plane* find(int id) { return const_cast<Plane*>(static_cast<const FakeMenuShowcase*>(this)->find(id)); }

    std::vector<int> planeList(int selector) const override
    {
        std::vector<int> out;
        for (const Plane& p : planes) {
            if (selector == 1 && p.locked)
                continue;
            if (selector != 0 && selector != 1 && variantId(0, p.id) != p.id)
                continue;
            out.push_back(p.id);
        }
        return out;
    }
    int tierCount() const override
    {
        int n = 0;
        for (const Plane& p : planes)
            n = std::max(n, p.tier + 1);
        return n;
    }
    int planeTier(int id) const override { return find(id) ? find(id)->tier : -1; }
    bool isPlane(int id) const override { return find(id) != nullptr; }
    bool isLocked(int id) const override { return !find(id) || find(id)->locked; }
    bool anyVariantUnlocked(int id) const override { return !variants(id, 1).empty(); }
    std::vector<int> variants(int id, int which) const override
    {
        std::vector<int> out;
        const Plane* of = find(id);
        if (!of)
            return out;
        for (const Plane& p : planes) {
            if (p.family != of->family || (which == 1 && p.locked) || (which == 2 && !p.locked))
                continue;
            out.push_back(p.id);
        }
        return out;
    }
    int variantId(int k, int id) const override
    {
        const std::vector<int> all = variants(id, 0);
        return k >= 0 && k < static_cast<int>(all.size()) ? all[static_cast<std::size_t>(k)] : id;
    }
    int planeByName(const char* name) const override { return std::string(name) == "p51" ? p51 : -1; }
    Stats planeStats(int id) const override { return find(id) ? find(id)->stats : Stats{}; }
    std::u16string planeDescription(int id) const override { return u"Plane " + std::u16string(1, char16_t(u'0' + id % 10)); }
    std::u16string unlockDescription(int) const override { return u"Win a mission to unlock it."; }
    int weaponIcon(int id, int slot) const override
    {
        const Plane* p = find(id);
        return p ? (slot == 0 ? p->weapon0 : p->weapon1) : -1;
    }

    void createShowcasePlane(int id) override { created.push_back(id); }
    void setSceneShown() override
    {
        ++sceneShown;
        sceneOn = true;
    }
    void setSceneHidden() override
    {
        ++sceneHidden;
        sceneOn = false;
    }
    int cameraMode() const override { return mode; }
    bool cameraBlendComplete() const override { return blendComplete; }
    void snapCameraToMode1() override
    {
        mode = 1;
        blendComplete = true;
        ++snaps1;
    }
    void snapCameraToMode0() override
    {
        mode = 0;
        blendComplete = true;
    }
    void returnCameraToDefault() override
    {
        mode = 0;
        ++cameraResets;
    }
    void setCameraSlide(float x, float y) override
    {
        slideX = x;
        slideY = y;
    }

    std::vector<Plane> planes;
    int p51 = 0;
    std::vector<int> created;
    int sceneShown = 0;
    int sceneHidden = 0;
    bool sceneOn = true;   // as the last of the two calls left it
    int mode = 0;
    bool blendComplete = true;
    int snaps1 = 0;
    int cameraResets = 0;
    float slideX = 0.0f, slideY = 0.0f;
};
