#pragma once
#include "gamedata/records/PlaneCfg.h"

// A propeller fighter with the numbers of the game's first plane, so the
// tests do not depend on the staged data.
inline PlaneCfg testFighter()
{
    PlaneCfg p;
    p.name = "testfighter";
    p.pArmour = 1.2f;
    p.pStallSpeed = 48.0f;
    p.pFlares = 2;
    p.pMinSpeed = 107.0f;
    p.pSpeedSpan = 108.0f;
    p.pCruiseSpeed = 150.0f;
    p.pAccel = 0.55f;
    p.pPitchRate = 1.75f;
    p.pRollRate = 3.2f;
    p.pYawRate = 0.6f;
    return p;
}

// A fast jet.
inline PlaneCfg testJet()
{
    PlaneCfg p = testFighter();
    p.name = "testjet";
    p.pEngine = 1;
    p.pStallSpeed = 65.0f;
    p.pMinSpeed = 190.0f;
    p.pSpeedSpan = 190.0f;
    p.pCruiseSpeed = 260.0f;
    p.pPitchRate = 1.7f;
    p.pRollRate = 3.8f;
    p.pYawRate = 0.5f;
    return p;
}
