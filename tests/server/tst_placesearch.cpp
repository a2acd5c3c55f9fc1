// Finding a block's place in the held feeds with the key index: planted bit errors, spans
// left out, speed changes, the device's uploads taken together, a channel that
// repeats itself, and how often audio on no channel is named (fixed seeds throughout).
#include "identification/ApplicationBlock.h"
#include "identification/ChannelFeed.h"
#include "identification/FingerprintIndex.h"
#include "identification/Matcher.h"
#include "identification/PlaceSearch.h"
#include "identification/UploadConfirmation.h"
#include "platform/DemoAudio.h"

#include <QTest>

#include <algorithm>
#include <bit>
#include <random>

namespace {

constexpr int Rate = 44100;

// Flips `bits` distinct bits of every value.
Matcher::Block withErrors(Matcher::Block block, int bits, std::mt19937& random)
{
    for (uint32_t& value : block) {
        uint32_t mask = 0;
        while (std::popcount(mask) < bits)
            mask |= 1u << (random() % 32);
        value ^= mask;
    }
    return block;
}

int keysIntact(const Matcher::Block& block, const Matcher::Block& clean)
{
    int intact = 0;
    for (int i = 1; i < Matcher::BlockSize; ++i)
        intact += ((block[size_t(i)] ^ clean[size_t(i)]) & FingerprintIndex::KeyMask) == 0;
    return intact;
}

} // namespace

class TestPlaceSearch : public QObject
{
    Q_OBJECT

    // Three channels of random values, 5,000 each (random values share no neighbours: a value
    // is found by its own key or not at all).
    FingerprintIndex index{8192};
    std::vector<std::vector<uint32_t>> feeds;

    Matcher::Block blockAt(int slot, int64_t start) const
    {
        Matcher::Block block;
        std::copy_n(feeds[size_t(slot)].begin() + start, Matcher::BlockSize, block.begin());
        return block;
    }

private Q_SLOTS:
    void initTestCase()
    {
        std::mt19937 random(7);
        for (int c = 0; c < 3; ++c) {
            const int slot = index.addChannel(10 + c);
            std::vector<uint32_t> values(5000);
            for (uint32_t& v : values)
                v = random() | 1; // never 0: a frame of silence
            index.append(slot, values.data(), int(values.size()));
            feeds.push_back(values);
        }
    }

    void plantedBitErrorsAreFoundWhileAKeySurvives()
    {
        std::mt19937 random(11);
        const FingerprintIndex::Reader reader(index);
        const Matcher::Block clean = blockAt(1, 3000);
        for (const int bits : {1, 4, 8}) {
            const Matcher::Block block = withErrors(clean, bits, random);
            PlaceSearch search(reader, block);
            search.search();
            const int intact = keysIntact(block, clean);
            if (bits < 8) {
                // One bit in 32 leaves most keys; four leave a few (C(10,4)/C(32,4) of them).
                QVERIFY2(intact >= 1, qPrintable(QStringLiteral("%1 bits: no key intact").arg(bits)));
                QCOMPARE(search.best(1).start, int64_t(3000));
                QCOMPARE(search.best(1).ber,
                         (Matcher::BlockSize - 1) * bits / ((Matcher::BlockSize - 1) * 32.0));
            } else {
                // Eight in every value leave no key: the look-ups claim nothing, least of all a
                // wrong place (a search of one channel does not scan).
                QCOMPARE(intact, 0);
                for (int slot = 0; slot < 3; ++slot) {
                    PlaceSearch keysOnly(reader, block);
                    keysOnly.search(slot);
                    QVERIFY(keysOnly.best(slot).ber > 0.4);
                }
                // The scan of every alignment finds the place all the same, and only there.
                QCOMPARE(search.best(1).start, int64_t(3000));
                QCOMPARE(search.best(1).ber, 0.25);
                QVERIFY(search.best(0).ber > 0.4 && search.best(2).ber > 0.4);
            }
        }
        // Another channel's place is never better than chance.
        PlaceSearch search(reader, clean);
        search.search();
        QCOMPARE(search.best(1).ber, 0.0);
        QVERIFY(search.best(0).ber > 0.4 && search.best(2).ber > 0.4);
    }

