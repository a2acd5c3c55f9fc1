#include "FpFrameHasher.h"

#include "FpFftTables.h"
#include "FpTables.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace FpFrameHasher {

namespace {

using FpFftTables::EndBin;
using FpFftTables::FirstBin;
using FpFftTables::Limit;
using FpFftTables::N;
using FpFftTables::Stages;
using FpFftTables::Twiddles;
using FpFftTables::wrap16;

// One butterfly, scalar: i gets q + t, j gets q - t.
inline void butterfly(complex16& a, complex16& b, const int16_t* wReal, const int16_t* wImag, int halve)
{
    const int16_t tr = wrap16((int32_t(b.re) * wReal[0] + int32_t(b.im) * wReal[1]) >> 15);
    const int16_t ti = wrap16((int32_t(b.re) * wImag[0] + int32_t(b.im) * wImag[1]) >> 15);
    const int32_t qr = int32_t(a.re) >> halve;
    const int32_t qi = int32_t(a.im) >> halve;
    b.re = wrap16(qr - tr);
    b.im = wrap16(qi - ti);
    a.re = wrap16(qr + tr);
    a.im = wrap16(qi + ti);
}

inline bool beyondLimit(const complex16* data)
{
#if defined(__SSE2__)
    __m128i high = _mm_setzero_si128();
    __m128i low = _mm_setzero_si128();
    const __m128i* values = reinterpret_cast<const __m128i*>(data);
    for (int i = 0; i < N / 4; ++i) {
        const __m128i v = _mm_loadu_si128(values + i);
        high = _mm_max_epi16(high, v);
        low = _mm_min_epi16(low, v);
    }
    const __m128i over = _mm_or_si128(_mm_cmpgt_epi16(high, _mm_set1_epi16(Limit)),
                                      _mm_cmplt_epi16(low, _mm_set1_epi16(int16_t(-Limit))));
    return _mm_movemask_epi8(over) != 0;
#else
    int16_t high = 0;
    int16_t low = 0;
    const int16_t* values = &data[0].re;
    for (int i = 0; i < 2 * N; ++i) {
        high = std::max(high, values[i]);
        low = std::min(low, values[i]);
    }
    return high > Limit || low < -Limit;
#endif
}

#if defined(__SSE2__)
// The low 16 bits of (a * b) >> 15 per 16-bit lane: bits 15..30 of the 32-bit product.
inline __m128i mulShift15(__m128i a, __m128i b)
{
    return _mm_or_si128(_mm_srli_epi16(_mm_mullo_epi16(a, b), 15), _mm_slli_epi16(_mm_mulhi_epi16(a, b), 1));
}

// t of four butterflies whose lower halves are b: the rotated values, interleaved.
inline __m128i rotate(__m128i b, __m128i wReal, __m128i wImag)
{
    const __m128i tr = _mm_srai_epi32(_mm_madd_epi16(b, wReal), 15);
    const __m128i ti = _mm_srai_epi32(_mm_madd_epi16(b, wImag), 15);
    return _mm_or_si128(_mm_and_si128(tr, _mm_set1_epi32(0xFFFF)), _mm_slli_epi32(ti, 16));
}

struct Extremes
{
    __m128i high = _mm_setzero_si128();
    __m128i low = _mm_setzero_si128();
    void add(__m128i v)
    {
        high = _mm_max_epi16(high, v);
        low = _mm_min_epi16(low, v);
    }
    bool beyondLimit() const
    {
        const __m128i over = _mm_or_si128(_mm_cmpgt_epi16(high, _mm_set1_epi16(Limit)),
                                          _mm_cmplt_epi16(low, _mm_set1_epi16(int16_t(-Limit))));
        return _mm_movemask_epi8(over) != 0;
    }
};
#endif

} // namespace

