// The 37-tap decimation filter: 44100 Hz in, every eighth output into the sample ring.
#include "AcFpInfo.h"
#include "FpCpu.h"
#include "FpTables.h"

#include <algorithm>

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#define ORVANE_DECIMATE_AVX2 1
#include <immintrin.h>
#endif

namespace {

constexpr int32_t Taps = AcFpInfo::Taps;
constexpr int32_t History = Taps - 1;
constexpr int32_t Chunk = 4096;
// Zeros after a chunk's samples: the vector paths read past the last output's taps.
constexpr int32_t Spare = 128;

// The taps padded to 40 with zeros, for whole vector loads. The taps are symmetric, so the
// filter is a plain dot product with the oldest-first sample line.
struct PaddedTaps
{
    alignas(16) int16_t values[40] = {};
    PaddedTaps() { std::copy(FpTables::fp_decimation_taps, FpTables::fp_decimation_taps + Taps, values); }
};
const PaddedTaps padded;

// Sum of taps[k] * line[k] for k = 0 .. 36, in signed 32-bit arithmetic (it cannot overflow:
// the magnitudes of the taps sum to 32769).
inline int32_t filterAt(const int16_t* line)
{
#if defined(__SSE2__)
    const __m128i* taps = reinterpret_cast<const __m128i*>(padded.values);
    __m128i sum = _mm_madd_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(line)), taps[0]);
    sum = _mm_add_epi32(sum,
                        _mm_madd_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(line + 8)), taps[1]));
    sum = _mm_add_epi32(
        sum, _mm_madd_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(line + 16)), taps[2]));
    sum = _mm_add_epi32(
        sum, _mm_madd_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(line + 24)), taps[3]));
    // The last five taps: load 8 samples, the three beyond the line's end meet zero taps.
    sum = _mm_add_epi32(
        sum, _mm_madd_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(line + 32)), taps[4]));
    sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, _MM_SHUFFLE(1, 0, 3, 2)));
    sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, _MM_SHUFFLE(2, 3, 0, 1)));
    return _mm_cvtsi128_si32(sum);
#else
    int32_t acc = 0;
    for (int32_t k = 0; k < Taps; ++k)
        acc += int32_t(padded.values[k]) * int32_t(line[k]);
    return acc;
#endif
}

// The outputs at line[first], line[first + 8], ... below line[n], one at a time; returns the
// ring's write position after them.
int32_t filterOneByOne(const int16_t* line, int32_t first, int32_t n, int16_t* ring, int32_t ringSize,
                       int32_t write)
{
    for (int32_t i = first; i < n; i += 8) {
        ring[write] = int16_t(filterAt(line + i) >> 15);
        if (++write >= ringSize)
            write = 0;
    }
    return write;
}

#if defined(ORVANE_DECIMATE_AVX2)
#pragma GCC push_options
#pragma GCC target("avx2")
#pragma GCC diagnostic push
// Vectors passed between these internal functions only, all built for AVX2.
#pragma GCC diagnostic ignored "-Wpsabi"

constexpr int32_t MaxRows = Chunk / 8 + 16;

// The same outputs eight at a time, one per 32-bit lane. The line is seen as rows of eight
// samples from line[first] on (output j starts at row j), and each row as four pairs of
// samples; columns[m][r] is pair m of row r. Output j is then the sum over tap pairs
// p = 4d + m of pair m of row j + d times taps 2p and 2p + 1: nineteen multiply-adds over
// columns read at an offset, in exact 32-bit arithmetic as one at a time.
int32_t filterInLanes(const int16_t* line, int32_t first, int32_t n, int16_t* ring, int32_t ringSize,
                      int32_t write)
{
    const int32_t outputs = first < n ? (n - first + 7) / 8 : 0;
    const int32_t groups = (outputs + 7) / 8;
    const int32_t rows = groups * 8 + 8;
    alignas(32) int32_t columns[4][MaxRows];
    const int16_t* base = line + first;
    for (int32_t r = 0; r < rows; r += 8) {
        __m256i a[4];
        for (int k = 0; k < 4; ++k) {
            const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + 8 * (r + k)));
            const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + 8 * (r + k + 4)));
            a[k] = _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
        }
        const __m256i t0 = _mm256_unpacklo_epi32(a[0], a[1]);
        const __m256i t1 = _mm256_unpackhi_epi32(a[0], a[1]);
        const __m256i t2 = _mm256_unpacklo_epi32(a[2], a[3]);
        const __m256i t3 = _mm256_unpackhi_epi32(a[2], a[3]);
        _mm256_store_si256(reinterpret_cast<__m256i*>(columns[0] + r), _mm256_unpacklo_epi64(t0, t2));
        _mm256_store_si256(reinterpret_cast<__m256i*>(columns[1] + r), _mm256_unpackhi_epi64(t0, t2));
        _mm256_store_si256(reinterpret_cast<__m256i*>(columns[2] + r), _mm256_unpacklo_epi64(t1, t3));
        _mm256_store_si256(reinterpret_cast<__m256i*>(columns[3] + r), _mm256_unpackhi_epi64(t1, t3));
    }
    constexpr int Pairs = (Taps + 1) / 2;
    __m256i taps[Pairs];
    for (int p = 0; p < Pairs; ++p) {
        int32_t pair = 0;
        std::memcpy(&pair, padded.values + 2 * p, sizeof pair);
        taps[p] = _mm256_set1_epi32(pair);
    }
    // The low 16 bits of each 32-bit lane, in order, in the low 128 bits.
    const __m256i lowHalves = _mm256_setr_epi8(0, 1, 4, 5, 8, 9, 12, 13, -1, -1, -1, -1, -1, -1, -1, -1, 0, 1,
                                               4, 5, 8, 9, 12, 13, -1, -1, -1, -1, -1, -1, -1, -1);
    alignas(32) int16_t outs[16];
    for (int32_t g = 0; g < groups; ++g) {
        // Four sums, so that the multiply-adds do not wait on each other.
        __m256i sums[4] = {_mm256_setzero_si256(), _mm256_setzero_si256(), _mm256_setzero_si256(),
                           _mm256_setzero_si256()};
#pragma GCC unroll 19
        for (int p = 0; p < Pairs; ++p) {
            const __m256i pairs =
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(columns[p % 4] + 8 * g + p / 4));
            sums[p % 4] = _mm256_add_epi32(sums[p % 4], _mm256_madd_epi16(pairs, taps[p]));
        }
        const __m256i total =
            _mm256_add_epi32(_mm256_add_epi32(sums[0], sums[1]), _mm256_add_epi32(sums[2], sums[3]));
        const __m256i packed = _mm256_permute4x64_epi64(
            _mm256_shuffle_epi8(_mm256_srai_epi32(total, 15), lowHalves), _MM_SHUFFLE(3, 1, 2, 0));
        const int32_t count = std::min<int32_t>(8, outputs - 8 * g);
        if (count == 8 && write + 8 <= ringSize) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(ring + write), _mm256_castsi256_si128(packed));
            write += 8;
            if (write >= ringSize)
                write = 0;
            continue;
        }
        _mm256_store_si256(reinterpret_cast<__m256i*>(outs), packed);
        for (int32_t j = 0; j < count; ++j) {
            ring[write] = outs[j];
            if (++write >= ringSize)
                write = 0;
        }
    }
    return write;
}

