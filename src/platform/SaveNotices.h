#pragma once

// What the player must be told about the save folder: the settings file or
// the bindings file was damaged and its values were reset, the statistics
// file was damaged and only its readable lines were kept, or a save could
// not be written. Raised
// where it happens, shown by the menus at their next chance; each is shown
// at most once a run, however often it is raised.
enum class SaveNotice { SettingsReset = 0, SaveFailed = 1, ControlsReset = 2, StatsDamaged = 3 };
inline constexpr int kSaveNoticeCount = 4;

void raiseSaveNotice(SaveNotice notice);
// A save file that is there but could not be read (too large, unreadable) is
// set aside as `keptName` (or the next free numbered name after it) before
// anything writes over it; the log says what
// applies instead and the player gets the notice.
void setAsideUnreadSaveFile(const char* name, const char* keptName, const char* instead, SaveNotice notice);
// True once after the notice was raised; false before and ever after in the run.
bool takeSaveNotice(SaveNotice notice);
// Back to nothing raised and nothing shown (tests).
void clearSaveNotices();
