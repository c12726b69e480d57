#include "menus/ingame/GameResultMenuFrame.h"

#include "entities/aircraft/Airplane.h"
#include "gamedata/records/MapLists.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/PlaneList.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/CampaignMenuFrame.h"
#include "menus/frontend/DogFightsMenuFrame.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/MatchReport.h"
#include "modes/progress/Achievements.h"
#include "modes/progress/ScoreMgr.h"
#include "platform/Clock.h"
#include "platform/Controls.h"
#include "platform/Language.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "platform/Text.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "screens/LoadingScreen.h"
#include "screens/MenuScreen.h"
#include "screens/PauseScreen.h"
#include "screens/Screens.h"
#include "sound/SoundSource.h"
#include "sound/SoundTable.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <cmath>
#include <limits>

GameResultMenuFrame* MenuFrameRegistry::gameResultMenu()
{
    return slot<GameResultMenuFrame>(Page::GameResult);
}

namespace {
constexpr std::int64_t kMaxPoints = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMinPoints = std::numeric_limits<std::int32_t>::min();

std::int32_t saturate(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp(value, kMinPoints, kMaxPoints));
}

// A score value times the factor, truncated; held to 32 bits.
std::int64_t scaled(int value, float factor)
{
    const double v = std::trunc(static_cast<double>(value) * factor);
    return static_cast<std::int64_t>(std::clamp(v, static_cast<double>(kMinPoints), static_cast<double>(kMaxPoints)));
}

std::u16string formatted(const char* format, std::int64_t a)
{
    char16_t text[64];
    wideFormat(text, 64, format, static_cast<int>(saturate(a)));
    return text;
}

bool isCampaignType(GameType t) { return t == GameType::Campaign || t == GameType::CampaignLike; }

float unitScale() { return screenMetrics().uiScale; }
}  // namespace

// ---- input and rows ----

GameResultInput GameResultInput::fromCurrentGame()
{
    GameResultInput in;
    const ScoreMgr& sm = ScoreMgr::instance();
    const MatchPoints& totals = sm.totals();
    in.killPoints = totals.kill;
    in.deathPoints = totals.death;
    in.basePoints = totals.baseShare;
    in.objectivePoints = totals.objective;
    in.resultPoints = totals.matchBonus;
    in.medal = sm.medal;
    const GameMode* mode = modeOf(currentMatch());
    if (!mode)
        return in;
    const MatchReport match = mode->report();
    in.type = match.type;
    in.singlePlayer = match.isSinglePlayer();
    in.network = match.isNetworkGame();
    in.online = match.online;
    if (const Airplane* own = mode->playerAirplane())
        in.plane = own->planeRecord;
    if (in.online && GameResultMenuFrame::routes().pointsFactor)
        in.pointsFactor = GameResultMenuFrame::routes().pointsFactor();
    if (in.network) {
        const GameResultMenuFrame::Routes& r = GameResultMenuFrame::routes();
        if (r.serverName)
            in.serverName = r.serverName();
        if (r.networkMap)
            in.networkMap = r.networkMap();
    }
    if (match.campaign) {
        in.campaign = match.campaign->campaign;
        in.mission = match.campaign->mission;
        in.difficulty = match.difficulty;
    }
    if (match.rounds)
        in.dogfight = match.rounds->dogfight;
    return in;
}

