#pragma once

#include "FpVector.h"

#include <cstdint>

// The fast path of one frame's hash, giving exactly the bits of the written rules: the
// windowed frame is taken as 512 interleaved complex values (the real FFT's packing), the
// 512-point FFT runs on them with twiddles and bit reversal from tables and SSE2
// butterflies, the stage's halving test is tracked while the previous stage writes, and
// only the spectrum bins of the 33 bands are computed.
namespace FpFrameHasher {

// Band energies E[0..32] of a frame of 1024 samples; returns the FFT scaling count.
int32_t bandEnergies(const int16_t* frame, int32_t* energies);

// The 512-point FFT on interleaved complex data; the same results and count as fp_fft(9).
int fft512(complex16* data);

} // namespace FpFrameHasher
