// The objective, round and dogfight modes' server data and their flag and base
// records: any bytes are read or refused without a fault, and a short input
// is never taken.
#include "FuzzTarget.h"

#include "modes/kinds/GameModeCTF.h"
#include "modes/kinds/GameModeDF.h"
#include "modes/kinds/GameModeDTB.h"
#include "modes/kinds/GameModeLMS.h"
#include "modes/kinds/GameModeSRV.h"

#include <memory>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    if (size < 1)
        return 0;
    const std::span<const std::uint8_t> in(data + 1, size - 1);
    std::unique_ptr<GameModeCustom> mode;
    int need = 0;
    switch (data[0] % 5) {
    case 0: mode = std::make_unique<GameModeCTF>(); need = GameModeCTF::kServerDataSize; break;
    case 1: mode = std::make_unique<GameModeDTB>(); need = GameModeDTB::kServerDataSize; break;
    case 2: mode = std::make_unique<GameModeLMS>(); need = GameModeLMS::kServerDataSize; break;
    case 3: mode = std::make_unique<GameModeSRV>(); need = GameModeSRV::kServerDataSize; break;
    // The dogfight reads only the shared match time.
    default: mode = std::make_unique<GameModeDF>(); need = 4; break;
    }
    const int read = mode->readServerData(in);
    FUZZ_CHECK(read == (static_cast<int>(in.size()) >= need ? need : 0));
    // Records naming a flag or base this side does not have are ignored.
    if (data[0] % 5 < 2 && in.size() > 5 && (in[5] == 6 || in[5] == 19))
        FUZZ_CHECK(mode->addNetworkPlayer(in, false) == nullptr);
    return 0;
}
