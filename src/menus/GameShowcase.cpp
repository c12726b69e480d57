#include "menus/GameShowcase.h"

#include "gamedata/records/PlaneList.h"
#include "gamedata/records/WeaponList.h"
#include "menus/settings/WeaponSelectionMenuFrame.h"
#include "modes/progress/UnlocksMgr.h"
#include "platform/Language.h"
#include "platform/Log.h"

GameShowcase& GameShowcase::instance()
{
    static GameShowcase showcase;
    return showcase;
}

std::vector<int> GameShowcase::planeList(int selector) const
{
    const PlaneList& planes = PlaneList::instance();
    if (selector == 0)
        return planes.selectionIds();
    if (selector == 1)
        return planes.listAvailable();
    return planes.listForMenu();
}

int GameShowcase::tierCount() const
{
    return PlaneList::instance().tierCount();
}

int GameShowcase::planeTier(int planeId) const
{
    const PlaneCfg* plane = isPlane(planeId) ? PlaneList::instance().findById(planeId) : nullptr;
    return plane ? plane->plane_tier : -1;
}

bool GameShowcase::isPlane(int planeId) const
{
    const PlaneCfg* plane = PlaneList::instance().findById(planeId);
    return plane && plane->plane_id == planeId;
}

bool GameShowcase::isLocked(int planeId) const
{
    return PlaneList::instance().isLocked(planeId);
}

bool GameShowcase::anyVariantUnlocked(int planeId) const
{
    return PlaneList::instance().anyVariantUnlocked(planeId);
}

std::vector<int> GameShowcase::variants(int planeId, int which) const
{
    const PlaneList& planes = PlaneList::instance();
    if (which == 1)
        return planes.unlockedVariants(planeId);
    if (which == 2)
        return planes.lockedVariants(planeId);
    return planes.variantIds(planeId);
}

int GameShowcase::variantId(int k, int planeId) const
{
    return PlaneList::instance().variantId(k, planeId);
}

int GameShowcase::planeByName(const char* name) const
{
    return PlaneList::instance().idByName(name ? name : "");
}

IMenuShowcase::Stats GameShowcase::planeStats(int planeId) const
{
    Stats stats;
    if (const PlaneCfg* plane = PlaneList::instance().findById(planeId)) {
        stats.values[0] = plane->pWeaponry;
        stats.values[1] = plane->pStructure;
        stats.values[2] = plane->pAerodynamics;
        stats.values[3] = plane->pLuck;
    }
    return stats;
}

std::u16string GameShowcase::planeDescription(int planeId) const
{
    const PlaneCfg* plane = PlaneList::instance().findById(planeId);
    return plane ? getStringById(plane->pStrInfo) : std::u16string(u"DUMMY");
}

std::u16string GameShowcase::unlockDescription(int planeId) const
{
    return UnlocksMgr::instance().describePlaneUnlock(planeId);
}

int GameShowcase::weaponIcon(int planeId, int slot) const
{
    // The chosen weapon of the loadout, else the plane's own.
    const PlaneCfg* plane = PlaneList::instance().findById(planeId);
    if (!plane || slot < 0 || slot > 1)
        return -1;
    const WeaponList& weapons = WeaponList::instance();
    const int chosen = loadoutWeapon(slot);
    const WeaponCfg* own = chosen >= 0 ? weapons.findById(chosen)
                                       : weapons.findByName(slot == 0 ? plane->sp_weapon0 : plane->sp_weapon1);
    if (!own)
        return -1;
    int icon = -1;
    for (int i = 0; i < weapons.count(); ++i) {
        const WeaponCfg* record = weapons.at(i);
        if (record && record->usableFlags != 0 && record->weapon_id == own->weapon_id)
            icon = record->frameUsed;
    }
    return icon;
}

void GameShowcase::createShowcasePlane(int planeId)
{
    m_shownPlane = planeId;
    if (scene.createPlane)
        scene.createPlane(planeId);
}

void GameShowcase::setSceneShown()
{
    if (scene.sceneShown)
        scene.sceneShown();
}

void GameShowcase::setSceneHidden()
{
    if (scene.sceneHidden)
        scene.sceneHidden();
}

int GameShowcase::cameraMode() const
{
    return scene.cameraMode ? scene.cameraMode() : m_mode;
}

bool GameShowcase::cameraBlendComplete() const
{
    return scene.blendComplete ? scene.blendComplete() : true;
}

void GameShowcase::snapCameraToMode1()
{
    m_mode = 1;
    if (scene.setCameraMode)
        scene.setCameraMode(1, true);
}

void GameShowcase::snapCameraToMode0()
{
    m_mode = 0;
    if (scene.setCameraMode)
        scene.setCameraMode(0, true);
}

void GameShowcase::returnCameraToDefault()
{
    m_mode = 0;
    if (scene.setCameraMode)
        scene.setCameraMode(0, false);
}

void GameShowcase::setCameraSlide(float x, float y)
{
    if (scene.slide)
        scene.slide(x, y);
}

void GameShowcase::setCameraMode(int mode)
{
    m_mode = mode;
    if (scene.setCameraMode)
        scene.setCameraMode(mode, false);
}

void GameShowcase::rotateCamera(float dx, float dy)
{
    if (scene.rotate)
        scene.rotate(dx, dy);
}
