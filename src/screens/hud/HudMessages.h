#pragma once
#include "modes/ModeServices.h"

class HudMessageQueue;

// The match's event lines and notices on the HUD message queue.
class HudMessages : public IModeMessages {
public:
    explicit HudMessages(HudMessageQueue& queue) : m_queue(queue) {}

    void pushLong(std::u16string_view text) override;
    // A colour other than 0 pops the notice in; flags other than 0 keep it silent.
    void pushNotice(std::u16string_view text, float duration, int colour, int flags) override;
    bool hasNotice() const override;
    void clearNotices() override;

private:
    HudMessageQueue& m_queue;
};

// The one of the game, over HudMessageQueue::instance().
HudMessages& hudMessages();
