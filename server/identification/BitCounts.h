#pragma once

#include <cstdint>

// The bit counts a weighed comparison of a block with a stretch of feed needs, over the values
// where the block is not 0 (a frame of silence, or of a level so steady that it says nothing):
// differing bits, those of them that are weak in the feed, the feed's weak bits, and how many
// values were compared. With AVX2 (chosen at run time) eight values at a time.
struct BitCounts
{
    int differing = 0;
    int differingWeak = 0;
    int weak = 0;
    int compared = 0;

    static BitCounts of(const uint32_t* feed, const uint32_t* weak, const uint32_t* block, int count);
    // The differing bits of count probe values at every position p in [0, positions): out[p] is
    // the sum over j of the bits of probes[j] ^ feed[p + offsets[j]]. feed holds at least
    // positions + the largest offset values; count is at most MaxProbes. With AVX2 eight
    // positions at a time.
    static constexpr int MaxProbes = 256;
    static void distances(const uint32_t* feed, int positions, const uint32_t* probes, const int* offsets,
                          int count, uint16_t* out);
    // The same at one position: the bits of probes[j] ^ feed[offsets[j]], summed.
    static int distanceAt(const uint32_t* feed, const uint32_t* probes, const int* offsets, int count);
};
