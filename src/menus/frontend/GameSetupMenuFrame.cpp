#include "menus/frontend/GameSetupMenuFrame.h"

#include "gamedata/records/MapLists.h"
#include "modes/GameType.h"
#include "platform/Language.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/Text.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "ui/TextFitLog.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteCheckbox.h"
#include "ui/widgets/SpriteLabel.h"
#include "ui/widgets/SpriteSlider.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {
// The thumb where the position puts it; the value stays exactly the stored
// one, so leaving the page does not round what was saved.
void placeSlider(SpriteSlider& slider, float position)
{
    slider.setValue(position);
    slider.value = std::clamp(position, 0.0f, 1.0f);
}

constexpr int kTimeIconFrame = 113, kSkillIconFrame = 112;
constexpr int kSunLeftFrame = 103, kSunMidFrame = 105, kSunRightFrame = 104;
constexpr int kOnlineOnFrame = 143, kOnlineOffFrame = 141;
constexpr int kArrowFrame = 84;   // a chevron pointing right, origin at its middle

float art()
{
    return screenMetrics().uiScale;
}

void setShown(MenuItem* item, bool shown)
{
    if (item) {
        item->visible = shown;
        item->enabled = shown;
    }
}

SpriteButton* pictureOnly(MenuContainer& frame, int picture)
{
    auto* icon = new SpriteButton(7, picture, 1, 0);
    icon->enabled = false;
    icon->focusable = false;
    icon->anchorMode = MenuItem::kAnchorAbsolute;
    frame.addItem(icon);
    return icon;
}

SpriteSlider* addSlider(MenuContainer& frame)
{
    auto* slider = new SpriteSlider();
    slider->anchorMode = MenuItem::kAnchorAbsolute;
    slider->focusable = true;
    frame.addItem(slider);
    return slider;
}

float clamp01(float v)
{
    return std::clamp(v, 0.0f, 1.0f);
}

// An arrow over an end of the map strip: a tap pages the strip, while a drag
// that starts on it is handed to the strip, which scrolls as from anywhere else.
class StripEnd : public SpriteButton {
public:
    explicit StripEnd(MenuContainer* strip) : SpriteButton(-1, -1, 1, std::u16string_view()), m_strip(strip) {}

    bool onTouchDown(int x, int y) override
    {
        m_downX = x;
        m_downY = y;
        m_handedOver = false;
        return SpriteButton::onTouchDown(x, y);
    }
    bool onTouchMove(int x, int y) override
    {
        if (!m_handedOver) {
            const ScreenMetrics& m = screenMetrics();
            if (std::abs(x - m_downX) <= 3.0f * m.screenScaleX && std::abs(y - m_downY) <= 3.0f * m.screenScaleY)
                return true;
            m_handedOver = true;
            pressed = false;
            m_strip->onTouchDown(m_downX, m_downY);
        }
        return m_strip->onTouchMove(x, y);
    }
    bool onTouchUp(int x, int y) override
    {
        if (!m_handedOver)
            return SpriteButton::onTouchUp(x, y);
        m_handedOver = false;
        m_strip->onTouchUp(x, y);
        return true;
    }
    bool onTouchCancel() override
    {
        if (m_handedOver) {
            m_handedOver = false;
            m_strip->onTouchCancel();
        }
        return SpriteButton::onTouchCancel();
    }

private:
    MenuContainer* m_strip;
    int m_downX = 0, m_downY = 0;
    bool m_handedOver = false;
};
}  // namespace

std::vector<GameSetupMenuFrame::MapEntry> GameSetupMenuFrame::skirmishEntries()
{
    std::vector<MapEntry> entries;
    const MapLists& lists = MapLists::instance();
    for (int slot = 0; slot < MapLists::kSlots; ++slot) {
        const MapInfoCfg* map = lists.skirmishMap(slot);
        if (!map)
            break;
        MapEntry entry;
        const int set = map->menuSprite.empty() ? -1 : spriteSetByName(map->menuSprite);
        entry.spriteSet = set >= 0 ? set : kMapThumbnailSet;
        entry.frame = map->menuFrame;
        entry.titleString = findStringTable().findId(map->title);
        entries.push_back(entry);
    }
    return entries;
}

GameSetupMenuFrame::GameSetupMenuFrame() : GameSetupMenuFrame(skirmishEntries()) {}

GameSetupMenuFrame::GameSetupMenuFrame(std::vector<MapEntry> maps)
{
    build(maps);
}

GameSetupMenuFrame::~GameSetupMenuFrame() = default;