    void aLargeHistoryIsScannedOnlyInItsNewestPart()
    {
        // More values than a scan may cover: each channel's newest half of them is scanned. A
        // block with no key left is found there, and not in the older part.
        const int perChannel = int(PlaceSearch::ScanUpTo / 2) + 16384;
        FingerprintIndex large(perChannel);
        std::mt19937 random(5);
        std::vector<uint32_t> values(static_cast<size_t>(perChannel));
        for (int c = 0; c < 2; ++c) {
            for (uint32_t& v : values)
                v = random() | 1;
            large.append(large.addChannel(c + 1), values.data(), int(values.size()));
        }
        const FingerprintIndex::Reader reader(large);
        for (const int start : {5000, perChannel - 5000}) {
            Matcher::Block block;
            std::copy_n(values.begin() + start, Matcher::BlockSize, block.begin());
            block = withErrors(block, 8, random);
            PlaceSearch search(reader, block);
            search.search();
            if (start < perChannel - PlaceSearch::ScanUpTo / 2)
                QVERIFY(search.best(1).ber > 0.4);
            else
                QCOMPARE(search.best(1).start, int64_t(start));
        }
    }

    void aKeyOneUnstableBitAwayIsProbed_data()
    {
        QTest::addColumn<int>("lowEvery");
        QTest::addColumn<int>("unstableAtLeast");
        QTest::newRow("few unstable bits") << 8 << 2;
        QTest::newRow("five or more unstable bits") << 1 << 5;
    }

    void aKeyOneUnstableBitAwayIsProbed()
    {
        // A feed that changes as audio does, a few bits a value (its key's low 11 bits one in
        // lowEvery values), and a block of it with one of the key's high 11 bits flipped in
        // every value, a different bit from its neighbours': no key of the block is held
        // anywhere, but the flipped bit is one of each value's unstable ones, so an upload's
        // search finds the place, also when most values have five or more unstable bits. A
        // search of one channel (the feed's own check of itself) does not probe, and finds
        // nothing.
        QFETCH(int, lowEvery);
        QFETCH(int, unstableAtLeast);
        FingerprintIndex held(4096);
        const int slot = held.addChannel(50);
        std::mt19937 random(23);
        // Too short a feed for the scan of the newest audio: only look-ups can find the place.
        std::vector<uint32_t> values(size_t(PlaceSearch::ScanAtLeast - 1));
        values[0] = random() | 1;
        for (size_t i = 1; i < values.size(); ++i) {
            values[i] = values[i - 1];
            for (int k = 0; k < 4; ++k)
                values[i] ^= 1u << (FingerprintIndex::KeyBits + random() % (32 - FingerprintIndex::KeyBits));
            if (i % size_t(lowEvery) == 0)
                values[i] ^= 1u << (random() % 11);
        }
        held.append(slot, values.data(), int(values.size()));
        Matcher::Block clean;
        Matcher::Block block;
        for (int i = 0; i < Matcher::BlockSize; ++i) {
            clean[size_t(i)] = values[size_t(1000 + i)];
            block[size_t(i)] = clean[size_t(i)] ^ (1u << (11 + i * 7 % 11));
        }
        QCOMPARE(keysIntact(block, clean), 0);
        std::vector<int> unstable;
        for (int i = 1; i + 1 < Matcher::BlockSize; ++i)
            unstable.push_back(std::popcount(
                ((block[size_t(i)] ^ block[size_t(i - 1)]) | (block[size_t(i)] ^ block[size_t(i + 1)])) &
                FingerprintIndex::KeyMask));
        std::nth_element(unstable.begin(), unstable.begin() + unstable.size() / 2, unstable.end());
        QVERIFY(unstable[unstable.size() / 2] >= unstableAtLeast);
        const FingerprintIndex::Reader reader(held);
        PlaceSearch upload(reader, block);
        upload.search();
        QCOMPARE(upload.best(slot).start, int64_t(1000));
        QCOMPARE(upload.best(slot).ber, 1 / 32.0);
        PlaceSearch own(reader, block);
        own.search(slot);
        QCOMPARE(own.best(slot).ber, 1.0);
    }

