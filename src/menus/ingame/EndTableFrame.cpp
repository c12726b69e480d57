#include "menus/ingame/EndTableFrame.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/ingame/GameResultMenuFrame.h"
#include "menus/ingame/ScoreEntry.h"
#include "menus/settings/AudioMenuFrame.h"
#include "menus/settings/ControlsMenuFrame.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/MatchReport.h"
#include "platform/Language.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Text.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "screens/Screens.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
// Column headings, in the HUD's font, shrink together rather than run into
// each other where the columns stand closer than its words are wide.
class ColumnHeading : public SpriteLabel {
public:
    explicit ColumnHeading(int textId) : SpriteLabel(0, textId) {}
    void draw() override
    {
        CFont* f = font();
        if (!f || !hasText())
            return;
        if (scale >= 1.0f) {
            SpriteLabel::draw();
            return;
        }
        const float oldX = f->scaleX(), oldY = f->scaleY();
        f->setScale(oldX * scale, oldY * scale);
        f->draw(shownText(), absX + width / 2.0f, absY + height / 2.0f, CFont::kCentreX | CFont::kCentreY);
        f->setScale(oldX, oldY);
    }
    float scale = 1.0f;
};
}  // namespace

EndTableFrame::EndTableFrame()
{
    const ScreenMetrics& m = screenMetrics();
    if (ResizableButton* back = backButton()) {
        back->visible = false;
        back->enabled = false;
    }
    titleLabel->visible = false;
    bottomPanel->visible = false;
    bottomPanel->enabled = false;
    if (CFont* small = getFont(1))
        m_lineHeight = std::max(static_cast<int>(small->lineHeight()), 1);
    const int L = m_lineHeight;
    CSprite* menus = getSprite(kSpriteSetMenus);

    topPanel = new MenuPanel(kLayoutStacked);
    topPanel->anchorMode = kAnchorAbsolute;
    topPanel->width = m.screenWidth;
    topPanel->height = 5 * L;
    topPanel->fixedSize = true;
    topPanel->touchMode = kTouchPage;
    addItem(topPanel);
    banner = new MenuPanel(menus, kBannerFrame, kLayoutStacked);
    banner->ninePatch = true;
    banner->anchorMode = kAnchorParent;
    banner->fixedSize = true;
    banner->width = m.screenWidth * 3 / 2;
    banner->height = 3 * L / 2;
    banner->offsetX = -m.screenWidth / 4.0f;
    banner->offsetY = 5.0f * L / 2.0f - 3.0f * L / 4.0f;
    topPanel->addItem(banner);
    headlineLabel = addTopLabel(1, m.screenWidth / 2.0f, static_cast<float>(L));
    headlineLabel->visible = false;
    timeLabel = new ResizableLabel(u"");
    timeLabel->fontId = 2;
    timeLabel->sprite = menus;
    timeLabel->ninePart = true;
    timeLabel->singleFrame = kTimeFrame;
    timeLabel->anchorMode = kAnchorParent;
    timeLabel->alignment = kAlignCentreX | kAlignTop;
    timeLabel->offsetX = m.screenWidth / 2.0f;
    timeLabel->offsetY = 5.0f * L / 2.0f;
    resetTimeLabel();
    topPanel->addItem(timeLabel);
    // Under the time box, which reaches past 4 L.
    const float timeBottom = timeLabel->offsetY + static_cast<float>(timeLabel->height);
    serverLabel = addTopLabel(1, m.screenWidth / 2.0f, std::max(4.0f * L, timeBottom + 5.0f * L / 8.0f));
    serverLabel->visible = false;

    buttonRow = new MenuPanel(kLayoutStacked);
    buttonRow->anchorMode = kAnchorAbsolute;
    buttonRow->alignment = kAlignLeft | kAlignBottom;
    buttonRow->width = m.screenWidth;
    buttonRow->height = 4 * L;
    buttonRow->fixedSize = true;
    buttonRow->touchMode = kTouchPage;
    buttonRow->offsetY = static_cast<float>(m.screenHeight);
    addItem(buttonRow);
    continueButton = addButton(kContinueText);
    continueButton->onClick = [this] { onContinue(); };
    controlsButton = addButton(kControlsText);
    controlsButton->onClick = [this] { ControlsMenuFrame::openFrom(titleString()); };
    audioButton = addButton(kAudioText);
    audioButton->onClick = [] { goToFrame(MenuFrameRegistry::audioMenu()); };
    resumeButton = addButton(kResumeText);
    resumeButton->onClick = [this] { onResumeOrLeave(); };
    statusLabel = new SpriteLabel(1, u"");
    statusLabel->anchorMode = kAnchorParent;
    statusLabel->alignment = kAlignCentreX | kAlignTop;
    statusLabel->offsetX = m.screenWidth / 2.0f;
    statusLabel->offsetY = 0.0f;
    statusLabel->visible = false;
    buttonRow->addItem(statusLabel);
}

