#pragma once

#include "FpVector.h"

#include <atomic>
#include <cstdint>

// The fingerprint state: the decimation filter's delay line, the ring of decimated samples
// (5512.5 Hz), and what the extraction keeps between frames and blocks.
struct AcFpInfo
{
    static constexpr int32_t RingSize = 66144;
    static constexpr int32_t FrameSize = 1024;
    static constexpr int32_t Taps = 37;
    static constexpr int32_t Bands = 33;

    vec16 fftFIFO;
    int16_t fftBuffer_fxp[FrameSize] = {};
    int16_t z_fxp[Taps] = {};
    int32_t Eb_prev_fxp[Bands] = {};
    int32_t scaling_prev_fxp = 0;
    // Written by the audio thread after each sample is stored, read once per block by the
    // extraction: an atomic so that the reader sees every sample before the index.
    std::atomic<int32_t> idxWRfftFIFO{0};
    int32_t idxRDfftFIFO = 0;
    int32_t n_fp_samples = 0;
    int32_t fpStep = 0;
    int32_t countHash = 0;
    int32_t phase = 0;
};

// Empties the sample arrays of a new record.
void fp_info_init(AcFpInfo* info);
// Prepares blocks of n sub-fingerprints with hop step: zeroes the delay line, the previous
// band energies and a ring of RingSize samples; countHash, phase and the previous scaling
// become 0. The write index keeps its value.
void fp_info_reset(AcFpInfo* info, int32_t n, int32_t step);
// Filters 44100 Hz samples with the 37-tap low-pass and writes every eighth output into the
// ring. Returns 0.
int fp_decimate(AcFpInfo* info, const vec16* samples);
// The same for a plain array of samples.
int fp_decimate_samples(AcFpInfo* info, const int16_t* samples, int32_t count);