    void aSpanAroundAPlaceCanBeLeftOut()
    {
        // Excluding a span around a place leaves the rest of the channel, and only the slot
        // asked for is searched.
        const FingerprintIndex::Reader reader(index);
        PlaceSearch away(reader, blockAt(0, 1200));
        away.search(0, 1200, 172);
        QVERIFY(away.best(0).ber > 0.4);
        QCOMPARE(away.best(1).ber, 1.0);
        PlaceSearch near(reader, blockAt(0, 1200));
        near.search(0, 1000, 172);
        QCOMPARE(near.best(0).start, int64_t(1200));
    }

    void aBlockPlayedOffSpeedIsFound()
    {
        // The block played 1 % fast: value i is feed value 2000 + i + round(i * 0.01),
        // so at any one alignment most values are a few places off; tried at 1 % the whole
        // block matches.
        Matcher::Block block;
        for (int i = 0; i < Matcher::BlockSize; ++i)
            block[size_t(i)] = feeds[2][size_t(2000 + i + std::lround(i * 0.01))];
        Matcher matcher(index);
        const Matcher::Result result = matcher.match(block);
        QCOMPARE(int(result.verdict), int(Matcher::Verdict::Channel));
        QCOMPARE(result.channelId, 12);
        QCOMPARE(result.ber, 0.0);
        QCOMPARE(result.position, int64_t(2000));
        QVERIFY(std::abs(result.close.front().rate - 0.01) < 1e-9);
    }

    void uploadsOffSpeedAreLookedForAtThatSpeed()
    {
        // A set playing 1 % fast, heard with 9 of every value's 32 bits flipped, uploads twice
        // 8 s apart. The first upload's hypothesis says at which speed; the second lies 1 %
        // further on in the feed than the clock says and, compared at the feed's own speed, is
        // a few values off most of the way (BER above 0.4).
        constexpr double Rate = 0.01;
        const auto played = [&](int64_t start, unsigned seed) {
            Matcher::Block block;
            for (int i = 0; i < Matcher::BlockSize; ++i)
                block[size_t(i)] = feeds[2][size_t(start + i + std::lround(i * Rate))];
            std::mt19937 random(seed);
            return withErrors(block, 9, random);
        };
        const int64_t first = 1000;
        const int64_t second = first + std::llround(8 * FingerprintIndex::FramesPerSecond * (1 + Rate));
        Matcher matcher(index);
        UploadConfirmation::Upload one{played(first, 1), 0, {{12, 0.28, first, 1, 1, Rate}}};
        const UploadConfirmation::Upload two{played(second, 2), 8000, {}};
        const UploadConfirmation::Settings rules;
        const UploadConfirmation::Agreement agreement = UploadConfirmation::agree({one, two}, matcher, rules);
        QCOMPARE(agreement.channelId, 12);
        QCOMPARE(agreement.uploads, 2);
        QVERIFY2(agreement.ber < 0.3, QByteArray::number(agreement.ber).constData());
        QVERIFY(matcher.berNear(two.block, 12, second, 86) > 0.4);

        one.close.front().rate = 0;
        QCOMPARE(UploadConfirmation::agree({one, two}, matcher, rules).channelId, 0);
    }

    void aChannelThatRepeatsItselfAttractsNoMatch()
    {
        // A looped source: its last 3,000 values are its first 3,000 again.
        FingerprintIndex looped(8192);
        const int slot = looped.addChannel(5);
        std::vector<uint32_t> values(feeds[0].begin(), feeds[0].begin() + 3000);
        looped.append(slot, values.data(), 3000);
        Matcher matcher(looped);
        const Matcher::Block block = blockAt(0, 2400);
        QCOMPARE(matcher.match(block).channelId, 5);
        looped.append(slot, values.data(), 3000);
        const double likeness = Matcher::likenessElsewhere(looped, slot, 6000 - Matcher::BlockSize);
        QCOMPARE(likeness, 0.0);
        looped.noteLikeness(slot, likeness);
        QVERIFY(Matcher::repeats(FingerprintIndex::Reader(looped), slot));
        QCOMPARE(int(matcher.match(block).verdict), int(Matcher::Verdict::NoMatch));
        QCOMPARE(matcher.berNear(block, 5, 2400, 4), 1.0);
        // Random audio resembles no other part of itself.
        QVERIFY(Matcher::likenessElsewhere(index, 1, 4000) > 0.4);
        QCOMPARE(Matcher::likenessElsewhere(index, 1, 4900), 1.0); // not all held
    }

