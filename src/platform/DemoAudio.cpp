#include "DemoAudio.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr double Pi = 3.14159265358979323846;

uint32_t mix(uint32_t a, uint32_t b)
{
    uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u + (a << 6) + (a >> 2));
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    return h ^ (h >> 16);
}

// A uniform value in [0, 1) for (seed, a, b).
double unit(uint32_t seed, int64_t a, uint32_t b)
{
    return mix(mix(seed, uint32_t(a) ^ uint32_t(a >> 32)), b) / 4294967296.0;
}

// sin(2 pi cycles) from a table with linear interpolation (error below 1e-6).
double sine(double cycles)
{
    constexpr int Size = 4096;
    static const std::array<float, Size + 1> table = [] {
        std::array<float, Size + 1> t{};
        for (int i = 0; i <= Size; ++i)
            t[size_t(i)] = float(std::sin(2 * Pi * i / Size));
        return t;
    }();
    const double x = (cycles - std::floor(cycles)) * Size;
    const int i = int(x);
    const double f = x - i;
    return table[size_t(i)] + f * (table[size_t(i) + 1] - table[size_t(i)]);
}

// Noise in [-1, 1] that depends only on (seed, n).
double noise(uint32_t seed, int64_t n)
{
    return unit(seed ^ 0xA5A5A5A5u, n, 7) * 2 - 1;
}

constexpr std::array<double, 7> Scale = {0, 2, 4, 5, 7, 9, 11};
// Vowel formants (F1, F2) in Hz.
constexpr std::array<std::pair<double, double>, 6> Vowels = {
    {{730, 1090}, {270, 2290}, {530, 1840}, {570, 840}, {300, 870}, {640, 1190}}};

} // namespace

DemoAudio::DemoAudio(uint32_t seed, Kind kind) : m_seed(seed), m_kind(kind) {}

void DemoAudio::render(int64_t first, int count, int16_t* out) const
{
    Segment segment;
    for (int i = 0; i < count; ++i) {
        const int64_t n = first + i;
        const double value = m_kind == Kind::Music ? musicSample(n, segment) : speechSample(n, segment);
        out[i] = int16_t(std::clamp(value * 12000.0, -32768.0, 32767.0));
    }
}

double DemoAudio::musicSample(int64_t n, Segment& segment) const
{
    // A beat of 0.2 to 0.5 s (the programme's tempo); each beat plays a chord of three
    // notes of the programme's key in the programme's timbre (six harmonics of its own
    // weights), held for one or two beats, and a melody note an octave or two up that
    // changes on the half beat.
    const int beat = int(SampleRate * (0.2 + 0.3 * unit(m_seed, -1, 1)));
    const int64_t index = n / (beat / 2);
    if (segment.index != index) {
        segment.index = index;
        segment.start = index * (beat / 2);
        const double root = 110.0 * std::pow(2.0, std::floor(unit(m_seed, -1, 2) * 12) / 12.0);
        const int64_t chord = index / 2 - (unit(m_seed, index / 4, 9) < 0.5 ? (index / 2) % 2 : 0);
        for (uint32_t note = 0; note < 3; ++note) {
            const int degree = int(unit(m_seed, chord, 10 + note) * 14);
            segment.frequency[note] =
                root * std::pow(2.0, (Scale[size_t(degree % 7)] + 12 * (degree / 7)) / 12.0);
        }
        const int melody = int(unit(m_seed, index, 14) * 14);
        segment.pitch = root * 4 * std::pow(2.0, (Scale[size_t(melody % 7)] + 12 * (melody / 7)) / 12.0);
        segment.decay = 2 + 6 * unit(m_seed, chord, 3);
        segment.kind = unit(m_seed, index, 20);
        for (int h = 0; h < 6; ++h)
            segment.gain[size_t(h)] = (0.2 + unit(m_seed, -1, 40 + uint32_t(h))) / (h + 1);
    }
    const double t = double(n - segment.start) / SampleRate;
    const double chordTime = t + ((segment.index % 2) ? double(beat / 2) / SampleRate : 0);
    const double envelope = std::min(1.0, chordTime * 200) * std::exp(-chordTime * segment.decay);
    const double time = double(n) / SampleRate;
    double sum = 0;
    for (int note = 0; note < 3; ++note) {
        for (int h = 0; h < 6; ++h)
            sum += segment.gain[size_t(h)] * sine(segment.frequency[size_t(note)] * (h + 1) * time);
    }
    sum *= envelope * 0.3;
    sum += 0.25 * std::min(1.0, t * 300) * std::exp(-t * 6) *
           (sine(segment.pitch * time) + 0.3 * sine(2 * segment.pitch * time));
    // Percussion: a short noise burst on some half beats.
    if (segment.kind < 0.4)
        sum += noise(m_seed, n) * std::exp(-t * 40) * 0.5;
    return sum;
}

double DemoAudio::speechSample(int64_t n, Segment& segment) const
{
    // Syllables of 20 ms multiples (mostly 0.1 to 0.3 s); some are pauses, some fricatives,
    // the rest voiced with a pitch gliding within the syllable and the harmonics shaped by
    // two vowel formants.
    constexpr int Grid = SampleRate / 50;
    const int64_t cell = n / Grid;
    if (segment.cell != cell) {
        segment.cell = cell;
        // A syllable starts at a cell whose hash says so (or 15 cells back at most).
        int64_t start = cell;
        for (int back = 0; back < 15 && unit(m_seed, start, 30) > 0.3; ++back)
            --start;
        if (segment.index != start) {
            segment.index = start;
            segment.start = start * Grid;
            segment.kind = unit(m_seed, start, 31);
            segment.pitch = 100 + 120 * unit(m_seed, start, 32);   // at the start, Hz
            segment.slope = 160 * (unit(m_seed, start, 33) - 0.5); // Hz per second
            const auto& vowel = Vowels[size_t(unit(m_seed, start, 34) * Vowels.size())];
            for (int h = 1; h <= 12; ++h) {
                const double f = segment.pitch * h;
                segment.gain[size_t(h - 1)] = 1.0 / (1.0 + std::pow((f - vowel.first) / 90.0, 2)) +
                                              0.6 / (1.0 + std::pow((f - vowel.second) / 120.0, 2)) + 0.02;
            }
        }
    }
    const double t = double(n - segment.start) / SampleRate;
    if (segment.kind < 0.12)
        return 0.02 * noise(m_seed, n); // pause: room tone
    const double shape = std::sin(Pi * std::min(1.0, t / 0.3));
    if (segment.kind < 0.3)
        return (noise(m_seed, n) - noise(m_seed, n - 1)) * 0.3 * shape; // fricative, tilted up
    // The phase of the gliding pitch: its integral over the syllable.
    const double cycles = segment.pitch * t + 0.5 * segment.slope * t * t;
    double sum = 0;
    for (int h = 1; h <= 12; ++h)
        sum += segment.gain[size_t(h - 1)] * sine(cycles * h);
    return sum * shape * 0.5;
}