PointRows PointRows::build(const GameResultInput& in)
{
    PointRows r;
    const bool survival = in.type == GameType::Survival;
    r.scoreFactor = in.singlePlayer || survival ? 1.0f : 3.0f;
    const float f = r.scoreFactor;
    const bool campaign = isCampaignType(in.type);
    const bool dtb = in.type == GameType::DestroyTheBase;
    const bool ctf = in.type == GameType::CaptureTheFlag;

    auto add = [&r](int kind, int label, std::u16string value) {
        const auto i = static_cast<std::size_t>(r.count++);
        r.kinds[i] = kind;
        r.labels[i] = getStringByIndex(label);
        r.values[i] = std::move(value);
    };
    std::int64_t earned = scaled(in.killPoints, f);
    if (campaign) {
        add(Kills, GameResultMenuFrame::kKillsText, formatted("%d", earned));
    } else {
        const std::int64_t deaths = scaled(in.deathPoints, f);
        earned += deaths;
        char16_t text[64];
        wideFormat(text, 64, "%d/%d", static_cast<int>(saturate(scaled(in.killPoints, f))),
                   static_cast<int>(saturate(deaths)));
        add(Kills, GameResultMenuFrame::kKillsDeathsText, text);
    }
    if (dtb) {
        const std::int64_t base = scaled(in.basePoints, f);
        earned += base;
        add(BaseDamage, GameResultMenuFrame::kBaseText, formatted("%d", base));
    }
    if (ctf || dtb) {
        const std::int64_t objective = scaled(in.objectivePoints, f);
        earned += objective;
        add(Objectives, GameResultMenuFrame::kObjectiveText, formatted("%d", objective));
    }
    const std::int64_t result = scaled(in.resultPoints, f);
    earned += result;
    add(Result, GameResultMenuFrame::kResultText, formatted("%d", result));

    // The plane's bonus. A factor from the network that is not a number or
    // lies outside 1..4 never reaches the totals.
    float b = 1.0f;
    if (in.online) {
        b = std::isfinite(in.pointsFactor) ? std::clamp(in.pointsFactor, 1.0f, 4.0f) : 1.0f;
    } else if (in.plane && std::isfinite(in.plane->ap_bonus) && in.plane->ap_bonus < 4.0f) {
        b = in.plane->ap_bonus;
    }
    earned = std::clamp(earned, kMinPoints, kMaxPoints);
    if (b > 1.0f && earned > 0) {
        const std::int64_t bonus = static_cast<std::int64_t>(std::trunc((static_cast<double>(b) - 1.0) * earned));
        if (bonus > 0) {
            r.bonus = saturate(bonus);
            earned += bonus;
            add(Bonus, GameResultMenuFrame::kBonusText, formatted("%d", bonus));
        }
    }
    r.pointsEarned = saturate(earned);
    return r;
}

// ---- the page ----

GameResultMenuFrame::Routes& GameResultMenuFrame::routes()
{
    static Routes r;
    return r;
}

GameResultMenuFrame::GameResultMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    if (ResizableButton* back = backButton()) {
        back->visible = false;
        back->enabled = false;
    }
    titleLabel->stringId = kTitleText;
    titleLabel->updateSize();
    bottomPanel->visible = false;
    bottomPanel->enabled = false;
    backdrop = true;
    CSprite* menus = getSprite(kSpriteSetMenus);
    auto panel = [&](int sizeFrame) {
        auto* p = new MenuPanel(menus, kPanelFrame, kLayoutStacked);
        p->ninePatch = true;
        p->anchorMode = kAnchorAbsolute;
        p->fixedSize = true;
        p->touchMode = kTouchInside;
        int w = 0, h = 0;
        if (menus)
            menus->frameBounds(sizeFrame, w, h);
        p->width = std::max(w, 1);
        p->height = std::max(h, 1);
        addItem(p);
        return p;
    };
    pointsPanel = panel(kPointsPanelFrame);
    insigniaPanel = panel(kPointsPanelFrame);
    rankPanel = panel(kRankPanelFrame);

    CFont* small = getFont(1);
    const int lineH = small ? static_cast<int>(small->lineHeight()) : 20;
    bottomStrip = new MenuPanel(kLayoutStacked);
    bottomStrip->anchorMode = kAnchorAbsolute;
    bottomStrip->alignment = kAlignLeft | kAlignBottom;
    bottomStrip->width = m.screenWidth;
    bottomStrip->height = 4 * lineH;
    bottomStrip->fixedSize = true;
    bottomStrip->offsetX = 0.0f;
    bottomStrip->offsetY = static_cast<float>(m.screenHeight);
    addItem(bottomStrip);
    promptLabel = new SpriteLabel(2, kPromptText);
    promptLabel->anchorMode = kAnchorParent;
    promptLabel->alignment = kAlignCentreX | kAlignCentreY;
    promptLabel->offsetX = m.screenWidth / 2.0f;
    promptLabel->offsetY = bottomStrip->height / 2.0f;
    promptLabel->visible = false;
    promptLabel->enabled = false;
    bottomStrip->addItem(promptLabel);
    placePanels();
    layout(0, 0);
}

GameResultMenuFrame::~GameResultMenuFrame()
{
    if (SoundSourceBuffered* score = globalSources().score)
        score->stop();
}