int fft512(complex16* data)
{
    const Twiddles& tw = FpFftTables::twiddles();
    for (int s = 0; s < tw.swapCount; ++s)
        std::swap(data[tw.swaps[s].first], data[tw.swaps[s].second]);

    int scale = 0;
    bool halve = beyondLimit(data);
#if defined(__SSE2__)
    // Stage 0 pairs neighbours (c0, c1), stage 1 pairs (c0, c2) and (c1, c3): four complex
    // values at a time, rearranged so that the butterflies' halves line up.
    {
        const int h = halve ? 1 : 0;
        // Two 16-bit twiddles as one 32-bit lane (copied: a cast would break strict aliasing).
        int32_t pairReal = 0;
        int32_t pairImag = 0;
        std::memcpy(&pairReal, &tw.real[h][0][0], sizeof pairReal);
        std::memcpy(&pairImag, &tw.imag[h][0][0], sizeof pairImag);
        const __m128i wReal = _mm_set1_epi32(pairReal);
        const __m128i wImag = _mm_set1_epi32(pairImag);
        Extremes extremes;
        for (int i = 0; i < N; i += 4) {
            __m128i* p = reinterpret_cast<__m128i*>(data + i);
            const __m128i v = _mm_loadu_si128(p);
            __m128i a = _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 0, 2, 0));       // c0 c2 c0 c2
            const __m128i b = _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 1, 3, 1)); // c1 c3 c1 c3
            if (h)
                a = _mm_srai_epi16(a, 1);
            const __m128i t = rotate(b, wReal, wImag);
            const __m128i out = _mm_unpacklo_epi32(_mm_add_epi16(a, t), _mm_sub_epi16(a, t));
            _mm_storeu_si128(p, out);
            extremes.add(out);
        }
        scale += h;
        halve = extremes.beyondLimit();
    }
    {
        const int h = halve ? 1 : 0;
        const int32_t* real = reinterpret_cast<const int32_t*>(tw.real[h][1]);
        const int32_t* imag = reinterpret_cast<const int32_t*>(tw.imag[h][1]);
        const __m128i wReal = _mm_setr_epi32(real[0], real[1], real[0], real[1]);
        const __m128i wImag = _mm_setr_epi32(imag[0], imag[1], imag[0], imag[1]);
        Extremes extremes;
        for (int i = 0; i < N; i += 4) {
            __m128i* p = reinterpret_cast<__m128i*>(data + i);
            const __m128i v = _mm_loadu_si128(p);
            __m128i a = _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 1, 0));       // c0 c1 c0 c1
            const __m128i b = _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 2, 3, 2)); // c2 c3 c2 c3
            if (h)
                a = _mm_srai_epi16(a, 1);
            const __m128i t = rotate(b, wReal, wImag);
            const __m128i out = _mm_unpacklo_epi64(_mm_add_epi16(a, t), _mm_sub_epi16(a, t));
            _mm_storeu_si128(p, out);
            extremes.add(out);
        }
        scale += h;
        halve = extremes.beyondLimit();
    }
#else
    for (int stage = 0, L = 1; stage < 2; ++stage, L <<= 1) {
        const int h = halve ? 1 : 0;
        for (int block = 0; block < N; block += 2 * L) {
            for (int r = 0; r < L; ++r)
                butterfly(data[block + r], data[block + r + L], &tw.real[h][stage][2 * r],
                          &tw.imag[h][stage][2 * r], h);
        }
        scale += h;
        halve = beyondLimit(data);
    }
#endif

    for (int stage = 2, L = 4; stage < Stages; ++stage, L <<= 1) {
        const int h = halve ? 1 : 0;
#if defined(__SSE2__)
        Extremes extremes;
        const int16_t* wReal = tw.real[h][stage];
        const int16_t* wImag = tw.imag[h][stage];
        for (int block = 0; block < N; block += 2 * L) {
            for (int r = 0; r < L; r += 4) {
                __m128i* pa = reinterpret_cast<__m128i*>(data + block + r);
                __m128i* pb = reinterpret_cast<__m128i*>(data + block + r + L);
                __m128i a = _mm_loadu_si128(pa);
                const __m128i t = rotate(_mm_loadu_si128(pb),
                                         _mm_load_si128(reinterpret_cast<const __m128i*>(wReal + 2 * r)),
                                         _mm_load_si128(reinterpret_cast<const __m128i*>(wImag + 2 * r)));
                if (h)
                    a = _mm_srai_epi16(a, 1);
                const __m128i sum = _mm_add_epi16(a, t);
                const __m128i difference = _mm_sub_epi16(a, t);
                _mm_storeu_si128(pa, sum);
                _mm_storeu_si128(pb, difference);
                extremes.add(sum);
                extremes.add(difference);
            }
        }
        halve = extremes.beyondLimit();
#else
        for (int block = 0; block < N; block += 2 * L) {
            for (int r = 0; r < L; ++r)
                butterfly(data[block + r], data[block + r + L], &tw.real[h][stage][2 * r],
                          &tw.imag[h][stage][2 * r], h);
        }
        halve = beyondLimit(data);
#endif
        scale += h;
    }
    return scale;
}

int32_t bandEnergies(const int16_t* frame, int32_t* energies)
{
    // Window, into the interleaved layout of the real FFT's packing (re = even, im = odd).
    alignas(16) complex16 data[N + 4];
    int16_t* windowed = &data[0].re;
    const int16_t* w = FpTables::fp_window;
#if defined(__SSE2__)
    for (int i = 0; i < 2 * N; i += 8) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(frame + i));
        const __m128i y = mulShift15(x, _mm_loadu_si128(reinterpret_cast<const __m128i*>(w + i)));
        _mm_store_si128(reinterpret_cast<__m128i*>(windowed + i), y);
    }
