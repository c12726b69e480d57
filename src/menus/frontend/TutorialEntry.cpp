#include "menus/frontend/TutorialEntry.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/TutorialListMenuFrame.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuNavigation.h"
#include "ui/TextFitLog.h"

namespace {
float uiScale()
{
    return screenMetrics().uiScale;
}
}  // namespace

TutorialEntry::TutorialEntry(int index) : SpriteButton(BaseOnly{}, 0), tutorialIndex(index)
{
    sprite = getSprite(kThumbSet);
    frame = index;
    focusable = true;
    interactive = true;
    const CSprite::Rect r = sprite->frameRect(index);
    width = static_cast<int>(r.w);
    height = static_cast<int>(r.h);
    fixedWidth = width;
}

void TutorialEntry::draw()
{
    if (!visible)
        return;
    const float a = uiScale();
    CSprite* thumbs = getSprite(thumbSet);
    const bool focused = menuFocusedItem() == this;
    if (focused) {
        const std::uint8_t level = focusPulseLevel();
        thumbs->setColorBytes(255, level, level, 255);
    } else if (!enabled) {
        thumbs->setColorBytes(120, 120, 120, 255);
    }
    const float x = static_cast<float>(absX) + scrollX, y = static_cast<float>(absY) + scrollY;
    thumbs->drawFrame(tutorialIndex, x, y);
    thumbs->setColorBytes(255, 255, 255, 255);

    CSprite* menus = getSprite(kSpriteSetMenus);
    const float bottom = y + static_cast<float>(height);
    const float plateHalf = menus->frameRect(kNamePlateFrame).h / 2.0f;
    // The name keeps to the picture's dark strip (the tutorial sheet's art).
    const float k = static_cast<float>(height) / kArtHeight;
    const TextFrameScope strip(x + kStripLeft * k, y + kStripTop * k, static_cast<float>(width) - 2.0f * kStripLeft * k,
                               kStripHeight * k, "TutorialEntry name strip");
    drawText(getFont(1), getStringByIndex(kFirstNameString + tutorialIndex), x + static_cast<float>(width) - 20.0f * a,
             bottom - 100.0f * a + plateHalf, CFont::kRight | CFont::kCentreY);
    if (settings().tutorialDoneAt(tutorialIndex)) {
        const float markX = x + 20.0f * a, markY = bottom - 100.0f * a - 5.0f * a;
        menus->drawFrame(kDoneFrame, markX, markY);
        if (textFitLog().enabled()) {
            // The mark is one more thing the name must not run over.
            const CSprite::Rect mark = menus->frameRect(kDoneFrame);
            textFitLog().pushFrame({markX + mark.x, markY + mark.y, mark.w, mark.h}, "TutorialEntry done mark", true);
            textFitLog().popFrame();
        }
    }
}

bool TutorialEntry::onTouchUp(int px, int py)
{
    pressed = false;
    // A release after the row moved under the finger ends a swipe through
    // the list, not a choice.
    if (!enabled || absX != pressX || absY != pressY)
        return false;
    activate();
    if (!contains(px, py, kPickMargin * uiScale()))
        return false;
    playMenuSound(MenuSound::Click);
    return true;
}

void TutorialEntry::activate()
{
    if (!enabled)
        return;
    TutorialListMenuFrame* list = MenuFrameRegistry::tutorialListMenu();
    if (list)
        list->start(tutorialIndex);
}
