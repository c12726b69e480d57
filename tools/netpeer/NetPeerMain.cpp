// netpeer: a headless host or client of a network match on loopback.
//   netpeer --host [--port N] [--type T] [--map M] [--players N] [--score-limit K] [--minutes M]
//           [--weapons R] [--expect N] [--seconds S] [--name NAME] [--rank N] [--at T:ACTION[:TEXT]]... [--until TEXT]
//           [--where S]
//   netpeer --join ADDR:PORT [same options]
// --weapons is the room's weapon filter (1 missiles only, 2 guns only).
// ACTION is chat, destroy, sink (host: every ship, gun and unit of the map
// goes down), eject, quit, end or await (host, TEXT a count:
// later actions wait until that many joiners came and all here have flown,
// one who comes back counting again), flag:NAME and drop:NAME (host: the
// pilot takes the other team's flag, or loses it where it flies), or
// missile:NAME[:ID] / missile:base[:ID] (a missile from close by at that
// pilot, or at the nearest standing base of the other team; none standing
// skips it); an action that has to wait delays
// the later ones as much; a chat line holding
// TEXT ends the run as a quit does. --where logs every S seconds where each
// airplane in play is (x, z, height). Each death message the match sends or
// hears is logged: the one at the hit ("destroyed") and the one once the
// airplane is down ("death over"). Exit code 0: the peer did what
// it was asked and saw the match through.
#include "NetPeer.h"

int main(int argc, char** argv)
{
    NetPeer::Options options;
    if (!NetPeer::parse(argc, argv, options))
        return 2;
    NetPeer peer(options);
    return peer.run();
}
