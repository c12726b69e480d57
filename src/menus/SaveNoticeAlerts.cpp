#include "menus/SaveNoticeAlerts.h"

#include "platform/Log.h"
#include "platform/SaveNotices.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuAlert.h"

namespace {
void show(int stringId, const char* what)
{
    showMessageById(stringId);
    logInfo("menus", "notice shown: %s", what);
}
}  // namespace

void showSaveNotices()
{
    if (!currentFrame())
        return;
    if (const MenuAlert* alert = MenuAlert::existing(); alert && !alert->closed)
        return;
    if (takeSaveNotice(SaveNotice::SettingsReset))
        show(kSettingsResetString, "settings reset");
    else if (takeSaveNotice(SaveNotice::ControlsReset))
        show(kControlsResetString, "controls reset");
    else if (takeSaveNotice(SaveNotice::StatsDamaged))
        show(kStatsDamagedString, "statistics damaged");
    else if (takeSaveNotice(SaveNotice::SaveFailed))
        show(kSaveFailedString, "save failed");
}