EndTableFrame::~EndTableFrame()
{
    // A page deleted while shown must not stay the score keeper's listener.
    stopListening();
}

ResizableButton* EndTableFrame::addButton(int textId)
{
    auto* button = new ResizableButton(textId);
    button->setup(kButtonLeft, kButtonMiddle, kButtonRight, kButtonFont);
    button->anchorMode = kAnchorParent;
    button->alignment = kAlignLeft | kAlignCentreY;
    button->focusable = true;
    buttonRow->addItem(button);
    return button;
}

SpriteLabel* EndTableFrame::addTopLabel(int font, float centreX, float centreY)
{
    auto* label = new SpriteLabel(font, u"");
    label->anchorMode = kAnchorParent;
    label->alignment = kAlignCentreX | kAlignCentreY;
    label->offsetX = centreX;
    label->offsetY = centreY;
    topPanel->addItem(label);
    return label;
}

MenuPanel* EndTableFrame::makeTable(int widthPixels, int top)
{
    auto* table = new MenuPanel(getSprite(kSpriteSetMenus), kBannerFrame, kLayoutList);
    table->ninePatch = true;
    table->anchorMode = kAnchorAbsolute;
    table->fixedSize = true;
    table->touchMode = kTouchInside;
    table->width = widthPixels;
    table->height = std::max(static_cast<int>(buttonRow->offsetY) - buttonRow->height - top, 1);
    table->offsetY = static_cast<float>(top);
    table->childAlignment = kChildLeft;
    const float u = screenMetrics().uiScale;
    table->setScrollBar(kScrollThumbFrame, -3.0f * u, -3.0f * u);
    addItem(table);
    m_tables.push_back(table);
    return table;
}

void EndTableFrame::addHeading(int textId, std::vector<SpriteLabel*>& into)
{
    auto* label = new ColumnHeading(textId);
    label->anchorMode = kAnchorAbsolute;
    label->alignment = kAlignCentreX | kAlignCentreY;
    addItem(label);
    into.push_back(label);
}

void EndTableFrame::placeHeadings(const MenuPanel& table, float stripTop, float stripHeight, bool teamLayout,
                                  GameType type, bool muteStrip, SpriteLabel* score, SpriteLabel* deaths,
                                  SpriteLabel* plane, SpriteLabel* extra)
{
    const float u = screenMetrics().uiScale;
    // The rows' own height: a full table's rows are shorter, their swatch too.
    const MenuItem* first = table.itemCount() > 0 ? table.itemAt(0) : nullptr;
    const int rowHeight = first ? first->height : static_cast<int>(ScoreEntry::kRowHeightUnits * u);
    const ScoreEntry::Columns c = ScoreEntry::columns(table.width, rowHeight, teamLayout, type, muteStrip);
    std::vector<std::pair<SpriteLabel*, float>> placed = {{score, c.score}, {deaths, c.deaths}};
    if (extra)
        placed.push_back({extra, c.extra});
    placed.push_back({plane, c.plane});
    const float gap = 5.0f * u;
    // Neighbours may reach into each other's column halves but never touch;
    // the outer two may reach past theirs (the name and the mute strip carry
    // no heading).
    const auto scaleFor = [&](std::size_t step) {
        float scale = 1.0f;
        for (std::size_t i = 0; i + step < placed.size(); ++i) {
            const float both = (placed[i].first->width + placed[i + step].first->width) / 2.0f;
            if (both > 0.0f)
                scale = std::min(scale, (placed[i + step].second - placed[i].second - gap) / both);
        }
        return scale;
    };
    const float centreY = stripTop + stripHeight / 2.0f;
    float scale = scaleFor(1);
    bool staggered = false;
    if (scale < 0.75f && placed.size() > 3) {
        // Too close for one row: every other heading goes up, the rest down.
        const float rowRoom = stripHeight / 2.0f;
        float staggeredScale = scaleFor(2);
        for (const auto& [label, centre] : placed)
            if (label->height > 0)
                staggeredScale = std::min(staggeredScale, rowRoom / static_cast<float>(label->height));
        staggered = staggeredScale > scale;
        scale = std::max(scale, staggeredScale);
    }
    for (std::size_t i = 0; i < placed.size(); ++i) {
        SpriteLabel* label = placed[i].first;
        label->offsetX = table.offsetX + placed[i].second;
        label->offsetY = centreY + (staggered ? (i % 2 == 0 ? -1.0f : 1.0f) * stripHeight / 4.0f : 0.0f);
        if (auto* heading = dynamic_cast<ColumnHeading*>(label))
            heading->scale = std::clamp(scale, 0.1f, 1.0f);
    }
}

