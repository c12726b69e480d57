#pragma once
#include <string_view>

// Shows a loading fault in a message box captioned "### assert FAILED ###" and
// returns when the player dismisses it; loading then goes on. When no window
// exists or SKYFRONT_HEADLESS is set (tests, runs without a display), the text
// goes to stderr instead, since a modal box would block the run.
void showAssertMessage(std::string_view text);
