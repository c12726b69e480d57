// Building the HUD and its per-frame update.
#include "screens/hud/PlaneHud.h"

#include "screens/GameControls.h"
#include "ui/MenuFrame.h"

#include "platform/Clock.h"
#include "platform/Input.h"
#include "platform/Log.h"
#include "platform/Random.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/SpriteSets.h"
#include "screens/hud/HudMarkers.h"
#include "screens/hud/HudMessageQueue.h"
#include "sound/SoundSource.h"
#include "sound/SoundTable.h"

#include <algorithm>
#include <cmath>

void PlaneHud::makeControls(bool withSheet)
{
    m_controlList.clear();
    layoutDpad(settings().flipControls != 0);
    m_dpad.reset();
    m_camRotate.reset();
    m_camRotate.gestures = [this](int code) {
        if (m_game && m_state.player.exists && m_state.player.inPlay)
            m_game->gesture(code);
    };
    m_controlList.push_back(&m_camRotate);
    HudText* texts[2] = {&m_speedText, &m_altitudeText};
    const int modules[2] = {kSpeedDial, kAltimeter};
    const float maxima[2] = {700.0f, 6000.0f};
    for (int i = 0; i < 2; ++i) {
        HudText& t = *texts[i];
        t = HudText{};
        t.font = withSheet ? loadHudFont(2.0f) : nullptr;
        t.rangeMin = 0.0f;
        t.rangeMax = maxima[i];
        t.alignment = 5;
        t.lowColor = t.highColor = kTextColor;
        t.setValue(0.0f);
        const CSprite::Rect r = elementRect(nullptr, modules[i]);
        t.position = {r.x + r.w / 2.0f, r.y + r.h / 2.0f};
        // The dials show these values; the texts stay hidden.
        t.hidden = true;
    }
    m_controlList.push_back(&m_speedText);
    m_controlList.push_back(&m_altitudeText);
    if (HudButton* counter = button(8))
        counter->visible = true;
    m_voiceChat = VoiceChatFeedback{};
    m_controlList.push_back(&m_voiceChat);
}

void PlaneHud::layoutDpad(bool flipped)
{
    CSprite* s = sheet();
    if (!s)
        return;
    const CSprite::Rect a = elementRect(s, ControlsDpad::kAreaFirstModule);
    const CSprite::Rect b = elementRect(s, ControlsDpad::kAreaLastModule);
    m_dpad.layout(s->moduleWidth(ControlsDpad::kKnobModule), s->moduleHeight(ControlsDpad::kKnobModule),
                  s->moduleWidth(ControlsDpad::kRingModule), s->moduleHeight(ControlsDpad::kRingModule), a.x, a.y,
                  b.x, b.y, flipped);
}

void PlaneHud::applyGameDefaults()
{
    showButtonGroup(1, 2);
    showButtonGroup(0, 9);
    showButtonGroup(0, 11);
    showButtonGroup(0, 10);
    if (!m_state.singlePlayer) {
        squadIndex = -1;
        showButtonGroup(17, 0);
        showButtonGroup(26, 0);
    } else {
        showButtonGroup(9, 0);
        squadIndex = 0;
        showButtonGroup(0, 17);
        showButtonGroup(0, 26);
    }
}

void PlaneHud::init(CSprite* sheet)
{
    // Panels and buttons laid out from a sheet the renderer has unloaded are built anew.
    if (m_built && sheetGone())
        m_built = false;
    startGameState();
    if (m_built) {
        resetForNewGame();
        return;
    }
    m_hasOwnSheet = sheet != nullptr;
    initPanels(sheet);
    makeSchemeButtons();
    setControlScheme(2);
    makeButtons();
    HudMessageQueue::instance().reset();
    applyGameDefaults();
    m_built = true;
    makeControls(m_hasOwnSheet);
    startIntroAnimation();
}

void PlaneHud::startGameState()
{
    if (SoundSourceBuffered* source = globalSources().lock; source && lockTone.playing)
        source->stop();
    static_cast<PlaneHudGame&>(*this) = PlaneHudGame{};
}