void GameResultMenuFrame::placePanels()
{
    const ScreenMetrics& m = screenMetrics();
    const int titleTop = titleLabel->y;
    const int titleH = std::max(titleLabel->height, 1);
    const int titleBottom = titleTop + titleH;
    const int g = (m.screenWidth - 2 * pointsPanel->width) / 3;
    // On a low screen the centred block would start above the title's bottom,
    // and the panels' top corners would cover the title plate: the block
    // starts below the plate then.
    const int y0 = std::max(
        titleBottom + (m.screenHeight - 4 * titleH - rankPanel->height - pointsPanel->height - titleTop) / 2,
        panelsTop());
    pointsPanel->offsetX = static_cast<float>(m.screenWidth - pointsPanel->width - g);
    pointsPanel->offsetY = static_cast<float>(y0);
    insigniaPanel->offsetX = static_cast<float>(g);
    insigniaPanel->offsetY = static_cast<float>(y0);
    rankPanel->offsetX = static_cast<float>(g);
    rankPanel->offsetY = static_cast<float>(y0 + insigniaPanel->height + rankGap(y0 + insigniaPanel->height));
}

int GameResultMenuFrame::panelsTop() const
{
    const int titleH = std::max(titleLabel->height, 1);
    return titleLabel->y + titleH + titleH / 4;
}

int GameResultMenuFrame::rankGap(int insigniaBottom) const
{
    // A title's height between the insignia and the rank panel, less where the
    // rank panel would reach into the prompt's strip; never so little that the
    // line between them cannot be seen.
    const int titleH = std::max(titleLabel->height, 1);
    const int room = static_cast<int>(bottomStrip->offsetY) - bottomStrip->height - insigniaBottom - rankPanel->height;
    return std::clamp(room, titleH / 3, titleH);
}

int GameResultMenuFrame::insigniaFrame() const
{
    if (rankReached)
        return newRank;
    if (medalMode)
        return kMedalFrameBase + medalOf;
    return oldRank;
}

void GameResultMenuFrame::layoutInsignia()
{
    CSprite* insignia = getSprite(kInsigniaSet);
    CSprite* menus = getSprite(kSpriteSetMenus);
    int fw = 0, fh = 0;
    const int frame = rankReached ? newRank : (medalMode ? kMedalModeFrame : oldRank);
    if (insignia)
        insignia->frameBounds(frame, fw, fh);
    int baseW = 0, baseH = 0;
    if (menus)
        menus->frameBounds(kPointsPanelFrame, baseW, baseH);
    placePanels();
    const float s = unitScale();
    const int g = (screenMetrics().screenWidth - 2 * pointsPanel->width) / 3;
    insigniaPanel->width = fw + static_cast<int>(50.0f * s);
    insigniaPanel->height = std::max(baseH, 1);
    insigniaPanel->offsetX = static_cast<float>(static_cast<int>(pointsPanel->offsetX) / 2 - (g + fw) / 2);
    if (fh > insigniaPanel->height || fh > pointsPanel->height) {
        const int grow = fh - insigniaPanel->height;
        insigniaPanel->height = fh;
        insigniaPanel->offsetY = std::max(insigniaPanel->offsetY - grow / 2.0f, static_cast<float>(panelsTop()));
        const int bottom = static_cast<int>(insigniaPanel->offsetY) + insigniaPanel->height;
        rankPanel->offsetY = static_cast<float>(bottom + rankGap(bottom));
    }
    layout(0, 0);
}

void GameResultMenuFrame::onShow()
{
    FilledMenuFrame::onShow();
    bottomPanel->visible = false;
    bottomPanel->enabled = false;
    // Nothing to press here: a select key must not reach the hidden back button.
    focusedItem = nullptr;
    showResult(GameResultInput::fromCurrentGame());
}

