#include "screens/hud/HudMessages.h"

#include "platform/Log.h"
#include "screens/hud/HudMessageQueue.h"

#include <string>

namespace {
// The line as the player reads it, without its colour codes (a byte below
// 0x20 and a semicolon), in 8 bits for the log.
std::string plainText(std::u16string_view text)
{
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x20) {
            if (i + 1 < text.size() && text[i + 1] == u';')
                ++i;
            continue;
        }
        plain += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return plain;
}
}  // namespace

void HudMessages::pushLong(std::u16string_view text)
{
    logInfo("hud", "event line: %s", plainText(text).c_str());
    m_queue.pushLong(text);
}

void HudMessages::pushNotice(std::u16string_view text, float duration, int colour, int flags)
{
    logInfo("hud", "notice: %s", plainText(text).c_str());
    m_queue.pushNotice(text, duration, colour != 0, flags != 0);
}

bool HudMessages::hasNotice() const { return m_queue.noticeCount() > 0; }

void HudMessages::clearNotices() { m_queue.clearNotices(); }

HudMessages& hudMessages()
{
    static HudMessages messages(HudMessageQueue::instance());
    return messages;
}
