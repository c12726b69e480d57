// The HUD's touch buttons: the table of buttons init makes, the two control
// schemes, the groups and what each button does.
#include "screens/hud/PlaneHud.h"

#include "platform/Controls.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "screens/hud/HudMessageQueue.h"

#include <utility>

namespace {

// A scheme row: disabled rows make no button.
struct SchemeRow {
    bool disabled;
    int module, pressedModule, id;
    bool mirrorable, ring;
};
constexpr SchemeRow kSchemes[2][5] = {
    {{true, -1, -1, 13, false, false}, {true, -1, -1, 14, false, false}, {true, -1, -1, 15, false, false},
     {true, -1, -1, 16, false, false}, {false, 38, 38, 25, true, true}},
    {{true, 47, 46, 13, false, false}, {true, 49, 48, 14, false, false}, {true, -1, -1, 15, false, false},
     {true, -1, -1, 16, false, false}, {false, 45, 45, 25, true, true}},
};
constexpr int kSchemeFirstRow[2] = {9, 19};
constexpr int kLongMessageScheme1 = 353;
// The words on the buttons, from the HUD's string table.
constexpr int kAutopilotText = 4865, kAttackText = 4866, kFormText = 4867, kDefendText = 4868, kEjectText = 4869;
// On the lit autopilot button.
constexpr Color4 kDarkLabel{11, 22, 32, 255};

int gameAction(ControlAction a) { return static_cast<int>(a) - kFirstGameAction; }

}  // namespace

Controls& PlaneHud::controlsOrGame() { return m_controls ? *m_controls : ::controls(); }

HudButton* PlaneHud::makeButton(HudPanel& panel, int module, int pressedModule, int id)
{
    auto b = std::make_unique<HudButton>();
    b->panel = &panel;
    b->sheet = m_sheet;
    b->module = module;
    b->pressedModule = pressedModule;
    b->id = id;
    b->frame = panel.frameA;
    const float scale = m_sheet ? m_sheet->baseScale() : 1.0f;
    const SpriteSheet::Part* part = nullptr;
    if (m_sheet && panel.frameA >= 0) {
        const SpriteSheet& s = m_sheet->sheet();
        if (panel.frameA < static_cast<int>(s.frames.size())) {
            const SpriteSheet::Frame& f = s.frames[static_cast<std::size_t>(panel.frameA)];
            for (int i = 0; i < f.partCount && !part; ++i)
                if (s.parts[f.firstPart + static_cast<std::size_t>(i)].module == module)
                    part = &s.parts[f.firstPart + static_cast<std::size_t>(i)];
        }
    }
    if (part)
        b->basePos = {std::round(part->x * scale), std::round(part->y * scale)};
    if (m_sheet && module >= 0)
        b->size = {m_sheet->moduleWidth(module), m_sheet->moduleHeight(module)};
    b->pos = b->basePos;
    panel.buttons.push_back(std::move(b));
    return panel.buttons.back().get();
}

void PlaneHud::setRing(HudButton& b)
{
    if (b.module < 0 || !m_sheet)
        return;
    b.round = true;
    b.innerRadius = 0.0f;
    b.outerRadius = b.size.y / 2.0f;
    b.centreOffset = {b.size.x / 2.0f, b.size.x / 2.0f};
}

void PlaneHud::makeSchemeButtons()
{
    for (int s = 0; s < 2; ++s) {
        for (int r = 0; r < 5; ++r) {
            const SchemeRow& row = kSchemes[s][r];
            if (row.disabled)
                continue;
            // The sheet's art decides which of the scheme's panels holds the button.
            HudPanel& panel = panelForElement(row.module, false);
            HudButton* b = makeButton(panel, row.module, row.pressedModule, row.id);
            b->mirrorable = row.mirrorable;
            if (row.ring)
                setRing(*b);
            m_schemeButtons[static_cast<std::size_t>(s)][static_cast<std::size_t>(r)] = b;
        }
    }
}