#else
    for (int i = 0; i < 2 * N; ++i)
        windowed[i] = wrap16((int32_t(frame[i]) * w[i]) >> 15);
#endif

    const int32_t s = fft512(data);
    data[N] = data[0];

    // The spectrum bins of the bands only, and their energies.
    alignas(16) uint32_t binEnergy[EndBin + 4];
#if defined(__SSE2__)
    // Four bins k .. k + 3 at a time, against N - k .. N - k - 3. Sums and differences are
    // halved by floor division in 16 bits; the wrapped 16-bit result of the written 32-bit
    // sums is the sum of the wrapped terms.
    const FpFftTables::Spectrum& spectrum = FpFftTables::spectrum();
    const __m128i one = _mm_set1_epi16(1);
    const __m128i realLanes = _mm_set1_epi32(0x0000FFFF);
    const __m128i imagLanes = _mm_set1_epi32(int32_t(0xFFFF0000));
    for (int k = FirstBin; k < EndBin; k += 4) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + k));
        const __m128i b = _mm_shuffle_epi32(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + N - k - 3)), _MM_SHUFFLE(0, 1, 2, 3));
        const __m128i ha = _mm_srai_epi16(a, 1);
        const __m128i hb = _mm_srai_epi16(b, 1);
        const __m128i sum = _mm_add_epi16(_mm_add_epi16(ha, hb), _mm_and_si128(_mm_and_si128(a, b), one));
        const __m128i dif = _mm_sub_epi16(_mm_sub_epi16(ha, hb), _mm_andnot_si128(a, _mm_and_si128(b, one)));
        // [sumI, sumI] and [difR, difR] per bin.
        const __m128i sumI =
            _mm_shufflehi_epi16(_mm_shufflelo_epi16(sum, _MM_SHUFFLE(3, 3, 1, 1)), _MM_SHUFFLE(3, 3, 1, 1));
        const __m128i difR =
            _mm_shufflehi_epi16(_mm_shufflelo_epi16(dif, _MM_SHUFFLE(2, 2, 0, 0)), _MM_SHUFFLE(2, 2, 0, 0));
        const __m128i p1 =
            mulShift15(sumI, _mm_load_si128(reinterpret_cast<const __m128i*>(spectrum.cosSin + 2 * k)));
        __m128i p2 =
            mulShift15(difR, _mm_load_si128(reinterpret_cast<const __m128i*>(spectrum.sinCos + 2 * k)));
        // re = sumR + p1 - p2, im = p1 + p2 - difI.
        p2 = _mm_sub_epi16(_mm_xor_si128(p2, realLanes), realLanes); // negate the real lanes
        const __m128i base = _mm_or_si128(_mm_and_si128(sum, realLanes),
                                          _mm_and_si128(_mm_sub_epi16(_mm_setzero_si128(), dif), imagLanes));
        const __m128i x = _mm_add_epi16(_mm_add_epi16(base, p1), p2);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(binEnergy + k), _mm_srli_epi32(_mm_madd_epi16(x, x), 2));
    }
#else
    const int16_t* T = FpTables::fp_sine_table;
    for (int k = FirstBin; k < EndBin; ++k) {
        const int32_t a = data[k].re, b = data[N - k].re, c = data[k].im, d = data[N - k].im;
        const int32_t sumR = (a + b) >> 1, difR = (a - b) >> 1, sumI = (c + d) >> 1, difI = (c - d) >> 1;
        const int32_t cosv = T[8 * k + 2048];
        const int32_t sinv = T[8 * k];
        const int32_t re = wrap16(sumR + ((cosv * sumI) >> 15) - ((sinv * difR) >> 15));
        const int32_t im = wrap16(((sinv * sumI) >> 15) + ((cosv * difR) >> 15) - difI);
        binEnergy[k] = (uint32_t(re * re) + uint32_t(im * im)) >> 2;
    }
#endif
    const int16_t* edges = FpTables::fp_band_edges;
    for (int k = 0; k < FpTables::Bands; ++k) {
        uint32_t sum = 0;
        for (int b = edges[k]; b < edges[k + 1]; ++b)
            sum += binEnergy[b];
        energies[k] = int32_t((sum >> 9) * uint32_t(FpTables::fp_band_weights[k]));
    }
    return s;
}

} // namespace FpFrameHasher
