#pragma once

#include "AcFpInfo.h"

// Fills out with n_fp_samples sub-fingerprints of the ring's most recent frames (the last
// ends at the write position) and sets countHash to that number.
void fp_extract_block(AcFpInfo* info, vec32* out);
// One frame of 1024 samples -> one sub-fingerprint; reads and updates the previous band
// energies and scaling.
uint32_t fp_hash_frame(AcFpInfo* info, const int16_t* frame);
// fp_hash_frame of count frames in a row (each 1024 samples), their FFTs computed several at
// a time: the same values, faster for runs of three or more.
// weak, when given, receives each value's weak bits (fp_hash_energies).
void fp_hash_frames(AcFpInfo* info, const int16_t* const* frames, int count, uint32_t* out,
                    uint32_t* weak = nullptr);
// The sub-fingerprint of a frame's band energies E (33) and FFT scaling count s; reads and
// updates the previous band energies and scaling. weak, when given, receives the bits whose
// energy difference is below half the mean magnitude of the frame's 32: the bits that noise
// flips most easily (a server weighs them less when comparing).
uint32_t fp_hash_energies(AcFpInfo* info, const int32_t* E, int32_t s, uint32_t* weak = nullptr);
// 1024 real samples -> 512 complex values (X resized to 512); returns the scaling count.
int fp_real_fft(const vec16* x, veccomplex16* X);
// In-place complex FFT of 2^m points; returns the number of halved stages, or -1 (data
// untouched) when 2^m exceeds 8192. Only the forward direction is provided.
int fp_fft(int16_t* re, int16_t* im, int m, int inverse);
