#pragma once

// A slow, independent rendering of the fingerprint rules, for comparing bit by bit: every
// intermediate is 64-bit and every 16-bit or 32-bit result is masked explicitly.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace Reference {

inline int64_t to16(int64_t v)
{
    return ((v & 0xFFFF) ^ 0x8000) - 0x8000;
}
inline int64_t to32(int64_t v)
{
    return ((v & 0xFFFFFFFFLL) ^ 0x80000000LL) - 0x80000000LL;
}
inline int64_t u32(int64_t v)
{
    return v & 0xFFFFFFFFLL;
}
// Arithmetic shift of a signed 32-bit value by s; 32 or more acts as 31.
inline int64_t asr32(int64_t v, int64_t s)
{
    v = to32(v);
    if (s > 31)
        s = 31;
    return v >= 0 ? (v >> s) : -((-v - 1) >> s) - 1;
}

const int64_t Taps[37] = {-62,  -180, -296, -396, -464, -485, -447, -343, -169, 71,   369,  710,  1076,
                          1442, 1784, 2080, 2308, 2452, 2501, 2452, 2308, 2080, 1784, 1442, 1076, 710,
                          369,  71,   -169, -343, -447, -485, -464, -396, -296, -180, -62};
const int64_t Edges[34] = {56,  62,  67,  73,  79,  85,  91,  98,  104, 111, 118, 126,
                           134, 142, 150, 158, 167, 176, 185, 194, 203, 214, 224, 235,
                           247, 259, 270, 283, 297, 310, 324, 340, 356, 372};

inline int64_t window(int i)
{
    return std::llround(32767.0L * 0.5L *
                        (1.0L - std::cos(2.0L * 3.14159265358979323846264338327950288L * i / 1023.0L)));
}
inline int64_t sine(int i)
{
    const int64_t v =
        std::llround(32768.0L * std::sin(2.0L * 3.14159265358979323846264338327950288L * i / 8192.0L));
    return v > 32767 ? 32767 : v;
}
inline int64_t weight(int k)
{
    const double width = double(Edges[k + 1] - Edges[k]);
    return std::llround(2560.0 / width);
}

struct State
{
    int64_t z[37] = {};
    int64_t phase = 0;
    std::vector<int64_t> ring = std::vector<int64_t>(66144, 0);
    int64_t write = 0;
    int64_t prevE[33] = {};
    int64_t prevScale = 0;
};

inline void decimate(State& st, const std::vector<int16_t>& x)
{
    for (int16_t sample : x) {
        st.z[0] = sample;
        if (st.phase == 0) {
            int64_t acc = 0;
            for (int k = 0; k < 37; ++k)
                acc = to32(acc + Taps[k] * st.z[k]);
            st.ring[st.write] = to16(asr32(acc, 15));
            st.write = st.write + 1 == 66144 ? 0 : st.write + 1;
        }
        for (int k = 36; k >= 1; --k)
            st.z[k] = st.z[k - 1];
        st.phase = st.phase + 1 > 7 ? 0 : st.phase + 1;
    }
}

inline int fft(std::vector<int64_t>& re, std::vector<int64_t>& im, int m)
{
    const int n = 1 << m;
    int j = 0;
    for (int i = 1; i <= n - 1; ++i) {
        int L = n;
        do
            L /= 2;
        while (!(j + L <= n - 1));
        j = (j & (L - 1)) + L;
        if (j > i) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
    }
    int scale = 0;
    int q = 12;
    for (int L = 1; L < n; L *= 2) {
        int shift = 0;
        for (int i = 0; i < n; ++i)
            if (std::llabs(re[i]) > 14000 || std::llabs(im[i]) > 14000)
                shift = 1;
        for (int r = 0; r < L; ++r) {
            const int t = r << q;
            int64_t wr = sine(t + 2048);
            int64_t wi = to16(-sine(t));
            if (shift) {
                wr = to16(asr32(wr, 1));
                wi = to16(asr32(wi, 1));
            }
            for (int i = r; i < n; i += 2 * L) {
                const int jj = i + L;
                const int64_t tr = to16(asr32(to32(wr * re[jj] - wi * im[jj]), 15));
                const int64_t ti = to16(asr32(to32(wr * im[jj] + wi * re[jj]), 15));
                int64_t qr = re[i], qi = im[i];
                if (shift) {
                    qr = asr32(qr, 1);
                    qi = asr32(qi, 1);
                }
                re[jj] = to16(qr - tr);
                im[jj] = to16(qi - ti);
                re[i] = to16(qr + tr);
                im[i] = to16(qi + ti);
            }
        }
        q -= 1;
        scale += shift;
    }
    return scale;
}

inline uint32_t hash(State& st, const int64_t* x)
{
    std::vector<int64_t> re(513), im(513);
    for (int n = 0; n < 512; ++n) {
        re[n] = to16(asr32(to32(x[2 * n] * window(2 * n)), 15));
        im[n] = to16(asr32(to32(x[2 * n + 1] * window(2 * n + 1)), 15));
    }
    const int64_t s = fft(re, im, 9);
    re[512] = re[0];
    im[512] = im[0];
    std::vector<int64_t> Xr(512), Xi(512);
    for (int k = 0; k < 512; ++k) {
        const int64_t a = re[k], b = re[512 - k], c = im[k], d = im[512 - k];
        const int64_t sumR = asr32(a + b, 1), difR = asr32(a - b, 1), sumI = asr32(c + d, 1),
                      difI = asr32(c - d, 1);
        const int64_t cosv = sine(8 * k + 2048), sinv = sine(8 * k);
        Xr[k] = to16(sumR + asr32(cosv * sumI, 15) - asr32(sinv * difR, 15));
        Xi[k] = to16(asr32(sinv * sumI, 15) + asr32(cosv * difR, 15) - difI);
    }
    int64_t E[33];
    for (int k = 0; k < 33; ++k) {
        int64_t sum = 0;
        for (int64_t b = Edges[k]; b < Edges[k + 1]; ++b)
            sum = u32(sum + (u32(Xr[b] * Xr[b] + Xi[b] * Xi[b]) >> 2));
        E[k] = to32(u32((sum >> 9) * weight(k)));
    }
    const int64_t c = 2 * (s - st.prevScale);
    uint32_t bits = 0;
    for (int jj = 0; jj < 32; ++jj) {
        int64_t d;
        if (c > 0)
            d = to32(E[jj] - asr32(st.prevE[jj], c) - E[jj + 1] + asr32(st.prevE[jj + 1], c));
        else
            d = to32(asr32(E[jj], -c) - st.prevE[jj] - asr32(E[jj + 1], -c) + st.prevE[jj + 1]);
        if (d > 0)
            bits |= uint32_t(1) << jj;
    }
    for (int k = 0; k < 33; ++k)
        st.prevE[k] = E[k];
    st.prevScale = s;
    return bits;
}

inline std::vector<uint32_t> block(State& st, int n = 512, int step = 64)
{
    int64_t read = st.write - 1024 - int64_t(step) * (n - 1);
    if (read < 0)
        read += 66144;
    std::vector<int64_t> frame(1024);
    std::vector<uint32_t> out;
    int fill = 0;
    for (int f = 0; f < n; ++f) {
        for (int p = fill; p < 1024; ++p) {
            frame[p] = st.ring[read];
            read = read + 1 == 66144 ? 0 : read + 1;
        }
        out.push_back(hash(st, frame.data()));
        for (int k = 0; k + step < 1024; ++k)
            frame[k] = frame[k + step];
        fill = 1024 - step;
    }
    return out;
}

} // namespace Reference
