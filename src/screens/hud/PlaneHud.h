#pragma once
#include "render/2d/CSprite.h"
#include "screens/hud/CamRotateControl.h"
#include "screens/hud/HudButton.h"
#include "screens/hud/HudControl.h"
#include "screens/hud/HudGameState.h"
#include "screens/hud/HudPanel.h"
#include "screens/hud/HudText.h"

#include <array>
#include <string>
#include <vector>

class Controls;
class SoundSource;

// What one game sets on the HUD. Each game starts from a fresh one, taken
// whole, so nothing a lesson hides, a key flips or a hit starts carries into
// the next game, and a value added here later cannot either.
struct PlaneHudGame {
    struct HealthIndicator {
        int module = 0, second = 0;
        bool visible = true, fading = false;
        float phase = 0.0f, value = 100.0f;
    };
    struct LockTone {
        bool hasLockWeapon = false, playing = false;
        float interval = 0.4f, volume = 1.0f, elapsed = 0.0f, sentVolume = 0.0f;
    };
    struct Reticle {
        bool enabled = true;
        const void* plane = nullptr;  // the plane it follows, by identity only
        int warmFrames = 0;
        Quat orientation, turned;
        // In the cockpit view the mouse turns from where the view looks:
        // this one follows the camera and carries the turns.
        Quat view;
        Vec2 target, shown;
        bool onScreen = false;
    };
    struct Fade {
        int direction = 0;  // +1 in, -1 out
        float remaining = 0.0f, duration = 0.0f;
    };

    Color4 tint;
    bool active = true;
    bool roundOver = false;
    bool controlsActive = true;
    bool fastForwardHeld = false;
    bool shakeActive = false;
    float shakeTimeLeft = 0.0f, shakeTick = 0.0f;
    Vec2 shakeOffset;
    bool counterForced = false, showEjectAlways = false;
    float ejectBlink = 0.0f, ejectBlinkValue = 0.0f;
    float healthPercent = 100.0f;
    std::array<HealthIndicator, 4> health{{{11, 7}, {12, 8}, {13, 9}, {14, 10}}};
    std::array<int, 3> weaponGaugeValues{-1, -1, -1};
    Vec3 trackedPoint;
    bool pointTracked = false;  // trackedPoint holds this game's airplane
    float speedValue = 0.0f, altitudeValue = 0.0f;
    int squadIndex = 0;
    bool speedDialShown = true, altimeterShown = true;
    std::array<bool, 3> dialHighlight{};
    float dialPulse = 0.0f;
    float hitFlashTimer = 0.0f;
    Fade fade;
    bool markerSet = false, markerShown = false;
    Vec2 markerPoint;
    LockTone lockTone;
    Reticle reticle;
    bool lockToneOn = true;
    float boostFraction = 1.0f;
    // The radar: shown, the large centred one (button 12).
    bool radarOn = true, radarLarge = false;
};

// The in-flight HUD: the 34 screen-anchored panels made from the layout
// table with their touch buttons, the controls (camera drag, two value
// texts, voice-chat indicator, and the direction pad beside them), the
// dials, health, shake, lock tone, fade and mouse reticle. There is one,
// planeHud(); the game screen builds it at its load step, the game mode's
// HUD update and draw run it, and the game screen hands it the touches.
class PlaneHud : public PlaneHudGame {
public:
    using HudControl = ::HudControl;
    static constexpr int kLayoutRows = 34;
    static constexpr float kIntroTime = 0.5f;
    static constexpr float kFastForwardScale = 5.0f;
    // Frames of the HUD sheet beyond the layout frames.
    static constexpr int kNeedleFrame = 121, kHubFrame = 122, kGaugeEmptyFrame = 156, kGaugeFullFrame = 157;
    static constexpr int kMarkerFrame = 178, kFastForwardFrame = 179, kReticleFrame = 180;
    // The plate of one dial, centred on it, while the other dial is hidden.
    static constexpr int kOneDialPlateFrame = 181;
    static constexpr int kDialPanelRow = 3;
    static constexpr int kCockpitView = 2;  // the game camera's mode at the cockpit eye point
    static constexpr int kTargetLockView = 4;  // the game camera turning to its locked target
    static constexpr int kSpeedDial = 3, kAltimeter = 4, kDrumWindow = 159, kHitFlash = 97;
    // The dial highlight flags: the speed dial's, the altimeter's, the radar's.
    static constexpr std::size_t kSpeedHighlight = 0, kAltimeterHighlight = 1, kRadarHighlight = 2;
    static constexpr int kHealthHundreds = 152, kHealthTens = 153, kPercent = 15;
    static constexpr int kEjectArrowLeft = 87, kEjectArrowRight = 88;
    static constexpr float kSpeedToMph = 1.7895491f, kSpeedToKmh = 2.88f, kMetresToFeet = 3.28084f;
    static constexpr Color4 kTextColor{177, 245, 181, 255};