void PlaneHud::resetForNewGame()
{
    showAllButtons();
    applyGameDefaults();
    startIntroAnimation();
    for (int id = 19; id <= 24; ++id)
        showButtonGroup(0, id);
    for (HudButton* b : m_weaponSlots)
        if (b) {
            b->opacity = 1.0f;
            b->enabled = true;
        }
    for (HudButton* b : m_linkButtons)
        if (b) {
            b->opacity = 1.0f;
            b->enabled = true;
        }
    for (HudButton* b : m_altWeapons)
        if (b)
            b->visible = false;
    setControlScheme(2);
    input().directionBytes.fill(0);
    m_voiceChat = VoiceChatFeedback{};
    layoutDpad(settings().flipControls != 0);
    for (HudPanel& panel : m_panels) {
        panel.highlighted = false;
        for (const std::unique_ptr<HudButton>& b : panel.buttons)
            b->highlighted = false;
    }
    m_dpad.setVisible(false);
    m_camRotate.setHighlighted(false);
    m_speedText.setHighlighted(false);
    m_altitudeText.setHighlighted(false);
    if (m_ejectButton)
        m_ejectButton->visible = false;
}

void PlaneHud::startIntroAnimation()
{
    for (HudButton* b : m_weaponSlots)
        if (b)
            b->startSwingIn(kIntroTime);
    if (HudButton* counter = button(8))
        counter->startSwingIn(kIntroTime);
    const ScreenMetrics& m = screenMetrics();
    if (m_panels.size() > 7) {
        layoutPanel(3).startSlide({0.0f, -200.0f * m.screenScaleY}, kIntroTime);
        layoutPanel(0).startSlide({0.0f, -200.0f * m.screenScaleY}, kIntroTime);
        layoutPanel(6).startSlide({-400.0f * m.screenScaleX, 0.0f}, kIntroTime);
    }
    m_speedText.slideFrom(-static_cast<float>(m.halfWidth), 0.0f, kIntroTime);
    m_altitudeText.slideFrom(static_cast<float>(m.halfWidth), 0.0f, kIntroTime);
}

void PlaneHud::releaseAll()
{
    for (HudControl* c : m_controlList)
        c->reset();
    m_dpad.reset();
    for (HudPanel& panel : m_panels)
        for (const std::unique_ptr<HudButton>& b : panel.buttons) {
            if (b->touchId < 0 && !b->pressed)
                continue;
            b->touchId = -1;
            b->pressed = false;
            releaseButton(b->id);
        }
    // A fast-forward held when the touches went away would outlive them.
    if (fastForwardHeld) {
        fastForwardHeld = false;
        setTimeScale(1.0f);
    }
}

void PlaneHud::holdFastForward(bool held)
{
    // The key does what the fast-forward zone does, and only when it would.
    if (held && roundOver && !fastForwardHeld) {
        fastForwardHeld = true;
        setTimeScale(kFastForwardScale);
    } else if (!held && fastForwardHeld) {
        fastForwardHeld = false;
        setTimeScale(1.0f);
    }
}

void PlaneHud::onPause()
{
    if (fastForwardHeld) {
        fastForwardHeld = false;
        setTimeScale(1.0f);
    }
}

void PlaneHud::update()
{
    HudGameState state;
    readHudGameState(nullptr, state);
    update(state);
}

void PlaneHud::updateWeapons(const HudPlaneState& plane)
{
    for (int g = 0; g < 3; ++g) {
        int count = -1;
        for (const HudWeaponState& w : plane.weapons) {
            if (!w.present || w.group != g || !w.hasLaunchers)
                continue;
            count = std::max(count, 0) + w.readyLaunchers;
        }
        weaponGaugeValues[static_cast<std::size_t>(g)] = count;
    }
    updateLinkButtons(plane);
    for (std::size_t g = 0; g < 3; ++g)
        if (m_weaponSlots[g])
            m_weaponSlots[g]->count = weaponGaugeValues[g];
}

