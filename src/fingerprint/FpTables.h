#pragma once

#include <cstdint>

// The constant tables of the fingerprint, in Q15 where they are coefficients.
namespace FpTables {

constexpr int DecimationTaps = 37;
constexpr int WindowSize = 1024;
constexpr int SineSize = 6144;
constexpr int BandEdges = 34;
constexpr int Bands = 33;

extern const int16_t fp_decimation_taps[DecimationTaps];
// Symmetric Hann window: w[i] = round(32767 * 0.5 * (1 - cos(2 pi i / 1023))).
extern const int16_t* const fp_window;
// Three quarters of a sine period of 8192 steps: T[i] = round(32768 * sin(2 pi i / 8192)),
// values above 32767 set to 32767. The cosine of step j is T[j + 2048].
extern const int16_t* const fp_sine_table;
extern const int16_t fp_band_edges[BandEdges];
extern const int16_t fp_band_weights[Bands];

} // namespace FpTables
