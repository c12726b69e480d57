#include "sound/AudioDevice.h"

#include "platform/File.h"
#include "sound/Mp3Decoder.h"

#include <cstring>

namespace {
std::uint32_t le32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

// RIFF WAVE with 8- or 16-bit integer PCM, mono or stereo: what the data tool
// writes. Anything else is refused rather than played as noise.
class WavDecoder final : public PcmDecoder {
public:
    static std::unique_ptr<WavDecoder> open(std::unique_ptr<File> file)
    {
        std::uint8_t header[12];
        if (file->read(header, 12) != 12 || std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0)
            return nullptr;
        int rate = 0, channels = 0, bits = 0;
        bool haveFormat = false;
        std::size_t position = 12;
        const std::size_t size = file->size();
        while (position + 8 <= size) {
            std::uint8_t chunk[8];
            if (!file->seek(position) || file->read(chunk, 8) != 8)
                return nullptr;
            const std::uint32_t length = le32(chunk + 4);
            const std::size_t body = position + 8;
            if (std::memcmp(chunk, "fmt ", 4) == 0) {
                std::uint8_t format[16];
                if (length < 16 || file->read(format, 16) != 16)
                    return nullptr;
                const std::uint16_t tag = le16(format);
                channels = le16(format + 2);
                const std::uint32_t frameRate = le32(format + 4);
                bits = le16(format + 14);
                if (tag != 1 || (channels != 1 && channels != 2) || (bits != 8 && bits != 16) || frameRate == 0
                    || frameRate > 192000)
                    return nullptr;
                rate = static_cast<int>(frameRate);
                haveFormat = true;
            } else if (std::memcmp(chunk, "data", 4) == 0) {
                if (!haveFormat)
                    return nullptr;
                // A data length past the end (a truncated file) plays what is there.
                const std::size_t available = size - body;
                const std::size_t bytes = length < available ? length : available;
                const std::size_t frameBytes = static_cast<std::size_t>(channels) * (bits / 8);
                return std::unique_ptr<WavDecoder>(
                    new WavDecoder(std::move(file), rate, channels, bits, body, bytes / frameBytes));
            }
            // Chunks are padded to an even length.
            position = body + length + (length & 1u);
        }
        return nullptr;
    }

    int rate() const override { return m_rate; }
    int channels() const override { return m_channels; }

    std::size_t read(std::int16_t* out, std::size_t frames) override
    {
        const std::size_t left = m_frames - m_frame;
        if (frames > left)
            frames = left;
        if (frames == 0)
            return 0;
        const std::size_t samples = frames * static_cast<std::size_t>(m_channels);
        std::size_t got = 0;
        if (m_bits == 16) {
            std::vector<std::uint8_t> raw(samples * 2);
            got = m_file->read(raw.data(), raw.size()) / 2;
            for (std::size_t i = 0; i < got; ++i)
                out[i] = static_cast<std::int16_t>(le16(&raw[i * 2]));
        } else {
            std::vector<std::uint8_t> raw(samples);
            got = m_file->read(raw.data(), raw.size());
            for (std::size_t i = 0; i < got; ++i)
                out[i] = static_cast<std::int16_t>((raw[i] - 128) << 8);
        }
        const std::size_t framesRead = got / static_cast<std::size_t>(m_channels);
        m_frame += framesRead;
        if (framesRead < frames)
            m_frame = m_frames;  // the file ended early: report the end from now on
        return framesRead;
    }

    bool rewind() override
    {
        m_frame = 0;
        return m_file->seek(m_dataStart);
    }

private:
    WavDecoder(std::unique_ptr<File> file, int rate, int channels, int bits, std::size_t dataStart, std::size_t frames)
        : m_file(std::move(file)), m_rate(rate), m_channels(channels), m_bits(bits), m_dataStart(dataStart),
          m_frames(frames)
    {
        m_file->seek(m_dataStart);
    }

    std::unique_ptr<File> m_file;
    int m_rate, m_channels, m_bits;
    std::size_t m_dataStart, m_frames, m_frame = 0;
};
}  // namespace

std::unique_ptr<PcmDecoder> openDecoder(std::unique_ptr<File> file)
{
    if (!file)
        return nullptr;
    std::uint8_t magic[4] = {};
    const bool riff = file->read(magic, 4) == 4 && std::memcmp(magic, "RIFF", 4) == 0;
    if (!file->seek(0))
        return nullptr;
    if (riff)
        return WavDecoder::open(std::move(file));
    return openMp3Decoder(std::move(file));
}

bool decodeWhole(std::unique_ptr<File> file, PcmBuffer& out, std::size_t maxFrames)
{
    std::unique_ptr<PcmDecoder> decoder = openDecoder(std::move(file));
    if (!decoder)
        return false;
    PcmBuffer pcm;
    pcm.rate = decoder->rate();
    pcm.channels = decoder->channels();
    constexpr std::size_t kBlock = 4096;
    std::size_t frames = 0;
    for (;;) {
        const std::size_t room = maxFrames - frames < kBlock ? maxFrames - frames : kBlock;
        if (room == 0)
            break;
        pcm.samples.resize((frames + room) * static_cast<std::size_t>(pcm.channels));
        const std::size_t got = decoder->read(pcm.samples.data() + frames * pcm.channels, room);
        frames += got;
        if (got == 0)
            break;
    }
    pcm.samples.resize(frames * static_cast<std::size_t>(pcm.channels));
    if (frames == 0)
        return false;
    out = std::move(pcm);
    return true;
}
