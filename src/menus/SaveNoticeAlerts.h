#pragma once

// The notices about the save folder (settings or bindings reset because their
// file was damaged, statistics read only in part, progress that cannot be saved) through the menus' alert: one at
// a time, each once a run. Called every menu frame; waits while no page is
// shown or the alert is open for something else.
void showSaveNotices();

// The texts of the notices.
constexpr int kSettingsResetString = 4790, kSaveFailedString = 4791, kControlsResetString = 4792,
              kStatsDamagedString = 4793;
