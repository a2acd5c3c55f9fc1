#include "ReferenceFingerprint.h"
#include "Signals.h"

#include "fingerprint/AcFpInfo.h"
#include "fingerprint/FpExtract.h"
#include "fingerprint/FpFrameBatch.h"
#include "fingerprint/FpTables.h"

#include <QTest>

#include <memory>

namespace {

std::unique_ptr<AcFpInfo> freshState()
{
    auto info = std::make_unique<AcFpInfo>();
    fp_info_init(info.get());
    fp_info_reset(info.get(), 512, 64);
    return info;
}

// Feeds samples in buffers of the given size, as the capture does.
void feed(AcFpInfo* info, const std::vector<int16_t>& samples, int bufferSize = 367)
{
    for (size_t done = 0; done < samples.size(); done += bufferSize) {
        vec16 buffer;
        const int n = int(std::min<size_t>(bufferSize, samples.size() - done));
        buffer.resize(n);
        std::copy(samples.begin() + done, samples.begin() + done + n, buffer.data);
        fp_decimate(info, &buffer);
    }
}

std::vector<uint32_t> block(AcFpInfo* info)
{
    vec32 out;
    fp_extract_block(info, &out);
    return std::vector<uint32_t>(reinterpret_cast<uint32_t*>(out.data),
                                 reinterpret_cast<uint32_t*>(out.data) + out.datasize);
}

// Index of the first difference, or -1.
template <typename A, typename B> int firstDifference(const A& a, const B& b, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        if (int64_t(a[i]) != int64_t(b[i]))
            return int(i);
    }
    return -1;
}

#define COMPARE_SEQUENCES(fast, reference, n)                                                                \
    do {                                                                                                     \
        const int at = firstDifference(fast, reference, n);                                                  \
        QVERIFY2(at < 0, qPrintable(QStringLiteral("first difference at index %1: %2 instead of %3")         \
                                        .arg(at)                                                             \
                                        .arg(at < 0 ? 0 : qint64(fast[at]))                                  \
                                        .arg(at < 0 ? 0 : qint64(reference[at]))));                          \
    } while (false)

// Frames that drive every wrap and halving path: full scale, extremes, impulses, noise at
// levels from full scale down, full-scale tones.
std::vector<std::vector<int16_t>> hostileFrames()
{
    std::vector<std::vector<int16_t>> frames;
    frames.push_back(std::vector<int16_t>(1024, -32768));
    frames.push_back(std::vector<int16_t>(1024, 32767));
    std::vector<int16_t> alternating(1024);
    for (int i = 0; i < 1024; ++i)
        alternating[i] = i % 2 ? int16_t(-32768) : int16_t(32767);
    frames.push_back(alternating);
    std::vector<int16_t> impulse(1024, 0);
    impulse[512] = -32768;
    frames.push_back(impulse);
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        std::vector<int16_t> x = Signals::noise(1024, seed);
        for (int i = 0; i < 1024; ++i)
            x[i] = seed % 3 == 0 ? int16_t(x[i] < 0 ? -32768 : 32767) : int16_t(x[i] >> (seed % 8));
        frames.push_back(x);
    }
    for (int f = 0; f < 24; ++f) {
        std::vector<int16_t> tone(1024);
        for (int i = 0; i < 1024; ++i)
            tone[i] = int16_t(std::lround(32767 * std::sin(2 * M_PI * (60 + 13 * f) * i / 1024.0)));
        frames.push_back(tone);
    }
    return frames;
}

} // namespace

