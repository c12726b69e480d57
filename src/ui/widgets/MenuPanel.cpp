#include "ui/widgets/MenuPanel.h"

#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"

MenuPanel::MenuPanel(int layout)
{
    init(layout);
}

MenuPanel::MenuPanel(int layout, int w, int h, MenuContainer* parentItem)
{
    init(layout);
    width = w;
    height = h;
    if (parentItem) {
        parentItem->placeItem(this);
        parent = parentItem;
    }
}

MenuPanel::MenuPanel(CSprite* background, int frame, int layout)
{
    init(layout);
    backgroundFrame = frame;
    if (background)
        setBackground(background, false);
}

void MenuPanel::init(int layout)
{
    layoutMode = layout;
    touchMode = kTouchList;
    spacing = 0;
}

void MenuPanel::scrollToChild(MenuItem* child)
{
    if (!child || touchMode != kTouchList || child->anchorMode == kAnchorAbsolute)
        return;
    if (contentWidth > width || contentHeight > height)
        scrollToItem(child);
}

void MenuPanel::drawBackground(CSprite& sprite)
{
    const float x = static_cast<float>(absX), y = static_cast<float>(absY);
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    if (ninePatch) {
        sprite.drawNinePatch(backgroundFrame, x, y, w, h);
        return;
    }
    const SpriteSheet& sheet = sprite.sheet();
    if (tiled && backgroundFrame >= 0 && backgroundFrame < static_cast<int>(sheet.frames.size()) &&
        sheet.frames[static_cast<std::size_t>(backgroundFrame)].partCount >= 3) {
        const SpriteSheet::Frame& frame = sheet.frames[static_cast<std::size_t>(backgroundFrame)];
        const int edge = sheet.parts[frame.firstPart].module;
        const int fill = sheet.parts[frame.firstPart + 2u].module;
        const float fw = sprite.moduleWidth(fill), fh = sprite.moduleHeight(fill);
        const float ew = sprite.framePartWidth(backgroundFrame, 1), eh = sprite.moduleHeight(edge);
        // Art without size would tile forever.
        if (fw < 1.0f || fh < 1.0f || eh < 1.0f)
            return;
        for (float ty = 0.0f; ty < h; ty += fh)
            for (float tx = 0.0f; tx < w; tx += fw)
                sprite.drawModule(fill, x + tx, y + ty);
        for (float ty = 0.0f; ty < h; ty += eh) {
            sprite.drawModule(edge, x, y + ty);
            sprite.drawModule(edge, x + w - ew, y + ty, CSprite::kMirror);
        }
        return;
    }
    sprite.setScale(backgroundScale, backgroundScale);
    sprite.drawFrame(backgroundFrame, x + w * (1.0f - backgroundScale) / 2.0f, y + h * (1.0f - backgroundScale) / 2.0f);
    sprite.setScale(1.0f, 1.0f);
}

bool MenuPanel::framesText() const
{
    return dim || (m_frameBackground && backgroundFrame != -1);
}

void MenuPanel::draw()
{
    if (dim)
        drawFilledRect(static_cast<float>(absX), static_cast<float>(absY), static_cast<float>(width),
                       static_cast<float>(height), 150, 0, 0, 50);
    if (alpha <= 0.0f)
        return;
    const bool faded = alpha != 1.0f;
    if (faded)
        setGlobalColorFactor(alpha, alpha, alpha, alpha);
    if (m_frameBackground && backgroundFrame != -1)
        drawBackground(*m_frameBackground);
    if (backgroundScale == 1.0f)
        MenuContainer::draw();
    if (faded)
        setGlobalColorFactor(1.0f, 1.0f, 1.0f, 1.0f);
    if (m_frameBackground && overlayFrame != -1)
        m_frameBackground->drawFrame(overlayFrame, static_cast<float>(absX), static_cast<float>(absY));
}

MenuSpacer::MenuSpacer(int w, int h, MenuContainer* parentItem)
{
    width = w;
    height = h;
    if (parentItem) {
        parent = parentItem;
        parentItem->placeItem(this);
    }
}