void GameResultMenuFrame::showResult(const GameResultInput& input)
{
    rows = PointRows::build(input);
    shownType = input.type;
    shownNetwork = input.network;
    shownOnline = input.online;
    shownCampaign = input.campaign;
    medalOf = std::clamp(input.medal, 0, 3);
    medalMode = (isCampaignType(input.type) || input.type == GameType::Dogfight) && medalOf >= 1;
    if (!gameResultBooked()) {
        book(input);
        gameResultBooked() = true;
    } else {
        // Shown again for the same game: the booked values stay, nothing is added.
        displayRank = oldRank;
        countTarget = oldRank == newRank ? rows.pointsEarned
                                         : saturate(static_cast<std::int64_t>(
                                               kRankThresholds[static_cast<std::size_t>(
                                                   newRank > oldRank ? oldRank + 1 : oldRank)]) -
                                                    oldTotal);
    }
    logInfo("menus", "game result: %d points, rank %d to %d", rows.pointsEarned, oldRank, newRank);
    mapLine.clear();
    serverLine.clear();
    if (input.network) {
        const MapInfoCfg* map = input.networkMap >= 0 && input.networkMap < MapLists::kSlots
                                    ? MapLists::instance().skirmishMap(input.networkMap)
                                    : nullptr;
        char16_t text[256];
        wideFormat(text, 256, "%w %w", getStringByIndex(kMapText),
                   map ? getStringById(map->title) : std::u16string());
        mapLine = text;
        wideFormat(text, 256, "%w: %w", getStringByIndex(kServerText), input.serverName);
        serverLine = text;
        const std::u16string both = mapLine + u" / " + serverLine;
        logInfo("menus", "network game result lines: %s", wideToUtf8(both).c_str());
    }
    titleLabel->stringId = isCampaignType(input.type) ? kCampaignTitleText : kTitleText;
    titleLabel->updateSize();
    resultState = Reveal;
    stateTimer = 0.0f;
    rowsShown = 0;
    countedPoints = 0;
    rankReached = rankStepPending = fanfarePending = unlocksShown = false;
    iconScale = insigniaScale = 1.0f;
    unlockScale = 0.0f;
    unlockIndex = 0;
    promptLabel->visible = false;
    focusedItem = nullptr;
    layoutInsignia();
    rebuildConnectorLines();
}

void GameResultMenuFrame::book(const GameResultInput& input)
{
    Settings& s = settings();
    const std::int64_t before = static_cast<std::int64_t>(s.pointsSP) + s.pointsMP;
    oldTotal = saturate(before);
    const std::int64_t after = static_cast<std::int64_t>(oldTotal) + rows.pointsEarned;
    // Only the game kind's own total moves, and never below 0.
    std::int32_t& own = input.singlePlayer ? s.pointsSP : s.pointsMP;
    own = static_cast<std::int32_t>(std::clamp(static_cast<std::int64_t>(own) + rows.pointsEarned,
                                               std::int64_t{0}, kMaxPoints));
    oldRank = rankForPoints(oldTotal);
    newRank = rankForPoints(after);
    if (oldRank != newRank)
        achievements().notifyEvent(kRankChangedEvent);
    s.playerRank = static_cast<std::uint8_t>(newRank);
    displayRank = oldRank;
    if (newRank == oldRank)
        countTarget = rows.pointsEarned;
    else if (newRank > oldRank)
        countTarget = saturate(kRankThresholds[static_cast<std::size_t>(oldRank + 1)] - static_cast<std::int64_t>(oldTotal));
    else
        countTarget = saturate(kRankThresholds[static_cast<std::size_t>(oldRank)] - static_cast<std::int64_t>(oldTotal));

    const auto medal = static_cast<std::uint8_t>(std::clamp(input.medal, 0, 3));
    if (isCampaignType(input.type) && input.campaign >= 0 && input.mission >= 0) {
        // Lanes: normal 0, hard 1, easy 2.
        const int lane = input.difficulty == 1 ? 0 : input.difficulty == 2 ? 1 : input.difficulty == 0 ? 2 : -1;
        if (lane >= 0) {
            const std::uint32_t stored = (s.campaignResultAt(input.campaign, input.mission) >> (8 * lane)) & 0xFFu;
            if (stored < medal)
                s.recordMissionResultFlag(input.difficulty, input.campaign, input.mission, medal);
        }
    }
    if (input.type == GameType::Dogfight && input.dogfight >= 0) {
        if (s.dogfightMedalAt(input.dogfight) < medal)
            s.setDogfightMedal(input.dogfight, medal);
        // Paid: a later win of it pays the table's points, not the rank gap.
        if (medal > 0)
            s.setDogfightDone(input.dogfight, 1);
    }

    UnlocksMgr& unlocks = UnlocksMgr::instance();
    unlocks.onRank(s.playerRank);
    unlocks.onAcePoints(saturate(after));
    s.save();

    unlockedPlanes.clear();
    for (const UnlockItem* item : unlocks.recent()) {
        if (!item || item->type() != UnlockItemType::Plane)
            continue;
        // An unlock naming no plane of the list has nothing to announce.
        if (const PlaneCfg* plane = PlaneList::instance().findByName(item->parameterString))
            unlockedPlanes.push_back(plane->plane_id);
    }

    const MapLists& maps = MapLists::instance();
    auto lastDone = [&](int campaign) {
        const int last = maps.countCampaign(campaign) - 1;
        return last >= 0 && s.campaignProgressAt(campaign, last) != 0 && s.campaignResultAt(campaign, last) != 0;
    };
    if (lastDone(0) && lastDone(1))
        achievements().notifyEvent(kCampaignsDoneEvent);
}

