#pragma once
#include "platform/Math.h"

class IEntityHost;
class Target;
struct WeaponCfg;

// A blast at centre: every entity in play of another team than `team`
// (kTeamNone spares nobody) whose sphere the blast reaches and whose own hit
// check confirms it takes `damage` once, through the host's damage rule.
// `skip` (the entity struck directly) is not hit twice. Returns how many were hit.
int applyAreaDamage(IEntityHost& host, Target* owner, int team, const Vec3& centre, float radius, float damage,
                    const WeaponCfg* record, const Target* skip);
// The damage of a weapon's blast: its blast damage, or its damage when the
// record gives none.
float blastDamageOf(const WeaponCfg& record);