    void weakBitsAreTheOnesNoiseFlips()
    {
        // Demo programme (speech and music) fingerprinted clean, with its weak bits, and again
        // with noise at 10 dB: the weak bits flip far more often than the strong ones.
        std::mt19937 random(5);
        for (const int channel : {1, 2}) {
            const DemoAudio programme(uint32_t(channel), DemoAudio::kindOf(channel));
            std::vector<int16_t> clean(size_t(20 * Rate));
            programme.render(0, int(clean.size()), clean.data());
            std::vector<int16_t> noisy = clean;
            double power = 0;
            for (int16_t v : clean)
                power += double(v) * v;
            std::normal_distribution<double> noise(0, std::sqrt(power / double(clean.size()) / 10));
            for (int16_t& v : noisy)
                v = int16_t(std::clamp(v + noise(random), -32768.0, 32767.0));
            ChannelFeed cleanFeed;
            const std::vector<uint32_t> values = cleanFeed.push(clean.data(), int(clean.size()));
            const std::vector<uint32_t> weak = cleanFeed.weak();
            ChannelFeed noisyFeed;
            const std::vector<uint32_t> heard = noisyFeed.push(noisy.data(), int(noisy.size()));
            QCOMPARE(weak.size(), values.size());
            QCOMPARE(heard.size(), values.size());
            double weakBits = 0, weakFlips = 0, strongBits = 0, strongFlips = 0;
            for (size_t i = 0; i < values.size(); ++i) {
                const uint32_t flips = values[i] ^ heard[i];
                weakBits += std::popcount(weak[i]);
                weakFlips += std::popcount(flips & weak[i]);
                strongBits += std::popcount(~weak[i]);
                strongFlips += std::popcount(flips & ~weak[i]);
            }
            const double weakRate = weakFlips / weakBits;
            const double strongRate = strongFlips / strongBits;
            const double share = weakBits / (weakBits + strongBits);
            qInfo("channel %d: %.0f %% of the bits weak; they flip at %.3f, the strong ones at %.3f", channel,
                  100 * share, weakFlips / weakBits, strongFlips / strongBits);
            QVERIFY2(share > 0.1 && share < 0.8,
                     qPrintable(QStringLiteral("channel %1: %2 of the bits weak").arg(channel).arg(share)));
            QVERIFY2(weakRate > 2 * strongRate,
                     qPrintable(QStringLiteral("channel %1: weak bits flip at %2, strong at %3")
                                    .arg(channel)
                                    .arg(weakRate)
                                    .arg(strongRate)));
        }
    }

    void errorsOnWeakBitsWeighLess()
    {
        // A feed whose values each have twelve weak bits: a block with errors only there comes
        // much closer than one with as many errors on strong bits, by the weights (1 and 4), in
        // the ring's middle and across its end alike; and of two blocks 29 % from the feed
        // unweighed, the one with its errors on weak bits is matched and the other is not.
        FingerprintIndex held(2048);
        const int slot = held.addChannel(40);
        std::mt19937 random(17);
        std::vector<uint32_t> values(3000);
        std::vector<uint32_t> weak(3000);
        for (size_t i = 0; i < values.size(); ++i) {
            values[i] = random() | 1;
            // The same bits in a group of four values, which the index keeps one mask for.
            if (i % FingerprintIndex::Group != 0)
                weak[i] = weak[i - 1];
            while (std::popcount(weak[i]) < 12)
                weak[i] |= 1u << (random() % 32);
        }
        held.append(slot, values.data(), int(values.size()), weak.data());
        const auto plant = [&](int64_t start, int bits, bool onWeak) {
            Matcher::Block block;
            for (int i = 0; i < Matcher::BlockSize; ++i) {
                const size_t at = size_t(start + i);
                uint32_t errors = 0;
                // Every 16th value is left whole, so that its key leads the search there.
                for (int b = 0; b < 32 && std::popcount(errors) < bits && i % 16 != 0; ++b) {
                    const uint32_t bit = 1u << ((b * 7 + i) % 32);
                    if (((weak[at] & bit) != 0) == onWeak)
                        errors |= bit;
                }
                block[size_t(i)] = values[at] ^ errors;
            }
            return block;
        };
        const FingerprintIndex::Reader reader(held);
        // Position 2048 is where the ring (2048 values) wraps: 952 .. 2999 are held.
        for (const int64_t start : {int64_t(1500), int64_t(1800)}) {
            const double errors = 4 * (Matcher::BlockSize - 32); // four in each value not left whole
            const double weight = (Matcher::BlockSize - 1) * (20 * 4 + 12.0);
            QCOMPARE(PlaceSearch::berAt(reader, slot, start, plant(start, 4, true)), errors * 1 / weight);
            QCOMPARE(PlaceSearch::berAt(reader, slot, start, plant(start, 4, false)), errors * 4 / weight);
        }
        Matcher matcher(held);
        const Matcher::Result onWeak = matcher.match(plant(2200, 10, true));
        QCOMPARE(int(onWeak.verdict), int(Matcher::Verdict::Channel));
        QCOMPARE(onWeak.position, int64_t(2200));
        const Matcher::Result onStrong = matcher.match(plant(2200, 10, false));
        QCOMPARE(int(onStrong.verdict), int(Matcher::Verdict::NoMatch));
    }

