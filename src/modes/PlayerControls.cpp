#include "modes/PlayerControls.h"

#include "platform/Controls.h"

std::uint64_t enabledActions() { return controls().enabledActions; }

void setEnabledActions(std::uint64_t mask) { controls().enabledActions = mask; }

void enableAllActions() { controls().enabledActions = ~std::uint64_t{0}; }

void resetPlayerControls() { controls().resetPlayerControls(); }

void releasePlayerStick() { controls().releasePlayerStick(); }

std::u16string actionBindingText(int action)
{
    std::u16string text;
    if (action >= 0)
        (void)controls().getActionBindingText(action, text);
    return text;
}
