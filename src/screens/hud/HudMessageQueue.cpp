#include "screens/hud/HudMessageQueue.h"

#include "platform/Language.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Text.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "screens/hud/HudSounds.h"
#include "screens/hud/PlaneHud.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int kPanelFrame = kMenuPanelFrame;   // the menus' nine-patch box, on its own texture in play
constexpr int kRingFont = 0, kNoticeFont = 2;
constexpr std::size_t kMaxLabelBytes = 63;

void deleteAll(std::vector<std::unique_ptr<HudMessage>>& list)
{
    list.clear();
}

}  // namespace

// Colour codes are a byte below 0x20 and a semicolon; the rest goes in UTF-8.
std::string HudMessageQueue::plainText(std::u16string_view text)
{
    std::u16string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x20) {
            if (i + 1 < text.size() && text[i + 1] == u';')
                ++i;
            continue;
        }
        plain += c;
    }
    return wideToUtf8(plain);
}

void HudTeamList::add(EntityHandle player)
{
    if (!player.isEmpty() && !contains(player))
        m_players.push_back(player);
}

void HudTeamList::remove(EntityHandle player)
{
    const auto found = std::find(m_players.begin(), m_players.end(), player);
    if (found != m_players.end())
        m_players.erase(found);
}

bool HudTeamList::contains(EntityHandle player) const
{
    return std::find(m_players.begin(), m_players.end(), player) != m_players.end();
}

HudMessageQueue::HudMessageQueue()
{
    reset();
}

HudMessageQueue& HudMessageQueue::instance()
{
    static HudMessageQueue* queue = new HudMessageQueue;   // lives for the whole program
    return *queue;
}

void HudMessageQueue::reset()
{
    clearAll();
    PlaneHud& hud = planeHud();
    const float lineHeight = hudFont(kRingFont) ? hudFont(kRingFont)->lineHeight() : 0.0f;
    const CSprite::Rect ring = hud.elementRect(nullptr, kRingElement);
    ringX = ring.x + lineHeight;
    ringY = ring.y + lineHeight;
    const ScreenMetrics& m = screenMetrics();
    // Event lines stay on one line; notices wrap across the middle half.
    ringWrap = -1.0f;
    noticeLeft = m.screenWidth / 4.0f;
    noticeWrap = m.screenWidth / 2.0f;
    const CSprite::Rect top = hud.elementRect(nullptr, kNoticeTopElement);
    noticeTop = static_cast<int>(top.y + top.h);
    noticeY = static_cast<float>(noticeTop);
}

void HudMessageQueue::pushNotice(std::u16string_view text, float duration, bool popIn, bool silent)
{
    auto entry = std::make_unique<HudMessage>();
    entry->initFromText(kNoticeFont, text, noticeWrap, silent);
    entry->popIn = popIn;
    entry->setIcon(m_game.noticeIcon);
    if (duration >= 0.0f)
        entry->duration = entry->timeLeft = duration;
    m_game.notices.push_back(std::move(entry));
    auto copy = std::make_unique<HudMessage>();
    copy->initFromText(kNoticeFont, text, noticeWrap, true);
    m_game.centreLines.push_back(std::move(copy));
}

void HudMessageQueue::pushTutorialLine(int stringId, float duration)
{
    auto entry = std::make_unique<HudMessage>();
    entry->initFromId(stringId, noticeWrap, false);
    entry->popIn = true;
    entry->setIcon(m_game.noticeIcon);
    if (duration != -1.0f)
        entry->duration = entry->timeLeft = duration;
    m_game.notices.push_back(std::move(entry));
}

void HudMessageQueue::pushWithSound(int soundIndex, std::u16string_view text)
{
    playHudAnnouncer(soundIndex);
    pushNotice(text, kSoundNoticeSeconds, true, false);
}

