#include "FpTables.h"

#include <array>
#include <cmath>

namespace FpTables {

const int16_t fp_decimation_taps[DecimationTaps] = {
    -62,  -180, -296, -396, -464, -485, -447, -343, -169, 71,   369,  710,  1076,
    1442, 1784, 2080, 2308, 2452, 2501, 2452, 2308, 2080, 1784, 1442, 1076, 710,
    369,  71,   -169, -343, -447, -485, -464, -396, -296, -180, -62};

namespace {

// No entry of either table falls on a half, so rounding the double result is exact.
std::array<int16_t, WindowSize> makeWindow()
{
    std::array<int16_t, WindowSize> w{};
    for (int i = 0; i < WindowSize; ++i)
        w[i] = int16_t(std::lround(32767.0 * 0.5 * (1.0 - std::cos(2.0 * M_PI * i / 1023.0))));
    return w;
}

std::array<int16_t, SineSize> makeSine()
{
    std::array<int16_t, SineSize> t{};
    for (int i = 0; i < SineSize; ++i)
        t[i] = int16_t(std::min(32767L, std::lround(32768.0 * std::sin(2.0 * M_PI * i / 8192.0))));
    return t;
}

const std::array<int16_t, WindowSize> window = makeWindow();
const std::array<int16_t, SineSize> sine = makeSine();

} // namespace

const int16_t* const fp_window = window.data();
const int16_t* const fp_sine_table = sine.data();

const int16_t fp_band_edges[BandEdges] = {56,  62,  67,  73,  79,  85,  91,  98,  104, 111, 118, 126,
                                          134, 142, 150, 158, 167, 176, 185, 194, 203, 214, 224, 235,
                                          247, 259, 270, 283, 297, 310, 324, 340, 356, 372};

const int16_t fp_band_weights[Bands] = {427, 512, 427, 427, 427, 427, 366, 427, 366, 366, 320,
                                        320, 320, 320, 320, 284, 284, 284, 284, 284, 233, 256,
                                        233, 213, 213, 233, 197, 183, 197, 183, 160, 160, 160};

} // namespace FpTables