void PlaneHud::makeButtons()
{
    auto make = [this](int module, int pressed, int id, bool visible, bool mirror, bool ring) {
        HudButton* b = makeButton(panelForElement(module, false), module, pressed, id);
        b->visible = visible;
        b->mirrorable = mirror;
        if (ring)
            setRing(*b);
        return b;
    };
    const float vs = screenMetrics().screenScaleY;
    // Autopilot and camera stay put under the pause button whatever the flip.
    auto word = [](HudButton* b, int text, float height, Color4 color = Color4{}) {
        b->label = text;
        b->labelHeight = height;
        b->labelColor = color;
        return b;
    };
    word(make(23, 23, 1, true, false, true), kAutopilotText, 0.22f);
    word(make(22, 22, 2, true, false, true), kAutopilotText, 0.22f, kDarkLabel);
    make(19, 18, 4, true, false, true);
    m_pauseButton = make(21, 20, 3, true, false, true);
    m_ejectButton = word(make(89, 89, 18, false, false, true), kEjectText, 0.2f);
    HudButton* w1 = make(29, 28, 5, true, true, false);
    w1->sticky = true;
    w1->reach = {-(w1->basePos.x + w1->size.x), 40.0f * vs};
    HudButton* w2 = make(31, 30, 6, true, true, false);
    w2->sticky = true;
    w2->reach = {-(w2->basePos.x + w2->size.x), -100.0f * vs};
    HudButton* w3 = make(34, 33, 7, true, true, false);
    w3->sticky = true;
    m_weaponSlots = {w1, w2, w3};
    m_altWeapons = {make(32, 32, 6, false, true, true), make(35, 35, 7, false, true, true)};
    for (int i = 0; i < 6; ++i)
        m_linkButtons[static_cast<std::size_t>(i)] = make(145 + i, 145 + i, 19 + i, false, true, true);
    HudButton* radar = make(24, 24, 12, true, false, true);
    radar->module = radar->pressedModule = -1;
    word(make(25, 25, 9, true, false, true), kAttackText, 0.3f);
    word(make(27, 27, 11, false, false, true), kDefendText, 0.3f);
    word(make(26, 26, 10, false, false, true), kFormText, 0.3f);
    make(3, 3, 17, true, false, true)->notDrawn = true;
    m_counterButton = make(84, 85, 8, true, true, false);
    make(4, 3, 26, true, false, true)->notDrawn = true;
}

void PlaneHud::showButtonGroup(int showId, int hideId)
{
    for (HudPanel& panel : m_panels)
        for (const std::unique_ptr<HudButton>& b : panel.buttons) {
            if (showId != 0 && b->id == showId)
                b->visible = true;
            else if (hideId != 0 && b->id == hideId)
                b->visible = false;
        }
}

void PlaneHud::setControlScheme(int scheme)
{
    for (int s = 0; s < 2; ++s) {
        const bool on = scheme == s;
        for (int r = 0; r < 5; ++r) {
            if (m_panels.size() > static_cast<std::size_t>(kSchemeFirstRow[s] + r + 1))
                layoutPanel(kSchemeFirstRow[s] + r).visible = on;
            if (HudButton* b = m_schemeButtons[static_cast<std::size_t>(s)][static_cast<std::size_t>(r)])
                b->visible = on;
        }
    }
    m_shownScheme = scheme;
}

HudButton* PlaneHud::button(int id)
{
    HudButton* hidden = nullptr;
    for (HudPanel& panel : m_panels)
        for (const std::unique_ptr<HudButton>& b : panel.buttons)
            if (b->id == id) {
                if (b->visible)
                    return b.get();
                if (!hidden)
                    hidden = b.get();
            }
    return hidden;
}

