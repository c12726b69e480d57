#include "sound/Mp3Decoder.h"

#include "platform/File.h"

#include <mpg123.h>

#include <cstdio>
#include <mutex>

namespace {
ssize_t readCallback(void* handle, void* buffer, size_t bytes)
{
    return static_cast<ssize_t>(static_cast<File*>(handle)->read(buffer, bytes));
}

off_t seekCallback(void* handle, off_t offset, int whence)
{
    File& file = *static_cast<File*>(handle);
    off_t target = offset;
    if (whence == SEEK_CUR)
        target += static_cast<off_t>(file.tell());
    else if (whence == SEEK_END)
        target += static_cast<off_t>(file.size());
    if (target < 0 || !file.seek(static_cast<std::size_t>(target)))
        return -1;
    return target;
}

class Mp3Decoder final : public PcmDecoder {
public:
    Mp3Decoder(std::unique_ptr<File> file, mpg123_handle* handle) : m_file(std::move(file)), m_handle(handle) {}
    ~Mp3Decoder() override
    {
        mpg123_close(m_handle);
        mpg123_delete(m_handle);
    }

    bool start()
    {
        if (mpg123_replace_reader_handle(m_handle, readCallback, seekCallback, nullptr) != MPG123_OK
            || mpg123_open_handle(m_handle, m_file.get()) != MPG123_OK)
            return false;
        long rate = 0;
        int channels = 0, encoding = 0;
        if (mpg123_getformat(m_handle, &rate, &channels, &encoding) != MPG123_OK || encoding != MPG123_ENC_SIGNED_16
            || (channels != 1 && channels != 2) || rate <= 0)
            return false;
        m_rate = static_cast<int>(rate);
        m_channels = channels;
        return true;
    }

    int rate() const override { return m_rate; }
    int channels() const override { return m_channels; }

    std::size_t read(std::int16_t* out, std::size_t frames) override
    {
        const std::size_t frameBytes = static_cast<std::size_t>(m_channels) * 2;
        auto* bytes = reinterpret_cast<unsigned char*>(out);
        std::size_t filled = 0;
        const std::size_t wanted = frames * frameBytes;
        int idle = 0;  // reads that gave nothing; a damaged file must not spin forever
        while (filled < wanted && !m_ended) {
            size_t done = 0;
            const int result = mpg123_read(m_handle, bytes + filled, wanted - filled, &done);
            filled += done;
            if (done == 0 && ++idle > 64)
                m_ended = true;
            if (result == MPG123_NEW_FORMAT) {
                // The format stays as found: a stream that changes it midway ends there.
                if (!sameFormat())
                    m_ended = true;
                continue;
            }
            if (result == MPG123_DONE || (result != MPG123_OK && result != MPG123_NEED_MORE))
                m_ended = true;
            else if (done == 0 && result == MPG123_NEED_MORE)
                m_ended = true;  // the file ran out
        }
        return filled / frameBytes;
    }

    bool sameFormat()
    {
        long rate = 0;
        int channels = 0, encoding = 0;
        return mpg123_getformat(m_handle, &rate, &channels, &encoding) == MPG123_OK && rate == m_rate
            && channels == m_channels && encoding == MPG123_ENC_SIGNED_16;
    }

    bool rewind() override
    {
        m_ended = false;
        return mpg123_seek(m_handle, 0, SEEK_SET) >= 0;
    }

private:
    std::unique_ptr<File> m_file;  // read by mpg123 through the callbacks
    mpg123_handle* m_handle;
    int m_rate = 0, m_channels = 0;
    bool m_ended = false;
};
}  // namespace

std::unique_ptr<PcmDecoder> openMp3Decoder(std::unique_ptr<File> file)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { mpg123_init(); });
    if (!file)
        return nullptr;
    int error = MPG123_OK;
    mpg123_handle* handle = mpg123_new(nullptr, &error);
    if (!handle)
        return nullptr;
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    // Decode to 16-bit at the file's own rate and channel count.
    mpg123_format_none(handle);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    auto decoder = std::make_unique<Mp3Decoder>(std::move(file), handle);
    if (!decoder->start())
        return nullptr;
    return decoder;
}
