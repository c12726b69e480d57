#include "platform/sys/MessageBox.h"

#include "platform/AssertMessage.h"
#include "platform/sys/Window.h"

#include <SDL.h>

void installMessageBoxPresenter()
{
    setAssertPresenter([](const char* caption, const std::string& text) {
        const Window* window = Window::current();
        return window && window->handle() &&
               SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text.c_str(), window->handle()) == 0;
    });
}