void PlaneHud::updateLinkButtons(const HudPlaneState& plane)
{
    bool linkable[3] = {};
    for (const HudWeaponState& w : plane.weapons)
        if (w.present && w.linkable && w.group >= 0 && w.group < 3)
            linkable[w.group] = true;
    constexpr int kPairs[3][2] = {{0, 1}, {0, 2}, {1, 2}};
    for (std::size_t p = 0; p < 3; ++p) {
        HudButton* first = m_linkButtons[2 * p];
        HudButton* second = m_linkButtons[2 * p + 1];
        if (!first || !second)
            continue;
        const int a = kPairs[p][0], b = kPairs[p][1];
        const bool slotsShown = m_weaponSlots[static_cast<std::size_t>(a)] &&
                                m_weaponSlots[static_cast<std::size_t>(a)]->visible &&
                                m_weaponSlots[static_cast<std::size_t>(b)] &&
                                m_weaponSlots[static_cast<std::size_t>(b)]->visible;
        if (linkable[a] && linkable[b] && slotsShown) {
            if (!second->visible)
                first->visible = true;
        } else {
            first->visible = second->visible = false;
        }
    }
}

void PlaneHud::updateControlsActive(const HudGameState& state)
{
    const bool was = controlsActive;
    if (state.spectating)
        controlsActive = false;
    else if (state.player.exists)
        controlsActive = state.player.inPlay && state.player.controlsEnabled && !state.player.crashing;
    if (was && !controlsActive)
        releaseAll();
}

void PlaneHud::updateLockTone(const HudGameState& state)
{
    SoundSourceBuffered* source = globalSources().lock;
    LockTone& t = lockTone;
    if (state.soundMuted || !lockToneOn) {
        if (source && t.playing)
            source->stop();
        t.playing = false;
        t.hasLockWeapon = false;  // so the tone starts again once sound returns
        return;
    }
    bool hasLock = false, locked = false;
    for (const HudWeaponState& w : state.player.weapons)
        if (w.present && w.lockWeapon) {
            hasLock = true;
            locked = locked || w.locked;
        }
    if (!state.player.exists)
        hasLock = locked = false;
    const float dt = frameDelta();
    if (hasLock != t.hasLockWeapon) {
        t.hasLockWeapon = hasLock;
        t.playing = hasLock;
        t.elapsed = 0.0f;
        if (source) {
            if (hasLock)
                source->play();
            else
                source->stop();
        }
    }
    if (locked) {
        t.elapsed += dt;
        if (t.elapsed > t.interval) {
            t.elapsed = 0.0f;
            if (source && t.playing)
                source->play();
        }
        t.interval = std::max(t.interval - 0.3f * dt, 0.08f);
        t.volume = std::max(t.volume - 0.25f * dt, 0.08f);
    } else {
        t.interval = 0.4f;
        t.volume = 1.0f;
    }
    t.sentVolume = std::min(t.volume, 0.2f);
    if (source)
        source->setVolume(t.sentVolume);
}

