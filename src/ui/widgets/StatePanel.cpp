#include "ui/widgets/StatePanel.h"

#include "platform/Clock.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kSnapEpsilon = 0.0001f;
int g_iconGap = 24;

float statTarget(float stat)
{
    return std::clamp(stat * 0.9f + 0.1f, 0.0f, 1.0f);
}

float glide(float shown, float target, float dt)
{
    shown += dt * StateItem::kGlideRate * (target - shown);
    return std::fabs(target - shown) < kSnapEpsilon ? target : shown;
}
}  // namespace

int stateIconGap()
{
    return g_iconGap;
}

StateItem::StateItem(int icon, MenuContainer* parentItem) : iconFrame(icon)
{
    measure();
    if (parentItem)
        parentItem->placeItem(this);
}

void StateItem::measure()
{
    CSprite* menus = getSprite(kSpriteSetMenus);
    menus->frameBounds(iconFrame, iconWidth, iconHeight);
    menus->frameBounds(barFrame, barWidth, barHeight);
    g_iconGap = static_cast<int>(0.4f * static_cast<float>(iconWidth));
    width = static_cast<int>(static_cast<float>(iconWidth) + static_cast<float>(g_iconGap) * screenMetrics().uiScale +
                             static_cast<float>(barWidth));
    height = iconHeight;
}

void StateItem::setTargets(float baseStat, float variantStat, bool snap)
{
    targetBase = statTarget(baseStat);
    targetVariant = statTarget(variantStat);
    if (snap) {
        shownBase = targetBase;
        shownVariant = targetVariant;
    }
    measure();
}

void StateItem::update()
{
    const float dt = frameDelta();
    shownBase = glide(shownBase, targetBase, dt);
    shownVariant = glide(shownVariant, targetVariant, dt);
}

void StateItem::drawFill(float barX, float value, Color4 tint) const
{
    CSprite* menus = getSprite(kSpriteSetMenus);
    flushSpriteBatch();
    pushClipRect();
    setClipRect(barX, static_cast<float>(absY), static_cast<float>(barWidth) * value, static_cast<float>(height));
    const Color4 before = menus->color();
    menus->setColor(tint);
    menus->drawFrame(fillFrame, barX, static_cast<float>(absY + (iconHeight - barHeight) / 2));
    menus->setColor(before);
    flushSpriteBatch();
    popClipRect();
}

void StateItem::draw()
{
    CSprite* menus = getSprite(kSpriteSetMenus);
    const float barX = static_cast<float>(absX + iconWidth) + static_cast<float>(g_iconGap) * screenMetrics().uiScale;
    const float barY = static_cast<float>(absY + (iconHeight - barHeight) / 2);
    menus->drawFrame(iconFrame, static_cast<float>(absX), static_cast<float>(absY));
    menus->drawFrame(barFrame, barX, barY);
    const Color4 white{255, 255, 255, 255};
    if (targetBase == targetVariant) {
        drawFill(barX, shownBase, white);
    } else if (targetBase < targetVariant) {
        drawFill(barX, shownVariant, Color4{0, 128, 0, 255});
        drawFill(barX, shownBase, white);
    } else {
        drawFill(barX, shownBase, Color4{128, 128, 128, 255});
        drawFill(barX, shownVariant, white);
    }
}

StateIcon::StateIcon()
{
    alignment = kAlignCentreX | kAlignCentreY;
    setFrame(frame);
}

void StateIcon::setFrame(int frameNumber)
{
    frame = frameNumber;
    color = frame == 215 ? Color4{224, 104, 92, 255} : frame == 216 ? Color4{76, 164, 253, 255}
                                                                    : Color4{255, 255, 255, 255};
    getSprite(kSpriteSetMenus)->frameBounds(frame, width, height);
}

void StateIcon::draw()
{
    CSprite* menus = getSprite(kSpriteSetMenus);
    const Color4 before = menus->color();
    menus->setColor(color);
    menus->drawFrame(frame, static_cast<float>(absX), static_cast<float>(absY));
    menus->setColor(before);
}

StatePanel::StatePanel() : MenuPanel(getSprite(kSpriteSetMenus), 95, kLayoutList)
{
    const float a = screenMetrics().uiScale;
    ninePatch = true;
    touchMode = kTouchInside;
    childAlignment = kChildLeft;
    spacing = static_cast<int>(8.0f * a);
    paddingX = static_cast<int>(16.0f * a);
}

bool StatePanel::onTouchUp(int, int)
{
    if (onTap)
        onTap();
    return true;
}
