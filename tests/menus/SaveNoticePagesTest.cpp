#include "StagedPageTest.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/SaveNoticeAlerts.h"
#include "platform/Language.h"
#include "platform/SaveNotices.h"
#include "ui/widgets/MenuAlert.h"
#include "ui/widgets/SpriteLabel.h"

namespace {
struct SaveNoticePages : StagedPageTest {
    void SetUp() override
    {
        StagedPageTest::SetUp();
        clearSaveNotices();
        MenuFrameRegistry::deleteAll();
    }
    void TearDown() override
    {
        if (MenuAlert* alert = MenuAlert::existing())
            alert->closed = true;
        clearSaveNotices();
        clearFrameHistory();
        MenuFrameRegistry::deleteAll();
        StagedPageTest::TearDown();
    }
    // The alert wraps its text: compared without the line breaks and spaces.
    static std::u16string letters(std::u16string_view text)
    {
        std::u16string out;
        for (char16_t c : text)
            if (c != u'\n' && c != u' ')
                out.push_back(c);
        return out;
    }
    static bool alertShows(int stringId)
    {
        const MenuAlert* alert = MenuAlert::existing();
        return alert && !alert->closed && alert->textLabel &&
               letters(alert->textLabel->text) == letters(getStringByIndex(stringId));
    }
};
}  // namespace

// The notices raised before the menus are up: nothing is shown until a page
// is, then one notice at a time, the next when the last is closed, and none
// again in the run.
TEST_F(SaveNoticePages, TheNoticesAreShownOneAtATimeAndOnceARun)
{
    ASSERT_FALSE(getStringByIndex(kSettingsResetString).empty());
    ASSERT_FALSE(getStringByIndex(kSaveFailedString).empty());
    ASSERT_NE(getStringByIndex(kSettingsResetString), getStringByIndex(kSaveFailedString));
    ASSERT_FALSE(getStringByIndex(kControlsResetString).empty());
    ASSERT_FALSE(getStringByIndex(kStatsDamagedString).empty());
    raiseSaveNotice(SaveNotice::SaveFailed);
    raiseSaveNotice(SaveNotice::StatsDamaged);
    raiseSaveNotice(SaveNotice::ControlsReset);
    raiseSaveNotice(SaveNotice::SettingsReset);
    showSaveNotices();
    EXPECT_TRUE(!MenuAlert::existing() || MenuAlert::existing()->closed) << "no page shown yet";

    goToFrame(MenuFrameRegistry::mainMenu());
    showSaveNotices();
    EXPECT_TRUE(alertShows(kSettingsResetString));
    showSaveNotices();
    EXPECT_TRUE(alertShows(kSettingsResetString)) << "the open notice stays";

    MenuAlert::instance().onCloseButton();
    showSaveNotices();
    EXPECT_TRUE(alertShows(kControlsResetString));
    MenuAlert::instance().onCloseButton();
    showSaveNotices();
    EXPECT_TRUE(alertShows(kStatsDamagedString));
    MenuAlert::instance().onCloseButton();
    showSaveNotices();
    EXPECT_TRUE(alertShows(kSaveFailedString));
    MenuAlert::instance().onCloseButton();

    raiseSaveNotice(SaveNotice::SaveFailed);
    raiseSaveNotice(SaveNotice::StatsDamaged);
    raiseSaveNotice(SaveNotice::ControlsReset);
    raiseSaveNotice(SaveNotice::SettingsReset);
    showSaveNotices();
    EXPECT_TRUE(MenuAlert::instance().closed) << "once a run";
}