void HudMessageQueue::pushLong(std::u16string_view text)
{
    // In the log too, so that a run can tell when a line reached the HUD.
    logInfo("hud", "event line: %s", plainText(text).c_str());
    auto entry = std::make_unique<HudMessage>();
    entry->initFromText(kRingFont, text, ringWrap, true);
    // A line too long for the screen (a long chat line on a small window)
    // is cut where its box would leave it, and ends in an ellipsis.
    const float ui = screenMetrics().uiScale;
    entry->fitWidth(static_cast<float>(screenMetrics().screenWidth) - ringX - 10.0f * ui);
    // Chained to the newest line, so lines pushed together leave one by one.
    if (const HudMessage* newest = m_game.ring[static_cast<std::size_t>(m_game.ringIndex)].get())
        entry->duration = entry->timeLeft = entry->duration + std::max(newest->timeLeft, 0.0f);
    m_game.ringIndex = (m_game.ringIndex + 1) % kRingSize;
    m_game.ring[static_cast<std::size_t>(m_game.ringIndex)] = std::move(entry);
}

void HudMessageQueue::pushCentre(int stringId, Color4 color, float duration)
{
    for (const auto& warning : m_game.warnings) {
        if (warning->stringId == stringId)
            return;
    }
    auto entry = std::make_unique<HudMessage>();
    entry->initFromId(stringId, noticeWrap, true);
    // A warning that wrapped keeps its number, so it is still found by it.
    entry->stringId = stringId;
    entry->duration = entry->timeLeft = duration;
    entry->color = color;
    m_game.warnings.push_back(std::move(entry));
}

void HudMessageQueue::removeWarning(std::size_t index)
{
    m_game.warnings.erase(m_game.warnings.begin() + static_cast<std::ptrdiff_t>(index));
    // The one on show stays the one on show when an entry before it goes.
    if (static_cast<int>(index) < m_game.warnIndex)
        --m_game.warnIndex;
    clampWarnIndex();
}

void HudMessageQueue::clampWarnIndex()
{
    if (m_game.warnIndex < 0 || m_game.warnIndex >= static_cast<int>(m_game.warnings.size()))
        m_game.warnIndex = 0;
}

void HudMessageQueue::removeById(int stringId)
{
    for (std::size_t i = m_game.warnings.size(); i-- > 0;) {
        if (m_game.warnings[i]->stringId == stringId)
            removeWarning(i);
    }
}

void HudMessageQueue::popOldestNotice()
{
    if (!m_game.notices.empty())
        m_game.notices.erase(m_game.notices.begin());
}

void HudMessageQueue::clearRing()
{
    for (auto& slot : m_game.ring)
        slot.reset();
    m_game.ringIndex = 0;
}

void HudMessageQueue::clearNotices()
{
    deleteAll(m_game.notices);
}

void HudMessageQueue::clearCentre()
{
    deleteAll(m_game.centreLines);
}

void HudMessageQueue::clearLong()
{
    deleteAll(m_game.warnings);
    m_game.warnIndex = 0;
}

void HudMessageQueue::clearAll()
{
    m_game = GameMessages{};
}

void HudMessageQueue::setCountdown(float seconds, const char* label)
{
    m_game.countdown = seconds;
    m_game.countdownLabel.clear();
    if (label)
        m_game.countdownLabel.assign(label, strnlen(label, kMaxLabelBytes));
}

void HudMessageQueue::registerTrigger(IHudTrigger* trigger)
{
    if (trigger && m_game.triggerCount < kMaxTriggers)
        m_game.triggers[static_cast<std::size_t>(m_game.triggerCount++)] = trigger;
}

void HudMessageQueue::tick(HudMessage& entry, float dt)
{
    entry.timeLeft -= dt;
    if (!entry.shown) {
        entry.shown = true;
        playHudMessageSound();
    }
}