void PlaneHud::updatePlay(const HudGameState& state)
{
    const HudPlaneState& plane = state.player;
    const float dt = frameDelta();
    if (state.playerGroupIndex != squadIndex && squadIndex != -1)
        showSquadButtons(state.playerGroupIndex);
    boostFraction = plane.boostCapacity > 0.0f ? std::clamp(plane.boostReserve / plane.boostCapacity, 0.0f, 1.0f)
                                               : 0.0f;
    const int scheme = settings().controlType == 1 ? 1 : 0;
    if (HudButton* boost = m_schemeButtons[static_cast<std::size_t>(scheme)][4]) {
        boost->tinted = true;
        boost->tint = Color4::lerp(Color4{255, 0, 0, 255}, Color4{}, boostFraction);
    }
    for (int g = 0; g < 3; ++g) {
        HudButton* b = m_weaponSlots[static_cast<std::size_t>(g)];
        if (!b)
            continue;
        const HudWeaponState* current = nullptr;
        for (const HudWeaponState& w : plane.weapons)
            if (w.present && w.group == g)
                current = &w;
        b->tinted = current && current->reloading;
        if (b->tinted)
            b->tint = Color4::lerp(Color4{255, 0, 0, 255}, Color4{}, current->reloadProgress);
    }
    updateLockTone(state);
    // The speed over the frame's travel; the speed field when the frame has
    // no length, the plane rides a carrier or the game's first frame has no
    // point before it.
    float speed = plane.speed;
    if (dt > 0.0f && !plane.onCarrier && pointTracked)
        speed = vec3DistanceExact(trackedPoint, plane.position) / dt;
    trackedPoint = plane.position;
    pointTracked = true;
    const bool metric = settings().metricUnits != 0;
    speedValue = speed * (metric ? kSpeedToKmh : kSpeedToMph);
    altitudeValue = plane.position.y * (metric ? 1.0f : kMetresToFeet);
    m_speedText.setValue(speedValue);
    m_altitudeText.setValue(altitudeValue);
    float h = std::clamp(plane.health * 100.0f, 0.0f, 100.0f);
    if (h > 0.0f && h < 1.0f)
        h = 1.0f;
    healthPercent = h;
    for (HealthIndicator& i : health)
        i.value = healthPercent;
    if (m_ejectButton) {
        m_ejectButton->visible = (plane.canEject && state.gameType != 1) || showEjectAlways;
        if (m_ejectButton->visible)
            ejectBlink += dt;
    }
}

void PlaneHud::updateShake()
{
    if (!shakeActive)
        return;
    const float dt = frameDelta();
    if (m_weaponSlots[0])
        m_weaponSlots[0]->tinted = false;
    shakeTimeLeft -= dt;
    if (shakeTimeLeft >= 0.0f) {
        shakeTick -= dt;
        if (shakeTick < 0.0f) {
            shakeTick = 0.1f;
            tint = Color4{static_cast<std::uint8_t>(randU32() % 255), static_cast<std::uint8_t>(randU32() % 255),
                          static_cast<std::uint8_t>(randU32() % 255), static_cast<std::uint8_t>(randU32() % 255)};
            shakeOffset = {randRange(-10.0f, 10.0f), randRange(-10.0f, 10.0f)};
        }
        const float t = std::clamp(10.0f * dt, 0.0f, 1.0f);
        shakeOffset = {shakeOffset.x * (1.0f - t), shakeOffset.y * (1.0f - t)};
        tint = Color4::lerp(tint, Color4{}, t);
    } else {
        shakeActive = false;
        shakeOffset = {};
        tint = Color4{};
    }
}

void PlaneHud::showAutopilotState(bool on)
{
    // The button's second form shows while the autopilot flies; a button the
    // game hid (a tutorial's lesson) stays hidden.
    const int shown = on ? kAutopilotOnButton : kAutopilotOffButton;
    const int other = on ? kAutopilotOffButton : kAutopilotOnButton;
    if (const HudButton* b = button(other); b && b->visible)
        showButtonGroup(shown, other);
}

void PlaneHud::update(const HudGameState& state)
{
    if (state.blackingOut && !m_state.blackingOut)
        logInfo("hud", "the view blacks out %.2f past the faint start: the radar and pop-ups go",
                static_cast<double>(state.faintPast));
    m_state = state;
    if (!active || !m_built)
        return;
    if (state.player.exists && !state.spectating && weaponMounted(state.player))
        refreshWeaponSlots(state.player);
    updateWeapons(state.player);
    showAutopilotState(state.player.autopilot);
    updateControlsActive(state);
    m_dpad.planeInPlay = state.player.exists && state.player.inPlay;
    m_camRotate.keepsLook = state.cameraMode == kTargetLockView;
    if (!roundOver && controlsActive && state.player.exists)
        updatePlay(state);
    updateShake();
    placePanels(shakeOffset);
    if (state.spectating) {
        m_camRotate.update();
    } else {
        for (HudControl* c : m_controlList)
            c->update();
    }
    if (state.objects)
        HudElementList::instance().update(state.markers, *state.objects);
    // While the player waits to fly again (a death, a team switch) the
    // warnings of the airplane that left go with it: the countdown line has
    // the bottom of the screen. A flag carrier in flight keeps them.
    if (state.waitingToFly)
        HudMessageQueue::instance().clearLong();
    HudMessageQueue::instance().update(frameDelta());
    updateReticle(state);
    if (fade.direction != 0) {
        fade.remaining -= frameDelta();
        if (fade.remaining <= 0.0f) {
            fade.remaining = 0.0f;
            fade.direction = 0;
        }
    }
    // The held score table lives with the HUD.
    if (MenuFrame* page = GameControls::peekedScores())
        page->update();
}

