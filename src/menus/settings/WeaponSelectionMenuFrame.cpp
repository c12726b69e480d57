#include "menus/settings/WeaponSelectionMenuFrame.h"

#include "gamedata/records/PlaneList.h"
#include "gamedata/records/WeaponList.h"
#include "menus/MenuFrameRegistry.h"
#include "platform/Clock.h"
#include "platform/Language.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "ui/IMenuShowcase.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/HMenuItemsSlider.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteCheckbox.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <cmath>

WeaponSelectionMenuFrame* MenuFrameRegistry::weaponSelectionMenu()
{
    return slot<WeaponSelectionMenuFrame>(Page::WeaponSelection);
}

namespace {
constexpr Color4 kDartsTint{224, 104, 92, 255};
constexpr Color4 kBeamTint{76, 164, 253, 255};

bool frameExists(int frame)
{
    const CSprite* menus = getSprite(kSpriteSetMenus);
    return frame >= 0 && frame < static_cast<int>(menus->sheet().frames.size()) &&
           menus->sheet().frames[static_cast<std::size_t>(frame)].partCount > 0;
}
}  // namespace

float weaponStatistic(const WeaponCfg& weapon, int row)
{
    switch (row) {
    case 1: return weapon.damage_stat;
    case 2: return weapon.speed * 3.6f / 1.25f;
    case 3: return weapon.reloadTime;
    case 4: return static_cast<float>(weapon.numSlots);
    case 5: return weapon.spread != 0.0f ? 10.0f / (weapon.spread * 100.0f) : 0.0f;
    case 6: return weapon.splash_range;
    default: return 0.0f;
    }
}

float statisticFill(float value, float maximum)
{
    if (!(maximum > 0.0f) || !std::isfinite(value) || !std::isfinite(maximum))
        return 0.0f;
    return std::clamp(value / maximum, 0.0f, 1.0f);
}

// Entry 0 of the settings' loadout is the gun; the special weapons follow it.
int loadoutWeapon(int slot)
{
    if (slot < 0 || slot > 1)
        return -1;
    const int id = settings().weaponLoadout[static_cast<std::size_t>(slot + 1)];
    return id >= 0 && WeaponList::instance().findById(id) ? id : -1;
}

void setLoadoutWeapon(int slot, int weaponId)
{
    if (slot >= 0 && slot <= 1)
        settings().weaponLoadout[static_cast<std::size_t>(slot + 1)] = std::max(weaponId, -1);
}

