#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// Writes WAV (or other) sound files for tests through libsndfile.
class TestWav
{
public:
    // format: a libsndfile major|minor format; 0 means 16-bit PCM WAV.
    static bool write(const QString& path, const std::vector<int16_t>& interleaved, int channels = 1,
                      int sampleRate = 44100, int format = 0);
};