std::int32_t GameResultMenuFrame::nextSegmentTarget() const
{
    if (displayRank == newRank)
        return rows.pointsEarned;
    if (newRank < oldRank)
        return saturate(kRankThresholds[static_cast<std::size_t>(displayRank)] - static_cast<std::int64_t>(oldTotal));
    return saturate(kRankThresholds[static_cast<std::size_t>(std::min(displayRank + 1, kTopRank))] -
                    static_cast<std::int64_t>(oldTotal));
}

std::int32_t GameResultMenuFrame::rankHigh(int rank, std::int32_t overTop) const
{
    if (rank >= kTopRank)
        return saturate(static_cast<std::int64_t>(oldTotal) + overTop);
    return kRankThresholds[static_cast<std::size_t>(std::max(rank, 0) + 1)];
}

float GameResultMenuFrame::countPitch() const
{
    const std::int64_t low = kRankThresholds[static_cast<std::size_t>(std::clamp(displayRank, 0, kTopRank))];
    const std::int64_t high = rankHigh(displayRank, 1000);
    const std::int64_t p = rows.pointsEarned >= 0 ? oldTotal - low + countedPoints : high - oldTotal - countedPoints;
    const std::int64_t span = std::max<std::int64_t>(high - low, 1);
    return 1.0f + 0.25f * static_cast<float>(static_cast<double>(p) / static_cast<double>(span));
}

void GameResultMenuFrame::update()
{
    FilledMenuFrame::update();
    const float dt = frameDelta();
    switch (resultState) {
    case Reveal:
        if (stateTimer > kRowStep) {
            ++rowsShown;
            stateTimer -= kRowStep;
        }
        if (rowsShown > rows.count) {
            resultState = Count;
            stateTimer = 0.0f;
        }
        break;
    case Count:
    case CountAfterStep: updateCount(); break;
    case RankStep: updateRankStep(); break;
    case Promotion: updatePromotion(); break;
    case Unlock:
        if (stateTimer > kUnlockDelay) {
            if (!unlocksShown)
                if (SoundSourceBuffered* unlock = globalSources().unlock)
                    unlock->play();
            unlocksShown = true;
            unlockScale = 0.0f;
            unlockIndex = 0;
            enterFinal();
        }
        break;
    case Final: {
        promptLabel->visible = true;
        promptLabel->enabled = false;
        rebuildConnectorLines();
        if (unlocksShown) {
            const int count = static_cast<int>(unlockedPlanes.size());
            if (count >= 2 && stateTimer > kUnlockCycle) {
                stateTimer = 0.0f;
                unlockIndex = (unlockIndex + 1) % count;
            }
            float scale = stateTimer < 1.0f / 3.0f ? 3.0f * stateTimer : 1.0f;
            if (count >= 2 && stateTimer > 5.0f / 3.0f)
                scale = 1.0f - 3.0f * (stateTimer - 5.0f / 3.0f);
            unlockScale = std::clamp(scale, 0.0f, 1.0f);
        }
        break;
    }
    default: break;
    }
    stateTimer += dt;
    if (resultState == Final && controls().anyInputReleased())
        onContinue();
}

