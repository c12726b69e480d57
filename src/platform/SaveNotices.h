#pragma once

// What the player must be told about the save folder: the settings file or
// the bindings file was damaged and its values were reset, or a save could
// not be written. Raised
// where it happens, shown by the menus at their next chance; each is shown
// at most once a run, however often it is raised.
enum class SaveNotice { SettingsReset = 0, SaveFailed = 1, ControlsReset = 2 };
inline constexpr int kSaveNoticeCount = 3;

void raiseSaveNotice(SaveNotice notice);
// True once after the notice was raised; false before and ever after in the run.
bool takeSaveNotice(SaveNotice notice);
// Back to nothing raised and nothing shown (tests).
void clearSaveNotices();