void HudMessageQueue::update(float dt)
{
    if (m_game.countdown > 0.0f)
        m_game.countdown -= dt;

    for (auto& slot : m_game.ring) {
        if (!slot)
            continue;
        tick(*slot, dt);
        if (slot->expired())
            slot.reset();
    }

    if (!m_game.notices.empty()) {
        tick(*m_game.notices.front(), dt);
        if (m_game.notices.front()->expired())
            m_game.notices.erase(m_game.notices.begin());
    }

    if (m_game.warnings.empty())
        return;
    clampWarnIndex();
    for (auto& warning : m_game.warnings)
        tick(*warning, dt);
    for (std::size_t i = m_game.warnings.size(); i-- > 0;) {
        if (static_cast<int>(i) != m_game.warnIndex && m_game.warnings[i]->expired())
            removeWarning(i);
    }
    if (m_game.warnings[static_cast<std::size_t>(m_game.warnIndex)]->expired() && m_game.warnPhase == 0) {
        // The fade-in turns into a fade-out from the same opacity.
        m_game.warnPhase = 1;
        m_game.warnTimer = kWarningFade - m_game.warnTimer;
    }
    m_game.warnTimer -= dt;
    if (m_game.warnTimer > 0.0f)
        return;
    if (m_game.warnPhase == 0) {
        m_game.warnPhase = 1;
        m_game.warnTimer = kWarningFade;
        return;
    }
    m_game.warnPhase = 0;
    m_game.warnTimer = kWarningFade;
    if (m_game.warnings[static_cast<std::size_t>(m_game.warnIndex)]->expired()) {
        // The next warning has moved into its place.
        removeWarning(static_cast<std::size_t>(m_game.warnIndex));
        return;
    }
    m_game.warnIndex = (m_game.warnIndex + 1) % static_cast<int>(m_game.warnings.size());
}

float HudMessageQueue::warningOpacity() const
{
    const float t = std::clamp(m_game.warnTimer / kWarningFade, 0.0f, 1.0f);
    return m_game.warnPhase == 0 ? 1.0f - t : t;
}

bool HudMessageQueue::hitHeadNotice(float x, float y) const
{
    return !m_game.notices.empty() && m_game.notices.front()->hitTest(noticeLeft + noticeWrap / 2.0f, noticeY, x, y);
}

void HudMessageQueue::drawNotices()
{
    const CSprite::Rect box = ringBox();
    if (box.w <= 0.0f)
        return;
    const float ui = screenMetrics().uiScale;
    CSprite* panel = getMenuPanelSprite();
    panel->setColorBytes(255, 255, 255, 128);
    panel->drawNinePatch(kPanelFrame, box.x, box.y, box.w, box.h);
    panel->setColor(Color4{});
    float offset = 0.0f;
    for (int k = 1; k <= kRingSize; ++k) {
        const HudMessage* line = m_game.ring[static_cast<std::size_t>((m_game.ringIndex + k) % kRingSize)].get();
        if (!line)
            continue;
        HudMessage shadow = *line;
        shadow.color = Color4{0, 0, 0, 255};
        shadow.draw(ringX + 1.0f, ringY + offset + 1.0f, 0);
        line->draw(ringX, ringY + offset, 0);
        offset += line->height + 5.0f * ui;
    }
}

int HudMessageQueue::ringEntryCount() const
{
    int n = 0;
    for (const auto& slot : m_game.ring)
        n += slot != nullptr;
    return n;
}

void HudMessageQueue::drawCentre()
{
    if (m_game.notices.empty())
        return;
    const HudMessage& notice = *m_game.notices.front();
    const CFont* font = hudFont(notice.font);
    const float h = font ? font->lineHeight() : 0.0f;
    noticeY = (h / 2.0f + (notice.lineCount + 1) * h) / 2.0f + static_cast<float>(noticeTop);
    notice.draw(noticeLeft + noticeWrap / 2.0f, noticeY, CFont::kCentreX | CFont::kCentreY);
}

void HudMessageQueue::drawLong()
{
    if (m_game.warnings.empty())
        return;
    clampWarnIndex();
    const ScreenMetrics& m = screenMetrics();
    m_game.warnings[static_cast<std::size_t>(m_game.warnIndex)]->drawFaded(
        m.screenWidth / 2.0f, m.screenHeight - 70.0f * m.uiScale, warningOpacity());
}

std::u16string HudMessageQueue::countdownText(float seconds)
{
    // Whole hundredths, so 7.05 is not shown as 7.04 by the float's error.
    const long total = std::max(0L, std::lround(seconds * 100.0f));
    char16_t buffer[32];
    const int whole = static_cast<int>(total / 100), hundredths = static_cast<int>(total % 100);
    wideFormat(buffer, 32, hundredths >= 10 ? "%d.%d" : "%d.0%d", whole, hundredths);
    return buffer;
}

