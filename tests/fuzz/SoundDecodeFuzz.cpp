// Sound files from the data folder, the pak or a save folder: WAV headers and
// MP3 frames decoded whole and streamed with a rewind, as the sound system does.
#include "platform/File.h"
#include "sound/AudioDevice.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> bytes(data, data + size);
    PcmBuffer pcm;
    (void)decodeWhole(std::make_unique<FileBuffer>(bytes), pcm, 48000u * 20u);

    if (std::unique_ptr<PcmDecoder> stream = openDecoder(std::make_unique<FileBuffer>(bytes))) {
        std::vector<std::int16_t> block(1024u * static_cast<std::size_t>(stream->channels()));
        for (int pass = 0; pass < 2; ++pass) {
            for (int i = 0; i < 64 && stream->read(block.data(), 1024) > 0; ++i) {
            }
            if (!stream->rewind())
                break;
        }
    }
    return 0;
}
