#include "modes/tutorials/BindingHint.h"

#include "modes/ITutorialHud.h"
#include "modes/PlayerControls.h"
#include "platform/Language.h"
#include "platform/Text.h"

#include <array>

namespace {
constexpr std::size_t kHintBuffer = 512;

std::u16string bindingOf(int action) { return actionBindingText(action); }
}  // namespace

std::u16string formatBindingText(int textId, int action, int secondAction, int thirdAction)
{
    const std::u16string first = bindingOf(action), second = bindingOf(secondAction), third = bindingOf(thirdAction);
    // Only as many arguments as actions were named: extra codes in the text print nothing.
    std::array<FormatArg, 4> args{FormatArg(first), FormatArg(second), FormatArg(third), FormatArg()};
    const std::size_t count = thirdAction >= 0 ? 3u : secondAction >= 0 ? 2u : 1u;
    std::array<char16_t, kHintBuffer> out{};
    const std::size_t n = formatWide(out.data(), out.size(), getStringByIndex(textId), std::span(args.data(), count));
    return std::u16string(out.data(), n);
}

void pushBindingHint(ITutorialHud& hud, int textId, int action, float duration)
{
    hud.pushNotice(formatBindingText(textId, action), duration);
}
