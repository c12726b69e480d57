#include "menus/frontend/CreditsMenuFrame.h"

#include "platform/Clock.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "platform/Text.h"
#include "render/2d/CFont.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>

std::u16string CreditsMenuFrame::lineText(int i, bool* heading)
{
    std::u16string text = i == kVersionLine ? utf8ToWide(kVersion) : getStringByIndex(kFirstLine + i);
    const bool marked = !text.empty() && text[0] == u'#';
    if (marked)
        text.erase(0, 1);
    if (heading)
        *heading = marked;
    return text;
}

CreditsMenuFrame::CreditsMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    const float k = m.spriteScale;
    if (titleLabel) {
        titleLabel->stringId = kTitleString;
        titleLabel->updateSize();
    }
    if (bottomPanel) {
        bottomPanel->visible = false;
        bottomPanel->enabled = false;
    }
    if (ResizableButton* back = backButton()) {
        back->labelStringId = kBackString;
        back->updateLabel();
        focusedItem = back;
        giveInputPriority(back);
        bringToFront(back);
    }
    bandX = 0;
    bandY = static_cast<int>(82 * k);
    bandWidth = m.screenWidth;
    bandHeight = static_cast<int>(m.screenHeight - 101 * k);
    const CFont* font = getFont(1);
    linePitch = std::max(1, static_cast<int>(1.2f * (font ? font->lineHeight() : 20.0f)));
    scrollY = static_cast<float>(bandHeight);
    dragDelta = 0;
    autoScroll = true;
    layout(absX, absY);
}

void CreditsMenuFrame::update()
{
    if (autoScroll)
        scrollY -= kSpeed * frameDelta();
    scrollY += static_cast<float>(dragDelta);
    dragDelta = 0;
    const float end = -135.0f * linePitch;
    if (scrollY > bandHeight + linePitch)
        scrollY = end;
    if (scrollY < end)
        scrollY = static_cast<float>(bandHeight);
    FilledMenuFrame::update();
}

void CreditsMenuFrame::draw()
{
    FilledMenuFrame::draw();
    CFont* font = getFont(1);
    if (!font)
        return;
    setClipRect(static_cast<float>(absX + bandX), static_cast<float>(absY + bandY), static_cast<float>(bandWidth),
                static_cast<float>(bandHeight));
    const float cx = absX + bandX + bandWidth / 2.0f;
    for (int i = 0; i < kLineCount; ++i) {
        const float y = scrollY + static_cast<float>(i * linePitch);
        if (!(y > 0.0f && y < static_cast<float>(bandHeight + linePitch)))
            continue;
        bool heading = false;
        const std::u16string text = lineText(i, &heading);
        const Color4 colour = heading ? Color4{255, 255, 255, 255} : Color4{192, 192, 192, 220};
        font->setColor(colour);
        drawText(font, text, cx, absY + bandY + y, 1 | 4);
    }
    font->setColor(kDefaultTextColor);
    resetClipRect();
}

bool CreditsMenuFrame::onTouchDown(int x, int y)
{
    MenuContainer::onTouchDown(x, y);
    lastTouchY = y;
    autoScroll = false;
    dragDelta = 0;
    return true;
}

bool CreditsMenuFrame::onTouchMove(int, int y)
{
    // Every move of a frame counts, not only the last.
    dragDelta += y - lastTouchY;
    lastTouchY = y;
    return true;
}

bool CreditsMenuFrame::onTouchUp(int x, int y)
{
    MenuContainer::onTouchUp(x, y);
    autoScroll = true;
    return true;
}

void CreditsMenuFrame::onShow()
{
    scrollY = static_cast<float>(bandHeight - linePitch);
    FilledMenuFrame::onShow();
    if (bottomPanel) {
        bottomPanel->visible = false;
        bottomPanel->enabled = false;
    }
}

void CreditsMenuFrame::onHide()
{
    scrollY = static_cast<float>(bandHeight - linePitch);
    FilledMenuFrame::onHide();
}
