#include "modes/GameModeGlobals.h"

int& tutorialIndex()
{
    static int index = 0;
    return index;
}

bool& scorePeek()
{
    static bool peek = false;
    return peek;
}

GameChoices& gameChoices()
{
    static GameChoices choices;
    return choices;
}

JoinedMatchSetup& joinedMatchSetup()
{
    static JoinedMatchSetup setup;
    return setup;
}
