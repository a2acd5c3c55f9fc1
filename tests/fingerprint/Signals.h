#pragma once

// Deterministic test signals at 44100 Hz, signed 16-bit.
#include <cmath>
#include <cstdint>
#include <vector>

namespace Signals {

// White noise from a fixed-seed linear congruential generator, at the given peak.
inline std::vector<int16_t> noise(int count, uint32_t seed, int peak = 32767)
{
    std::vector<int16_t> x(count);
    uint32_t state = seed;
    for (int i = 0; i < count; ++i) {
        state = state * 1664525u + 1013904223u;
        x[i] = int16_t(int32_t(state >> 16) % (peak + 1) * ((state & 0x100) ? 1 : -1));
    }
    return x;
}

// A sine sweeping from f0 to f1 Hz.
inline std::vector<int16_t> chirp(int count, double f0, double f1, double amplitude = 20000)
{
    std::vector<int16_t> x(count);
    const double seconds = count / 44100.0;
    for (int i = 0; i < count; ++i) {
        const double t = i / 44100.0;
        const double phase = 2 * M_PI * (f0 * t + (f1 - f0) * t * t / (2 * seconds));
        x[i] = int16_t(std::lround(amplitude * std::sin(phase)));
    }
    return x;
}

// A full-scale square wave.
inline std::vector<int16_t> square(int count, double frequency)
{
    std::vector<int16_t> x(count);
    for (int i = 0; i < count; ++i)
        x[i] = std::fmod(i * frequency / 44100.0, 1.0) < 0.5 ? int16_t(32767) : int16_t(-32768);
    return x;
}

// Noise whose loudness jumps every 0.1 s, so that the FFT scaling changes between frames.
inline std::vector<int16_t> bursts(int count, uint32_t seed)
{
    std::vector<int16_t> x = noise(count, seed);
    for (int i = 0; i < count; ++i) {
        const int level = (i / 4410) % 4;
        x[i] = int16_t(x[i] >> (level * 4));
    }
    return x;
}

} // namespace Signals
