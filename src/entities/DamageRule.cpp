#include "entities/DamageRule.h"

#include "entities/Target.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/WeaponCfg.h"

#include <algorithm>
#include <cmath>

float armourDivisor(float armour, bool campaign)
{
    if (!std::isfinite(armour))
        armour = 1.0f;
    const float divisor = campaign ? armour - 0.5f : armour + 0.2f;
    return std::max(divisor, kMinArmourDivisor);
}

float damageAfterRules(float damage, const Target& victim, const Target* attacker, const WeaponCfg* weapon,
                       const DamageContext& context)
{
    if (!std::isfinite(damage) || damage <= 0.0f)
        return 0.0f;
    float d = damage;
    if (context.campaign) {
        const float playerFactor = weapon ? weapon->playerDamage : 0.333f;
        if (context.victimIsPlayer)
            d *= playerFactor * context.takenScale;
        if (context.attackerIsPlayer)
            d /= std::max(context.dealtScale, kMinDifficultyScale);
    }
    if (attacker && attacker->kind() == TargetKind::Airplane && attacker->planeRecord) {
        d *= attacker->planeRecord->pDamage;
        if (!context.campaign && attacker->planeRecord->plane_tier == 2 && !victim.matchesClass(TargetClass::Air))
            d *= 1.5f;
    }
    if (victim.kind() == TargetKind::Airplane && victim.planeRecord)
        d /= armourDivisor(victim.planeRecord->pArmour, context.campaign);
    d *= context.attackerItemFactor * context.victimItemFactor;
    if (weapon) {
        if (victim.matchesClass(TargetClass::Naval))
            d *= weapon->dmgNaval;
        if (victim.matchesClass(TargetClass::Land))
            d *= weapon->dmgLand;
        if (victim.matchesClass(TargetClass::Air))
            d *= weapon->dmgAir;
    }
    return std::isfinite(d) ? std::max(d, 0.0f) : 0.0f;
}
