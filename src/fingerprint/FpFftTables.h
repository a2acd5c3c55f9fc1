#pragma once

#include <array>
#include <cstdint>
#include <utility>

// The tables of the fast 512-point fixed-point FFT and of the real FFT's last step, built
// once from FpTables, shared by the one-frame and the batched frame hashers.
namespace FpFftTables {

constexpr int N = 512;
constexpr int Stages = 9;
constexpr int16_t Limit = 14000; // a stage halves its inputs when one exceeds it in magnitude
constexpr int FirstBin = 56;     // the bins the bands cover: [FirstBin, EndBin)
constexpr int EndBin = 372;

inline int16_t wrap16(int32_t value)
{
    return int16_t(uint16_t(uint32_t(value)));
}

// Twiddles of every stage, as the pairs the butterflies multiply with: (wr, -wi) for the
// real part and (wi, wr) for the imaginary part, unhalved [0] and halved [1]; and the
// swaps of the bit reversal.
struct Twiddles
{
    alignas(16) int16_t real[2][Stages][N]; // L pairs of the stage, interleaved
    alignas(16) int16_t imag[2][Stages][N];
    std::array<std::pair<int16_t, int16_t>, N / 2> swaps{};
    int swapCount = 0;
    std::array<int16_t, N> reversal{}; // after the swaps, element i holds the input's reversal[i]
    Twiddles();
};
const Twiddles& twiddles();

// Per bin k: [cos, sin] and [sin, cos] of 2 pi k / 1024, for the real FFT's last step.
struct Spectrum
{
    alignas(16) int16_t cosSin[2 * N];
    alignas(16) int16_t sinCos[2 * N];
    Spectrum();
};
const Spectrum& spectrum();

} // namespace FpFftTables
