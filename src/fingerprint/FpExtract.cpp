// Sub-fingerprints of frames of the sample ring: window, fixed-point FFT, band energies,
// and one bit per neighbouring band pair for the growth of their energy difference.
#include "FpExtract.h"

#include "FpFrameBatch.h"
#include "FpFrameHasher.h"
#include "FpTables.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

using FpTables::fp_band_edges;
using FpTables::fp_band_weights;
using FpTables::fp_sine_table;
using FpTables::fp_window;

inline int16_t wrap16(int32_t value)
{
    return int16_t(uint16_t(uint32_t(value)));
}

// Arithmetic shift right of a signed 32-bit value; a shift of 32 or more acts as 31.
inline int32_t shiftRight(int32_t value, int32_t shift)
{
    return value >> std::min(shift, 31);
}

inline int32_t add32(int32_t a, int32_t b)
{
    return int32_t(uint32_t(a) + uint32_t(b));
}

inline int32_t sub32(int32_t a, int32_t b)
{
    return int32_t(uint32_t(a) - uint32_t(b));
}

// The bits whose difference is small beside the frame's others, the ones noise flips at the
// least: magnitude below half the mean, (sum of magnitude / 32) / 2 (each magnitude divided by
// 32 as it is summed, so that the sum stays in 32 bits).
uint32_t weakBits(const int32_t* D)
{
    uint32_t magnitude[32];
    uint32_t sum = 0;
    for (int j = 0; j < 32; ++j) {
        magnitude[j] = D[j] < 0 ? 0u - uint32_t(D[j]) : uint32_t(D[j]);
        sum += magnitude[j] >> 5;
    }
    uint32_t mask = 0;
    for (int j = 0; j < 32; ++j)
        mask |= uint32_t(magnitude[j] < (sum >> 1)) << j;
    return mask;
}

} // namespace

int fp_fft(int16_t* re, int16_t* im, int m, int inverse)
{
    (void)inverse;
    if (m < 0 || m > 13)
        return -1;
    const int n = 1 << m;

    for (int i = 1, j = 0; i < n; ++i) {
        int L = n;
        do {
            L >>= 1;
        } while (j + L > n - 1);
        j = (j & (L - 1)) + L;
        if (j > i) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
    }

    int scale = 0;
    int q = 12;
    for (int L = 1; L < n; L <<= 1, --q) {
        int shift = 0;
        for (int i = 0; i < n; ++i) {
            if (std::abs(int32_t(re[i])) > 14000 || std::abs(int32_t(im[i])) > 14000) {
                shift = 1;
                break;
            }
        }
        for (int r = 0; r < L; ++r) {
            const int t = r << q;
            int16_t wr = fp_sine_table[t + 2048];
            int16_t wi = wrap16(-int32_t(fp_sine_table[t]));
            if (shift) {
                wr = int16_t(wr >> 1);
                wi = int16_t(wi >> 1);
            }
            for (int i = r; i < n; i += 2 * L) {
                const int j = i + L;
                const int16_t tr = wrap16((int32_t(wr) * re[j] - int32_t(wi) * im[j]) >> 15);
                const int16_t ti = wrap16((int32_t(wr) * im[j] + int32_t(wi) * re[j]) >> 15);
                int32_t qr = re[i];
                int32_t qi = im[i];
                if (shift) {
                    qr >>= 1;
                    qi >>= 1;
                }
                re[j] = wrap16(qr - tr);
                im[j] = wrap16(qi - ti);
                re[i] = wrap16(qr + tr);
                im[i] = wrap16(qi + ti);
            }
        }
        scale += shift;
    }
    return scale;
}

