#pragma once
#include "net/transport/LanTransport.h"

// The text that tells the player why a host turned the join away, or
// `otherwise` when it did not say.
inline int joinRefusalString(LanTransport::Refusal reason, int otherwise)
{
    constexpr int kClosedString = 4930, kFullString = 4931;
    switch (reason) {
    case LanTransport::Refusal::Closed:
        return kClosedString;
    case LanTransport::Refusal::Full:
        return kFullString;
    default:
        return otherwise;
    }
}
