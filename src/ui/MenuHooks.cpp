#include "ui/MenuHooks.h"

#include "platform/Clock.h"

#include <utility>

namespace {
struct Hooks {
    std::function<void(MenuSound)> sound;
    MenuAlertHooks alert;
    std::function<MenuFrame*()> overlayFrame;
    std::function<void()> popups;
    std::function<float()> clock;
};

Hooks& hooks()
{
    static Hooks all;
    return all;
}
}  // namespace

void setMenuSoundHook(std::function<void(MenuSound)> hook)
{
    hooks().sound = std::move(hook);
}

void playMenuSound(MenuSound sound)
{
    if (hooks().sound)
        hooks().sound(sound);
}

void setMenuAlertHooks(MenuAlertHooks alert)
{
    hooks().alert = std::move(alert);
}

const MenuAlertHooks& menuAlertHooks()
{
    return hooks().alert;
}

void setOverlayInputFrameHook(std::function<MenuFrame*()> hook)
{
    hooks().overlayFrame = std::move(hook);
}

MenuFrame* overlayInputFrame()
{
    return hooks().overlayFrame ? hooks().overlayFrame() : nullptr;
}

void setMenuPopupDrawHook(std::function<void()> hook)
{
    hooks().popups = std::move(hook);
}

void drawMenuPopups()
{
    if (hooks().popups)
        hooks().popups();
}

void setMenuClock(std::function<float()> clock)
{
    hooks().clock = std::move(clock);
}

float menuClockNow()
{
    return hooks().clock ? hooks().clock() : Clock::now();
}
