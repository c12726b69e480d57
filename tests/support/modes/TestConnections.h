#pragma once
#include "modes/MatchConnections.h"

// What a test gives a match: the do-nothing objects, except for the
// connections it names (null members keep the do-nothing object).
inline MatchConnections testConnections(const ModeHooks& hooks, const ModeServices& services = {},
                                        IGameListener* network = nullptr)
{
    MatchConnections c = MatchConnections::none();
    const auto pick = [](auto*& slot, auto* given) {
        if (given)
            slot = given;
    };
    pick(c.hooks.hud, hooks.hud);
    pick(c.hooks.camera, hooks.camera);
    pick(c.hooks.progress, hooks.progress);
    pick(c.hooks.scores, hooks.scores);
    pick(c.hooks.tutorial, hooks.tutorial);
    pick(c.services.scene, services.scene);
    pick(c.services.messages, services.messages);
    pick(c.services.overlays, services.overlays);
    pick(c.services.endPages, services.endPages);
    pick(c.network, network);
    return c;
}
