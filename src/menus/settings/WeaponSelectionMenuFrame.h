#pragma once
#include "menus/settings/WeaponStateItem.h"
#include "ui/widgets/SceneMenuFrame.h"

#include <array>
#include <vector>

class HMenuItemsSlider;
class SpriteCheckbox;
class SpritePageIndicator;
struct WeaponCfg;

// The player airplane's two special weapons: per slot a paged list of weapon
// cards, its page dots and a box that keeps the plane's own weapon. The
// choice is the settings' loadout, stored when the page is left.
class WeaponSelectionMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kBackString = 9, kTitleString = 28, kDefaultString = 874, kFirstStatString = 1649;
    static constexpr int kCardFrame = 95, kFirstWeaponFrame = 205, kBoxOn = 143, kBoxOff = 141;
    static constexpr int kStatCount = 6;
    static constexpr int kSmokeType = 11;

    WeaponSelectionMenuFrame();

    bool onTouchDown(int x, int y) override;
    bool onTouchMove(int x, int y) override;
    bool onTouchUp(int x, int y) override;
    void update() override;
    void onShow() override;
    void onHide() override;
    bool onEscape() override;

    void selectWeapon(int slot, int index);
    void previousWeapon() {}
    void nextWeapon0() { nextWeapon(0); }
    void nextWeapon1() { nextWeapon(1); }
    void onDefaultToggled(SpriteCheckbox& box);
    // The weapon id in effect for the slot: the chosen one, else the plane's
    // own (planeId < 0: the page's plane); 0 when the plane has none.
    int weaponForSlot(int slot, int planeId) const;
    MenuItem* buildWeaponList(const WeaponCfg& weapon);
    void fillWeaponLists();
    // -1 outside the slot's list.
    int weaponIdAt(int slot, int index) const;
    int indexOfWeapon(int slot, int weaponId) const;
    void onListPageChanged(MenuItem* card);

    std::array<float, kStatCount> maxima{};
    int cardHeight = 0, cardWidth = 0;
    std::array<SpritePageIndicator*, 2> dots{};
    std::array<HMenuItemsSlider*, 2> lists{};
    std::array<int, 2> chosen{-1, -1};
    std::array<SpriteCheckbox*, 2> defaultBoxes{};
    int planeId = 0;

private:
    void nextWeapon(int slot);
    int defaultWeaponId(int slot, int plane) const;
    bool onDots(int x, int y) const;

    std::array<std::vector<const WeaponCfg*>, 2> m_weapons;
};

// Statistic row 1..6 of a weapon: damage, speed in km/h / 1.25, reload time,
// launchers, accuracy (10 / (spread x 100), 0 without spread), splash range.
float weaponStatistic(const WeaponCfg& weapon, int row);
// value / maximum held to 0..1; 0 for a maximum of 0 or anything not finite.
float statisticFill(float value, float maximum);
// The loadout entry of special weapon slot 0 or 1; an id that names no
// weapon reads as the plane's own (-1).
int loadoutWeapon(int slot);
void setLoadoutWeapon(int slot, int weaponId);
