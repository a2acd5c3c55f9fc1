#pragma once

#include "FpTables.h"

#include <cstdint>

// Band energies of several frames at once, for a feed that hashes many frames in a row: each
// frame is one lane of AVX2 vectors (its complex values as 32-bit lanes), so the FFT's
// butterflies need no shuffles and every stage's halving is decided per lane. The results are
// exactly FpFrameHasher::bandEnergies of each frame. Without AVX2 (chosen at run time), or for
// one or two frames, the frames go through the one-frame path.
namespace FpFrameBatch {

constexpr int Lanes = 8;

bool vectorised();

// count (0 .. Lanes) frames of 1024 samples -> their band energies and FFT scaling counts.
void bandEnergies(const int16_t* const* frames, int count, int32_t (*energies)[FpTables::Bands],
                  int32_t* scales);

} // namespace FpFrameBatch
