#include "menus/ingame/TeamSkirmishEndMenuFrame.h"

#include "entities/aircraft/Airplane.h"
#include "menus/MenuFrameRegistry.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/MatchReport.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "platform/Text.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "screens/Screens.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>

TeamSkirmishEndMenuFrame* MenuFrameRegistry::teamSkirmishEndMenu()
{
    return slot<TeamSkirmishEndMenuFrame>(Page::TeamSkirmishEnd);
}

namespace {
constexpr int kTitles[][2] = {{2, 26}, {3, 48}, {4, 17}, {5, 21}, {7, 119}, {13, 25}};

bool isCampaign(GameType t) { return t == GameType::Campaign || t == GameType::CampaignLike; }
}  // namespace

TeamSkirmishEndMenuFrame::TeamSkirmishEndMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    const int L = lineHeight();
    const float u = m.uiScale;
    titleText = addTopLabel(1, m.screenWidth / 2.0f, static_cast<float>(L));
    titleText->stringId = 48;
    titleText->updateSize();
    missionLabel = addTopLabel(1, m.screenWidth / 2.0f, 5.0f * L / 2.0f);
    missionLabel->visible = false;
    totals[0] = addTopLabel(1, 2.0f * L + 20.0f * u, 5.0f * L / 2.0f);
    totals[1] = addTopLabel(1, m.screenWidth - 2.0f * L - 20.0f * u, 5.0f * L / 2.0f);

    CSprite* menus = getSprite(kSpriteSetMenus);
    int stripW = 0, stripH = 0;
    if (menus)
        menus->frameBounds(kHeaderFrame, stripW, stripH);
    // Half the screen each, a little wider than one strip at most: the names
    // need the room more than the middle does.
    const int tableW = std::max(std::min(stripW * 23 / 20, m.screenWidth / 2 - L), 1);
    const float stripEdge = static_cast<float>(stripBottom(std::max(stripH, L)));
    for (int team = 0; team < 2; ++team) {
        const auto t = static_cast<std::size_t>(team);
        const int left = team == 0 ? L / 2 : m.screenWidth - L / 2 - tableW;
        auto* strip = new MenuPanel(menus, kHeaderFrame, kLayoutStacked);
        strip->anchorMode = kAnchorAbsolute;
        strip->ninePatch = true;
        strip->fixedSize = true;
        strip->width = tableW;
        strip->height = std::max(stripH, L);
        strip->offsetX = static_cast<float>(left);
        strip->offsetY = stripEdge - strip->height;
        addItem(strip);
        headerStrips[t] = strip;
        for (int id : {kScoreHeading, kDeathsHeading, kPlaneHeading, kBasesHeading, kFlagsHeading})
            addHeading(id, headings[t]);
        tables[t] = makeTable(tableW, static_cast<int>(stripEdge) + L / 2);
        tables[t]->offsetX = static_cast<float>(left);
    }
    continueButton->onClick = [this] { onContinue(); };
    // The switch button sits before resume/leave in the row.
    buttonRow->removeItem(resumeButton);
    switchButton = addButton(kSwitchTeamText);
    switchButton->onClick = [this] { onSwitchTeam(); };
    buttonRow->addItem(resumeButton);
    buttonRow->removeItem(statusLabel);
    buttonRow->addItem(statusLabel);
    giveInputPriority(buttonRow);
    buttonRow->giveInputPriority(resumeButton);
    layoutColumns();
    layout(0, 0);
}

GameType TeamSkirmishEndMenuFrame::titleType(GameType type) { return type; }

void TeamSkirmishEndMenuFrame::rebuildTable()
{
    const ScoreMgr& sm = ScoreMgr::instance();
    const GameMode* m = mode();
    const bool network = m && !m->isSinglePlayer();
    const GameType type = gameType();
    const std::optional<MatchReport::Flags> flags = report().flags;
    for (int g = 0; g < 2; ++g) {
        MenuPanel* table = tables[static_cast<std::size_t>(g)];
        table->clear();
        const auto& players = sm.group(g).players;
        for (std::size_t i = 0; i < players.size(); ++i) {
            Airplane* a = players[i];
            auto* row = new ScoreEntry(a, static_cast<int>(i) + 1, static_cast<int>(i & 1), true);
            row->gameType = type;
            row->networkGame = network;
            row->own = m && row->target() == m->playerAirplane();
            if (flags && a)
                for (int carrier : flags->carrierId)
                    if (carrier >= 0 && carrier == a->id())
                        row->flags |= ScoreEntry::kCarriesFlag;
            appendRow(*table, row);
        }
        appendRow(*table, new ScoreEntry(nullptr, 0, 0, true));
        char16_t text[32];
        wideFormat(text, 32, "%d", sm.group(g).score);
        totals[static_cast<std::size_t>(g)]->setText(text);
    }
}

bool TeamSkirmishEndMenuFrame::switchTeamAllowed()
{
    const ScoreMgr& sm = ScoreMgr::instance();
    const GameMode* m = mode();
    if (!m || !sm.teamScoring())
        return false;
    // A network match's window: the host closes it past half of a timed
    // match and tells its joiners.
    if (!m->isSinglePlayer() && !m->teamChangeAllowed)
        return false;
    const Airplane* own = m->playerAirplane();
    if (!isCampaign(m->gameType()) && own) {
        const int a = static_cast<int>(sm.group(0).players.size());
        const int b = static_cast<int>(sm.group(1).players.size());
        // Never into a team that already has more players.
        if (own->team() == 1 && a - b > 0)
            return false;
        if (own->team() == 0 && b - a > 0)
            return false;
    }
    if (m->isNetworkClient() && m->gameType() == GameType::LastManStanding && own && own->inPlay)
        return false;
    return true;
}

