#include "menus/frontend/CampaignListSelectMenuFrame.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/CampaignMenuFrame.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <array>
#include <cmath>

CampaignListSelectMenuFrame* MenuFrameRegistry::campaignListSelect()
{
    return slot<CampaignListSelectMenuFrame>(Page::CampaignListSelect);
}

CampaignListEntry::CampaignListEntry(int campaignIndex, CSprite* mapSheet)
    : SpriteButton(BaseOnly{}, 0), campaign(campaignIndex)
{
    sprite = mapSheet;
    frame = kFrames[campaignIndex];
    focusable = true;
    interactive = true;
    drawsOwnFocusBox = true;
    // The bold face the art's number is set in.
    font = getFont(kNameFont);
    int w = 0, h = 0;
    if (sprite)
        sprite->frameBounds(frame, w, h);
    width = w;
    height = h;
    updateLabel();
}

void CampaignListEntry::updateLabel()
{
    labelStringId = 0;
    textScale = 1.0f;
    labelLanguage = currentLanguage();
    const std::u16string_view name = getStringByIndex(kNameStringBase + campaign);
    const float boxW = (kNameBox.right - kNameBox.left) * static_cast<float>(width);
    const float boxH = (kNameBox.bottom - kNameBox.top) * static_cast<float>(height);
    std::array<char16_t, kMaxLabel + 1> wrapped{};
    if (font && measureText(font, name).width > boxW)
        font->wrap(name, boxW, wrapped);
    else
        std::copy_n(name.begin(), std::min(name.size(), kMaxLabel), wrapped.begin());
    label.assign(wrapped.data());
    const CFont::TextSize size = measureText(font, label);
    if (size.width > boxW)
        textScale = boxW / size.width;
    if (size.height * textScale > boxH)
        textScale = boxH / size.height;
    labelX = static_cast<int>((kNameBox.left + kNameBox.right) / 2.0f * static_cast<float>(width));
    labelY = static_cast<int>((kNameBox.top + kNameBox.bottom) / 2.0f * static_cast<float>(height));
}

float CampaignListEntry::nameWidth() const
{
    return measureText(font, label).width * textScale;
}

float CampaignListEntry::nameHeight() const
{
    return measureText(font, label).height * textScale;
}

void CampaignListEntry::draw()
{
    if (!visible || !sprite)
        return;
    if (menuFocusedItem() == this) {
        const std::uint8_t pulse = focusPulseLevel();
        sprite->setColorBytes(255, pulse, pulse, 255);
    }
    const CSprite::Rect r = sprite->frameRect(frame);
    sprite->drawFrame(frame, static_cast<float>(absX) - r.x, static_cast<float>(absY) - r.y);
    sprite->setColorBytes(255, 255, 255, 255);
    followLanguage();
    drawTexts(menuFocusedItem() == this);
}

void CampaignListEntry::openCampaign()
{
    CampaignMenuFrame* missions = MenuFrameRegistry::campaignMenu();
    if (!missions)
        return;
    missions->setCampaign(campaign);
    goToFrame(missions);
}

bool CampaignListEntry::onTouchUp(int x, int y)
{
    const bool unmoved = absX == pressX && absY == pressY;
    openCampaign();
    pressed = false;
    if (unmoved && contains(x, y, 10.0f)) {
        fire();
        return true;
    }
    return false;
}

void CampaignListEntry::activate()
{
    openCampaign();
}

CampaignListSelectMenuFrame::CampaignListSelectMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    if (ResizableButton* back = backButton()) {
        back->labelStringId = kBackString;
        back->updateLabel();
    }
    titleLabel->stringId = kTitleString;
    titleLabel->updateSize();
    bottomPanel->visible = false;
    bottomPanel->enabled = false;

    CSprite* sheet = getSprite(kMapSet);
    mapPanel = new MenuPanel(sheet, 0, kLayoutStacked);
    int w = 0, h = 0;
    sheet->frameBounds(0, w, h);
    mapPanel->width = w;
    mapPanel->height = h;
    mapPanel->fixedSize = true;
    mapPanel->anchorMode = kAnchorAbsolute;
    mapPanel->spacing = static_cast<int>(20.0f * m.screenScaleX);
    mapPanel->touchMode = kTouchInside;
    mapPanel->offsetX = static_cast<float>((m.screenWidth - w) / 2);
    mapPanel->offsetY = std::trunc(62.0f * s + (m.screenHeight - 62.0f * s - h) / 2.0f);
    addItem(mapPanel);

    for (int c = 0; c < 3; ++c) {
        auto* entry = new CampaignListEntry(c, sheet);
        entry->anchorMode = kAnchorParent;
        entry->alignment = kAlignCentreX | kAlignCentreY;
        // The button's place is its frame's first part on the map.
        const SpriteSheet& data = sheet->sheet();
        const int frame = CampaignListEntry::kFrames[c];
        if (frame < static_cast<int>(data.frames.size()) && data.frames[frame].partCount > 0 &&
            data.frames[frame].firstPart < data.parts.size()) {
            const SpriteSheet::Part& part = data.parts[data.frames[frame].firstPart];
            entry->offsetX = part.x * sheet->baseScale();
            entry->offsetY = part.y * sheet->baseScale();
        }
        mapPanel->addItem(entry);
        entries[c] = entry;
    }
    mapPanel->layout(0, 0);
    layout(0, 0);
    layout(0, 0);
}

void CampaignListSelectMenuFrame::onShow()
{
    titleLabel->updateSize();
    SceneMenuFrame::onShow();
    bottomPanel->visible = false;
    bottomPanel->enabled = false;
    // The picture was given back on hide; the entries and the panel share the set.
    CSprite* sheet = getSprite(kMapSet);
    mapPanel->setBackground(sheet, false);
    for (CampaignListEntry* entry : entries)
        entry->sprite = sheet;
    rebuildFocusLinks();
}

void CampaignListSelectMenuFrame::onHide()
{
    unloadSprite(kMapSet);
    SceneMenuFrame::onHide();
}
