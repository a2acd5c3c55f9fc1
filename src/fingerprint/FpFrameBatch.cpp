#include "FpFrameBatch.h"

#include "FpCpu.h"
#include "FpFftTables.h"
#include "FpFrameHasher.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#define ORVANE_FRAME_BATCH_AVX2 1
#include <immintrin.h>
#endif

namespace FpFrameBatch {

namespace {

using FpFftTables::N;
using FpTables::Bands;

void oneByOne(const int16_t* const* frames, int count, int32_t (*energies)[Bands], int32_t* scales)
{
    for (int f = 0; f < count; ++f)
        scales[f] = FpFrameHasher::bandEnergies(frames[f], energies[f]);
}

#if defined(ORVANE_FRAME_BATCH_AVX2)
#pragma GCC push_options
#pragma GCC target("avx2")
#pragma GCC diagnostic push
// Vectors passed between these internal functions only, all built for AVX2.
#pragma GCC diagnostic ignored "-Wpsabi"

using V = __m256i;

// Two neighbouring 16-bit table entries as one 32-bit lane value.
inline int32_t pairAt(const int16_t* p)
{
    int32_t v = 0;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The low 16 bits of (a * b) >> 15 per 16-bit lane: bits 15..30 of the 32-bit product.
inline V mulShift15(V a, V b)
{
    return _mm256_or_si256(_mm256_srli_epi16(_mm256_mullo_epi16(a, b), 15),
                           _mm256_slli_epi16(_mm256_mulhi_epi16(a, b), 1));
}

// The largest and smallest 16-bit values seen per lane, and from them the lanes (frames)
// whose next stage halves: all 32 bits set where the real or imaginary part passed the limit.
struct Extremes
{
    V high;
    V low;
    Extremes() : high(_mm256_setzero_si256()), low(_mm256_setzero_si256()) {}
    void add(V v)
    {
        high = _mm256_max_epi16(high, v);
        low = _mm256_min_epi16(low, v);
    }
    V halving() const
    {
        const V over =
            _mm256_or_si256(_mm256_cmpgt_epi16(high, _mm256_set1_epi16(FpFftTables::Limit)),
                            _mm256_cmpgt_epi16(_mm256_set1_epi16(int16_t(-FpFftTables::Limit)), low));
        return _mm256_or_si256(over,
                               _mm256_or_si256(_mm256_slli_epi32(over, 16), _mm256_srli_epi32(over, 16)));
    }
};

enum Halving
{
    NoLane,
    EveryLane,
    SomeLanes
};

// One FFT stage over the lanes; returns the next stage's halving lanes (none after the last).
template <Halving mode, bool last> V stage(V* x, int s, V halve, const FpFftTables::Twiddles& tw)
{
    const int L = 1 << s;
    Extremes extremes;
    for (int r = 0; r < L; ++r) {
        V wReal;
        V wImag;
        if constexpr (mode == SomeLanes) {
            wReal = _mm256_blendv_epi8(_mm256_set1_epi32(pairAt(tw.real[0][s] + 2 * r)),
                                       _mm256_set1_epi32(pairAt(tw.real[1][s] + 2 * r)), halve);
            wImag = _mm256_blendv_epi8(_mm256_set1_epi32(pairAt(tw.imag[0][s] + 2 * r)),
                                       _mm256_set1_epi32(pairAt(tw.imag[1][s] + 2 * r)), halve);
        } else {
            const int h = mode == EveryLane ? 1 : 0;
            wReal = _mm256_set1_epi32(pairAt(tw.real[h][s] + 2 * r));
            wImag = _mm256_set1_epi32(pairAt(tw.imag[h][s] + 2 * r));
        }
        for (int block = 0; block < N; block += 2 * L) {
            V* pa = x + block + r;
            V* pb = pa + L;
            V a = _mm256_load_si256(pa);
            const V b = _mm256_load_si256(pb);
            // t = b times the twiddle, >> 15, the real part in the low half of each lane: for
            // the imaginary part, bits 15..30 of its sum are the high half of the sum << 1.
            const V tr = _mm256_srai_epi32(_mm256_madd_epi16(b, wReal), 15);
            const V ti = _mm256_slli_epi32(_mm256_madd_epi16(b, wImag), 1);
            const V t = _mm256_blend_epi16(tr, ti, 0xAA);
            if constexpr (mode == EveryLane)
                a = _mm256_srai_epi16(a, 1);
            else if constexpr (mode == SomeLanes)
                a = _mm256_blendv_epi8(a, _mm256_srai_epi16(a, 1), halve);
            const V sum = _mm256_add_epi16(a, t);
            const V difference = _mm256_sub_epi16(a, t);
            _mm256_store_si256(pa, sum);
            _mm256_store_si256(pb, difference);
            if constexpr (!last) {
                extremes.add(sum);
                extremes.add(difference);
            }
        }
    }
    return last ? _mm256_setzero_si256() : extremes.halving();
}

template <bool last> V stageOf(int lanes, V* x, int s, V halve, const FpFftTables::Twiddles& tw)
{
    if (lanes == 0)
        return stage<NoLane, last>(x, s, halve, tw);
    if (lanes == -1)
        return stage<EveryLane, last>(x, s, halve, tw);
    return stage<SomeLanes, last>(x, s, halve, tw);
}

// Energy of spectrum bin k per lane, from the FFT's values k and N - k (the real FFT's last
// step, as FpFrameHasher computes it for one frame).
inline V binEnergy(const V* x, int k, const FpFftTables::Spectrum& spectrum)
{
    const V one = _mm256_set1_epi16(1);
    const V realLanes = _mm256_set1_epi32(0x0000FFFF);
    const V imagLanes = _mm256_set1_epi32(int32_t(0xFFFF0000));
    const V a = _mm256_load_si256(x + k);
    const V b = _mm256_load_si256(x + N - k);
    // Sums and differences halved by floor division in 16 bits.
    const V ha = _mm256_srai_epi16(a, 1);
    const V hb = _mm256_srai_epi16(b, 1);
    const V sum = _mm256_add_epi16(_mm256_add_epi16(ha, hb), _mm256_and_si256(_mm256_and_si256(a, b), one));
    const V dif =
        _mm256_sub_epi16(_mm256_sub_epi16(ha, hb), _mm256_andnot_si256(a, _mm256_and_si256(b, one)));
    const V sumI =
        _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(sum, _MM_SHUFFLE(3, 3, 1, 1)), _MM_SHUFFLE(3, 3, 1, 1));
    const V difR =
        _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(dif, _MM_SHUFFLE(2, 2, 0, 0)), _MM_SHUFFLE(2, 2, 0, 0));
    const V p1 = mulShift15(sumI, _mm256_set1_epi32(pairAt(spectrum.cosSin + 2 * k)));
    V p2 = mulShift15(difR, _mm256_set1_epi32(pairAt(spectrum.sinCos + 2 * k)));
    // re = sumR + p1 - p2, im = p1 + p2 - difI.
    p2 = _mm256_sub_epi16(_mm256_xor_si256(p2, realLanes), realLanes);
    const V base =
        _mm256_or_si256(_mm256_and_si256(sum, realLanes),
                        _mm256_and_si256(_mm256_sub_epi16(_mm256_setzero_si256(), dif), imagLanes));
    const V value = _mm256_add_epi16(_mm256_add_epi16(base, p1), p2);
    return _mm256_srli_epi32(_mm256_madd_epi16(value, value), 2);
}

// Rows r[0..7] of eight 32-bit values -> columns: r[k] becomes element k of every row.
inline void transpose8(V* r)
{
    const V t0 = _mm256_unpacklo_epi32(r[0], r[1]);
    const V t1 = _mm256_unpackhi_epi32(r[0], r[1]);
    const V t2 = _mm256_unpacklo_epi32(r[2], r[3]);
    const V t3 = _mm256_unpackhi_epi32(r[2], r[3]);
    const V t4 = _mm256_unpacklo_epi32(r[4], r[5]);
    const V t5 = _mm256_unpackhi_epi32(r[4], r[5]);
    const V t6 = _mm256_unpacklo_epi32(r[6], r[7]);
    const V t7 = _mm256_unpackhi_epi32(r[6], r[7]);
    const V u0 = _mm256_unpacklo_epi64(t0, t2);
    const V u1 = _mm256_unpackhi_epi64(t0, t2);
    const V u2 = _mm256_unpacklo_epi64(t1, t3);
    const V u3 = _mm256_unpackhi_epi64(t1, t3);
    const V u4 = _mm256_unpacklo_epi64(t4, t6);
    const V u5 = _mm256_unpackhi_epi64(t4, t6);
    const V u6 = _mm256_unpacklo_epi64(t5, t7);
    const V u7 = _mm256_unpackhi_epi64(t5, t7);
    r[0] = _mm256_permute2x128_si256(u0, u4, 0x20);
    r[1] = _mm256_permute2x128_si256(u1, u5, 0x20);
    r[2] = _mm256_permute2x128_si256(u2, u6, 0x20);
    r[3] = _mm256_permute2x128_si256(u3, u7, 0x20);
    r[4] = _mm256_permute2x128_si256(u0, u4, 0x31);
    r[5] = _mm256_permute2x128_si256(u1, u5, 0x31);
    r[6] = _mm256_permute2x128_si256(u2, u6, 0x31);
    r[7] = _mm256_permute2x128_si256(u3, u7, 0x31);
}

// Exactly Lanes frames.
void inLanes(const int16_t* const* frames, int32_t (*energies)[Bands], int32_t* scales)
{
    // Windowed, each frame a row of 512 complex values (re, im as one 32-bit lane).
    alignas(32) uint32_t rows[Lanes][N];
    const int16_t* w = FpTables::fp_window;
    for (int f = 0; f < Lanes; ++f) {
        for (int i = 0; i < 2 * N; i += 16) {
            const V y = mulShift15(_mm256_loadu_si256(reinterpret_cast<const V*>(frames[f] + i)),
                                   _mm256_loadu_si256(reinterpret_cast<const V*>(w + i)));
            _mm256_store_si256(reinterpret_cast<V*>(&rows[f][i / 2]), y);
        }
    }
    // Columns, in bit-reversed order: x[i] holds complex value i of every frame.
    alignas(32) V x[N + 1];
    const FpFftTables::Twiddles& tw = FpFftTables::twiddles();
    Extremes input;
    for (int i = 0; i < N; i += 8) {
        V block[8];
        for (int f = 0; f < Lanes; ++f)
            block[f] = _mm256_load_si256(reinterpret_cast<const V*>(&rows[f][i]));
        transpose8(block);
        for (int k = 0; k < 8; ++k) {
            x[tw.reversal[size_t(i + k)]] = block[k];
            input.add(block[k]);
        }
    }

    V halve = input.halving();
    V scale = _mm256_setzero_si256();
    for (int s = 0; s < FpFftTables::Stages; ++s) {
        const int lanes = _mm256_movemask_epi8(halve);
        const V next = s < FpFftTables::Stages - 1 ? stageOf<false>(lanes, x, s, halve, tw)
                                                   : stageOf<true>(lanes, x, s, halve, tw);
        scale = _mm256_sub_epi32(scale, halve); // a halving lane is -1
        halve = next;
    }
    x[N] = x[0];

    // Band energies: (sum of the band's bin energies >> 9) * weight, per lane.
    alignas(32) int32_t bands[Bands][Lanes];
    const int16_t* edges = FpTables::fp_band_edges;
    const FpFftTables::Spectrum& spectrum = FpFftTables::spectrum();
    for (int k = 0; k < Bands; ++k) {
        V sum = _mm256_setzero_si256();
        for (int b = edges[k]; b < edges[k + 1]; ++b)
            sum = _mm256_add_epi32(sum, binEnergy(x, b, spectrum));
        const V energy =
            _mm256_mullo_epi32(_mm256_srli_epi32(sum, 9), _mm256_set1_epi32(FpTables::fp_band_weights[k]));
        _mm256_store_si256(reinterpret_cast<V*>(bands[k]), energy);
    }
    alignas(32) int32_t scaleLanes[Lanes];
    _mm256_store_si256(reinterpret_cast<V*>(scaleLanes), scale);
    for (int f = 0; f < Lanes; ++f) {
        for (int k = 0; k < Bands; ++k)
            energies[f][k] = bands[k][f];
        scales[f] = scaleLanes[f];
    }
}

#pragma GCC diagnostic pop
#pragma GCC pop_options
#endif

} // namespace

bool vectorised()
{
#if defined(ORVANE_FRAME_BATCH_AVX2)
    return fpHasAvx2();
#else
    return false;
#endif
}

void bandEnergies(const int16_t* const* frames, int count, int32_t (*energies)[Bands], int32_t* scales)
{
#if defined(ORVANE_FRAME_BATCH_AVX2)
    // Fewer than three frames cost less one by one than a batch.
    if (count > 2 && count <= Lanes && vectorised()) {
        const int16_t* lanes[Lanes];
        int32_t laneEnergies[Lanes][Bands];
        int32_t laneScales[Lanes];
        for (int f = 0; f < Lanes; ++f)
            lanes[f] = frames[f < count ? f : 0]; // spare lanes repeat the first frame
        inLanes(lanes, laneEnergies, laneScales);
        for (int f = 0; f < count; ++f) {
            std::memcpy(energies[f], laneEnergies[f], sizeof laneEnergies[f]);
            scales[f] = laneScales[f];
        }
        return;
    }
#endif
    oneByOne(frames, count, energies, scales);
}

} // namespace FpFrameBatch
