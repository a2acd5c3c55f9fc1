#include "WavReader.h"

#include <sndfile.h>

WavReader::~WavReader()
{
    close();
}

bool WavReader::open(const std::string& path, std::string* error)
{
    close();
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        *error = path + ": " + sf_strerror(nullptr);
        return false;
    }
    const int container = info.format & SF_FORMAT_TYPEMASK;
    const int encoding = info.format & SF_FORMAT_SUBMASK;
    std::string problem;
    if (container != SF_FORMAT_WAV && container != SF_FORMAT_WAVEX)
        problem = "not a WAV file";
    else if (encoding != SF_FORMAT_PCM_16)
        problem = "not 16-bit PCM";
    else if (info.samplerate != SampleRate)
        problem = "sampled at " + std::to_string(info.samplerate) + " Hz, not 44100 Hz";
    else if (info.channels != 1 && info.channels != 2)
        problem = std::to_string(info.channels) + " channels, not mono or stereo";
    if (!problem.empty()) {
        sf_close(file);
        *error = path + ": " + problem + " (a 16-bit PCM WAV at 44100 Hz, mono or stereo, is needed)";
        return false;
    }
    m_file = file;
    m_channels = info.channels;
    m_frames = info.frames;
    return true;
}

void WavReader::close()
{
    if (m_file)
        sf_close(m_file);
    m_file = nullptr;
}

size_t WavReader::read(int16_t* samples, size_t count)
{
    if (!m_file || count == 0)
        return 0;
    if (m_channels == 1)
        return size_t(sf_readf_short(m_file, samples, sf_count_t(count)));
    m_interleaved.resize(count * 2);
    const sf_count_t got = sf_readf_short(m_file, m_interleaved.data(), sf_count_t(count));
    for (sf_count_t i = 0; i < got; ++i)
        samples[i] = int16_t((int32_t(m_interleaved[2 * i]) + int32_t(m_interleaved[2 * i + 1])) >> 1);
    return size_t(got);
}

bool WavReader::rewind()
{
    return m_file && sf_seek(m_file, 0, SEEK_SET) == 0;
}

std::vector<int16_t> WavReader::readAll(const std::string& path, std::string* error)
{
    WavReader reader;
    if (!reader.open(path, error))
        return {};
    std::vector<int16_t> samples(size_t(reader.frames()));
    samples.resize(reader.read(samples.data(), samples.size()));
    return samples;
}