void GameSetupMenuFrame::build(const std::vector<MapEntry>& maps)
{
    const ScreenMetrics& m = screenMetrics();
    const float s = art();
    const int W = m.screenWidth, H = m.screenHeight;
    if (titleLabel) {
        titleLabel->stringId = kTitleString;
        titleLabel->updateSize();
    }
    setShown(bottomPanel, false);
    const int g = std::max(0, static_cast<int>((H - 552 * s) / 3));

    timeSlider = addSlider(*this);
    timeSlider->onChange = [this] { onTimeSlider(timeSlider->value); };
    timeIcon = pictureOnly(*this, kTimeIconFrame);
    timeLabel = new SpriteLabel(1, std::u16string_view());
    timeLabel->anchorMode = kAnchorAbsolute;
    addItem(timeLabel);
    skillSlider = addSlider(*this);
    skillSlider->onChange = [this] { onSkillSlider(skillSlider->value); };
    skillIcon = pictureOnly(*this, kSkillIconFrame);
    sunSlider = addSlider(*this);
    sunSlider->onChange = [this] { onSunSlider(sunSlider->value); };
    sunIconLeft = pictureOnly(*this, kSunLeftFrame);
    sunIconMid = pictureOnly(*this, kSunMidFrame);
    sunIconRight = pictureOnly(*this, kSunRightFrame);

    const int sliderY = static_cast<int>(457 * s + 2 * g + g / 2);
    timeSlider->offsetY = static_cast<float>(sliderY);
    skillSlider->offsetY = static_cast<float>(sliderY);
    placeTimeRowForPlay();

    onlineOption = new SpriteCheckbox(kOnlineString, kOnlineOnFrame, kOnlineOffFrame, false);
    onlineOption->anchorMode = kAnchorAbsolute;
    onlineOption->focusable = true;
    onlineOption->offsetX = skillIcon->offsetX + (skillIcon->width - onlineOption->width) / 2;
    onlineOption->offsetY = skillIcon->offsetY + skillIcon->height - onlineOption->height;
    addItem(onlineOption);

    // The sun row: slider centred, its three pictures on the time row's line.
    sunSlider->offsetX = static_cast<float>((W - sunSlider->width) / 2);
    sunIconLeft->offsetX = sunSlider->offsetX;
    sunIconMid->offsetX = sunSlider->offsetX + (sunSlider->width - sunIconMid->width) / 2;
    sunIconRight->offsetX = sunSlider->offsetX + sunSlider->width - sunIconRight->width;
    for (SpriteButton* icon : {sunIconLeft, sunIconMid, sunIconRight})
        icon->offsetY = static_cast<float>(sliderY);
    sunSlider->offsetY = sunIconLeft->offsetY + sunIconLeft->height - 5 * s;

    mapStrip = new MenuPanel(kLayoutRow);
    mapStrip->anchorMode = kAnchorAbsolute;
    mapStrip->x = 0;
    mapStrip->y = static_cast<int>(167 * s + g);
    mapStrip->width = W;
    mapStrip->height = static_cast<int>(H - 207 * s - g);
    mapStrip->fixedSize = true;
    mapStrip->touchMode = kTouchList;
    mapStrip->kinetic = true;
    mapStrip->spacing = static_cast<int>(50 * s);
    addItem(mapStrip);
    mapStrip->placeItem(new MenuSpacer(static_cast<int>(100 * s), static_cast<int>(50 * s)));
    randomMapButton = new SpriteButtonR(kMapThumbnailSet, 0, 2, kRandomMapString);
    randomMapButton->tag = -1;
    randomMapButton->focusable = true;
    randomMapButton->onRelease = [this] { onMapChosen(-1); };
    // Map names sit in the sky at the top of their pictures, clear of the
    // random map's "?" and the ground, and shrink to fit the width.
    const SpriteButton::LabelBox nameBand{0.04f, 0.03f, 0.96f, 0.25f};
    randomMapButton->labelBox = nameBand;
    randomMapButton->updateLabel();
    mapStrip->placeItem(randomMapButton);
    focusedItem = randomMapButton;
    for (std::size_t i = 0; i < maps.size(); ++i) {
        auto* button = new SpriteButtonR(maps[i].spriteSet, maps[i].frame, 2, maps[i].titleString);
        const int tagValue = static_cast<int>(i);
        button->tag = tagValue;
        button->focusable = true;
        button->onRelease = [this, tagValue] { onMapChosen(tagValue); };
        button->labelBox = nameBand;
        button->updateLabel();
        mapStrip->placeItem(button);
    }
    mapStrip->placeItem(new MenuSpacer(static_cast<int>(100 * s), static_cast<int>(50 * s)));
    mapStrip->layout(absX, absY);
    // The strip runs past the screen on small ones: arrows at its ends say so
    // and page it as the keys do.
    const int endW = static_cast<int>(70 * s);
    for (SpriteButton** end : {&stripLeft, &stripRight}) {
        auto* zone = new StripEnd(mapStrip);
        zone->anchorMode = kAnchorAbsolute;
        zone->focusable = false;
        zone->width = endW;
        zone->height = randomMapButton->height;
        zone->x = end == &stripLeft ? 0 : W - endW;
        zone->y = randomMapButton->absY;
        addItem(zone);
        giveInputPriority(zone);
        *end = zone;
    }
    stripLeft->onClick = [this] { scrollLeft(); };
    stripRight->onClick = [this] { scrollRight(); };
    pageScroll = 0;
    layoutForPlay();
}