void PlaneHud::hideAllButtons()
{
    for (HudPanel& panel : m_panels)
        for (const std::unique_ptr<HudButton>& b : panel.buttons)
            if (b->id != 3 && b->id != 4)
                b->visible = false;
    m_dpad.enabled = false;
    m_camRotate.enabled = false;
}

void PlaneHud::showAllButtons()
{
    for (HudPanel& panel : m_panels) {
        panel.highlighted = false;
        for (const std::unique_ptr<HudButton>& b : panel.buttons) {
            b->visible = true;
            b->highlighted = false;
        }
    }
    m_dpad.enabled = true;
    m_camRotate.enabled = true;
    showButtonGroup(1, 2);
}

void PlaneHud::showSquadButtons(int index)
{
    showButtonGroup(0, 9);
    showButtonGroup(0, 11);
    showButtonGroup(0, 10);
    constexpr int kGroups[3] = {9, 11, 10};
    if (index >= 0 && index < 3)
        showButtonGroup(kGroups[index], 0);
    squadIndex = index;
}

void PlaneHud::setWeaponIcons(int icon1, int icon2, int icon3)
{
    const int icons[3] = {icon1, icon2, icon3};
    for (std::size_t i = 0; i < 3; ++i)
        if (m_weaponSlots[i])
            m_weaponSlots[i]->icon = icons[i] >= 0 ? icons[i] + 71 : -1;
}

void PlaneHud::onPlaneChanged()
{
    Settings& s = settings();
    const int wanted = s.controlType == 1 ? 1 : 0;
    if (m_shownScheme == 1 && wanted != 1)
        HudMessageQueue::instance().removeById(kLongMessageScheme1);
    if (m_shownScheme != wanted)
        s.settingsChanged = 1;
    setControlScheme(wanted);
}

void PlaneHud::updateWeaponSlotButtons(const HudPlaneState& plane)
{
    // A group the plane carries nothing in shows no button: an empty circle
    // would look like a weapon without its picture.
    bool carried[3] = {false, false, false};
    for (const HudWeaponState& w : plane.weapons)
        if (w.present && w.group >= 0 && w.group < 3 && m_weaponSlots[static_cast<std::size_t>(w.group)]) {
            carried[w.group] = true;
            m_weaponSlots[static_cast<std::size_t>(w.group)]->visible = w.shown;
        }
    for (std::size_t i = 0; i < 3; ++i)
        if (!carried[i] && m_weaponSlots[i])
            m_weaponSlots[i]->visible = false;
    if (m_counterButton)
        m_counterButton->visible = plane.counter > 0;
}

void PlaneHud::refreshWeaponSlots(const HudPlaneState& plane)
{
    updateWeaponSlotButtons(plane);
    int icons[3] = {-1, -1, -1};
    for (const HudWeaponState& w : plane.weapons)
        if (w.present && w.group >= 0 && w.group < 3)
            icons[w.group] = w.iconIndex;
    setWeaponIcons(icons[0], icons[1], icons[2]);
    for (std::size_t i = 0; i < m_mounted.size(); ++i) {
        const HudWeaponState& w = plane.weapons[i];
        m_mounted[i] = w.present ? MountedWeapon{w.identity, w.group, w.iconIndex} : MountedWeapon{};
    }
}

bool PlaneHud::weaponMounted(const HudPlaneState& plane) const
{
    // A slot holding another weapon than last time; a freed slot alone is no
    // mount. The group and icon count too: a new weapon may reuse the old one's memory.
    for (std::size_t i = 0; i < m_mounted.size(); ++i) {
        const HudWeaponState& w = plane.weapons[i];
        const MountedWeapon& m = m_mounted[i];
        if (w.present && (w.identity != m.identity || w.group != m.group || w.iconIndex != m.icon))
            return true;
    }
    return false;
}

void PlaneHud::linkWeapons()
{
    for (std::size_t p = 0; p < 3; ++p) {
        HudButton* first = m_linkButtons[2 * p];
        HudButton* second = m_linkButtons[2 * p + 1];
        if (!first || !second || first->visible == second->visible)
            continue;
        std::swap(first->visible, second->visible);
    }
}