int EndTableFrame::stripBottom(int stripHeight) const
{
    // Clear of the time box and of the server line under it.
    const int belowServer = static_cast<int>(serverLabel->offsetY) + 3 * m_lineHeight / 4 + stripHeight;
    return std::max(topPanel->height + m_lineHeight, belowServer);
}

void EndTableFrame::appendRow(MenuPanel& table, ScoreEntry* row)
{
    row->anchorMode = kAnchorParent;
    row->width = table.width;
    row->offsetX = 0.0f;
    table.addItem(row);
    // Every pilot must show without scrolling, as the score peek in flight
    // cannot scroll: rows that overflow the table share its height, down to
    // a floor below which the table scrolls instead. The closing row takes
    // the same height.
    std::vector<ScoreEntry*> rows;
    int pilots = 0;
    for (MenuItem* item : table.drawList())
        if (auto* entry = dynamic_cast<ScoreEntry*>(item)) {
            rows.push_back(entry);
            if (entry->target())
                ++pilots;
        }
    const float u = screenMetrics().uiScale;
    const int full = static_cast<int>(ScoreEntry::kRowHeightUnits * u);
    // The last row's shade reaches a little below its own bottom.
    const int room = table.height - static_cast<int>(10.0f * u);
    int rowHeight = full;
    if (pilots > 0 && pilots * full > room)
        rowHeight = std::max(room / pilots, full * kSmallestRowPercent / 100);
    table.contentHeight = 0;
    for (ScoreEntry* entry : rows) {
        entry->height = rowHeight;
        entry->offsetY = static_cast<float>(table.contentHeight);
        table.contentHeight += rowHeight;
        entry->layout(table.absX + static_cast<int>(table.scrollX), table.absY + static_cast<int>(table.scrollY));
    }
    table.contentWidth = table.width;
}

void EndTableFrame::spreadButtons(bool withOuterMargin)
{
    std::vector<MenuItem*> shown;
    int content = 0;
    for (ResizableButton* b : {continueButton, controlsButton, audioButton, resumeButton})
        if (b->visible) {
            shown.push_back(b);
            content += b->width;
        }
    for (MenuItem* item : buttonRow->drawList())
        if (item != statusLabel && item->visible && std::find(shown.begin(), shown.end(), item) == shown.end() &&
            dynamic_cast<ResizableButton*>(item)) {
            shown.push_back(item);
            content += item->width;
        }
    // Keep the buttons in their row order.
    std::vector<MenuItem*> ordered;
    for (MenuItem* item : buttonRow->drawList())
        if (std::find(shown.begin(), shown.end(), item) != shown.end())
            ordered.push_back(item);
    const int count = static_cast<int>(ordered.size());
    if (count == 0)
        return;
    const int W = screenMetrics().screenWidth;
    const int gap = std::max((W - content) / (withOuterMargin ? count + 1 : count), 0);
    int x = withOuterMargin ? gap : gap / 2;
    for (MenuItem* item : ordered) {
        item->offsetX = static_cast<float>(x);
        item->offsetY = buttonRow->height * 0.6f;
        x += item->width + gap;
    }
    layout(0, 0);
}

GameMode* EndTableFrame::mode() { return modeOf(currentMatch()); }

bool EndTableFrame::matchOver()
{
    const GameMode* m = modeOf(currentMatch());
    return m && m->playStopped;
}

GameType EndTableFrame::gameType()
{
    const GameMode* m = modeOf(currentMatch());
    return m ? m->gameType() : GameType::FreeForAll;
}