WeaponSelectionMenuFrame::WeaponSelectionMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    const float sx = m.screenScaleX, sy = m.screenScaleY;
    const int W = m.screenWidth, H = m.screenHeight;
    planeId = settings().localPlaneId;

    const WeaponList& weapons = WeaponList::instance();
    for (int i = 0; i < weapons.count(); ++i) {
        const WeaponCfg* weapon = weapons.at(i);
        if (!weapon || weapon->usableFlags == 0)
            continue;
        for (int row = 1; row <= kStatCount; ++row) {
            const float v = weaponStatistic(*weapon, row);
            if (std::isfinite(v))
                maxima[static_cast<std::size_t>(row - 1)] = std::max(maxima[static_cast<std::size_t>(row - 1)], v);
        }
    }

    backButton()->labelStringId = kBackString;
    backButton()->updateLabel();
    titleLabel->stringId = kTitleString;
    titleLabel->updateSize();
    // The cards take the page; the filled panel stays out of the way.
    content()->visible = false;
    content()->enabled = false;

    const int top = titleLabel->absY + 2 * titleLabel->height;
    cardHeight = static_cast<int>(static_cast<float>(H - top) / 2.0f - 30.0f * sy);
    cardWidth = static_cast<int>(650.0f * sx);
    for (int slot = 0; slot < 2; ++slot) {
        const int y = top + slot * (cardHeight + static_cast<int>(30.0f * sy));
        auto* list = new HMenuItemsSlider();
        list->anchorMode = kAnchorAbsolute;
        list->width = cardWidth;
        list->height = cardHeight;
        list->fixedSize = true;
        list->x = static_cast<int>(static_cast<float>(W) / 2.0f + 50.0f * sx) - cardWidth / 2;
        list->y = y;
        list->focusable = false;
        list->onSnapped = [this, list] { onListPageChanged(list->reportedItem()); };
        addItem(list);
        lists[static_cast<std::size_t>(slot)] = list;

        auto* row = new SpritePageIndicator(static_cast<int>(16.0f * sx), 1);
        row->anchorMode = kAnchorAbsolute;
        row->alignment = kAlignCentreX | kAlignTop;
        row->x = list->x + cardWidth / 2;
        row->y = y + cardHeight + static_cast<int>(5.0f * sy);
        row->focusable = true;
        row->onPrevious = [this] { previousWeapon(); };
        row->onNext = slot == 0 ? MenuAction([this] { nextWeapon0(); }) : MenuAction([this] { nextWeapon1(); });
        addItem(row);
        dots[static_cast<std::size_t>(slot)] = row;

        auto* box = new SpriteCheckbox(kDefaultString, kBoxOn, kBoxOff, false);
        box->font = getFont(1);
        box->updateLayout();
        box->anchorMode = kAnchorAbsolute;
        box->focusable = true;
        box->x = (W - cardWidth) / 4 - box->width / 2;
        box->y = y + cardHeight / 2 - box->height / 2;
        box->onChange = [this, box] { onDefaultToggled(*box); };
        addItem(box);
        defaultBoxes[static_cast<std::size_t>(slot)] = box;
    }
    giveInputPriority(backButton());
    bringToFront(backButton());
    fillWeaponLists();
    layout(0, 0);
}

MenuItem* WeaponSelectionMenuFrame::buildWeaponList(const WeaponCfg& weapon)
{
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    auto* card = new MenuPanel(getSprite(kSpriteSetMenus), kCardFrame, kLayoutStacked);
    card->ninePatch = true;
    card->width = cardWidth;
    card->height = cardHeight;
    card->fixedSize = true;
    card->alignment = kAlignLeft | kAlignTop;
    card->touchMode = kTouchPage;

    // A picture number the sheet lacks draws nothing rather than another weapon.
    const int pictureFrame = kFirstWeaponFrame + weapon.frameUsed;
    auto* picture = new SpriteButton(kSpriteSetMenus, frameExists(pictureFrame) ? pictureFrame : -1, 1, u"");
    picture->interactive = false;
    picture->focusable = false;
    picture->enabled = false;
    // A tall card (a large screen) shows the picture twice the size.
    if (static_cast<float>(cardHeight) >= 300.0f * s)
        picture->scale = 2.0f;
    picture->updateLabel();
    if (!frameExists(pictureFrame))
        picture->width = picture->height = 0;
    picture->offsetX = static_cast<float>(cardWidth - picture->width) / 2.0f;
    picture->offsetY = 8.0f * s;
    if (weapon.frameUsed == 10)
        picture->color = kDartsTint;
    else if (weapon.frameUsed == 11)
        picture->color = kBeamTint;
    card->addItem(picture);

    const std::u16string text = weapon.descriptionId >= 0 ? std::u16string(getStringByIndex(weapon.descriptionId))
                                                          : std::u16string(u"DUMMY");
    auto* label = new SpriteLabel(2, static_cast<int>(0.9f * static_cast<float>(cardWidth)), nullptr, text);
    label->alignment = kAlignCentreX | kAlignTop;
    label->offsetX = static_cast<float>(cardWidth) / 2.0f;
    label->offsetY = picture->offsetY + static_cast<float>(picture->height) + 4.0f * s;
    card->addItem(label);

    const bool smoke = weapon.type == kSmokeType;
    // The rows close the card; on a short card they follow the text.
    const float rowPitch = static_cast<float>(WeaponStateItem(kFirstStatString, 0.0f).height) + 4.0f * s;
    const float rowsTop = std::max(label->offsetY + static_cast<float>(label->height) + 6.0f * s,
                                   static_cast<float>(cardHeight) - 3.0f * rowPitch - 10.0f * s);
    for (int row = 1; row <= kStatCount; ++row) {
        if (smoke && row != 3)
            continue;
        const float fill = statisticFill(weaponStatistic(weapon, row), maxima[static_cast<std::size_t>(row - 1)]);
        auto* item = new WeaponStateItem(kFirstStatString + row - 1, fill);
        const bool left = smoke || row % 2 == 1;
        const int line = smoke ? 0 : (row - 1) / 2;
        item->offsetX = static_cast<float>(left ? cardWidth / 4 : 3 * cardWidth / 4);
        item->offsetY = rowsTop + static_cast<float>(line) * rowPitch;
        card->addItem(item);
    }
    return card;
}

