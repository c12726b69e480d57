// The objective, round and dogfight modes' server data and their flag and base
// records, through the match layer's decoders into the modes: any bytes are
// read or refused without a fault, a short input is never taken, what is
// taken encodes back to the same bytes, and records naming a flag or base
// this side does not have are ignored.
#include "FuzzTarget.h"

#include "modes/kinds/GameModeCTF.h"
#include "modes/kinds/GameModeDF.h"
#include "modes/kinds/GameModeDTB.h"
#include "modes/kinds/GameModeLMS.h"
#include "modes/kinds/GameModeSRV.h"
#include "net/match/PlayerRecordCodec.h"
#include "net/match/ServerDataCodec.h"

#include <array>
#include <memory>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    if (size < 1)
        return 0;
    const std::span<const std::uint8_t> in(data + 1, size - 1);
    std::unique_ptr<GameModeCustom> mode;
    switch (data[0] % 5) {
    case 0: mode = std::make_unique<GameModeCTF>(); break;
    case 1: mode = std::make_unique<GameModeDTB>(); break;
    case 2: mode = std::make_unique<GameModeLMS>(); break;
    case 3: mode = std::make_unique<GameModeSRV>(); break;
    // The dogfight reads only the shared match time.
    default: mode = std::make_unique<GameModeDF>(); break;
    }
    const ServerData::Layout layout = mode->serverDataLayout();
    const int need = serverDataSize(layout);
    ServerData decoded;
    const int read = decodeServerData(in, layout, decoded);
    FUZZ_CHECK(read == (static_cast<int>(in.size()) >= need ? need : 0));
    if (read > 0) {
        mode->applyServerData(decoded);
        // Numbers come back as they were read (what was not a number reads as a number).
        std::array<std::uint8_t, 16> again{};
        ServerData back;
        FUZZ_CHECK(encodeServerData(decoded, again) == need);
        FUZZ_CHECK(decodeServerData(std::span(again).first(static_cast<std::size_t>(need)), layout, back) == need);
        FUZZ_CHECK(back.carriers == decoded.carriers && back.flagsHome == decoded.flagsHome &&
                   back.playStopped == decoded.playStopped && back.wave == decoded.wave);
    }
    // Records naming a flag or base this side does not have are ignored.
    PlayerRecordLimits limits;
    PlayerRecord record;
    if (data[0] % 5 < 2 && (in.size() > 5 && (in[5] == 6 || in[5] == 19)) && decodePlayerRecord(in, limits, record))
        FUZZ_CHECK(mode->addNetworkPlayer(record, false) == nullptr);
    return 0;
}
