// The objective side panel of the HUD.
#include "platform/ScreenMetrics.h"
#include "screens/hud/HudInsignia.h"
#include "screens/hud/HudMessageQueue.h"
#include "screens/hud/PlaneHud.h"

namespace {

constexpr int kRowModule = 199;
constexpr int kDigitZero = 161;
constexpr int kObjectiveTriggerKind = 6;
constexpr int kNoTeam = 255;
// A row whose trigger has no target left in play.
constexpr Color4 kNoObjectColor{190, 190, 190, 255};

}  // namespace

void PlaneHud::drawTriggerRow(CSprite& sheet, float x, float y, float width, int icon, Color4 color, int count)
{
    const float ui = screenMetrics().uiScale;
    const float height = sheet.moduleHeight(kRowModule);
    sheet.setColor(Color4{});
    sheet.drawModule(kRowModule, x, y);
    if (icon >= 0) {
        const float iconY = y + (height - sheet.moduleHeight(icon)) / 2.0f;
        sheet.setColor(Color4{0, 0, 0, 255});
        sheet.drawModule(icon, x + 6.0f * ui + 1.0f, iconY + 1.0f);
        sheet.setColor(color);
        sheet.drawModule(icon, x + 6.0f * ui, iconY);
    }
    // The count from the row's right end leftwards, one digit module each.
    sheet.setColor(Color4{});
    float right = x + width - 6.0f * ui;
    do {
        const int digit = kDigitZero + count % 10;
        right -= sheet.moduleWidth(digit);
        sheet.drawModule(digit, right, y + (height - sheet.moduleHeight(digit)) / 2.0f);
        count /= 10;
    } while (count > 0);
}

void PlaneHud::drawPlayerList(int playerTeam, int gameType)
{
    CSprite& hudSheet = *sheet();
    const CSprite::Rect first = elementRect(&hudSheet, kRowModule);
    float y = first.y;
    for (IHudTrigger* trigger : HudMessageQueue::instance().triggers()) {
        if (!trigger || trigger->kind() != kObjectiveTriggerKind || trigger->total() == 0)
            continue;
        const int remaining = trigger->total() - trigger->done();
        if (remaining == 0)
            continue;
        int kind = 0, variant = -1, team = kNoTeam;
        Color4 color = kNoObjectColor;
        if (trigger->firstTargetInPlay(kind, variant, team))
            color = team == playerTeam ? HudInsignia::kOwnTeamColor
                    : team == kNoTeam  ? HudInsignia::kNoTeamColor
                                       : HudInsignia::kOtherTeamColor;
        // A negative count (more done than asked) shows as 0.
        drawTriggerRow(hudSheet, first.x, y, first.w, hudTriggerKindIcon(kind, variant, gameType), color,
                       remaining > 0 ? remaining : 0);
        y += first.h;
    }
    hudSheet.setColor(Color4{});
}