void WeaponSelectionMenuFrame::fillWeaponLists()
{
    for (int slot = 0; slot < 2; ++slot) {
        const auto i = static_cast<std::size_t>(slot);
        m_weapons[i] = WeaponList::instance().listFor(slot);
        HMenuItemsSlider* list = lists[i];
        list->clear();
        list->scrollX = 0.0f;
        for (std::size_t k = 0; k < m_weapons[i].size(); ++k) {
            MenuItem* card = buildWeaponList(*m_weapons[i][k]);
            card->focusable = false;
            list->addItemWithIndex(card, static_cast<int>(k));
        }
        dots[i]->setPageCount(static_cast<int>(m_weapons[i].size()), dots[i]->spacing);
        dots[i]->currentPage = -1;
        chosen[i] = loadoutWeapon(slot);
        defaultBoxes[i]->checked = chosen[i] < 0;
        const int shown = chosen[i] >= 0 ? chosen[i] : defaultWeaponId(slot, planeId);
        selectWeapon(slot, indexOfWeapon(slot, shown));
    }
}

int WeaponSelectionMenuFrame::defaultWeaponId(int slot, int plane) const
{
    const PlaneCfg* record = PlaneList::instance().findById(plane);
    if (!record)
        return 0;
    const WeaponList& weapons = WeaponList::instance();
    const WeaponCfg* own = weapons.at(weapons.indexByName(slot == 0 ? record->sp_weapon0 : record->sp_weapon1));
    return own ? own->weapon_id : 0;
}

int WeaponSelectionMenuFrame::weaponForSlot(int slot, int plane) const
{
    if (slot < 0 || slot > 1)
        return 0;
    if (chosen[static_cast<std::size_t>(slot)] >= 0)
        return chosen[static_cast<std::size_t>(slot)];
    return defaultWeaponId(slot, plane < 0 ? planeId : plane);
}

int WeaponSelectionMenuFrame::weaponIdAt(int slot, int index) const
{
    if (slot < 0 || slot > 1)
        return -1;
    const auto& weapons = m_weapons[static_cast<std::size_t>(slot)];
    return index >= 0 && index < static_cast<int>(weapons.size()) ? weapons[static_cast<std::size_t>(index)]->weapon_id
                                                                  : -1;
}

int WeaponSelectionMenuFrame::indexOfWeapon(int slot, int weaponId) const
{
    if (slot < 0 || slot > 1)
        return -1;
    const WeaponCfg* first = WeaponList::instance().findById(weaponId);
    const auto& weapons = m_weapons[static_cast<std::size_t>(slot)];
    const auto found = std::find(weapons.begin(), weapons.end(), first);
    return first && found != weapons.end() ? static_cast<int>(found - weapons.begin()) : -1;
}

void WeaponSelectionMenuFrame::selectWeapon(int slot, int index)
{
    if (slot < 0 || slot > 1)
        return;
    const auto i = static_cast<std::size_t>(slot);
    if (index >= 0 && index < dots[i]->pageCount) {
        dots[i]->currentPage = index;
        lists[i]->scrollToIndex(index);
    }
    if (chosen[i] >= 0)
        chosen[i] = weaponIdAt(slot, index);
}

