#include "menus/settings/WeaponStateItem.h"

#include "platform/Clock.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {
std::u16string statLabel(int stringId)
{
    return std::u16string(getStringByIndex(stringId)) + u": ";
}
}  // namespace

WeaponStateItem::WeaponStateItem(int labelString, float rowFill) : stringId(labelString), fill(rowFill)
{
    const ScreenMetrics& m = screenMetrics();
    labelWidth = static_cast<int>(measureText(getFont(kFont), statLabel(stringId)).width);
    int w = 0;
    getSprite(kSpriteSetMenus)->frameBounds(barFrame, w, barHeight);
    // Two columns share a card: the bar takes what a column leaves.
    barWidth = std::min(w, static_cast<int>(150.0f * m.screenScaleX));
    width = labelWidth + barWidth;
    height = std::max(barHeight, static_cast<int>(measureText(getFont(kFont), u"Ag").height));
}

void WeaponStateItem::update()
{
    const float step = std::min(1.0f, kGlideRate * frameDelta());
    shown += (fill - shown) * step;
    shownSecond += (second - shownSecond) * step;
    if (std::fabs(fill - shown) < 0.0001f)
        shown = fill;
}

void WeaponStateItem::draw()
{
    if (fill == 0.0f)
        return;
    CSprite* menus = getSprite(kSpriteSetMenus);
    const float x = static_cast<float>(absX), y = static_cast<float>(absY);
    drawText(getFont(kFont), statLabel(stringId), x, y + static_cast<float>(height) / 2.0f, 2 | 4);
    const float barY = y + static_cast<float>(height - barHeight) / 2.0f;
    int frameW = 0, frameH = 0;
    menus->frameBounds(barFrame, frameW, frameH);
    const float sx = frameW > 0 ? static_cast<float>(barWidth) / static_cast<float>(frameW) : 1.0f;
    menus->setScale(sx, 1.0f);
    menus->drawFrame(barFrame, x, barY);
    pushCropRect(x, barY, fill * static_cast<float>(barWidth), static_cast<float>(barHeight));
    menus->drawFrame(fillFrame, x, barY);
    popCropRect();
    menus->setScale(1.0f, 1.0f);
}
