#include "TestWav.h"

#include <sndfile.h>

bool TestWav::write(const QString& path, const std::vector<int16_t>& interleaved, int channels,
                    int sampleRate, int format)
{
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = sampleRate;
    info.format = format ? format : (SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    SNDFILE* file = sf_open(path.toLocal8Bit().constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    const sf_count_t frames = sf_count_t(interleaved.size()) / channels;
    const bool written = sf_writef_short(file, interleaved.data(), frames) == frames;
    sf_close(file);
    return written;
}
