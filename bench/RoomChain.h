#pragma once

#include <cstdint>
#include <random>
#include <vector>

// What a living room and a telephone-grade microphone do to a channel's sound, for the
// identification evaluations (44100 Hz mono): a speed change, a room's reverberation, the
// 300-3400 Hz band, noise at a signal-to-noise ratio measured on the band-limited signal,
// and a gain. Deterministic for a given random generator.
class RoomChain
{
public:
    static constexpr int Rate = 44100;

    enum class Noise
    {
        White,
        Pink,
        Brown,
        Babble // several voices: given as a signal of its own
    };

    struct Settings
    {
        double speed = 0;      // relative: 0.01 plays 1 % fast
        bool reverb = false;   // a room of 0.3-0.6 s reverberation time
        bool bandLimit = true; // 300-3400 Hz, 4th order each side
        double snrDb = 1e9;    // no noise above 200 dB
        Noise noise = Noise::White;
        bool bandLimitNoise = true; // false: the noise is added after the band, as it is
        double minGain = 0.3, maxGain = 1.5;
    };

    // samples output samples of source from its sample start on (source must hold
    // start + samples * (1 + speed) + 2 samples). babble: the voices for Noise::Babble, at
    // least samples long (another signal; where it starts is drawn).
    static std::vector<int16_t> apply(const int16_t* source, int64_t sourceSize, int64_t start, int samples,
                                      const Settings& settings, std::mt19937& random,
                                      const std::vector<int16_t>* babble = nullptr);

    static void bandLimit(std::vector<double>& x);
    static void reverberate(std::vector<double>& x, std::mt19937& random);
    static std::vector<double> noise(Noise kind, int samples, std::mt19937& random,
                                     const std::vector<int16_t>* babble);
};