#pragma GCC diagnostic pop
#pragma GCC pop_options
#endif

int32_t filterOutputs(const int16_t* line, int32_t first, int32_t n, int16_t* ring, int32_t ringSize,
                      int32_t write)
{
#if defined(ORVANE_DECIMATE_AVX2)
    // Short runs (a capture callback's) cost less one at a time than laid out in columns.
    if (n - first >= 512 && fpHasAvx2())
        return filterInLanes(line, first, n, ring, ringSize, write);
#endif
    return filterOneByOne(line, first, n, ring, ringSize, write);
}

} // namespace

void fp_info_init(AcFpInfo* info)
{
    info->fftFIFO.empty();
}

void fp_info_reset(AcFpInfo* info, int32_t n, int32_t step)
{
    std::fill(std::begin(info->z_fxp), std::end(info->z_fxp), int16_t(0));
    std::fill(std::begin(info->Eb_prev_fxp), std::end(info->Eb_prev_fxp), 0);
    info->fftFIFO.resize(AcFpInfo::RingSize);
    info->fftFIFO.zero();
    info->countHash = 0;
    info->phase = 0;
    info->scaling_prev_fxp = 0;
    info->fpStep = step;
    info->n_fp_samples = n;
}

int fp_decimate(AcFpInfo* info, const vec16* samples)
{
    if (!samples || samples->datasize <= 0 || !samples->data)
        return 0;
    return fp_decimate_samples(info, samples->data, samples->datasize);
}

int fp_decimate_samples(AcFpInfo* info, const int16_t* samples, int32_t count)
{
    if (count <= 0 || !samples || info->fftFIFO.datasize <= 0)
        return 0;
    int16_t* ring = info->fftFIFO.data;
    const int32_t ringSize = info->fftFIFO.datasize;
    int32_t write = info->idxWRfftFIFO.load(std::memory_order_relaxed);
    int32_t phase = info->phase;

    // The line holds the 36 previous inputs, oldest first, then the new ones; spare zeros
    // let the vector loads run past the end.
    alignas(16) int16_t line[History + Chunk + Spare];
    for (int32_t k = 0; k < History; ++k)
        line[k] = info->z_fxp[Taps - 1 - k];

    for (int32_t done = 0; done < count;) {
        const int32_t n = std::min(Chunk, count - done);
        std::copy(samples + done, samples + done + n, line + History);
        std::fill(line + History + n, line + History + n + Spare, int16_t(0));
        // Outputs fall where the phase is 0: at (8 - phase) % 8, then every eighth sample.
        write = filterOutputs(line, (8 - phase) % 8, n, ring, ringSize, write);
        phase = (phase + n) % 8;
        std::copy(line + n, line + n + History, line);
        done += n;
    }

    // The delay line as the sample-by-sample filter leaves it: element 0 and 1 the newest
    // input, element k the input k - 1 places before it.
    info->z_fxp[0] = samples[count - 1];
    for (int32_t k = 1; k < Taps; ++k)
        info->z_fxp[k] = line[History - k];
    info->phase = phase;
    info->idxWRfftFIFO.store(write, std::memory_order_release);
    return 0;
}
