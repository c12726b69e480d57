#pragma once
#include "entities/EntityHandle.h"
#include "render/2d/CSprite.h"
#include "screens/hud/HudMessage.h"

#include <array>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// An objective trigger of the map as the HUD's side panel shows it.
class IHudTrigger {
public:
    virtual ~IHudTrigger() = default;
    virtual int kind() const = 0;    // only kind 6 (objectives) is shown
    virtual int total() const = 0;
    virtual int done() const = 0;
    // Of the first of its objects whose target is still in play: the target's
    // kind, variant (-1 without one) and team. False when none is left.
    virtual bool firstTargetInPlay(int& kind, int& variant, int& team) const = 0;
};

// The players the end-of-match score rows have picked, kept by handle: a
// player who leaves is never mistaken for a newcomer with the same id.
class HudTeamList {
public:
    void add(EntityHandle player);       // not added twice; an empty handle is ignored
    void remove(EntityHandle player);    // the first match; the rest keep their order
    bool contains(EntityHandle player) const;
    void clear() { m_players.clear(); }
    int count() const { return static_cast<int>(m_players.size()); }

private:
    std::vector<EntityHandle> m_players;
};

// Every transient text of the flight HUD: the five-line event ring, the centre
// notices shown one at a time, the blinking warnings keyed by string number,
// the mission countdown and the objective triggers of the side panel.
class HudMessageQueue {
public:
    static constexpr int kRingSize = 5;
    static constexpr int kMaxTriggers = 32;
    static constexpr float kWarningFade = 0.3f;
    static constexpr float kCountdownHidden = -1000.0f;
    static constexpr float kSoundNoticeSeconds = 3.0f;
    static constexpr int kCountdownCaption = 359;
    static constexpr int kRingElement = 70, kNoticeTopElement = 4;

    HudMessageQueue();
    // The one queue, made on first use.
    static HudMessageQueue& instance();

    // Empties everything and takes the positions from the HUD layout afresh.
    void reset();

    // A centre notice in the big font, wrapped to the notice width. A negative
    // duration keeps the one by length; 0 never expires.
    void pushNotice(std::u16string_view text, float duration, bool popIn, bool silent);
    // A tutorial line by string number; -1 keeps the duration by line count.
    void pushTutorialLine(int stringId, float duration);
    // Plays announcer `soundIndex`, then shows the text as a 3 s notice.
    void pushWithSound(int soundIndex, std::u16string_view text);
    // An event line for the ring: it leaves after the line before it.
    void pushLong(std::u16string_view text);
    // The line as the player reads it, without its colour codes, for the log.
    static std::string plainText(std::u16string_view text);
    // A blinking warning; nothing when one with this number is listed.
    void pushCentre(int stringId, Color4 color, float duration);
    void removeById(int stringId);
    void popOldestNotice();

    void clearRing();
    void clearNotices();
    void clearCentre();
    void clearLong();
    // Everything one game put here, the countdown and the notice icon too.
    void clearAll();

    // Shown while above 0; kCountdownHidden hides it. The label is cut to 63 bytes.
    void setCountdown(float seconds, const char* label);
    // Registers an objective trigger for the side panel; past 32 it is ignored.
    void registerTrigger(IHudTrigger* trigger);

    void update(float dt);
    // The screen boxes the event lines, the head notice and the warning on
    // show take, panels included; empty (all 0) when there is none.
    CSprite::Rect ringBox() const;
    // Event lines held; all of them are drawn.
    int ringEntryCount() const;
    CSprite::Rect noticeBox() const;
    CSprite::Rect warningBox();
    void drawNotices();
    void drawCentre();
    void drawLong();
    void drawScoreLine();

    // The countdown value as shown, "7.05"; and its color, reddening from 5 s.
    static std::u16string countdownText(float seconds);
    static Color4 countdownColor(float seconds);

    // What callers read.
    const std::array<std::unique_ptr<HudMessage>, kRingSize>& ring() const { return m_game.ring; }
    int ringIndex() const { return m_game.ringIndex; }
    const std::vector<std::unique_ptr<HudMessage>>& notices() const { return m_game.notices; }
    int noticeCount() const { return static_cast<int>(m_game.notices.size()); }
    const std::vector<std::unique_ptr<HudMessage>>& centreLines() const { return m_game.centreLines; }
    // The notice history: a copy of every notice pushed with a text, in
    // order, kept until the queue is cleared. The campaign pause's log reads
    // it and rewrites the texts in place.
    std::vector<std::unique_ptr<HudMessage>>& noticeHistory() { return m_game.centreLines; }
    const std::vector<std::unique_ptr<HudMessage>>& warnings() const { return m_game.warnings; }
    int warnIndex() const { return m_game.warnIndex; }
    int warnPhase() const { return m_game.warnPhase; }
    float warnTimer() const { return m_game.warnTimer; }
    // Opacity of the warning on show, 0..1.
    float warningOpacity() const;
    float countdown() const { return m_game.countdown; }
    const std::string& countdownLabel() const { return m_game.countdownLabel; }
    std::span<IHudTrigger* const> triggers() const
    {
        return {m_game.triggers.data(), static_cast<std::size_t>(m_game.triggerCount)};
    }
    HudTeamList& players() { return m_game.players; }
    // The notice on show is under the touch.
    bool hitHeadNotice(float x, float y) const;

    // Positions; tutorials move the ring.
    float ringX = 0.0f, ringY = 0.0f, ringWrap = -1.0f;
    float noticeLeft = 0.0f, noticeY = 0.0f, noticeWrap = 0.0f;
    int noticeTop = 0;
    // Given to every notice and tutorial line pushed while non-zero.
    void setNoticeIcon(int icon) { m_game.noticeIcon = icon; }
    int noticeIcon() const { return m_game.noticeIcon; }

private:
    // Counts the entry down and plays the message sound the first time.
    static void tick(HudMessage& entry, float dt);
    void clampWarnIndex();
    void removeWarning(std::size_t index);

    // What one game shows, cleared whole when it ends: a countdown or an
    // icon one mission set never reaches the next game.
    struct GameMessages {
        std::array<std::unique_ptr<HudMessage>, kRingSize> ring;
        int ringIndex = 0;
        std::vector<std::unique_ptr<HudMessage>> notices;
        std::vector<std::unique_ptr<HudMessage>> centreLines;
        std::vector<std::unique_ptr<HudMessage>> warnings;
        float warnTimer = 0.0f;
        int warnIndex = 0;
        int warnPhase = 0;
        float countdown = kCountdownHidden;
        std::string countdownLabel;
        int noticeIcon = 0;
        HudTeamList players;
        std::array<IHudTrigger*, kMaxTriggers> triggers{};
        int triggerCount = 0;
    };
    GameMessages m_game;
};

// Module of the HUD sheet that shows a trigger's target kind in the side
// panel; -1 for none (flags of the campaign, waypoints).
int hudTriggerKindIcon(int kind, int variant, int gameType);