void GameResultMenuFrame::updateCount()
{
    const int sign = rows.pointsEarned < 0 ? -1 : 1;
    const std::int64_t d = std::llabs(static_cast<std::int64_t>(rows.pointsEarned) - countedPoints);
    const int step = d < 20 ? 1 : d < 50 ? 2 : d < 100 ? 5 : d < 1000 ? 10 : 100;
    countedPoints = saturate(static_cast<std::int64_t>(countedPoints) +
                             static_cast<std::int64_t>(std::trunc(rows.scoreFactor * sign * step)));
    if (SoundSourceBuffered* score = globalSources().score) {
        if (!score->isPlaying())
            score->play();
        score->setPitch(countPitch());
        score->applyPitch();
    }
    if ((static_cast<std::int64_t>(countTarget) - countedPoints) * sign <= 0)
        endSegment();
}

void GameResultMenuFrame::endSegment()
{
    if (SoundSourceBuffered* score = globalSources().score)
        score->stop();
    countedPoints = countTarget;
    stateTimer = 0.0f;
    if (displayRank != newRank) {
        resultState = RankStep;
        rankStepPending = true;
    } else if (oldRank != newRank) {
        resultState = Promotion;
        insigniaScale = 0.0f;
        rankReached = true;
        fanfarePending = true;
    } else if (!unlockedPlanes.empty()) {
        resultState = Unlock;
    } else {
        enterFinal();
    }
}

void GameResultMenuFrame::updateRankStep()
{
    const float t = stateTimer;
    if (t < 0.25f) {
        iconScale = 1.0f - 4.0f * t;
    } else {
        iconScale = 4.0f * (t - 0.25f);
        if (rankStepPending) {
            rankStepPending = false;
            displayRank += oldRank < newRank ? 1 : -1;
        }
    }
    iconScale = std::clamp(iconScale, 0.0f, 1.0f);
    if (t > kRankStepTime) {
        stateTimer = 0.0f;
        resultState = CountAfterStep;
        iconScale = 1.0f;
        countTarget = nextSegmentTarget();
    }
}

void GameResultMenuFrame::updatePromotion()
{
    const float t = stateTimer - kFanfareDelay;
    if (t >= 0.0f) {
        if (fanfarePending) {
            fanfarePending = false;
            if (SoundSourceBuffered* medal = globalSources().medal)
                medal->play();
        }
        static constexpr float keys[4][2] = {{0.0f, 0.0f}, {0.2f, 1.2f}, {0.3f, 0.8f}, {0.4f, 1.0f}};
        float scale = 1.0f;
        for (int i = 0; i < 3; ++i) {
            if (t < keys[i + 1][0]) {
                const float u = (t - keys[i][0]) / (keys[i + 1][0] - keys[i][0]);
                scale = keys[i][1] + (keys[i + 1][1] - keys[i][1]) * u;
                break;
            }
        }
        insigniaScale = scale;
    }
    if (stateTimer > kPromotionTime) {
        stateTimer = 0.0f;
        if (!unlockedPlanes.empty())
            resultState = Unlock;
        else
            enterFinal();
    }
}

void GameResultMenuFrame::enterFinal()
{
    resultState = Final;
    layoutInsignia();
}

bool GameResultMenuFrame::onTouchUp(int x, int y)
{
    if (!FilledMenuFrame::onTouchUp(x, y) && resultState == Final)
        onContinue();
    return true;
}

void GameResultMenuFrame::onHide()
{
    resultEscapeArmed = true;
    if (SoundSourceBuffered* score = globalSources().score)
        score->stop();
}

bool GameResultMenuFrame::onEscape()
{
    if (resultEscapeArmed) {
        resultEscapeArmed = false;
        onContinue();
    }
    return true;
}

void GameResultMenuFrame::rebuildConnectorLines()
{
    SceneMenuFrame::rebuildConnectorLines();
    const float s = unitScale();
    const int titleX = titleLabel->absX, titleW = titleLabel->width;
    const int titleMidY = titleLabel->absY + titleLabel->height / 2;
    connectorLines.push_back({titleX + titleW / 2, titleLabel->absY + titleLabel->height,
                              pointsPanel->absX + pointsPanel->width / 2, pointsPanel->absY});
    const int insigniaX = insigniaPanel->absX + insigniaPanel->width / 2 + static_cast<int>(2.0f * s);
    connectorLines.push_back({titleX, titleMidY, insigniaX, insigniaPanel->absY});
    const int midX = insigniaPanel->absX + insigniaPanel->width / 2;
    connectorLines.push_back({midX, insigniaPanel->absY + insigniaPanel->height, midX, rankPanel->absY});
}

