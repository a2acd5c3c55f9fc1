#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct sf_private_tag;

// Reads a 16-bit PCM WAV file at 44100 Hz, mono or stereo, as mono samples: a stereo frame
// becomes (left + right) >> 1. Anything else is refused with a message.
class WavReader
{
public:
    static constexpr int SampleRate = 44100;

    WavReader() = default;
    ~WavReader();
    WavReader(const WavReader&) = delete;
    WavReader& operator=(const WavReader&) = delete;

    bool open(const std::string& path, std::string* error);
    void close();
    bool isOpen() const { return m_file != nullptr; }
    int64_t frames() const { return m_frames; }

    // Reads up to count mono samples; returns how many were read (0 at the end).
    size_t read(int16_t* samples, size_t count);
    // Back to the first sample.
    bool rewind();

    // The whole file, or an empty list with *error set.
    static std::vector<int16_t> readAll(const std::string& path, std::string* error);

private:
    sf_private_tag* m_file = nullptr;
    int m_channels = 1;
    int64_t m_frames = 0;
    std::vector<int16_t> m_interleaved;
};