Color4 HudMessageQueue::countdownColor(float seconds)
{
    if (seconds > 5.0f)
        return Color4{};
    const auto c = static_cast<std::uint8_t>(std::clamp(static_cast<int>(seconds * 255.0f / 5.0f), 0, 255));
    return Color4{255, c, c, 255};
}

void HudMessageQueue::drawScoreLine()
{
    if (m_game.countdown <= 0.0f)
        return;
    char16_t caption[256] = {};
    if (stringCount() > 0)
        wideFormat(caption, 256, "%w:", getStringByIndex(kCountdownCaption));
    const ScreenMetrics& m = screenMetrics();
    const float ui = m.uiScale;
    CFont* font = hudFont(kNoticeFont);
    if (!font)
        return;
    const float a = static_cast<float>(static_cast<int>(30.0f * ui));
    const float y = m.screenHeight - a - 60.0f * ui;
    const std::u16string value = countdownText(m_game.countdown);
    // Room for the value after the caption: 80 UI pixels, or more when the
    // big font's value is wider, so the two never overlap.
    const float room = std::max(80.0f * ui, measureText(font, value).width + 12.0f * ui);
    const float span = measureString(font, caption).width + room;
    const float centre = m.screenWidth / 2.0f;
    CSprite* panel = getMenuPanelSprite();
    panel->drawNinePatch(kPanelFrame, centre - 20.0f * ui - span / 2.0f, y - a / 2.0f, span + 40.0f * ui,
                         a + 25.0f * ui);
    const Color4 old = font->color();
    font->setColor(Color4{});
    drawString(font, caption, centre - span / 2.0f, y, 0);
    font->setColor(countdownColor(m_game.countdown));
    drawText(font, value, centre + span / 2.0f, y, CFont::kRight);
    font->setColor(old);
}

int hudTriggerKindIcon(int kind, int variant, int gameType)
{
    switch (kind) {
    case 1: return variant == 2 ? 135 : 101;
    case 2:
    case 6: return 134;
    case 3:
    case 4:
    case 5: return 128;
    case 8: return 132;
    case 9:
    case 10:
    case 11: return 127;
    case 16: return 102;
    case 17: return gameType == 1 ? -1 : 152;
    case 19: return 129;
    case 20:
    case 22: return -1;
    case 21: return 131;
    default: return 101;
    }
}

CSprite::Rect HudMessageQueue::ringBox() const
{
    const float ui = screenMetrics().uiScale;
    float height = 0.0f, widest = 0.0f;
    int shown = 0;
    for (const auto& line : m_game.ring) {
        if (!line)
            continue;
        height += line->height + (shown++ > 0 ? 5.0f * ui : 0.0f);
        widest = std::max(widest, static_cast<float>(line->width));
    }
    if (shown == 0)
        return {};
    return {ringX - 10.0f * ui, ringY - 18.0f * ui, widest + 20.0f * ui, height + 36.0f * ui};
}

CSprite::Rect HudMessageQueue::noticeBox() const
{
    if (m_game.notices.empty())
        return {};
    const HudMessage& notice = *m_game.notices.front();
    const CFont* font = hudFont(notice.font);
    const float h = font ? font->lineHeight() : 0.0f;
    const float y = (h / 2.0f + (notice.lineCount + 1) * h) / 2.0f + static_cast<float>(noticeTop);
    const float x = noticeLeft + noticeWrap / 2.0f;
    const float ui = screenMetrics().uiScale;
    // The panel, and the time bar under it.
    return {x - 20.0f * ui - notice.width / 2.0f, y - 15.0f * ui - notice.height / 2.0f, notice.width + 40.0f * ui,
            notice.height + 38.0f * ui};
}

CSprite::Rect HudMessageQueue::warningBox()
{
    if (m_game.warnings.empty())
        return {};
    clampWarnIndex();
    const HudMessage& w = *m_game.warnings[static_cast<std::size_t>(m_game.warnIndex)];
    const ScreenMetrics& m = screenMetrics();
    const float ui = m.uiScale;
    const float x = m.screenWidth / 2.0f, y = m.screenHeight - 70.0f * ui;
    return {x - 20.0f * ui - w.width / 2.0f, y - 15.0f * ui - w.height / 2.0f, w.width + 40.0f * ui,
            w.height + 38.0f * ui};
}