void PlaneHud::updateReticle(const HudGameState& state)
{
    Reticle& r = reticle;
    const HudPlaneState& plane = state.player;
    if (!r.enabled || !plane.exists || state.steeringMode < 0 || state.steeringMode > 4 || plane.reticleBlocked) {
        // Let go of the plane: the next one (or this one back in flight)
        // starts again from its own orientation.
        r.onScreen = false;
        r.warmFrames = 0;
        return;
    }
    const ScreenMetrics& m = screenMetrics();
    const Vec2 centre{static_cast<float>(m.halfWidth), static_cast<float>(m.halfHeight)};
    if (r.warmFrames < 3) {
        ++r.warmFrames;
        r.orientation = r.turned = r.view = plane.orientation;
        r.target = r.shown = centre;
        return;
    }
    const Settings& s = settings();
    float yaw = -static_cast<float>(state.mouseDx) * 0.004f * s.mouseSensitivity;
    float pitch = -static_cast<float>(state.mouseDy) * 0.004f * s.mouseSensitivity;
    if (s.invertPitch)
        yaw = -yaw, pitch = -pitch;
    const float ease = std::clamp(8.0f * frameDelta(), 0.0f, 1.0f);
    if (state.cameraMode == kCockpitView) {
        // The cockpit view turns with the plane, not with the aim: the aim is
        // turned from the view, so a resting mouse lets the nose settle.
        r.view = quatNormalize(quatMulAxisX(quatMulAxisY(quatSlerp(r.view, state.cameraOrientation, ease), yaw), pitch));
        r.turned = r.view;
    } else {
        r.turned = quatNormalize(quatMulAxisX(quatMulAxisY(r.turned, yaw), pitch));
        r.view = r.turned;
    }
    r.orientation = quatSlerp(r.orientation, r.turned, ease);
    r.onScreen = false;
    if (!state.relativeMouse || state.paused || !state.project)
        return;
    const Vec3 ahead = plane.position + quatRotateVector(r.orientation, Vec3{0.0f, 0.0f, -1000.0f});
    Vec2 ndc;
    if (!state.project(ahead, ndc) || std::fabs(ndc.x) > 1.05f || std::fabs(ndc.y) > 1.05f)
        return;
    r.target = {(ndc.x + 1.0f) * static_cast<float>(m.screenWidth) / 2.0f,
                (ndc.y + 1.0f) * static_cast<float>(m.screenHeight) / 2.0f};
    if (std::fabs(r.target.x - centre.x) <= 2.0f)
        r.target.x = centre.x;
    if (std::fabs(r.target.y - centre.y) <= 2.0f)
        r.target.y = centre.y;
    r.shown = r.target;
    r.onScreen = true;
}

std::array<PlaneHud::Drum, 3> PlaneHud::altimeterDrums(float altitude)
{
    std::array<Drum, 3> drums{};
    const float divisors[3] = {1.0f, 10.0f, 100.0f};
    for (std::size_t i = 0; i < 3; ++i) {
        const float v = std::max(altitude, 0.0f) / divisors[i];
        drums[i].digit = static_cast<int>(std::fmod(std::floor(v), 10.0f));
        drums[i].roll = v - std::floor(v);
    }
    return drums;
}
