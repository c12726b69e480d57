#include "ui/MenuHooks.h"

#include "platform/Clock.h"
#include "sound/SoundSource.h"
#include "sound/SoundTable.h"

#include <utility>

namespace {
struct Hooks {
    MenuAlertHooks alert;
    std::function<MenuFrame*()> overlayFrame;
    std::function<void(int planeId)> weaponChoice;
    std::function<float()> clock;
};

Hooks& hooks()
{
    static Hooks all;
    return all;
}
}  // namespace

void playMenuSound(MenuSound sound)
{
    const GlobalSources& sources = globalSources();
    if (SoundSourceBuffered* source = sound == MenuSound::Click ? sources.click : sources.clickBack)
        source->play();
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

void setWeaponChoiceHook(std::function<void(int planeId)> hook)
{
    hooks().weaponChoice = std::move(hook);
}

const std::function<void(int planeId)>& weaponChoiceHook()
{
    return hooks().weaponChoice;
}

void setMenuClock(std::function<float()> clock)
{
    hooks().clock = std::move(clock);
}

float menuClockNow()
{
    return hooks().clock ? hooks().clock() : Clock::now();
}
