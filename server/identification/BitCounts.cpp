#include "BitCounts.h"

#include "fingerprint/FpCpu.h"

#include <algorithm>
#include <bit>

#if defined(__x86_64__) || defined(__i386__)
#define ORVANE_BIT_COUNTS_AVX2 1
#include <immintrin.h>
#endif

namespace {

[[gnu::target_clones("popcnt", "default")]] BitCounts oneByOne(const uint32_t* feed, const uint32_t* weak,
                                                               const uint32_t* block, int count)
{
    BitCounts counts;
    for (int i = 0; i < count; ++i) {
        if (block[i] == 0)
            continue;
        const uint32_t differ = feed[i] ^ block[i];
        counts.differing += std::popcount(differ);
        counts.differingWeak += std::popcount(differ & weak[i]);
        counts.weak += std::popcount(weak[i]);
        ++counts.compared;
    }
    return counts;
}

[[gnu::target_clones("popcnt", "default")]] int distanceOneByOne(const uint32_t* feed, const uint32_t* probes,
                                                                 const int* offsets, int count)
{
    int bits = 0;
    for (int j = 0; j < count; ++j)
        bits += std::popcount(probes[j] ^ feed[offsets[j]]);
    return bits;
}

void distancesOneByOne(const uint32_t* feed, int from, int positions, const uint32_t* probes,
                       const int* offsets, int count, uint16_t* out)
{
    for (int p = from; p < positions; ++p)
        out[p] = uint16_t(distanceOneByOne(feed + p, probes, offsets, count));
}

#if defined(ORVANE_BIT_COUNTS_AVX2)
#pragma GCC push_options
#pragma GCC target("avx2")
#pragma GCC diagnostic push
// Vectors passed between these internal functions only, all built for AVX2.
#pragma GCC diagnostic ignored "-Wpsabi"

// Set bits per byte, from a table of the 16 nibbles.
inline __m256i bytePopcount(__m256i x)
{
    const __m256i table = _mm256_setr_epi8(0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4, 0, 1, 1, 2, 1, 2,
                                           2, 3, 1, 2, 2, 3, 2, 3, 3, 4);
    const __m256i nibble = _mm256_set1_epi8(0x0f);
    return _mm256_add_epi8(_mm256_shuffle_epi8(table, _mm256_and_si256(x, nibble)),
                           _mm256_shuffle_epi8(table, _mm256_and_si256(_mm256_srli_epi16(x, 4), nibble)));
}

inline int sum64(__m256i x)
{
    alignas(32) int64_t lanes[4];
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), x);
    return int(lanes[0] + lanes[1] + lanes[2] + lanes[3]);
}

BitCounts inLanes(const uint32_t* feed, const uint32_t* weak, const uint32_t* block, int count)
{
    const __m256i zero = _mm256_setzero_si256();
    __m256i differing = zero;
    __m256i differingWeak = zero;
    __m256i weakBits = zero;
    __m256i compared = zero;
    int i = 0;
    while (i + 8 <= count) {
        // Byte counts grow by at most 8 a round: 16 rounds stay below 256.
        __m256i d = zero;
        __m256i dw = zero;
        __m256i w = zero;
        for (int round = 0; round < 16 && i + 8 <= count; ++round, i += 8) {
            const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + i));
            const __m256i silent = _mm256_cmpeq_epi32(b, zero); // all ones where the block is 0
            const __m256i differ = _mm256_andnot_si256(
                silent, _mm256_xor_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(feed + i)), b));
            const __m256i weakHere =
                _mm256_andnot_si256(silent, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weak + i)));
            d = _mm256_add_epi8(d, bytePopcount(differ));
            dw = _mm256_add_epi8(dw, bytePopcount(_mm256_and_si256(differ, weakHere)));
            w = _mm256_add_epi8(w, bytePopcount(weakHere));
            compared = _mm256_sub_epi32(compared, _mm256_cmpeq_epi32(silent, zero)); // +1 per value compared
        }
        differing = _mm256_add_epi64(differing, _mm256_sad_epu8(d, zero));
        differingWeak = _mm256_add_epi64(differingWeak, _mm256_sad_epu8(dw, zero));
        weakBits = _mm256_add_epi64(weakBits, _mm256_sad_epu8(w, zero));
    }
    BitCounts counts = oneByOne(feed + i, weak + i, block + i, count - i);
    counts.differing += sum64(differing);
    counts.differingWeak += sum64(differingWeak);
    counts.weak += sum64(weakBits);
    alignas(32) int32_t lanes[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), compared);
    for (const int32_t n : lanes)
        counts.compared += n;
    return counts;
}

// Eight consecutive positions a round: each probe value against the eight feed values its
// offset puts them at, which lie side by side.
void distancesInLanes(const uint32_t* feed, int positions, const uint32_t* probes, const int* offsets,
                      int count, uint16_t* out)
{
    const __m256i bytes = _mm256_set1_epi8(1);
    const __m256i pairs = _mm256_set1_epi16(1);
    int p = 0;
    for (; p + 8 <= positions; p += 8) {
        __m256i total = _mm256_setzero_si256();
        for (int j = 0; j < count;) {
            // Byte counts grow by at most 8 a probe: 31 probes stay below 256.
            __m256i perByte = _mm256_setzero_si256();
            for (const int last = std::min(count, j + 31); j < last; ++j) {
                const __m256i values =
                    _mm256_loadu_si256(reinterpret_cast<const __m256i*>(feed + p + offsets[j]));
                const __m256i differ = _mm256_xor_si256(values, _mm256_set1_epi32(int(probes[j])));
                perByte = _mm256_add_epi8(perByte, bytePopcount(differ));
            }
            // The four byte counts of each 32-bit lane added up.
            total = _mm256_add_epi32(total, _mm256_madd_epi16(_mm256_maddubs_epi16(perByte, bytes), pairs));
        }
        alignas(32) int32_t lanes[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), total);
        for (int k = 0; k < 8; ++k)
            out[p + k] = uint16_t(lanes[k]);
    }
    distancesOneByOne(feed, p, positions, probes, offsets, count, out);
}

#pragma GCC diagnostic pop
#pragma GCC pop_options
#endif

} // namespace

BitCounts BitCounts::of(const uint32_t* feed, const uint32_t* weak, const uint32_t* block, int count)
{
#if defined(ORVANE_BIT_COUNTS_AVX2)
    if (fpHasAvx2())
        return inLanes(feed, weak, block, count);
#endif
    return oneByOne(feed, weak, block, count);
}

int BitCounts::distanceAt(const uint32_t* feed, const uint32_t* probes, const int* offsets, int count)
{
    return distanceOneByOne(feed, probes, offsets, count);
}

void BitCounts::distances(const uint32_t* feed, int positions, const uint32_t* probes, const int* offsets,
                          int count, uint16_t* out)
{
    count = std::min(count, MaxProbes);
#if defined(ORVANE_BIT_COUNTS_AVX2)
    if (fpHasAvx2())
        return distancesInLanes(feed, positions, probes, offsets, count, out);
#endif
    distancesOneByOne(feed, 0, positions, probes, offsets, count, out);
}