void TeamSkirmishEndMenuFrame::layoutColumns()
{
    const GameType type = gameType();
    const bool ctf = type == GameType::CaptureTheFlag, dtb = type == GameType::DestroyTheBase;
    const GameMode* m = mode();
    const bool network = m && !m->isSinglePlayer();
    for (int t = 0; t < 2; ++t) {
        const auto i = static_cast<std::size_t>(t);
        std::vector<SpriteLabel*>& h = headings[i];
        const MenuPanel& strip = *headerStrips[i];
        placeHeadings(*tables[i], strip.offsetY, static_cast<float>(strip.height), true, type, network, h[0], h[1],
                      h[2], dtb ? h[3] : ctf ? h[4] : nullptr);
        h[3]->visible = dtb;
        h[4]->visible = ctf;
    }
    switchButton->visible = switchTeamAllowed() && !matchOver();
    switchButton->enabled = switchButton->visible;
    spreadButtons(false);
}

void TeamSkirmishEndMenuFrame::showHeadline()
{
    const ScoreMgr& sm = ScoreMgr::instance();
    const GameMode* m = mode();
    const std::optional<MatchReport::Rounds> rounds = report().rounds;
    int text = kLostText;
    if (rounds && rounds->dogfight >= 0)
        text = rounds->won ? kWonText : kLostText;
    else if (sm.isDraw())
        text = kDrawText;
    else if (m && m->playerAirplane() && sm.isWinner(*m->playerAirplane()))
        text = kWonText;
    headlineLabel->stringId = text;
    headlineLabel->updateSize();
    headlineLabel->visible = true;
    continueButton->visible = controlsButton->visible = audioButton->visible = false;
    timeLabel->visible = false;
    titleText->visible = false;
    if (gameType() == GameType::LastManStanding)
        statusLabel->visible = true;
    resumeButton->labelStringId = kLeaveText;
    resumeButton->updateLabel();
    switchButton->visible = false;
    spreadButtons(false);
}

void TeamSkirmishEndMenuFrame::onShow()
{
    resumeButton->labelStringId = kResumeText;
    resumeButton->updateLabel();
    const int type = static_cast<int>(gameType());
    for (const auto& [t, text] : kTitles)
        if (t == type)
            titleText->stringId = text;
    titleText->updateSize();
    updateServerLabel(true);
    rebuildTable();
    startListening();
    resetTimeLabel();
    timeLabel->visible = ScoreMgr::instance().timeLimit != 0.0f;
    updateTimeLabel();
    titleText->visible = true;
    continueButton->visible = controlsButton->visible = audioButton->visible = true;
    totals[0]->visible = totals[1]->visible = true;
    headlineLabel->visible = missionLabel->visible = statusLabel->visible = false;
    if (const std::optional<MatchReport::Rounds> rounds = report().rounds; rounds && rounds->dogfight >= 0) {
        timeLabel->visible = false;
        totals[0]->visible = totals[1]->visible = false;
        char16_t text[32];
        wideFormat(text, 32, "MISSION: %d", rounds->dogfight + 1);
        missionLabel->setText(text);
        missionLabel->visible = true;
    }
    layoutColumns();
    if (matchOver())
        showHeadline();
    layout(0, 0);
    rebuildFocusLinks();
    // Paused, the continue button quits the match: Enter must resume, never quit.
    focusedItem = resumeButton->visible ? static_cast<MenuItem*>(resumeButton) : continueButton;
}

void TeamSkirmishEndMenuFrame::onHide()
{
    stopListening();
    for (MenuPanel* table : tables)
        table->clear();
}

void TeamSkirmishEndMenuFrame::update()
{
    FilledMenuFrame::update();
    updateTimeLabel();
    if (!headlineLabel->visible && matchOver())
        showHeadline();
    if (matchOver()) {
        switchButton->visible = false;
        updateStatus();
    } else {
        if (switchTeamAllowed() != switchButton->visible) {
            layoutColumns();
            layout(0, 0);
        }
        statusLabel->visible = false;
    }
    applyPeekState(false);
}

void TeamSkirmishEndMenuFrame::draw()
{
    EndTableFrame::draw();
    const float u = screenMetrics().uiScale;
    const int inset = static_cast<int>(12.0f * u);
    CSprite* menus = getSprite(kSpriteSetMenus);
    if (!menus)
        return;
    for (int t = 0; t < 2; ++t) {
        const MenuPanel* strip = headerStrips[static_cast<std::size_t>(t)];
        const MenuPanel* table = tables[static_cast<std::size_t>(t)];
        if (!strip->visible)
            continue;
        const float bottom = static_cast<float>(strip->absY + strip->height);
        for (int x : {strip->absX + inset, strip->absX + strip->width - inset})
            menus->drawBarBetween(static_cast<float>(x), bottom, static_cast<float>(x),
                                  static_cast<float>(table->absY), 0);
    }
}

bool TeamSkirmishEndMenuFrame::onEscape()
{
    onResumeOrLeave();
    return true;
}

void TeamSkirmishEndMenuFrame::onSwitchTeam()
{
    GameMode* m = mode();
    if (!m || matchOver() || !switchTeamAllowed())
        return;
    Airplane* own = m->playerAirplane();
    if (!own)
        return;
    // The host moves it and tells everybody; a client's request goes to the host.
    m->removeAirplaneForGood(*own, own->team() == 1 ? 0 : 1);
    closeOverlayScreen();
    m->services().overlaysOrNone().setPaused(false);
}

int TeamSkirmishEndMenuFrame::titleString() const
{
    return titleText ? titleText->stringId : kBackText;
}
