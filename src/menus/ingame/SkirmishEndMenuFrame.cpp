#include "menus/ingame/SkirmishEndMenuFrame.h"

#include "entities/aircraft/Airplane.h"
#include "menus/MenuFrameRegistry.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/MatchReport.h"
#include "platform/Language.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Text.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>

SkirmishEndMenuFrame* MenuFrameRegistry::skirmishEndMenu()
{
    return slot<SkirmishEndMenuFrame>(Page::SkirmishEnd);
}

SkirmishEndMenuFrame::SkirmishEndMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    const int L = lineHeight();
    titleText = addTopLabel(1, m.screenWidth / 2.0f, static_cast<float>(L));
    titleText->stringId = kFfaTitle;
    titleText->updateSize();
    waveLabel = addTopLabel(1, m.screenWidth / 2.0f, 5.0f * L / 2.0f);
    waveLabel->visible = false;

    CSprite* menus = getSprite(kSpriteSetMenus);
    headerStrip = new MenuPanel(menus, kHeaderFrame, kLayoutStacked);
    headerStrip->anchorMode = kAnchorAbsolute;
    headerStrip->alignment = kAlignCentreX | kAlignBottom;
    headerStrip->offsetX = m.screenWidth / 2.0f;
    headerStrip->offsetY = static_cast<float>(stripBottom(headerStrip->height));
    addItem(headerStrip);
    const int stripW = std::max(headerStrip->width, 1);
    const int left = (m.screenWidth - stripW) / 2;
    for (int id : {kScoreHeading, kDeathsHeading, kPlaneHeading})
        addHeading(id, headings);
    table = makeTable(stripW, static_cast<int>(headerStrip->offsetY) + L / 2);
    table->offsetX = static_cast<float>(left);
    placeColumnHeadings();
    giveInputPriority(buttonRow);
    buttonRow->giveInputPriority(resumeButton);
    spreadButtons(true);
    layout(0, 0);
}

void SkirmishEndMenuFrame::placeColumnHeadings()
{
    const GameMode* m = mode();
    const float stripTop = headerStrip->offsetY - static_cast<float>(headerStrip->height);
    placeHeadings(*table, stripTop, static_cast<float>(headerStrip->height), false, gameType(),
                  m && !m->isSinglePlayer(), headings[0], headings[1], headings[2], nullptr);
}

void SkirmishEndMenuFrame::rebuildTable()
{
    table->clear();
    const ScoreMgr& sm = ScoreMgr::instance();
    const GameMode* m = mode();
    const bool network = m && !m->isSinglePlayer();
    const GameType type = gameType();
    const auto& players = sm.group(0).players;
    for (std::size_t i = 0; i < players.size(); ++i) {
        auto* row = new ScoreEntry(players[i], static_cast<int>(i) + 1, static_cast<int>(i & 1), false);
        row->gameType = type;
        row->networkGame = network;
        row->own = m && row->target() == m->playerAirplane();
        appendRow(*table, row);
    }
    appendRow(*table, new ScoreEntry(nullptr, 0, 0, false));
    if (sm.timeLimit == 0.0f) {
        timeLabel->visible = false;
    } else {
        timeLabel->visible = true;
        updateTimeLabel();
    }
}

void SkirmishEndMenuFrame::showHeadline()
{
    const ScoreMgr& sm = ScoreMgr::instance();
    int text = kLostText;
    const GameMode* m = mode();
    if (gameType() == GameType::Survival)
        text = kSurvivalOverText;
    else if (m && m->playerAirplane() && sm.isWinner(*m->playerAirplane()))
        text = sm.isDraw() ? kDrawText : kWonText;
    if (!headlineLabel->visible)
        logInfo("menus", "match over after %.1f s: headline %d", static_cast<double>(gameClock()), text);
    headlineLabel->stringId = text;
    headlineLabel->updateSize();
    headlineLabel->visible = true;
    titleText->visible = false;
    continueButton->visible = controlsButton->visible = audioButton->visible = false;
    timeLabel->visible = false;
    resumeButton->labelStringId = kLeaveText;
    resumeButton->updateLabel();
    spreadButtons(true);
}

void SkirmishEndMenuFrame::onShow()
{
    resumeButton->labelStringId = kResumeText;
    resumeButton->updateLabel();
    switch (gameType()) {
    case GameType::FreeForAll: titleText->stringId = kFfaTitle; break;
    case GameType::Survival: titleText->stringId = kSurvivalTitle; break;
    case GameType::LastManStanding: titleText->stringId = kLmsTitle; break;
    default: break;
    }
    titleText->updateSize();
    updateServerLabel(false);
    rebuildTable();
    startListening();
    titleText->visible = true;
    continueButton->visible = controlsButton->visible = audioButton->visible = true;
    headlineLabel->visible = waveLabel->visible = statusLabel->visible = false;
    resetTimeLabel();
    if (ScoreMgr::instance().timeLimit != 0.0f) {
        timeLabel->visible = true;
        updateTimeLabel();
    }
    if (matchOver())
        showHeadline();
    const MatchReport& match = report();
    if (match.waves) {
        char16_t text[128];
        wideFormatW(text, 128, getStringByIndex(kWaveText).c_str(), match.waves->wave + 1);
        waveLabel->setText(text);
        waveLabel->visible = true;
    } else if (match.type == GameType::LastManStanding && static_cast<int>(match.restartCountdown) >= 0 &&
               match.restartCountdown > -1.0f) {
        statusLabel->visible = true;
    }
    placeColumnHeadings();
    spreadButtons(true);
    layout(0, 0);
    rebuildConnectorLines();
    rebuildFocusLinks();
    focusedItem = resumeButton->visible ? static_cast<MenuItem*>(resumeButton) : continueButton;
}

void SkirmishEndMenuFrame::onHide()
{
    stopListening();
    table->clear();
}

void SkirmishEndMenuFrame::update()
{
    FilledMenuFrame::update();
    updateTimeLabel();
    if (!headlineLabel->visible && matchOver())
        showHeadline();
    updateStatus();
    applyPeekState(false);
    if (scorePeek())
        titleText->visible = false;
    else
        titleText->visible = !matchOver();
}

bool SkirmishEndMenuFrame::onEscape()
{
    onResumeOrLeave();
    return true;
}

void SkirmishEndMenuFrame::rebuildConnectorLines()
{
    SceneMenuFrame::rebuildConnectorLines();
    const float u = screenMetrics().uiScale;
    const int inset = static_cast<int>(12.0f * u);
    const int bottom = headerStrip->absY + headerStrip->height;
    for (int x : {headerStrip->absX + inset, headerStrip->absX + headerStrip->width - inset})
        connectorLines.push_back({x, bottom, x, table->absY, true, 0});
}

int SkirmishEndMenuFrame::titleString() const
{
    return titleText ? titleText->stringId : kBackText;
}