void GameSetupMenuFrame::showStripEnds()
{
    const float leftEnd = static_cast<float>(std::min(0, mapStrip->width - mapStrip->contentWidth));
    setShown(stripLeft, mapStrip->visible && mapStrip->scrollX < -1.0f);
    setShown(stripRight, mapStrip->visible && mapStrip->scrollX > leftEnd + 1.0f);
}

void GameSetupMenuFrame::draw()
{
    FilledMenuFrame::draw();
    CSprite* menus = getSprite(kSpriteSetMenus);
    if (!menus || !menus->isLoaded())
        return;
    int w = 0, h = 0;
    menus->frameBounds(kArrowFrame, w, h);
    const float side = static_cast<float>(std::max(w, h));
    for (const SpriteButton* end : {stripLeft, stripRight}) {
        if (!end || !end->visible)
            continue;
        const float x = static_cast<float>(end->absX + end->width / 2), y = static_cast<float>(end->absY + end->height / 2);
        menus->drawFrame(kArrowFrame, x, y, end == stripLeft ? 3.1415927f : 0.0f);
        // Listed for the text checks: a map's name must stay clear of it.
        textFitLog().addPicture({x - side / 2.0f, y - side / 2.0f, side, side}, "StripArrow");
    }
}

void GameSetupMenuFrame::placeTimeRowForPlay()
{
    const float s = art();
    const int W = screenMetrics().screenWidth;
    const int sliderY = static_cast<int>(timeSlider->offsetY);
    timeIcon->offsetX = 20 * s;
    timeIcon->offsetY = sliderY + 50 * s - timeIcon->height;
    timeSlider->offsetX = timeIcon->offsetX + timeIcon->width;
    skillIcon->offsetX = W - 20 * s - skillIcon->width;
    skillIcon->offsetY = timeIcon->offsetY + timeIcon->height - skillIcon->height;
    skillSlider->offsetX = skillIcon->offsetX - skillSlider->width;
    placeTimeLabel();
}

void GameSetupMenuFrame::placeTimeLabel()
{
    // Chinese, Japanese, Korean and Russian digits sit in the middle of the clock.
    const int language = settings().languageIndex;
    const bool centred = language >= 6 && language <= 9;
    const float s = art();
    timeLabel->updateSize();
    const float cx = timeIcon->offsetX + timeIcon->width / 2.0f + (centred ? 0.0f : 2 * s);
    timeLabel->offsetX = cx - timeLabel->width / 2.0f;
    timeLabel->offsetY = timeIcon->offsetY + timeIcon->height / 2.0f + 2 * s - timeLabel->height / 2.0f;
}

void GameSetupMenuFrame::showTimeRow(bool shown)
{
    setShown(timeSlider, shown);
    setShown(timeIcon, shown);
    setShown(timeLabel, shown);
    timeIcon->enabled = false;
}

void GameSetupMenuFrame::showSkillRow(bool shown)
{
    setShown(skillSlider, shown);
    setShown(skillIcon, shown);
    skillIcon->enabled = false;
}

void GameSetupMenuFrame::showSunRow(bool shown)
{
    setShown(sunSlider, shown);
    for (SpriteButton* icon : {sunIconLeft, sunIconMid, sunIconRight}) {
        setShown(icon, shown);
        icon->enabled = false;
    }
}

void GameSetupMenuFrame::layoutForPlay()
{
    showTimeRow(true);
    showSkillRow(true);
    showSunRow(false);
    setShown(onlineOption, false);
    placeTimeRowForPlay();
    rebuildFocusLinks();
}

void GameSetupMenuFrame::showModeChoice(bool online)
{
    onlineHost = online;
    showTimeRow(true);
    showSkillRow(false);
    showSunRow(false);
    setShown(onlineOption, false);
    const int W = screenMetrics().screenWidth;
    timeSlider->offsetX = static_cast<float>((W - timeSlider->width) / 2);
    timeIcon->offsetX = timeSlider->offsetX - 60 * art() - timeIcon->width;
    placeTimeLabel();
    rebuildFocusLinks();
}