void WeaponSelectionMenuFrame::nextWeapon(int slot)
{
    const auto i = static_cast<std::size_t>(slot);
    int j = dots[i]->currentPage + 1;
    if (j >= dots[i]->pageCount)
        j = 0;
    selectWeapon(slot, j);
    chosen[i] = weaponIdAt(slot, j);
    defaultBoxes[i]->checked = chosen[i] < 0;
}

void WeaponSelectionMenuFrame::onListPageChanged(MenuItem* card)
{
    for (int slot = 0; slot < 2; ++slot) {
        const auto i = static_cast<std::size_t>(slot);
        const int j = card ? lists[i]->indexOf(card) : -1;
        if (j < 0 || lists[i]->flingVelocity() != 0.0f)
            continue;
        selectWeapon(slot, j);
        chosen[i] = weaponIdAt(slot, j);
        defaultBoxes[i]->checked = chosen[i] < 0;
        return;
    }
}

void WeaponSelectionMenuFrame::onDefaultToggled(SpriteCheckbox& box)
{
    const int slot = &box == defaultBoxes[1] ? 1 : 0;
    const auto i = static_cast<std::size_t>(slot);
    if (!box.checked) {
        if (chosen[i] >= 0)
            return;
        const int shown = lists[i]->currentItem() ? lists[i]->indexOf(lists[i]->currentItem()) : -1;
        chosen[i] = weaponIdAt(slot, shown);
        selectWeapon(slot, indexOfWeapon(slot, chosen[i]));
        return;
    }
    chosen[i] = -1;
    selectWeapon(slot, indexOfWeapon(slot, defaultWeaponId(slot, planeId)));
}

void WeaponSelectionMenuFrame::onShow()
{
    FilledMenuFrame::onShow();
    content()->visible = false;
    content()->enabled = false;
    backButton()->labelStringId = kBackString;
    backButton()->updateLabel();
    fillWeaponLists();
    layout(0, 0);
    rebuildFocusLinks();
}

void WeaponSelectionMenuFrame::update()
{
    // The scene's showcase is not updated under this page.
    MenuContainer::update();
}

void WeaponSelectionMenuFrame::onHide()
{
    setLoadoutWeapon(0, chosen[0]);
    setLoadoutWeapon(1, chosen[1]);
    settings().save();
    logInfo("menus", "loadout %d %d", chosen[0], chosen[1]);
    if (IMenuShowcase* scene = menuShowcase())
        scene->setSceneShown();
}

bool WeaponSelectionMenuFrame::onEscape()
{
    if (overlayFrame()) {
        goBack();
        rebuildFocusLinks();
        return true;
    }
    return false;
}

bool WeaponSelectionMenuFrame::onDots(int x, int y) const
{
    const float margin = 10.0f * screenMetrics().uiScale;
    return dots[0]->contains(x, y, margin) || dots[1]->contains(x, y, margin);
}

bool WeaponSelectionMenuFrame::onTouchDown(int x, int y)
{
    return onDots(x, y) ? true : MenuContainer::onTouchDown(x, y);
}

bool WeaponSelectionMenuFrame::onTouchMove(int x, int y)
{
    return onDots(x, y) ? true : MenuContainer::onTouchMove(x, y);
}

bool WeaponSelectionMenuFrame::onTouchUp(int x, int y)
{
    for (int slot = 0; slot < 2; ++slot) {
        SpritePageIndicator* row = dots[static_cast<std::size_t>(slot)];
        if (!row->contains(x, y, 10.0f * screenMetrics().uiScale))
            continue;
        const int page = row->pageAt(x, y);
        if (page >= 0) {
            selectWeapon(slot, page);
            chosen[static_cast<std::size_t>(slot)] = weaponIdAt(slot, page);
            defaultBoxes[static_cast<std::size_t>(slot)]->checked = chosen[static_cast<std::size_t>(slot)] < 0;
        }
        return true;
    }
    return MenuContainer::onTouchUp(x, y);
}