    // ---- Building ----
    // First call: panels, buttons, controls and texts; later calls reset them
    // for a new game. A null sheet takes sprite set 2.
    void init(CSprite* sheet);
    bool built() const { return m_built; }
    void startIntroAnimation();
    // Where the actions go: the controls (null: the game's) and the game side (null: none).
    void setControls(Controls* controls) { m_controls = controls; }
    void setGame(IHudGame* game) { m_game = game; }

    // ---- Each frame ----
    // Reads the current game mode and runs update(state).
    void update();
    void update(const HudGameState& state);
    // In a 2-D pass of its own.
    void draw();
    // The same inside a 2-D pass the caller runs (the recording benchmark).
    void drawContents();
    // The lock-on tone alone (the menu flight's whole HUD update).
    void updateLockTone(const HudGameState& state);

    // ---- Touches (screen pixels) ----
    void onTouchDown(int id, int x, int y);
    void onTouchMove(int id, int x, int y);
    void onTouchUp(int id, int x, int y);
    // Every control's touch dropped, every held button released with its action.
    void releaseAll();
    // The pause, a resume: the fast-forward zone lets go and the time runs at 1.
    void onPause();
    // The fast-forward key held or let go: 5x while the round-over sequence runs.
    void holdFastForward(bool held);

    // ---- Buttons ----
    HudButton* makeButton(HudPanel& panel, int module, int pressedModule, int id);
    void showButtonGroup(int showId, int hideId);
    // 0 or 1 shows that scheme's panels and buttons; any other value hides both.
    void setControlScheme(int scheme);
    int shownScheme() const { return m_shownScheme; }
    void pressButton(int id);
    void releaseButton(int id);
    // The control action a button stands for (-1 none; the pause button: Menu).
    static int buttonAction(int id);
    // The key or mouse button that does what the button does, as the controls
    // name it; the pause button falls back on the back key. Empty when unbound.
    std::u16string keyHint(int id);
    void hideAllButtons();
    void showAllButtons();
    void showSquadButtons(int index);
    void setWeaponIcons(int icon1, int icon2, int icon3);
    // The scheme of the settings after the player's plane changed (or a resume).
    void onPlaneChanged();
    // Weapon-slot buttons by the weapons' shown flags; button 8 by the counter.
    void updateWeaponSlotButtons(const HudPlaneState& plane);
    // The slot buttons and their icons: at load, and again whenever a weapon
    // is mounted on the player's plane later (the update notices it).
    void refreshWeaponSlots(const HudPlaneState& plane);
    // The link action: each pair with a shown button shows its other one
    // instead (the first of a pair stands for linked groups).
    void linkWeapons();
    // The first shown button of that id in panel order, else the first hidden one; null when none.
    HudButton* button(int id);
    // The autopilot button's two forms: off (its first state) and on.
    static constexpr int kAutopilotOffButton = 1, kAutopilotOnButton = 2;
    void showAutopilotState(bool on);
    HudButton* weaponSlotButton(int group) { return m_weaponSlots[static_cast<std::size_t>(group)]; }

    // ---- Layout ----
    // Keeps the HUD sheet (null: sprite set 2) and makes the root panel and
    // one panel per layout row, building the table first.
    void initPanels(CSprite* sheet);
    CSprite* sheet();
    // Fills the layout table from the current screen size. Built once, and
    // again when the screen size changes, so element rectangles follow the
    // panels; the panels take the new anchor points.
    void buildLayout();
    const std::array<HudLayoutRow, kLayoutRows>& layout() const { return m_layout; }
    // Screen rectangle of a module of the sheet (null: the HUD's sheet): the
    // first layout row, frame A before frame B, whose frame uses the module.
    // A module no panel uses gets (0, 0) and its own scaled size. Shake and
    // slides do not move it.
    CSprite::Rect elementRect(const CSprite* sheet, int module);
    // The panel whose frame A (frame B when asked) uses the module; the first
    // layout panel when none does.
    HudPanel& panelForElement(int module, bool useFrameB);
    // The root panel followed by the layout panels, in layout order.
    std::vector<HudPanel>& panels() { return m_panels; }
    HudPanel& layoutPanel(int row) { return m_panels.at(static_cast<std::size_t>(row) + 1); }
    void placePanels(Vec2 shakeOffset);
    void drawPanels();
    // The message queue's notices, centre lines, long message and score
    // line, then the objective panel for the last update's team and game
    // type; nothing while paused. The chat page draws them over its keyboard.
    void drawMessages(bool paused);
    // Whether the HUD's update ticks the message queue each unpaused frame.
    bool updatesMessages() const;
    // The side panel of the objective triggers registered in the message
    // queue: one row per trigger with targets left, its kind icon in the
    // side's color and the count left. `playerTeam` colors the own side;
    // game type 1 (campaign) draws no icon for kind 17.
    void drawPlayerList(int playerTeam, int gameType);
    // The direction pad laid out for the flip setting from the sheet.
    void layoutDpad(bool flipped);