int PlaneHud::buttonAction(int id)
{
    switch (id) {
    case 1: case 2: return static_cast<int>(ControlAction::Autopilot);
    case 3: return static_cast<int>(ControlAction::Menu);
    case 4: return static_cast<int>(ControlAction::Camera);
    case 5: return static_cast<int>(ControlAction::Weapon_1);
    case 6: return static_cast<int>(ControlAction::Weapon_2);
    case 7: return static_cast<int>(ControlAction::Weapon_3);
    case 9: return static_cast<int>(ControlAction::Squadron_CmdA);
    case 10: return static_cast<int>(ControlAction::Squadron_CmdF);
    case 11: return static_cast<int>(ControlAction::Squadron_CmdD);
    case 12: return static_cast<int>(ControlAction::Radar);
    case 18: return static_cast<int>(ControlAction::Eject);
    case 19: case 20: return static_cast<int>(ControlAction::Link_Weapons);
    case 25: return static_cast<int>(ControlAction::Boost);
    default: return -1;
    }
}

std::u16string PlaneHud::keyHint(int id)
{
    const int action = buttonAction(id);
    std::u16string text;
    if (action < 0 || !controlsOrGame().getActionBindingText(action, text)) {
        // The back key pauses whether or not the Menu action is bound.
        if (id == 3)
            return u"Esc";
        text.clear();
    }
    return text;
}

void PlaneHud::pressButton(int id)
{
    const HudPlaneState& plane = m_state.player;
    if (!plane.exists || !plane.inPlay || plane.removalState != 0)
        return;
    Controls& c = controlsOrGame();
    switch (id) {
    case 1: case 2: c.dispatchActions(true, gameAction(ControlAction::Autopilot)); break;
    case 4: c.dispatchActions(true, gameAction(ControlAction::Camera)); break;
    case 5: c.dispatchActions(true, gameAction(ControlAction::Weapon_1)); break;
    case 6: c.dispatchActions(true, gameAction(ControlAction::Weapon_2)); break;
    case 7: c.dispatchActions(true, gameAction(ControlAction::Weapon_3)); break;
    case 9: c.dispatchActions(true, gameAction(ControlAction::Squadron_CmdA)); break;
    case 10: c.dispatchActions(true, gameAction(ControlAction::Squadron_CmdF)); break;
    case 11: c.dispatchActions(true, gameAction(ControlAction::Squadron_CmdD)); break;
    case 12: c.dispatchActions(true, gameAction(ControlAction::Radar)); break;
    case 18: c.dispatchActions(true, gameAction(ControlAction::Eject)); break;
    case 19: case 20: c.dispatchActions(true, gameAction(ControlAction::Link_Weapons)); break;
    case 25: c.dispatchActions(true, gameAction(ControlAction::Boost)); break;
    default: break;
    }
}

void PlaneHud::releaseButton(int id)
{
    if (id == 3) {
        if (m_game)
            m_game->pauseGame();
        return;
    }
    if (id == 17 || id == 26) {
        if (!m_state.singlePlayer && m_game)
            m_game->openChat(id == 26);
        return;
    }
    const HudPlaneState& plane = m_state.player;
    if (!plane.exists || plane.removalState != 0)
        return;
    Controls& c = controlsOrGame();
    switch (id) {
    case 5: c.dispatchActions(false, gameAction(ControlAction::Weapon_1)); break;
    case 6: c.dispatchActions(false, gameAction(ControlAction::Weapon_2)); break;
    case 7: c.dispatchActions(false, gameAction(ControlAction::Weapon_3)); break;
    case 12: c.dispatchActions(false, gameAction(ControlAction::Radar)); break;
    case 25:
        if (m_game)
            m_game->endBoost();
        break;
    default: break;
    }
}