int fp_real_fft(const vec16* x, veccomplex16* X)
{
    int16_t re[513];
    int16_t im[513];
    for (int n = 0; n < 512; ++n) {
        re[n] = x->data[2 * n];
        im[n] = x->data[2 * n + 1];
    }
    const int s = fp_fft(re, im, 9, 0);
    re[512] = re[0];
    im[512] = im[0];
    X->resize(512);
    for (int k = 0; k < 512; ++k) {
        const int32_t a = re[k], b = re[512 - k], c = im[k], d = im[512 - k];
        const int32_t sumR = (a + b) >> 1, difR = (a - b) >> 1, sumI = (c + d) >> 1, difI = (c - d) >> 1;
        const int32_t cosv = fp_sine_table[8 * k + 2048];
        const int32_t sinv = fp_sine_table[8 * k];
        X->data[k].re = wrap16(sumR + ((cosv * sumI) >> 15) - ((sinv * difR) >> 15));
        X->data[k].im = wrap16(((sinv * sumI) >> 15) + ((cosv * difR) >> 15) - difI);
    }
    return s;
}

uint32_t fp_hash_energies(AcFpInfo* info, const int32_t* E, int32_t s, uint32_t* weak)
{
    const int32_t c = 2 * (s - info->scaling_prev_fxp);
    const int32_t* P = info->Eb_prev_fxp;
    uint32_t bits = 0;
    int32_t D[32];
    for (int j = 0; j < 32; ++j) {
        int32_t d;
        if (c > 0)
            d = add32(sub32(sub32(E[j], shiftRight(P[j], c)), E[j + 1]), shiftRight(P[j + 1], c));
        else
            d = add32(sub32(sub32(shiftRight(E[j], -c), P[j]), shiftRight(E[j + 1], -c)), P[j + 1]);
        if (d > 0)
            bits |= 1u << j;
        D[j] = d;
    }
    if (weak) {
        *weak = weakBits(D);
    }
    std::copy(E, E + AcFpInfo::Bands, info->Eb_prev_fxp);
    info->scaling_prev_fxp = s;
    return bits;
}

uint32_t fp_hash_frame(AcFpInfo* info, const int16_t* frame)
{
    int32_t E[AcFpInfo::Bands];
    const int32_t s = FpFrameHasher::bandEnergies(frame, E);
    return fp_hash_energies(info, E, s);
}

void fp_hash_frames(AcFpInfo* info, const int16_t* const* frames, int count, uint32_t* out, uint32_t* weak)
{
    int32_t energies[FpFrameBatch::Lanes][AcFpInfo::Bands];
    int32_t scales[FpFrameBatch::Lanes];
    for (int done = 0; done < count; done += FpFrameBatch::Lanes) {
        const int n = std::min(FpFrameBatch::Lanes, count - done);
        FpFrameBatch::bandEnergies(frames + done, n, energies, scales);
        for (int f = 0; f < n; ++f)
            out[done + f] = fp_hash_energies(info, energies[f], scales[f], weak ? weak + done + f : nullptr);
    }
}

void fp_extract_block(AcFpInfo* info, vec32* out)
{
    const int32_t ringSize = info->fftFIFO.datasize;
    const int32_t n = info->n_fp_samples;
    const int32_t step = info->fpStep;
    int32_t read = info->idxWRfftFIFO.load(std::memory_order_acquire) - AcFpInfo::FrameSize - step * (n - 1);
    while (read < 0)
        read += ringSize;
    out->resize(n);
    info->countHash = 0;
    if (n <= 0)
        return;

    // The block's samples in one line (the ring may wrap within them), then its frames in
    // batches.
    const int32_t span = AcFpInfo::FrameSize + step * (n - 1);
    std::vector<int16_t> line(static_cast<size_t>(std::max(span, 0)));
    const int16_t* ring = info->fftFIFO.data;
    for (int32_t p = 0; p < span; ++p) {
        line[size_t(p)] = ring[read];
        if (++read >= ringSize)
            read = 0;
    }
    info->idxRDfftFIFO = read;
    std::vector<const int16_t*> frames(static_cast<size_t>(n));
    for (int32_t f = 0; f < n; ++f)
        frames[size_t(f)] = line.data() + size_t(f) * size_t(step);
    fp_hash_frames(info, frames.data(), n, reinterpret_cast<uint32_t*>(out->data));
    info->countHash = n;
    std::copy(line.end() - AcFpInfo::FrameSize, line.end(), info->fftBuffer_fxp);
}
