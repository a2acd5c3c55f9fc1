#include "FpFftTables.h"

#include "FpTables.h"

#include <cstddef>

namespace FpFftTables {

Twiddles::Twiddles()
{
    const int16_t* T = FpTables::fp_sine_table;
    for (int stage = 0, L = 1, q = 12; stage < Stages; ++stage, L <<= 1, --q) {
        for (int r = 0; r < L; ++r) {
            const int t = r << q;
            for (int halved = 0; halved < 2; ++halved) {
                int16_t wr = T[t + 2048];
                int16_t wi = wrap16(-int32_t(T[t]));
                if (halved) {
                    wr = int16_t(wr >> 1);
                    wi = int16_t(wi >> 1);
                }
                real[halved][stage][2 * r] = wr;
                real[halved][stage][2 * r + 1] = wrap16(-int32_t(wi));
                imag[halved][stage][2 * r] = wi;
                imag[halved][stage][2 * r + 1] = wr;
            }
        }
    }
    for (int i = 1, j = 0; i < N; ++i) {
        int L = N;
        do {
            L >>= 1;
        } while (j + L > N - 1);
        j = (j & (L - 1)) + L;
        if (j > i)
            swaps[size_t(swapCount++)] = {int16_t(i), int16_t(j)};
    }
    for (int i = 0; i < N; ++i) {
        int out = 0;
        for (int bit = 0; bit < Stages; ++bit)
            out |= ((i >> bit) & 1) << (Stages - 1 - bit);
        reversal[size_t(i)] = int16_t(out);
    }
}

const Twiddles& twiddles()
{
    static const Twiddles tables;
    return tables;
}

Spectrum::Spectrum()
{
    const int16_t* T = FpTables::fp_sine_table;
    for (int k = 0; k < N; ++k) {
        cosSin[2 * k] = sinCos[2 * k + 1] = T[8 * k + 2048];
        cosSin[2 * k + 1] = sinCos[2 * k] = T[8 * k];
    }
}

const Spectrum& spectrum()
{
    static const Spectrum tables;
    return tables;
}

} // namespace FpFftTables
