#include "screens/hud/HudMessages.h"

#include "platform/Log.h"
#include "screens/hud/HudMessageQueue.h"

#include <string>


void HudMessages::pushLong(std::u16string_view text)
{
    m_queue.pushLong(text);
}

void HudMessages::pushNotice(std::u16string_view text, float duration, int colour, int flags)
{
    logInfo("hud", "notice: %s", HudMessageQueue::plainText(text).c_str());
    m_queue.pushNotice(text, duration, colour != 0, flags != 0);
}

bool HudMessages::hasNotice() const { return m_queue.noticeCount() > 0; }

void HudMessages::clearNotices() { m_queue.clearNotices(); }

HudMessages& hudMessages()
{
    static HudMessages messages(HudMessageQueue::instance());
    return messages;
}