const MatchReport& EndTableFrame::report()
{
    // Kept so that its texts keep their buffers from one call to the next.
    static MatchReport shown;
    if (const GameMode* m = modeOf(currentMatch()))
        m->fillReport(shown);
    else
        shown = MatchReport{};
    return shown;
}

std::u16string EndTableFrame::timeLeftText(float limit, float elapsed)
{
    if (limit == 0.0f || !std::isfinite(limit) || !std::isfinite(elapsed))
        return {};
    const int left = std::max(static_cast<int>(limit - elapsed), 0);
    char16_t text[32];
    wideFormat(text, 32, "%d:%02d", left / 60, left % 60);
    return text;
}

std::vector<ScoreEntry*> EndTableFrame::rows() const
{
    std::vector<ScoreEntry*> out;
    for (MenuPanel* table : m_tables)
        for (MenuItem* item : table->drawList())
            if (auto* row = dynamic_cast<ScoreEntry*>(item))
                out.push_back(row);
    return out;
}

void EndTableFrame::resetTimeLabel()
{
    int w = 0, h = 0;
    if (timeLabel->sprite)
        timeLabel->sprite->frameBounds(kTimeFrame, w, h);
    timeLabel->setText(u"");
    timeLabel->width = w;
    timeLabel->height = std::max(h, m_lineHeight);
}

void EndTableFrame::updateServerLabel(bool singlePlayerToo)
{
    const GameMode* m = mode();
    const GameResultMenuFrame::Routes& r = GameResultMenuFrame::routes();
    const std::u16string name = m && r.serverName ? r.serverName() : std::u16string();
    serverLabel->visible = !name.empty() && (singlePlayerToo || !m->isSinglePlayer());
    if (!serverLabel->visible)
        return;
    char16_t text[128];
    wideFormat(text, 128, "%w : %w", getStringByIndex(kServerText), name);
    serverLabel->setText(text);
}

void EndTableFrame::updateTimeLabel()
{
    const ScoreMgr& sm = ScoreMgr::instance();
    if (sm.timeLimit == 0.0f)
        return;
    const int w = timeLabel->width, h = timeLabel->height;
    timeLabel->setText(timeLeftText(sm.timeLimit, sm.elapsed()));
    timeLabel->width = w;
    timeLabel->height = h;
}

void EndTableFrame::updateStatus()
{
    const GameType t = gameType();
    const bool campaign = t == GameType::Campaign || t == GameType::CampaignLike;
    if (!matchOver() || campaign) {
        statusLabel->visible = false;
        return;
    }
    const float countdown = report().restartCountdown;
    const int seconds = static_cast<int>(countdown);
    if (countdown > -1.0f && seconds >= 0) {
        char16_t text[128];
        wideFormatW(text, 128, getStringByIndex(kCountdownText).c_str(), seconds);
        statusLabel->setText(text);
        statusLabel->visible = true;
    }
}

void EndTableFrame::applyPeekState(bool touchTitle)
{
    if (scorePeek()) {
        backdrop = false;
        topPanel->visible = true;
        buttonRow->visible = false;
        if (touchTitle)
            headlineLabel->visible = headlineLabel->visible && matchOver();
    } else {
        backdrop = true;
        topPanel->visible = true;
        buttonRow->visible = true;
    }
}

void EndTableFrame::startListening()
{
    ScoreMgr::instance().setListener(this);
    listening = true;
}

void EndTableFrame::stopListening()
{
    if (listening && ScoreMgr::instance().listener() == this)
        ScoreMgr::instance().setListener(nullptr);
    listening = false;
}

void EndTableFrame::onResumeOrLeave()
{
    GameMode* m = mode();
    if (matchOver()) {
        const auto& disconnect = GameResultMenuFrame::routes().disconnect;
        if (m && m->isNetworkClient() && disconnect)
            disconnect();
        if (m) {
            m->leaveNetworkGame();
            m->services().overlaysOrNone().setPaused(false);
        }
        logInfo("menus", "the finished match is left for its result");
        goToFrame(MenuFrameRegistry::gameResultMenu());
        return;
    }
    closeOverlayScreen();
    if (m)
        m->services().overlaysOrNone().setPaused(false);
}

void EndTableFrame::onContinue()
{
    if (GameMode* m = mode())
        m->endMatch();
    clearFrameHistory();
    goToFrame(MenuFrameRegistry::gameResultMenu());
}
