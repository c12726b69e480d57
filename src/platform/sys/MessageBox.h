#pragma once

// Makes assert messages appear in an SDL message box over the game's window
// (the text still goes to stderr while no window is open).
void installMessageBoxPresenter();