void GameSetupMenuFrame::showHostRows()
{
    showTimeRow(false);
    showSkillRow(false);
    showSunRow(true);
    rebuildFocusLinks();
}

void GameSetupMenuFrame::showOptionRows(bool withSkill)
{
    showTimeRow(false);
    showSkillRow(withSkill);
    showSunRow(false);
    if (!withSkill) {
        setShown(onlineOption, onlineHost);
        if (onlineHost)
            onlineOption->checked = false;
    } else {
        const int W = screenMetrics().screenWidth;
        skillIcon->offsetX = W / 2.0f + skillSlider->width / 2.0f - skillIcon->width;
        skillSlider->offsetX = skillIcon->offsetX - skillSlider->width;
    }
    rebuildFocusLinks();
}

void GameSetupMenuFrame::setSkillIcon(float position)
{
    skillIcon->frame = kSkillIconFrame - std::min(static_cast<int>(position * 3.0f), 2);
    skillIcon->updateLabel();
}

void GameSetupMenuFrame::onTimeSlider(float p)
{
    const int minutes = std::clamp(static_cast<int>(p * 15.0f + 5.0f), kMinMinutes, kMaxMinutes);
    settings().skirmishOption = minutes;
    timeLabel->setText(utf8ToWide(std::to_string(minutes)));
    placeTimeLabel();
}

void GameSetupMenuFrame::onSkillSlider(float p)
{
    settings().aiSkill = std::clamp(p * 0.8f + 0.2f, 0.2f, 1.0f);
    setSkillIcon(skillSlider->value);
}

void GameSetupMenuFrame::onSunSlider(float p)
{
    settings().sunValue = std::clamp(p * 0.92f + 0.04f, 0.04f, 0.96f);
}

void GameSetupMenuFrame::startSurvival()
{
    Settings& s = settings();
    s.skirmishType = static_cast<int>(GameType::Survival);
    applySliders();
    s.skirmishMap = -1;
    s.save();
    if (startHandler)
        startHandler();
}

void GameSetupMenuFrame::applySliders()
{
    onTimeSlider(timeSlider->value);
    onSkillSlider(skillSlider->value);
    onSunSlider(sunSlider->value);
}

void GameSetupMenuFrame::onMapChosen(int tag)
{
    settings().skirmishMap = tag;
    logInfo("menus", "map chosen: %d", tag);
    applySliders();
    settings().save();
    if (startHandler)
        startHandler();
}

void GameSetupMenuFrame::onShow()
{
    FilledMenuFrame::onShow();
    setShown(bottomPanel, false);
    Settings& record = settings();
    (void)record.load();
    if (record.skirmishMap < 0)
        record.skirmishMap = -1;
    // A stored limit above the slider's range is shown as it is until moved.
    record.skirmishOption = std::max(record.skirmishOption, kMinMinutes);
    placeSlider(*timeSlider, clamp01((record.skirmishOption - 5) / 15.0f));
    timeLabel->setText(utf8ToWide(std::to_string(record.skirmishOption)));
    placeTimeLabel();
    record.aiSkill = std::max(record.aiSkill, 0.2f);
    placeSlider(*skillSlider, clamp01((record.aiSkill - 0.2f) / 0.8f));
    setSkillIcon(skillSlider->value);
    placeSlider(*sunSlider, clamp01((record.sunValue - 0.04f) / 0.92f));
    mapStrip->layout(absX, absY);
    rebuildFocusLinks();
    focusedItem = randomMapButton;
}

void GameSetupMenuFrame::onHide()
{
    applySliders();
    settings().save();
    FilledMenuFrame::onHide();
}

void GameSetupMenuFrame::stepStrip()
{
    if (mapStrip->itemCount() < 2)
        return;
    const float step = (mapStrip->itemAt(0)->width + mapStrip->itemAt(1)->width) / 10.0f;
    const float leftEnd = static_cast<float>(std::min(0, mapStrip->width - mapStrip->contentWidth));
    // Stop at the strip's ends in the direction of travel.
    if (pageScroll > 0 && mapStrip->scrollX > leftEnd)
        mapStrip->scrollX = std::max(mapStrip->scrollX - step, leftEnd);
    else if (pageScroll < 0 && mapStrip->scrollX < 0.0f)
        mapStrip->scrollX = std::min(mapStrip->scrollX + step, 0.0f);
}

void GameSetupMenuFrame::update()
{
    if (pageScroll != 0) {
        stepStrip();
        pageScroll += pageScroll > 0 ? -1 : 1;
    }
    mapStrip->layout(absX, absY);
    FilledMenuFrame::update();
    showStripEnds();
}
