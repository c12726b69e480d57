#pragma once

// The network game the mode plays in: the server on the host, the client
// elsewhere, none in single player. The mode calls update(Receive) first and
// update(Send) last each frame. The match's events do not come through here:
// the mode posts them to its outbox, which the network game drains in its
// update (and in sendEvents, disconnect and stopNetworkGame) and sends as
// its messages.
class IGameListener {
public:
    enum class Phase : int { Receive = 0, Send = 1 };

    virtual ~IGameListener() = default;

    virtual void update(Phase phase) = 0;
    // Sends what waits in the outbox now (the mode is about to let go of the network game).
    virtual void sendEvents() {}
    // False for a game without peers: the mode then posts no events at all.
    virtual bool wantsEvents() const { return true; }

    // The network game's state as the mode asks for it. A client's match is
    // lost when matchActive turns false (transport gone or the host ended
    // it) or, during a restart countdown, when peerConnected does.
    virtual bool matchActive() const { return true; }
    virtual bool peerConnected() const { return true; }
    // The host's transport takes new players or turns them away.
    virtual void setAcceptingJoins(bool /*accept*/) {}
    // A client drops its connection to the host.
    virtual void disconnect() {}
    // The match is over for good: leave the room and stop the network game.
    virtual void stopNetworkGame() {}
};