void GameResultMenuFrame::onContinue()
{
    const bool network = shownNetwork, online = shownOnline;
    const GameType type = shownType;
    if (SoundSourceBuffered* score = globalSources().score)
        score->stop();
    Routes& r = routes();
    if (r.leaveGame) {
        r.leaveGame();
    } else {
        dropOverlayScreens();
        if (currentScreen() != &menuScreen()) {
            if (menuScreen().isLoaded()) {
                requestScreenSwitch(&menuScreen());
            } else {
                menuLoadingScreen().prepare(&menuScreen());
                requestScreenSwitch(&menuLoadingScreen());
            }
        }
    }
    clearFrameHistory();
    goToFrame(MenuFrameRegistry::mainMenu());
    if (network) {
        if (MenuFrame* hub = r.multiPlayer ? r.multiPlayer() : nullptr)
            goToFrame(hub);
        if (!online) {
            if (MenuFrame* lan = r.lanGames ? r.lanGames() : nullptr)
                goToFrame(lan);
        } else if (!(r.quickMatch && r.quickMatch())) {
            if (MenuFrame* rooms = r.onlineRooms ? r.onlineRooms() : nullptr)
                goToFrame(rooms);
        }
    } else {
        goToFrame(MenuFrameRegistry::playMenu());
        if (type == GameType::Dogfight) {
            goToFrame(MenuFrameRegistry::dogFightsMenu());
        } else if (isCampaignType(type)) {
            CampaignMenuFrame* campaign = MenuFrameRegistry::campaignMenu();
            if (shownCampaign >= 0)
                campaign->setCampaign(shownCampaign);
            goToFrame(campaign);
        }
    }
    pauseScreen().frame = nullptr;
}

// ---- drawing ----

void GameResultMenuFrame::draw()
{
    FilledMenuFrame::draw();
    const float s = unitScale();
    const float m = 15.0f * s;
    CFont* font = getFont(1);
    if (!font)
        return;
    const float px = static_cast<float>(pointsPanel->absX), py = static_cast<float>(pointsPanel->absY);
    const float pRight = px + pointsPanel->width, pBottom = py + pointsPanel->height;
    float y = py + m;
    const int shown = std::min(rowsShown - 1, rows.count);
    for (int i = 0; i < shown; ++i) {
        const auto k = static_cast<std::size_t>(i);
        drawText(font, rows.labels[k], px + m, y, 0);
        drawText(font, rows.values[k], pRight - m, y, CFont::kRight);
        y += 30.0f * s;
    }
    // A network game names its map and server on the lines after the rows.
    if (!mapLine.empty()) {
        const float lines = py + m + 30.0f * s * static_cast<float>(rows.count);
        drawText(font, mapLine, px + m, lines, 0);
        drawText(font, serverLine, px + m, lines + 30.0f * s, 0);
    }
    if (resultState >= Count) {
        drawText(font, getStringByIndex(kTotalText), px + m, pBottom - m, CFont::kBottom);
        char16_t total[32];
        wideFormat(total, 32, "%d", countedPoints);
        drawText(font, total, pRight - m, pBottom - m, CFont::kBottom | CFont::kRight);
    }
    CSprite* insignia = getSprite(kInsigniaSet);
    if (insignia) {
        const float cx = insigniaPanel->absX + insigniaPanel->width / 2.0f;
        const float cy = insigniaPanel->absY + insigniaPanel->height / 2.0f;
        const int frame = insigniaFrame();
        const float scale = rankReached ? insigniaScale : 1.0f;
        if (scale > 0.0f) {
            insignia->setScale(scale, scale);
            const CSprite::Rect r = insignia->frameRect(frame);
            insignia->drawFrame(frame, cx - r.w / 2.0f - r.x, cy - r.h / 2.0f - r.y);
            insignia->setScale(1.0f, 1.0f);
        }
        if (rankReached)
            drawPromotion();
    }
    drawUnlocks();
    drawRankBar();
}