    void audioOnNoChannelIsNotNamedBySessionsOfUploads()
    {
        // Twelve live channels of demo programme (music and speech), two minutes each, with
        // their likeness checked as the server does, and sessions of four uploads (0, 5, 11,
        // 19 s) heard in a room at 20 to -5 dB: of other programmes, and of other parts of the
        // live channels' own programmes (minutes later: the same piece, not on air now). None
        // may name a channel, by one upload or by agreement.
        FingerprintIndex live(int(150 * FingerprintIndex::FramesPerSecond));
        for (int channel = 1; channel <= 12; ++channel) {
            const int slot = live.addChannel(channel);
            const DemoAudio programme(uint32_t(channel), DemoAudio::kindOf(channel));
            ChannelFeed feed;
            std::vector<int16_t> second(Rate);
            int64_t held = 0;
            for (int at = 0; at < 120; ++at) {
                programme.render(int64_t(at) * Rate, Rate, second.data());
                const auto& values = feed.push(second.data(), Rate);
                live.append(slot, values.data(), int(values.size()), feed.weak().data());
                const int64_t before = held;
                held += int64_t(values.size());
                if (held / FingerprintIndex::LikenessEveryValues !=
                    before / FingerprintIndex::LikenessEveryValues)
                    live.noteLikeness(slot,
                                      Matcher::likenessElsewhere(live, slot, held - Matcher::BlockSize));
            }
        }
        Matcher matcher(live);
        const UploadConfirmation::Settings rules;
        std::mt19937 random(2026);
        int named = 0;
        for (int session = 0; session < 36; ++session) {
            const bool samePiece = session % 2 == 0;
            const int channel = 1 + session % 12;
            const DemoAudio other = samePiece
                                        ? DemoAudio(uint32_t(channel), DemoAudio::kindOf(channel))
                                        : DemoAudio(uint32_t(5000 + session), DemoAudio::kindOf(session));
            const int64_t from = samePiece ? int64_t(180 + 10 * session) * Rate : 0;
            const double snrDb = 20 - 25.0 * (session % 6) / 5;
            std::vector<UploadConfirmation::Upload> uploads;
            for (const int at : {0, 5, 11, 19}) {
                std::vector<int16_t> clip(size_t(6.2 * Rate));
                other.render(from + int64_t(at) * Rate, int(clip.size()), clip.data());
                double power = 0;
                for (int16_t v : clip)
                    power += double(v) * v;
                std::normal_distribution<double> noise(
                    0, std::sqrt(power / double(clip.size()) / std::pow(10, snrDb / 10)));
                for (int16_t& v : clip)
                    v = int16_t(std::clamp(0.7 * v + noise(random), -32768.0, 32767.0));
                const Matcher::Block block = applicationBlock(clip.data(), int(clip.size()));
                const Matcher::Result result = matcher.match(block);
                if (result.verdict == Matcher::Verdict::Uninformative)
                    continue;
                const UploadConfirmation::Upload upload{block, at * 1000, result.close};
                named += UploadConfirmation::decide(uploads, upload, result, matcher, rules) > 0;
                uploads.push_back(upload);
            }
        }
        QCOMPARE(named, 0);
    }
};

QTEST_MAIN(TestPlaceSearch)
#include "tst_placesearch.moc"
