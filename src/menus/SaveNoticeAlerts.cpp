#include "menus/SaveNoticeAlerts.h"

#include "platform/SaveNotices.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuAlert.h"

void showSaveNotices()
{
    if (!currentFrame())
        return;
    if (const MenuAlert* alert = MenuAlert::existing(); alert && !alert->closed)
        return;
    if (takeSaveNotice(SaveNotice::SettingsReset))
        showMessageById(kSettingsResetString);
    else if (takeSaveNotice(SaveNotice::SaveFailed))
        showMessageById(kSaveFailedString);
}
