// The 37-tap decimation filter: 44100 Hz in, every eighth output into the sample ring.
#include "AcFpInfo.h"
#include "FpTables.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr int32_t Taps = AcFpInfo::Taps;
constexpr int32_t History = Taps - 1;
constexpr int32_t Chunk = 4096;

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

    // The line holds the 36 previous inputs, oldest first, then the new ones; 8 spare
    // elements let the last vector load run past the end.
    alignas(16) int16_t line[History + Chunk + 8];
    for (int32_t k = 0; k < History; ++k)
        line[k] = info->z_fxp[Taps - 1 - k];

    for (int32_t done = 0; done < count;) {
        const int32_t n = std::min(Chunk, count - done);
        std::copy(samples + done, samples + done + n, line + History);
        std::fill(line + History + n, line + History + n + 8, int16_t(0));
        // Outputs fall where the phase is 0: at (8 - phase) % 8, then every eighth sample.
        for (int32_t i = (8 - phase) % 8; i < n; i += 8) {
            ring[write] = int16_t(filterAt(line + i) >> 15);
            if (++write >= ringSize)
                write = 0;
        }
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
