#pragma once

#include "AcFpInfo.h"

// Fills out with n_fp_samples sub-fingerprints of the ring's most recent frames (the last
// ends at the write position) and sets countHash to that number.
void fp_extract_block(AcFpInfo* info, vec32* out);
// One frame of 1024 samples -> one sub-fingerprint; reads and updates the previous band
// energies and scaling.
uint32_t fp_hash_frame(AcFpInfo* info, const int16_t* frame);
// 1024 real samples -> 512 complex values (X resized to 512); returns the scaling count.
int fp_real_fft(const vec16* x, veccomplex16* X);
// In-place complex FFT of 2^m points; returns the number of halved stages, or -1 (data
// untouched) when 2^m exceeds 8192. Only the forward direction is provided.
int fp_fft(int16_t* re, int16_t* im, int m, int inverse);
