#pragma once

class Squadron;
class Target;

// How a target leaves the world. The host (the game mode, the test host)
// removes a target in two steps:
//  1. during the frame it calls Target::markForRemoval() and takes the target
//     out of its lists of targets in play; the object stays valid, so code
//     further up the stack (a damage call, a missile's end, a weapon update)
//     may still read it;
//  2. after the frame's update it calls forgetTarget() and deletes the target.
// Deleting inside a damage call, a missile's end or a weapon update would
// free an object the caller is still walking.

// Clears every reference to the target held by other targets (attacker,
// remembered target, current target, runway, carrier...), weapons (locks and
// target lists), missiles (target, owner, struck target), bullets and
// timed-points owners. Safe to call more than once; ~Target calls it too.
void forgetTarget(Target& gone);

// Clears every target's link to a squadron that is deleted.
void forgetSquadron(const Squadron& gone);