void GameResultMenuFrame::drawPromotion()
{
    CFont* font = getFont(1);
    const float midX = (rankPanel->absX + rankPanel->width + screenMetrics().screenWidth) / 2.0f;
    const std::u16string& name = getStringByIndex(kRankNameBase + std::clamp(newRank, 0, kTopRank));
    char16_t text[512];
    if (rows.pointsEarned >= 0)
        wideFormat(text, 512, "%w %w\n%w", getStringByIndex(kPromotedText), name, getStringByIndex(kPromotedTailText));
    else
        wideFormat(text, 512, "%w %w", getStringByIndex(kPromotedText), name);
    drawText(font, text, midX, static_cast<float>(rankPanel->absY), CFont::kCentreX);
}

void GameResultMenuFrame::drawUnlocks()
{
    if (!unlocksShown || unlockedPlanes.empty() || unlockScale <= 0.0f)
        return;
    CFont* font = getFont(1);
    if (!font)
        return;
    const float midX = (rankPanel->absX + rankPanel->width + screenMetrics().screenWidth) / 2.0f;
    char16_t text[512];
    const PlaneList& planes = PlaneList::instance();
    const int id = unlockedPlanes[static_cast<std::size_t>(unlockIndex) % unlockedPlanes.size()];
    const PlaneCfg* plane = nullptr;
    for (int i = 0; i < planes.count() && !plane; ++i)
        if (planes.at(i) && planes.at(i)->plane_id == id)
            plane = planes.at(i);
    if (!plane && planes.count() > 0)
        plane = planes.at(0);
    wideFormat(text, 512, "%w %s", getStringByIndex(kUnlockedText), plane ? plane->fullname : std::string());
    const float s = unitScale();
    const float y = pointsPanel->absY + pointsPanel->height + rankPanel->height + 70.0f * s;
    const float oldX = font->scaleX(), oldY = font->scaleY();
    font->setScale(oldX * unlockScale, oldY * unlockScale);
    drawText(font, text, midX, y, CFont::kCentreX);
    font->setScale(oldX, oldY);
}

void GameResultMenuFrame::drawRankBar()
{
    CSprite* menus = getSprite(kSpriteSetMenus);
    CSprite* icons = getSprite(kInsigniaSet);
    CFont* font = getFont(1);
    if (!menus || !font)
        return;
    const CSprite::Rect bar = menus->frameRect(kRankBarFrame);
    const float panelX = static_cast<float>(rankPanel->absX), panelW = static_cast<float>(rankPanel->width);
    const float barX = panelX + (panelW - bar.w) / 2.0f;
    const float barY = rankPanel->absY + (rankPanel->height - bar.h) / 2.0f;
    menus->drawFrame(kRankBarFrame, barX - bar.x, barY - bar.y);
    const int rank = std::clamp(displayRank, 0, kTopRank);
    const std::int64_t low = kRankThresholds[static_cast<std::size_t>(rank)];
    const std::int64_t high = rankHigh(rank, 500000);
    const float free = panelW - bar.w;
    char16_t text[32];
    wideFormat(text, 32, "%d", static_cast<int>(low));
    drawText(font, text, panelX + free / 4.0f, barY + bar.h / 2.0f, CFont::kCentreX | CFont::kCentreY);
    wideFormat(text, 32, "%d", static_cast<int>(high));
    drawText(font, text, panelX + panelW - free / 4.0f, barY + bar.h / 2.0f, CFont::kCentreX | CFont::kCentreY);
    const double span = static_cast<double>(std::max<std::int64_t>(high - low, 1));
    const float f = static_cast<float>(std::clamp((countedPoints - low + oldTotal) / span, 0.0, 1.0));
    // The icon's centre runs from the bar's start to its end; the art keeps
    // it small enough to leave the points beside the bar readable.
    const int frame = kRankIconBase + rank;
    const float iconX = barX + bar.w * f;
    // The way made through the rank so far, filled up to the icon as the count runs.
    if (f > 0.0f) {
        pushCropRect(barX, barY, iconX - barX, bar.h);
        menus->drawFrame(kRankFillFrame, barX - bar.x, barY - bar.y);
        popCropRect();
    }
    if (!icons || iconScale <= 0.0f)
        return;
    icons->setScale(iconScale, iconScale);
    const CSprite::Rect r = icons->frameRect(frame);
    icons->drawFrame(frame, iconX - r.w / 2.0f - r.x, barY + bar.h / 2.0f - r.h / 2.0f - r.y);
    icons->setScale(1.0f, 1.0f);
}
