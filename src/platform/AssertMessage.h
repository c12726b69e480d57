#pragma once
#include <functional>
#include <string>
#include <string_view>

// Shows a loading fault in a message box captioned "### assert FAILED ###" and
// returns when the player dismisses it; loading then goes on. The box itself
// is drawn by a presenter the window layer installs; with none installed, or
// when SKYFRONT_HEADLESS is set (tests, runs without a display), or when the
// presenter cannot show it, the text goes to stderr instead, since a modal
// box would block the run.
void showAssertMessage(std::string_view text);

inline constexpr const char* kAssertCaption = "### assert FAILED ###";

// True when the box was shown and dismissed; false sends the text to stderr.
using AssertPresenter = std::function<bool(const char* caption, const std::string& text)>;
void setAssertPresenter(AssertPresenter presenter);
