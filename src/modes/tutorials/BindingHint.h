#pragma once
#include <string>

class ITutorialHud;

// The localized text of the id with the binding texts of the actions put in
// for its "%w" codes, into a 512-unit buffer. An action with no binding (or
// -1) gives an empty text; a "%w" without an action prints nothing.
std::u16string formatBindingText(int textId, int action, int secondAction = -1, int thirdAction = -1);

// A tutorial hint naming the key or button bound to the action, pushed as a
// HUD notice for the duration.
void pushBindingHint(ITutorialHud& hud, int textId, int action, float duration);
