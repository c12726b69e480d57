#include "modes/PlayerRecord.h"

bool isMapEntityKind(int kind)
{
    return (kind >= 1 && kind <= 5) || (kind >= 8 && kind <= 11) || kind == 17 || kind == 21;
}