class TestFingerprint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void vectors()
    {
        vec16 v;
        QVERIFY(v.data == nullptr && v.datasize == 0);
        QCOMPARE(v.resize(10), 1);
        QCOMPARE(v.size(), 10);
        v.zero();
        v.data[3] = 7;
        QCOMPARE(v.resize(10), 0);
        QCOMPARE(v.data[3], int16_t(7)); // same size keeps the contents
        QCOMPARE(v.resize(0), 0);
        QVERIFY(v.data == nullptr && v.datasize == 0);
        veccomplex16 c;
        QCOMPARE(c.resize(512), 1);
        QCOMPARE(int(sizeof(c.data[0])), 4);
    }

    void tables()
    {
        using namespace FpTables;
        const int16_t* w = fp_window;
        QCOMPARE(w[0], int16_t(0));
        QCOMPARE(w[1], int16_t(0));
        QCOMPARE(w[2], int16_t(1));
        QCOMPARE(w[3], int16_t(3));
        QCOMPARE(w[4], int16_t(5));
        QCOMPARE(w[256], int16_t(16409));
        QCOMPARE(w[511], int16_t(32767));
        QCOMPARE(w[512], int16_t(32767));
        QCOMPARE(w[1023], int16_t(0));
        const int16_t* T = fp_sine_table;
        QCOMPARE(T[0], int16_t(0));
        QCOMPARE(T[1], int16_t(25));
        QCOMPARE(T[1024], int16_t(23170));
        for (int i = 2041; i <= 2055; ++i)
            QCOMPARE(T[i], int16_t(32767));
        QCOMPARE(T[4096], int16_t(0));
        QCOMPARE(T[6143], int16_t(-32768));
        int taps = 0;
        int magnitudes = 0;
        for (int k = 0; k < 37; ++k) {
            taps += fp_decimation_taps[k];
            magnitudes += std::abs(fp_decimation_taps[k]);
            QCOMPARE(fp_decimation_taps[k], fp_decimation_taps[36 - k]);
        }
        QCOMPARE(taps, 21401);
        QCOMPARE(magnitudes, 32769);
        for (int i = 0; i < WindowSize; ++i)
            QCOMPARE(int64_t(w[i]), Reference::window(i));
        for (int i = 0; i < SineSize; ++i)
            QCOMPARE(int64_t(T[i]), Reference::sine(i));
        for (int k = 0; k < Bands; ++k)
            QCOMPARE(int64_t(fp_band_weights[k]), Reference::weight(k));
    }

    void constantInputSettlesTo653()
    {
        auto info = freshState();
        feed(info.get(), std::vector<int16_t>(8 * 10, 1000));
        // Outputs at inputs 0, 8, ..., 72: from input 36 on, the whole line holds 1000.
        QCOMPARE(info->idxWRfftFIFO.load(), 10);
        QCOMPARE(info->fftFIFO.data[9], int16_t(653));
        QCOMPARE(info->fftFIFO.data[5], int16_t(653));
        QVERIFY(info->fftFIFO.data[0] != 653);
        QCOMPARE(info->fftFIFO.data[0], int16_t((1000 * -62) >> 15));
    }

    void outputsFallEveryEighthSampleAcrossBuffers()
    {
        const std::vector<int16_t> x = Signals::noise(44100, 7);
        auto whole = freshState();
        feed(whole.get(), x, int(x.size()));
        auto pieces = freshState();
        feed(pieces.get(), x, 367);
        auto odd = freshState();
        feed(odd.get(), x, 5);
        QCOMPARE(whole->idxWRfftFIFO.load(), (44100 + 7) / 8);
        QCOMPARE(pieces->idxWRfftFIFO.load(), whole->idxWRfftFIFO.load());
        COMPARE_SEQUENCES(pieces->fftFIFO.data, whole->fftFIFO.data, 66144);
        COMPARE_SEQUENCES(odd->fftFIFO.data, whole->fftFIFO.data, 66144);
        QCOMPARE(pieces->phase, 44100 % 8);
        COMPARE_SEQUENCES(pieces->z_fxp, whole->z_fxp, 37);
        Reference::State reference;
        Reference::decimate(reference, x);
        COMPARE_SEQUENCES(whole->fftFIFO.data, reference.ring, 66144);
        COMPARE_SEQUENCES(whole->z_fxp, reference.z, 37);
        // An empty buffer changes nothing.
        vec16 empty;
        QCOMPARE(fp_decimate(whole.get(), &empty), 0);
        QCOMPARE(whole->idxWRfftFIFO.load(), pieces->idxWRfftFIFO.load());
    }

    void theWriteIndexWraps()
    {
        auto info = freshState();
        info->idxWRfftFIFO = 66143;
        feed(info.get(), std::vector<int16_t>(9, 1000));
        QCOMPARE(info->idxWRfftFIFO.load(), 1);
        QCOMPARE(info->fftFIFO.data[66143], int16_t((1000 * -62) >> 15));
        // fp_info_reset keeps the write position.
        fp_info_reset(info.get(), 512, 64);
        QCOMPARE(info->idxWRfftFIFO.load(), 1);
    }

    void silenceGivesZeroSubFingerprints()
    {
        auto info = freshState();
        feed(info.get(), std::vector<int16_t>(44100 * 7, 0));
        const std::vector<uint32_t> hashes = block(info.get());
        QCOMPARE(int(hashes.size()), 512);
        QCOMPARE(info->countHash, 512);
        for (uint32_t h : hashes)
            QCOMPARE(h, 0u);
    }

    void theSameFrameTwiceGivesZero()
    {
        auto info = freshState();
        const std::vector<int16_t> frame = Signals::noise(1024, 3);
        const uint32_t first = fp_hash_frame(info.get(), frame.data());
        QVERIFY(first != 0);
        QCOMPARE(fp_hash_frame(info.get(), frame.data()), 0u);
    }

    void fftScaling()
    {
        vec16 quiet;
        quiet.resize(1024);
        const std::vector<int16_t> small = Signals::noise(1024, 11, 20);
        std::copy(small.begin(), small.end(), quiet.data);
        veccomplex16 X;
        QCOMPARE(fp_real_fft(&quiet, &X), 0);
        QCOMPARE(X.size(), 512);
        vec16 tone;
        tone.resize(1024);
        for (int i = 0; i < 1024; ++i)
            tone.data[i] = int16_t(std::lround(32767 * std::sin(2 * M_PI * 100 * i / 1024.0)));
        const int s = fp_real_fft(&tone, &X);
        QVERIFY(s > 0 && s <= 9);

        int16_t re[16384] = {1, 2, 3};
        int16_t im[16384] = {4};
        QCOMPARE(fp_fft(re, im, 14, 0), -1);
        QCOMPARE(re[1], int16_t(2));
        QCOMPARE(im[0], int16_t(4));
        QCOMPARE(fp_fft(re, im, 13, 0) >= 0, true);
    }

    void goldenBlocks_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("noise") << 0;
        QTest::newRow("chirp") << 1;
        QTest::newRow("square") << 2;
        QTest::newRow("loudness bursts") << 3;
    }
    void goldenBlocks()
    {
        QFETCH(int, kind);
        const int count = 44100 * 9;
        std::vector<int16_t> x;
        switch (kind) {
        case 0:
            x = Signals::noise(count, 2024);
            break;
        case 1:
            x = Signals::chirp(count, 100, 3000);
            break;
        case 2:
            x = Signals::square(count, 441);
            break;
        default:
            x = Signals::bursts(count, 99);
            break;
        }
        auto info = freshState();
        Reference::State reference;
        // The first block comes from a ring still partly zero; the second continues the first.
        const std::vector<int16_t> first(x.begin(), x.begin() + 44100 * 3);
        const std::vector<int16_t> second(x.begin() + 44100 * 3, x.end());
        for (const auto* part : {&first, &second}) {
            feed(info.get(), *part);
            Reference::decimate(reference, *part);
            COMPARE_SEQUENCES(info->fftFIFO.data, reference.ring, 66144);
            const std::vector<uint32_t> fast = block(info.get());
            const std::vector<uint32_t> slow = Reference::block(reference);
            QCOMPARE(fast.size(), size_t(512));
            COMPARE_SEQUENCES(fast, slow, 512);
            QCOMPARE(info->scaling_prev_fxp, int32_t(reference.prevScale));
            COMPARE_SEQUENCES(info->Eb_prev_fxp, reference.prevE, 33);
        }
    }

    void hostileFramesMatchTheReference()
    {
        const std::vector<std::vector<int16_t>> frames = hostileFrames();
        auto info = freshState();
        Reference::State reference;
        for (size_t f = 0; f < frames.size(); ++f) {
            std::vector<int64_t> wide(frames[f].begin(), frames[f].end());
            const uint32_t fast = fp_hash_frame(info.get(), frames[f].data());
            const uint32_t slow = Reference::hash(reference, wide.data());
            QVERIFY2(fast == slow,
                     qPrintable(QStringLiteral("frame %1: %2 instead of %3").arg(f).arg(fast).arg(slow)));
            QCOMPARE(info->scaling_prev_fxp, int32_t(reference.prevScale));
        }
    }

    void framesHashedTogetherMatchOneByOne()
    {
        // Every run length (a whole batch, partial ones with spare lanes, more than one batch)
        // over frames whose FFT stages halve in some lanes of a batch and not in others.
        std::vector<std::vector<int16_t>> frames = hostileFrames();
        for (uint32_t seed = 1; seed <= 12; ++seed)
            frames.insert(frames.begin() + seed * 5, Signals::noise(1024, seed * 31, 300 * seed));
        if (!FpFrameBatch::vectorised())
            qInfo("no AVX2 here: batches take the one-frame path");
        for (int run = 1; run <= 17; ++run) {
            auto one = freshState();
            auto together = freshState();
            for (size_t from = 0; from + size_t(run) <= frames.size(); from += size_t(run)) {
                std::vector<const int16_t*> pointers;
                for (int f = 0; f < run; ++f)
                    pointers.push_back(frames[from + size_t(f)].data());
                std::vector<uint32_t> got(static_cast<size_t>(run));
                fp_hash_frames(together.get(), pointers.data(), run, got.data());
                for (int f = 0; f < run; ++f) {
                    const uint32_t expected = fp_hash_frame(one.get(), pointers[size_t(f)]);
                    QVERIFY2(got[size_t(f)] == expected,
                             qPrintable(QStringLiteral("run %1, frame %2: %3 instead of %4")
                                            .arg(run)
                                            .arg(from + size_t(f))
                                            .arg(got[size_t(f)])
                                            .arg(expected)));
                }
                QCOMPARE(together->scaling_prev_fxp, one->scaling_prev_fxp);
                COMPARE_SEQUENCES(together->Eb_prev_fxp, one->Eb_prev_fxp, 33);
            }
        }
        // The energies and scaling counts themselves, a batch of every kind of frame at once.
        const int16_t* batch[FpFrameBatch::Lanes];
        for (int f = 0; f < FpFrameBatch::Lanes; ++f)
            batch[f] = frames[size_t(f * 11 % int(frames.size()))].data();
        int32_t energies[FpFrameBatch::Lanes][FpTables::Bands];
        int32_t scales[FpFrameBatch::Lanes];
        FpFrameBatch::bandEnergies(batch, FpFrameBatch::Lanes, energies, scales);
        for (int f = 0; f < FpFrameBatch::Lanes; ++f) {
            Reference::State reference;
            std::vector<int64_t> wide(batch[f], batch[f] + 1024);
            Reference::hash(reference, wide.data());
            QCOMPARE(scales[f], int32_t(reference.prevScale));
            COMPARE_SEQUENCES(energies[f], reference.prevE, 33);
        }
    }

    void longRunsDecimateAsShortOnesAcrossTheRingEnd()
    {
        // Buffers long enough for the vector filter, from every phase, with the ring's end
        // inside them, give what buffers of 5 samples give.
        std::vector<int16_t> x = Signals::noise(44100 * 2, 11);
        for (size_t i = 30000; i < 40000; ++i)
            x[i] = x[i] < 0 ? int16_t(-32768) : int16_t(32767);
        for (int lead = 0; lead < 8; ++lead) {
            for (const int size : {4096, 4100, 9000, 44100 * 2}) {
                auto whole = freshState();
                auto pieces = freshState();
                whole->idxWRfftFIFO = 66144 - 700;
                pieces->idxWRfftFIFO = 66144 - 700;
                const std::vector<int16_t> head(x.begin(), x.begin() + lead);
                const std::vector<int16_t> tail(x.begin() + lead, x.end());
                feed(whole.get(), head, 5);
                feed(whole.get(), tail, size);
                feed(pieces.get(), x, 5);
                QCOMPARE(whole->idxWRfftFIFO.load(), pieces->idxWRfftFIFO.load());
                QCOMPARE(whole->phase, pieces->phase);
                COMPARE_SEQUENCES(whole->fftFIFO.data, pieces->fftFIFO.data, 66144);
                COMPARE_SEQUENCES(whole->z_fxp, pieces->z_fxp, 37);
            }
        }
    }

    void publicTransformsMatchTheReference()
    {
        for (uint32_t seed = 1; seed <= 20; ++seed) {
            std::vector<int16_t> x = Signals::noise(1024, seed * 7919, seed % 2 ? 32767 : 900);
            // fp_fft on 512 points.
            std::vector<int16_t> re(512), im(512);
            std::vector<int64_t> refRe(512), refIm(512);
            for (int i = 0; i < 512; ++i) {
                re[i] = x[2 * i];
                im[i] = x[2 * i + 1];
                refRe[i] = re[i];
                refIm[i] = im[i];
            }
            const int scale = fp_fft(re.data(), im.data(), 9, 0);
            QCOMPARE(scale, Reference::fft(refRe, refIm, 9));
            COMPARE_SEQUENCES(re, refRe, 512);
            COMPARE_SEQUENCES(im, refIm, 512);
            // fp_real_fft against the same steps done by the reference on the raw packing.
            vec16 frame;
            frame.resize(1024);
            std::copy(x.begin(), x.end(), frame.data);
            veccomplex16 X;
            const int s = fp_real_fft(&frame, &X);
            std::vector<int64_t> pr(513), pi(513);
            for (int n = 0; n < 512; ++n) {
                pr[n] = x[2 * n];
                pi[n] = x[2 * n + 1];
            }
            QCOMPARE(s, Reference::fft(pr, pi, 9));
            pr[512] = pr[0];
            pi[512] = pi[0];
            for (int k = 0; k < 512; ++k) {
                using namespace Reference;
                const int64_t a = pr[k], b = pr[512 - k], c = pi[k], d = pi[512 - k];
                const int64_t sumR = asr32(a + b, 1), difR = asr32(a - b, 1), sumI = asr32(c + d, 1),
                              difI = asr32(c - d, 1);
                const int64_t cosv = sine(8 * k + 2048), sinv = sine(8 * k);
                QCOMPARE(int64_t(X.data[k].re), to16(sumR + asr32(cosv * sumI, 15) - asr32(sinv * difR, 15)));
                QCOMPARE(int64_t(X.data[k].im), to16(asr32(sinv * sumI, 15) + asr32(cosv * difR, 15) - difI));
            }
        }
    }

    void theReadStartWrapsBelowTheBlockLength()
    {
        auto info = freshState();
        Reference::State reference;
        // Fill the whole ring, then move on to a write position just past the end.
        const std::vector<int16_t> x = Signals::chirp(66144 * 8 + 100 * 8, 200, 1800);
        feed(info.get(), x);
        Reference::decimate(reference, x);
        QCOMPARE(info->idxWRfftFIFO.load(), 100);
        const std::vector<uint32_t> fast = block(info.get());
        const std::vector<uint32_t> slow = Reference::block(reference);
        COMPARE_SEQUENCES(fast, slow, 512);
        QCOMPARE(info->idxRDfftFIFO, 100); // the reading ended at the write position
    }
};

QTEST_GUILESS_MAIN(TestFingerprint)
#include "tst_fingerprint.moc"