    // ---- State (read and set by the game modes, tutorials and tests) ----
    // What one game sets is in PlaneHudGame; this lasts from game to game.
    // Set by a frame whose HUD drew the achievement pop-ups in their place
    // (or hid them in a blackout); the screens' pass draws them otherwise.
    bool popupsTaken = false;

    ControlsDpad& dpad() { return m_dpad; }
    CamRotateControl& camRotate() { return m_camRotate; }
    HudText& speedText() { return m_speedText; }
    HudText& altitudeText() { return m_altitudeText; }
    VoiceChatFeedback& voiceChat() { return m_voiceChat; }
    const std::vector<HudControl*>& controls() const { return m_controlList; }

    // How dark the view goes under a hard pull (0..1): the meter's way past
    // its start over its range, breathing by a quarter with the scene's clock.
    static float blackoutStrength(float past, float range, float phase);

    // Needle angle in radians for a dial value at a full scale.
    static float needleAngle(float value, float fullScale) { return value * 6.25f / fullScale; }
    // The three drums of the altimeter: digit and roll (0..1) of the ones,
    // tens and hundreds drums for an altitude.
    struct Drum {
        int digit = 0;
        float roll = 0.0f;
    };
    static std::array<Drum, 3> altimeterDrums(float altitude);
    // The rectangles of the elements shown together in play at the present
    // screen size, for the overlap check.
    std::vector<std::pair<int, CSprite::Rect>> shownElementRects();

private:
    // Row of the frame holding the module, with that frame; -1 when none.
    void drawTriggerRow(CSprite& sheet, float x, float y, float width, int icon, Color4 color, int count);
    int findRow(const CSprite& sheet, int module, bool frameAOnly, bool frameBOnly, int& frame) const;

    void makeButtons();
    void makeSchemeButtons();
    void makeControls(bool withSheet);
    void resetForNewGame();
    // A fresh PlaneHudGame, the lock tone of the last one silenced.
    void startGameState();
    void applyGameDefaults();
    void setRing(HudButton& b);
    void updateWeapons(const HudPlaneState& plane);
    void updateLinkButtons(const HudPlaneState& plane);
    bool weaponMounted(const HudPlaneState& plane) const;
    void updateControlsActive(const HudGameState& state);
    void updatePlay(const HudGameState& state);
    void updateShake();
    void updateReticle(const HudGameState& state);
    void drawPlay();
    void drawHealth();
    void drawBoostGauge();
    void drawEjectWarning();
    void drawCounter();
    // While the mouse steers its pointer is hidden and clicks fly the plane:
    // each shown button carries the key that does its work instead.
    // Where a button's key tag of w x h stands: under it, or over it at the screen's bottom, inside the screen.
    static CSprite::Rect keyTagRect(const HudButton& b, float w, float h);
    void drawKeyHints();
    void drawRoundOver();
    void drawFade();
    void drawBlackout();
    void drawDials();
    void drawDial(int module, float value, float limit, float fullScale, int jitter, int highlight);
    void drawDrums();
    void drawReticle();
    // The radar with the approach lamp, and the markers with the gunsight.
    void drawRadarPass();
    void drawMarkerPass();
    bool buttonCandidate(const HudButton& b) const;
    bool controlCandidate(const HudControl& c) const;
    bool touchDownControls(int id, float x, float y);
    void touchDownButtons(int id, float x, float y);
    Controls& controlsOrGame();

    // The panels and buttons were laid out from a sheet the renderer has
    // since unloaded (a sheet given by the caller is its own).
    bool sheetGone() const;

    CSprite* m_sheet = nullptr;
    bool m_hasOwnSheet = false;
    bool m_sharedSheet = false;       // m_sheet came from the sprite tables
    unsigned m_sheetGeneration = 0;   // ... of this generation
    std::vector<HudPanel> m_panels;
    std::array<HudLayoutRow, kLayoutRows> m_layout{};
    bool m_layoutBuilt = false;
    int m_layoutWidth = 0, m_layoutHeight = 0;

    bool m_built = false;
    Controls* m_controls = nullptr;
    IHudGame* m_game = nullptr;
    HudGameState m_state;  // the last frame's, for the touches and the draw
    std::array<HudButton*, 3> m_weaponSlots{};
    std::array<HudButton*, 2> m_altWeapons{};   // second forms of slots 2 and 3
    std::array<HudButton*, 6> m_linkButtons{};  // ids 19..24
    struct MountedWeapon {
        const void* identity = nullptr;
        int group = -1, icon = -1;
    };
    std::array<MountedWeapon, 8> m_mounted{};   // as the slot buttons last showed them
    HudButton* m_ejectButton = nullptr;
    HudButton* m_counterButton = nullptr;
    HudButton* m_pauseButton = nullptr;
    std::array<std::array<HudButton*, 5>, 2> m_schemeButtons{};
    int m_shownScheme = 2;
    ControlsDpad m_dpad;
    CamRotateControl m_camRotate;
    HudText m_speedText, m_altitudeText;
    VoiceChatFeedback m_voiceChat;
    std::vector<HudControl*> m_controlList;
};

// The one HUD of the game.
PlaneHud& planeHud();
