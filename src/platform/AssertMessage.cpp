#include "platform/AssertMessage.h"

#include "platform/Window.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
constexpr const char* kCaption = "### assert FAILED ###";

bool headless()
{
    const char* value = std::getenv("SKYFRONT_HEADLESS");
    return value && *value && std::string_view(value) != "0";
}
}  // namespace

void showAssertMessage(std::string_view text)
{
    const std::string message(text);
    const Window* window = Window::current();
    if (!headless() && window &&
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, kCaption, message.c_str(), window->handle()) == 0)
        return;
    std::fprintf(stderr, "%s\n%s", kCaption, message.c_str());
    if (message.empty() || message.back() != '\n')
        std::fputc('\n', stderr);
}
