#pragma once
#include <string>
#include <vector>

// What the scene pages need from the plane records, the progress and the menu
// scene, which live beside or above the menus; the game fills it at start-up
// (main.cpp), tests with a recording fake. Without one the pages show no plane.
class IMenuShowcase {
public:
    virtual ~IMenuShowcase() = default;

    // ---- Plane records ----
    // Plane source lists: 0 every selectable plane, 1 the unlocked ones, else
    // one entry per family.
    virtual std::vector<int> planeList(int selector) const = 0;
    virtual int tierCount() const = 0;
    // -1 for an id that is not a plane.
    virtual int planeTier(int planeId) const = 0;
    virtual bool isPlane(int planeId) const = 0;
    virtual bool isLocked(int planeId) const = 0;
    virtual bool anyVariantUnlocked(int planeId) const = 0;
    // Variants of the plane's family: 0 all, 1 unlocked, 2 locked.
    virtual std::vector<int> variants(int planeId, int which) const = 0;
    // Variant k of the plane's family; the plane itself when there is none.
    virtual int variantId(int k, int planeId) const = 0;
    // The named plane's id, -1 when none.
    virtual int planeByName(const char* name) const = 0;
    // Weaponry, structure, aerodynamics and luck of the record, in that order.
    struct Stats {
        float values[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    };
    virtual Stats planeStats(int planeId) const = 0;
    // The plane's description and, for a locked one, how it is unlocked.
    virtual std::u16string planeDescription(int planeId) const = 0;
    virtual std::u16string unlockDescription(int planeId) const = 0;
    // The icon index (the weapon record's frameUsed) of the weapon in loadout
    // slot 0 or 1 of the plane; -1 when no usable record matches.
    virtual int weaponIcon(int planeId, int slot) const = 0;

    // ---- Menu scene and camera ----
    virtual void createShowcasePlane(int planeId) = 0;
    // The menu screen draws the 3-D scene behind the pages.
    virtual void setSceneShown() = 0;
    // It stops drawing it, for a page that covers the whole screen.
    virtual void setSceneHidden() = 0;
    virtual int cameraMode() const = 0;
    virtual bool cameraBlendComplete() const = 0;
    // Mode 1 at once, blend complete.
    virtual void snapCameraToMode1() = 0;
    // Mode 0 at once (blend complete) or with a blend.
    virtual void snapCameraToMode0() = 0;
    virtual void returnCameraToDefault() = 0;
    // The camera's slide offsets, 0 at rest, about +-2 at the end of a move.
    virtual void setCameraSlide(float x, float y) = 0;
};

void setMenuShowcase(IMenuShowcase* showcase);
IMenuShowcase* menuShowcase();
