#pragma once

// Squadron orders as the player gives them: 0 and 1 set the order, 3 and 4
// both set order 2, and 2 steps through 0 -> 1 -> 2 -> 0. Any other command
// keeps the current order.
constexpr int squadronOrderAfter(int current, int command)
{
    switch (command) {
    case 0:
        return 0;
    case 1:
        return 1;
    case 2:
        return current == 0 ? 1 : current == 1 ? 2 : 0;
    case 3:
    case 4:
        return 2;
    default:
        return current;
    }
}
