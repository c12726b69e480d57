#include "net/match/NetworkGame.h"

#include "entities/Target.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "net/match/LanMatchTransport.h"
#include "net/match/NetworkPlayer.h"
#include "platform/Language.h"
#include "platform/Text.h"

#include <algorithm>

NetworkGlobals& netGlobals()
{
    static NetworkGlobals globals;
    return globals;
}

void NetworkGame::stop()
{
    NetworkGlobals& g = netGlobals();
    if (g.transport) {
        // The transport joins its thread before the socket closes and the object goes.
        g.transport->stop();
        g.transport.reset();
    }
    {
        std::lock_guard lock(g.eventLock);
        g.events.clear();
    }
    g.sendAccumulator = 0.0f;
    NetworkPlayer::deleteAll();
    g.localPlayer = nullptr;
}

void NetworkGame::openToPlayers()
{
    if (MatchTransport* t = transport())
        t->setAccepting(true);
}

std::u16string& NetworkGame::chatLine()
{
    static std::u16string line;
    return line;
}

GameMode* NetworkGame::mode()
{
    const NetworkGlobals& g = netGlobals();
    return g.mode ? g.mode() : modeOf(currentMatch());
}

float NetworkGame::step(float& mark)
{
    const float now = gameClock();
    float dt = now - mark;
    mark = now;
    // A new mode restarts the clock; a long stall counts as one frame's worth.
    if (dt < 0.0f || dt > 0.25f)
        dt = dt < 0.0f ? 0.0f : 0.25f;
    return dt;
}

std::unique_ptr<MatchTransport> NetworkGame::makeTransport(const std::uint8_t* identity, std::size_t length,
                                                           MatchTransport::Callbacks callbacks)
{
    NetworkGlobals& g = netGlobals();
    if (g.makeTransport)
        return g.makeTransport(identity, length, std::move(callbacks));
    return std::make_unique<LanMatchTransport>(g.lanConfig, identity, length, std::move(callbacks));
}

namespace {
std::u16string colourPrefix(int code, std::u16string_view name)
{
    std::u16string line;
    line += static_cast<char16_t>(code);
    line += u';';
    line += truncateWide(std::u16string(name).c_str(), 10);
    line += u'\x01';
    line += u';';
    return line;
}
}  // namespace

void NetworkGame::addChatLine(const Target* sender, std::u16string_view text)
{
    GameMode* m = mode();
    if (!m || !sender || m->hooks().hudOrNone().isMuted(*sender))
        return;
    int code = kColourOwn;
    if (sender->networkRole != NetworkRole::Local)
        code = m->playerColorCode(sender->team()) == 0 ? kColourTeam : kColourOther;
    chatLine() = colourPrefix(code, sender->pilotName) + u": " + std::u16string(text);
    pushChatLine();
}

void NetworkGame::pushChatLine()
{
    if (GameMode* m = mode())
        m->hooks().hudOrNone().pushLong(-1, chatLine());
}

void NetworkGame::formatJoinLeaveLine(const Target& airplane, int textId)
{
    GameMode* m = mode();
    const int code = m && m->playerColorCode(airplane.team()) == 1 ? kColourOther : kColourTeam;
    chatLine() = colourPrefix(code, airplane.pilotName) + u" " + getStringByIndex(textId);
}
