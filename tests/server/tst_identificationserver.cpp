// The identification server: sub-fingerprints bit-identical to the application's, the index
// over a ring, verdicts on clips of live channels, and the exchange driven by the
// application's own request class, with the bad uploads a server meets.
#include "RawHttp.h"

#include "fingerprint/popRequest.h"
#include "http/HttpServer.h"
#include "http/MultipartForm.h"
#include "identification/ApplicationBlock.h"
#include "identification/ChannelFeed.h"
#include "identification/DeviceBook.h"
#include "identification/FingerprintIndex.h"
#include "identification/IdentificationService.h"
#include "identification/Matcher.h"
#include "identification/UploadConfirmation.h"
#include "platform/DemoAudio.h"
#include "platform/Json.h"
#include "platform/JsonValue.h"
#include "platform/ServerConfig.h"

#include <QTest>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>

namespace {

constexpr int Rate = 44100;

// The application's block for the last 6.12 s of these samples (a fresh capture state).
Matcher::Block appBlock(const std::vector<int16_t>& samples)
{
    return applicationBlock(samples.data(), int(samples.size()));
}

std::vector<int16_t> render(const DemoAudio& audio, int64_t first, int count)
{
    std::vector<int16_t> samples(size_t(count), 0);
    audio.render(first, count, samples.data());
    return samples;
}

// Noise at snrDb below the samples' power, deterministic.
std::vector<int16_t> noisy(std::vector<int16_t> samples, double snrDb, unsigned seed)
{
    double power = 0;
    for (int16_t v : samples)
        power += double(v) * v;
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(
        0, std::sqrt(power / double(samples.size()) / std::pow(10, snrDb / 10)));
    for (int16_t& v : samples)
        v = int16_t(std::clamp(v + noise(random), -32768.0, 32767.0));
    return samples;
}

QByteArray bytesOf(const Matcher::Block& block)
{
    QByteArray bytes(Matcher::BlockSize * 4, Qt::Uninitialized);
    for (int i = 0; i < Matcher::BlockSize; ++i) {
        for (int b = 0; b < 4; ++b)
            bytes[4 * i + b] = char(block[size_t(i)] >> (8 * b));
    }
    return bytes;
}

QByteArray form(const QList<std::pair<QString, QString>>& fields, const QByteArray* file,
                const QByteArray& boundary)
{
    return popRequest::multipartBody(QString::fromLatin1(boundary), fields, file);
}

QByteArray post(quint16 port, const QByteArray& page, const QByteArray& body,
                const QByteArray& boundary = "b0undary")
{
    RawHttp connection(port);
    connection.send("POST /searchfunctions/" + page +
                    " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n"
                    "Content-Type: multipart/form-data; boundary=" +
                    boundary + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    return connection.receive();
}

int resultOf(const QByteArray& response)
{
    return JsonValue::integer(JsonValue::map(Json::decode(RawHttp::body(response))).value("Result"));
}

} // namespace

class TestIdentificationServer : public QObject
{
    Q_OBJECT

    // Channels 1 to 6 of demo audio, 40 s fed; channels 7 and 8 carry one shared programme.
    static constexpr int FedSeconds = 40;
    FingerprintIndex index{int(120 * FingerprintIndex::FramesPerSecond)};
    std::unique_ptr<Matcher> matcher;
    std::unique_ptr<DeviceBook> devices;
    std::unique_ptr<IdentificationService> service;
    std::unique_ptr<HttpServer> http;

    static DemoAudio programmeOf(int channel)
    {
        return channel <= 6 ? DemoAudio(uint32_t(channel), DemoAudio::kindOf(channel))
                            : DemoAudio(77, DemoAudio::Kind::Music);
    }

    // A clip as a viewer hears it, ending `behind` seconds before the feed's end.
    Matcher::Block clipOf(int channel, double behind, double snrDb)
    {
        const int count = int(6.2 * Rate);
        const int64_t end = int64_t((FedSeconds - behind) * Rate);
        return appBlock(noisy(render(programmeOf(channel), end - count, count), snrDb, unsigned(channel)));
    }

private Q_SLOTS:
    void initTestCase()
    {
        for (int channel = 1; channel <= 8; ++channel) {
            const int slot = index.addChannel(channel);
            ChannelFeed feed;
            const std::vector<int16_t> audio = render(programmeOf(channel), 0, FedSeconds * Rate);
            const auto& values = feed.push(audio.data(), int(audio.size()));
            index.append(slot, values.data(), int(values.size()));
        }
        matcher = std::make_unique<Matcher>(index);
        DeviceBook::Settings book;
        book.requestsPerSecond = 2;
        book.burst = 30;
        book.keepMs = 2000;
        devices = std::make_unique<DeviceBook>(book);
        service = std::make_unique<IdentificationService>(*matcher, *devices);
        HttpServer::Limits limits;
        limits.maxBodyBytes = 16 * 1024;
        http =
            std::make_unique<HttpServer>([this](const HttpRequest& r) { return service->handle(r); }, limits);
        QString error;
        QVERIFY2(http->listen(QStringLiteral("127.0.0.1"), 0, &error), qPrintable(error));
        ServerConfig::setIdentificationHost(QStringLiteral("127.0.0.1:%1").arg(http->port()));
    }
    void cleanupTestCase() { http->stop(); }

    void theFeedComputesTheApplicationsValues()
    {
        // 8 * 64 * 600 samples decimate to a multiple of 64: the application's block then
        // ends on a frame the feed hashes too. The feed gets them in odd pieces.
        const std::vector<int16_t> audio = render(DemoAudio(9, DemoAudio::Kind::Speech), 0, 8 * 64 * 600);
        ChannelFeed feed;
        std::vector<uint32_t> values;
        size_t at = 0;
        for (const int piece : {1, 7, 4410, 999, 65536, 3}) {
            const int count = int(std::min(audio.size() - at, size_t(piece)));
            const auto& out = feed.push(audio.data() + at, count);
            values.insert(values.end(), out.begin(), out.end());
            at += size_t(count);
        }
        const auto& rest = feed.push(audio.data() + at, int(audio.size() - at));
        values.insert(values.end(), rest.begin(), rest.end());
        QCOMPARE(values.size(), size_t(600 - 16 + 1)); // one per 64 decimated samples from the 1024th

        const Matcher::Block block = appBlock(audio);
        const size_t offset = values.size() - Matcher::BlockSize;
        for (int i = 1; i < Matcher::BlockSize; ++i)
            QCOMPARE(values[offset + size_t(i)], block[size_t(i)]);
    }

    void theIndexFindsWhatItStillHolds()
    {
        FingerprintIndex small(1024, 8);
        const int a = small.addChannel(5);
        const int b = small.addChannel(6);
        std::vector<uint32_t> values(3000);
        std::vector<uint32_t> weak(3000);
        for (size_t i = 0; i < values.size(); ++i) {
            values[i] = uint32_t(i % 1500) * 2654435761u;
            weak[i] = 1u << (i % 32);
        }
        // In two appends, so that a group's weak bits come in two calls.
        small.append(a, values.data(), 2501, weak.data());
        small.append(a, values.data() + 2501, 499, weak.data() + 2501);
        small.append(b, values.data(), 10);

        const FingerprintIndex::Reader reader(small);
        QCOMPARE(reader.begin(a), uint64_t(3000 - 1024));
        QCOMPARE(reader.end(a), uint64_t(3000));
        QList<std::pair<int, uint64_t>> found;
        const auto find = [&](uint32_t value) {
            found.clear();
            reader.forEach(value, [&](int slot, uint64_t position) { found.append({slot, position}); });
            return found;
        };
        // Positions 1000 and 2500 carry the value; 1000 has left the ring.
        QCOMPARE(find(values[2500]), (QList<std::pair<int, uint64_t>>{{a, 2500}}));
        QCOMPARE(find(values[4]), (QList<std::pair<int, uint64_t>>{{b, 4}}));
        QCOMPARE(find(values[2501]), (QList<std::pair<int, uint64_t>>{{a, 2501}}));
        // The last of each group of four is not chained: 2503 and 2507 on a, 7 on b are held
        // but not looked up.
        QVERIFY(find(values[2503]).isEmpty());
        QVERIFY(find(values[7]).isEmpty());

        uint32_t out[4];
        QVERIFY(reader.copy(a, 2996, 4, out));
        QCOMPARE(out[3], values[2999]);
        QVERIFY(!reader.copy(a, 1975, 4, out)); // partly gone
        // Weak bits are those of the value's group of four.
        QVERIFY(reader.copyWeak(a, 2499, 4, out));
        QCOMPARE(out[0], weak[2496] | weak[2497] | weak[2498] | weak[2499]);
        QCOMPARE(out[1], weak[2500] | weak[2501] | weak[2502] | weak[2503]); // split by the appends
        QCOMPARE(out[2], out[1]);
        QCOMPARE(out[3], out[1]);
        QVERIFY(!reader.copyWeak(a, 2998, 4, out));
        QVERIFY(!reader.copy(a, 2998, 4, out)); // partly not yet there
    }

    void clipsAreIdentifiedAndOthersAreNot()
    {
        for (int channel = 1; channel <= 6; ++channel) {
            for (const double behind : {0.0, 4.0, 20.0}) { // 20 s: beyond the scan, found by look-ups
                const Matcher::Result result = matcher->match(clipOf(channel, behind, 10));
                QVERIFY2(result.verdict == Matcher::Verdict::Channel && result.channelId == channel,
                         qPrintable(QStringLiteral("channel %1, %2 s behind: verdict %3, channel %4, BER %5")
                                        .arg(channel)
                                        .arg(behind)
                                        .arg(int(result.verdict))
                                        .arg(result.channelId)
                                        .arg(result.ber)));
            }
        }
        // Audio on no channel, and a noisy room alone.
        for (uint32_t seed : {1001u, 1002u, 1003u, 1004u}) {
            const DemoAudio other(seed, DemoAudio::kindOf(int(seed)));
            const Matcher::Result result = matcher->match(appBlock(render(other, 0, int(6.2 * Rate))));
            QCOMPARE(int(result.verdict), int(Matcher::Verdict::NoMatch));
        }
        QCOMPARE(
            int(matcher->match(appBlock(noisy(std::vector<int16_t>(size_t(6.2 * Rate), 1), -30, 5))).verdict),
            int(Matcher::Verdict::NoMatch));
        // The same programme on two channels, and silence.
        QCOMPARE(int(matcher->match(clipOf(7, 2, 10)).verdict), int(Matcher::Verdict::Ambiguous));
        QCOMPARE(int(matcher->match(appBlock(std::vector<int16_t>(size_t(6.2 * Rate), 0))).verdict),
                 int(Matcher::Verdict::Uninformative));
    }

    void theApplicationsExchangeGetsTheChannel()
    {
        popRequest request(bytesOf(clipOf(3, 1, 10)), QStringLiteral("device-one"));
        QCOMPARE(request.getStationIdResident(), 3);
        QCOMPARE(request.checkResident(), int(IdentificationService::NothingToCheck)); // answered: not kept

        popRequest unknown(
            bytesOf(appBlock(render(DemoAudio(4242, DemoAudio::Kind::Music), 0, int(6.2 * Rate)))),
            QStringLiteral("device-two"));
        QCOMPARE(unknown.getStationIdResident(), int(IdentificationService::NoMatchYet));
        QCOMPARE(unknown.checkResident(), int(IdentificationService::NoMatchYet)); // kept, matched again
        QTest::qWait(2100);
        QCOMPARE(unknown.checkResident(), int(IdentificationService::NothingToCheck)); // kept 2 s here
    }

    void aViewerAheadOfTheFeedIsAnsweredByALaterCheck()
    {
        // The block ends 3 s after what the feed holds: the upload finds too little of it;
        // once the feed has the rest, the check matches.
        FingerprintIndex live(int(120 * FingerprintIndex::FramesPerSecond));
        const int slot = live.addChannel(4);
        ChannelFeed feed;
        const DemoAudio programme = programmeOf(4);
        const std::vector<int16_t> first = render(programme, 0, 30 * Rate);
        const auto& values = feed.push(first.data(), int(first.size()));
        live.append(slot, values.data(), int(values.size()));
        Matcher liveMatcher(live);
        const Matcher::Block ahead =
            appBlock(noisy(render(programme, 33 * Rate - int(6.2 * Rate), int(6.2 * Rate)), 10, 4));
        QVERIFY(liveMatcher.match(ahead).verdict != Matcher::Verdict::Channel);
        const std::vector<int16_t> more = render(programme, 30 * Rate, 4 * Rate);
        const auto& later = feed.push(more.data(), int(more.size()));
        live.append(slot, later.data(), int(later.size()));
        const Matcher::Result result = liveMatcher.match(ahead);
        QCOMPARE(int(result.verdict), int(Matcher::Verdict::Channel));
        QCOMPARE(result.channelId, 4);
    }

    void aWeakMatchWaitsForTheNextUploadToAgree()
    {
        // Every match of these noisy clips is "weak" here; the uploads' clock is the test's.
        UploadConfirmation::Settings strict;
        strict.standAloneBer = 0.01;
        DeviceBook book;
        IdentificationService confirming(*matcher, book, nullptr, strict);
        qint64 now = 1'000'000'000;
        confirming.setClock([&now] { return now; });
        HttpServer server([&confirming](const HttpRequest& r) { return confirming.handle(r); });
        QString error;
        QVERIFY2(server.listen(QStringLiteral("127.0.0.1"), 0, &error), qPrintable(error));
        const auto upload = [&](const QString& device, const Matcher::Block& block) {
            const QByteArray bytes = bytesOf(block);
            return resultOf(post(server.port(), "getstationidresident.php",
                                 form({{"UserName", device}, {"Position", "0"}}, &bytes, "b0undary")));
        };
        const auto check = [&](const QString& device) {
            return resultOf(
                post(server.port(), "checkresident.php", form({{"UserName", device}}, nullptr, "b0undary")));
        };
        // A clip, and the next one 6 s on, 6 s later: the second confirms the first.
        QCOMPARE(upload("viewer", clipOf(3, 12, 10)), int(IdentificationService::NoMatchYet));
        now += 1000;
        QCOMPARE(check("viewer"), int(IdentificationService::NoMatchYet)); // the same block again
        now += 5000;
        QCOMPARE(upload("viewer", clipOf(3, 6, 10)), 3);
        // Audio that does not move on with the clock confirms nothing (a repeated block, a
        // frozen feed), nor does agreement that comes too late.
        QCOMPARE(upload("frozen", clipOf(5, 12, 10)), int(IdentificationService::NoMatchYet));
        now += 6000;
        QCOMPARE(upload("frozen", clipOf(5, 12, 10)), int(IdentificationService::NoMatchYet));
        QCOMPARE(upload("late", clipOf(5, 30, 10)), int(IdentificationService::NoMatchYet));
        now += 60000;
        QCOMPARE(upload("late", clipOf(5, 6, 10)), int(IdentificationService::NoMatchYet));
        // Another channel in between starts again: only agreeing neighbours confirm.
        QCOMPARE(upload("zapper", clipOf(2, 12, 10)), int(IdentificationService::NoMatchYet));
        now += 6000;
        QCOMPARE(upload("zapper", clipOf(4, 6, 10)), int(IdentificationService::NoMatchYet));
        now += 6000;
        QCOMPARE(upload("zapper", clipOf(4, 0, 10)), 4);
        server.stop();

        // The rule itself: a match stands alone up to its channel's limit.
        Matcher::Result match;
        match.verdict = Matcher::Verdict::Channel;
        match.channelId = 9;
        match.close = {{9, 0.29, 1000, 1, 1}};
        const UploadConfirmation::Settings rules;
        QVERIFY(!UploadConfirmation::standsAlone(match, rules));
        match.close.front().ber = 0.26;
        QVERIFY(UploadConfirmation::standsAlone(match, rules));
        match.close.front().likeness = 0.24; // music whose own parts come that close
        QVERIFY(!UploadConfirmation::standsAlone(match, rules));

        // Uploads agree where the hypothesis puts them: 6 s on in the feed, 6 s later (speech:
        // unlike music, no part of it resembles another).
        const auto uploadOf = [this](const Matcher::Block& block, int64_t atMs) {
            return UploadConfirmation::Upload{block, atMs, matcher->match(block).close};
        };
        const UploadConfirmation::Upload first = uploadOf(clipOf(2, 12, 10), 0);
        QVERIFY(!first.close.empty());
        UploadConfirmation::Agreement agreement =
            UploadConfirmation::agree({first, uploadOf(clipOf(2, 6, 10), 6000)}, *matcher, rules);
        QCOMPARE(agreement.channelId, 2);
        QCOMPARE(agreement.uploads, 2);
        // The network's jitter is allowed for; ten seconds are not, nor another channel, nor
        // the same audio again (a frozen stream), nor the one block twice.
        QCOMPARE(
            UploadConfirmation::agree({first, uploadOf(clipOf(2, 6, 10), 6700)}, *matcher, rules).channelId,
            2);
        QCOMPARE(
            UploadConfirmation::agree({first, uploadOf(clipOf(2, 6, 10), 16000)}, *matcher, rules).channelId,
            0);
        QCOMPARE(
            UploadConfirmation::agree({first, uploadOf(clipOf(4, 6, 10), 6000)}, *matcher, rules).channelId,
            0);
        QCOMPARE(
            UploadConfirmation::agree({first, uploadOf(clipOf(2, 12, 10), 6000)}, *matcher, rules).channelId,
            0);
        QCOMPARE(UploadConfirmation::agree({first, first}, *matcher, rules).channelId, 0);
        // Earlier uploads that agree answer nothing for a device that now hears something else.
        QCOMPARE(
            UploadConfirmation::agree(
                {first, uploadOf(clipOf(2, 6, 10), 6000), uploadOf(clipOf(5, 0, 10), 12000)}, *matcher, rules)
                .channelId,
            0);
        // Two channels carrying the same audio agree equally: no answer.
        QCOMPARE(UploadConfirmation::agree({uploadOf(clipOf(7, 12, 10), 0), uploadOf(clipOf(7, 6, 10), 6000)},
                                           *matcher, rules)
                     .channelId,
                 0);
        // A channel whose own parts resemble each other more than the uploads resemble it.
        std::vector<UploadConfirmation::Upload> repetitive = {first, uploadOf(clipOf(2, 6, 10), 6000)};
        for (UploadConfirmation::Upload& upload : repetitive) {
            for (Matcher::Close& close : upload.close)
                close.likeness = 0.05;
        }
        QCOMPARE(UploadConfirmation::agree(repetitive, *matcher, rules).channelId, 0);
        // Four uploads that agree over 19 s outweigh the likeness by up to upsetAbove: another
        // part of a piece does not follow the channel that long.
        std::vector<UploadConfirmation::Upload> four;
        for (const int at : {0, 5, 11, 19})
            four.push_back(uploadOf(clipOf(2, 19 - at, 0), at * 1000));
        const double mean = UploadConfirmation::agree(four, *matcher, rules).ber;
        QCOMPARE(UploadConfirmation::agree(four, *matcher, rules).uploads, 4);
        const auto withLikeness = [](std::vector<UploadConfirmation::Upload> uploads, double likeness) {
            for (UploadConfirmation::Upload& upload : uploads) {
                for (Matcher::Close& close : upload.close)
                    close.likeness = likeness;
            }
            return uploads;
        };
        const double below = mean - rules.upsetAbove / 2; // the mean is above the channel's likeness
        QCOMPARE(UploadConfirmation::agree(withLikeness(four, below), *matcher, rules).channelId, 2);
        QCOMPARE(
            UploadConfirmation::agree(withLikeness({four[2], four[3]}, below), *matcher, rules).channelId, 0);
        QCOMPARE(UploadConfirmation::agree(withLikeness(four, mean - rules.upsetAbove * 1.5), *matcher, rules)
                     .channelId,
                 0);

        // Evidence adds up: noisy clips that no single upload names are named by three.
        UploadConfirmation::Settings alone = rules;
        alone.standAloneBer = 0; // only agreements answer here
        std::vector<UploadConfirmation::Upload> session;
        int answer = 0;
        for (const int at : {0, 5, 11}) {
            const UploadConfirmation::Upload next = uploadOf(clipOf(2, 20 - at, -9), at * 1000);
            const Matcher::Result result = matcher->match(next.block);
            QVERIFY(!UploadConfirmation::standsAlone(result, rules));
            answer = UploadConfirmation::decide(session, next, result, *matcher, alone);
            session.push_back(next);
            if (answer)
                break;
        }
        QCOMPARE(answer, 2);
    }

    void badUploadsGetAClearAnswer()
    {
        const quint16 port = http->port();
        const QByteArray block = bytesOf(clipOf(2, 1, 10));
        const QByteArray shortBlock = block.left(2000);
        const QList<std::pair<QString, QString>> fields = {{"UserName", "device-bad"}, {"Position", "0"}};

        const QByteArray noFile = post(port, "getstationidresident.php", form(fields, nullptr, "b0undary"));
        QCOMPARE(RawHttp::status(noFile), 400);
        QCOMPARE(resultOf(noFile), int(IdentificationService::BadRequest));
        QCOMPARE(resultOf(post(port, "getstationidresident.php", form(fields, &shortBlock, "b0undary"))),
                 int(IdentificationService::BadRequest));
        QCOMPARE(
            resultOf(post(port, "getstationidresident.php", form({{"Position", "0"}}, &block, "b0undary"))),
            int(IdentificationService::BadRequest));
        QCOMPARE(resultOf(post(port, "getstationidresident.php", "not a form at all")),
                 int(IdentificationService::BadRequest));
        QCOMPARE(resultOf(post(port, "getstationidresident.php", form(fields, &block, "b0undary"), "other")),
                 int(IdentificationService::BadRequest));
        QCOMPARE(resultOf(post(port, "checkresident.php",
                               form({{"UserName", "never-uploaded"}}, nullptr, "b0undary"))),
                 int(IdentificationService::NothingToCheck));
        QCOMPARE(RawHttp::status(RawHttp::get(port, "/searchfunctions/checkresident.php")), 400);
        QCOMPARE(RawHttp::status(RawHttp::get(port, "/searchfunctions/../etc/passwd")), 404);

        const QByteArray huge(64 * 1024, 'x');
        QCOMPARE(RawHttp::status(post(port, "getstationidresident.php", form(fields, &huge, "b0undary"))),
                 413);

        // A hostile device name is just a name, and one that is too long is refused.
        QCOMPARE(resultOf(post(port, "getstationidresident.php",
                               form({{"UserName", "'; DROP TABLE devices; --"}}, &block, "b0undary"))),
                 2);
        QCOMPARE(resultOf(post(port, "checkresident.php",
                               form({{"UserName", QString(300, 'd')}}, nullptr, "b0undary"))),
                 int(IdentificationService::BadRequest));
    }

    void strangeAudioIsNeverAChannel()
    {
        // Sessions of four uploads (0, 5, 11, 19 s) of audio that is on no channel, or that is
        // not audio a set plays: each is answered -9, -1 or -3, never with a channel.
        DeviceBook book;
        IdentificationService strict(*matcher, book);
        qint64 now = 2'000'000'000;
        strict.setClock([&now] { return now; });
        HttpServer server([&strict](const HttpRequest& r) { return strict.handle(r); });
        QString error;
        QVERIFY2(server.listen(QStringLiteral("127.0.0.1"), 0, &error), qPrintable(error));
        const int count = int(6.2 * Rate);
        std::mt19937 random(99);
        const auto clipped = [&](int at) { // another programme, 40 times too loud
            std::vector<int16_t> s = render(DemoAudio(4242, DemoAudio::Kind::Music), at * Rate, count);
            for (int16_t& v : s)
                v = int16_t(std::clamp(v * 40, -32768, 32767));
            return s;
        };
        const auto dc = [&](int) { return noisy(std::vector<int16_t>(size_t(count), 12000), 60, 5); };
        const auto tone = [&](int at) {
            std::vector<int16_t> s(static_cast<size_t>(count));
            for (int i = 0; i < count; ++i)
                s[size_t(i)] = int16_t(8000 * std::sin(2 * M_PI * 1000 * double(at * Rate + i) / Rate));
            return s;
        };
        const auto white = [&](int) {
            std::uniform_int_distribution<int> sample(-20000, 20000);
            std::vector<int16_t> s(static_cast<size_t>(count));
            for (int16_t& v : s)
                v = int16_t(sample(random));
            return s;
        };
        const auto replayed = [&](int) {
            return render(DemoAudio(31337, DemoAudio::Kind::Speech), 0, count);
        };
        const auto otherRate = [&](int at) { // channel 3 at 48000 Hz taken for 44100 Hz
            const std::vector<int16_t> fast = render(programmeOf(3), 0, FedSeconds * Rate);
            std::vector<int16_t> s(static_cast<size_t>(count));
            for (int i = 0; i < count; ++i)
                s[size_t(i)] = fast[size_t(
                    std::min<int64_t>(int64_t((at * Rate + i) * 48000.0 / Rate), int64_t(fast.size()) - 1))];
            return s;
        };
        const QList<std::pair<QString, std::function<std::vector<int16_t>(int)>>> kinds = {
            {"silence", [&](int) { return std::vector<int16_t>(size_t(count), 0); }},
            {"clipping", clipped},
            {"dc", dc},
            {"tone", tone},
            {"white", white},
            {"replayed", replayed},
            {"other-rate", otherRate}};
        for (const auto& [name, audioAt] : kinds) {
            for (const int at : {0, 5, 11, 19}) {
                now = 2'000'000'000 + at * 1000;
                const QByteArray bytes = bytesOf(appBlock(audioAt(at)));
                const int answer =
                    resultOf(post(server.port(), "getstationidresident.php",
                                  form({{"UserName", name}, {"Position", "0"}}, &bytes, "b0undary")));
                QVERIFY2(answer == IdentificationService::TooQuiet ||
                             answer == IdentificationService::NoMatchYet ||
                             answer == IdentificationService::Ambiguous,
                         qPrintable(QStringLiteral("%1 at %2 s: %3").arg(name).arg(at).arg(answer)));
                if (name == u"silence")
                    QCOMPARE(answer, int(IdentificationService::TooQuiet));
            }
        }
        server.stop();
    }

    void aFloodFromOneDeviceIsHeldBack()
    {
        const QByteArray body = form({{"UserName", "flood"}, {"Position", "0"}}, nullptr, "b0undary");
        int limited = 0;
        int answered = 0;
        for (int i = 0; i < 60; ++i) {
            const QByteArray response = post(http->port(), "checkresident.php", body);
            if (RawHttp::status(response) == 429 && resultOf(response) == IdentificationService::TooMany)
                ++limited;
            else if (resultOf(response) == IdentificationService::NothingToCheck)
                ++answered;
        }
        QVERIFY2(answered >= 30 && answered <= 33,
                 qPrintable(QString::number(answered))); // the burst, and a refill
        QCOMPARE(answered + limited, 60);
        // Another device is not held back.
        QCOMPARE(resultOf(post(http->port(), "checkresident.php",
                               form({{"UserName", "calm"}}, nullptr, "b0undary"))),
                 int(IdentificationService::NothingToCheck));
    }

    void theDeviceBookStaysBounded()
    {
        DeviceBook::Settings settings;
        settings.maxDevices = 100;
        DeviceBook book(settings);
        const UploadConfirmation::Upload upload;
        for (int i = 0; i < 1000; ++i)
            book.keep(QByteArray::number(i), {upload.block, i, {}}, i);
        QCOMPARE(book.size(), 100);
        QCOMPARE(book.kept("999", 1000)->size(), size_t(1));
        QVERIFY(book.kept("0", 1000)->empty());
        // A device's uploads: the newest few, none older than keepMs, the same one replaced.
        for (int64_t at = 0; at < 10000; at += 1000)
            book.keep("viewer", {upload.block, at, {}}, at);
        book.keep("viewer", {upload.block, 9000, {{4, 0.3, 0, 1, 1}}}, 9500);
        const std::vector<UploadConfirmation::Upload> kept = *book.kept("viewer", 9500);
        QCOMPARE(kept.size(), size_t(UploadConfirmation::MaxUploads));
        QCOMPARE(kept.back().atMs, int64_t(9000));
        QCOMPARE(kept.back().close.size(), size_t(1));
        QCOMPARE(kept.front().atMs, int64_t(6000));
        QVERIFY(book.kept("viewer", 9000 + settings.keepMs + 1)->empty());
    }

    void formsAreReadAsTheApplicationWritesThem()
    {
        const QByteArray file("\r\n--x\r\nnot the end", 17);
        const QByteArray body = form({{"UserName", "д-1"}, {"Position", "0"}}, &file, "x-boundary-1");
        QVERIFY(body.endsWith("--x-boundary-1--\r \n")); // the application's closing, kept as is
        QString error;
        const auto parsed = MultipartForm::parse("multipart/form-data; boundary=x-boundary-1", body, &error);
        QVERIFY2(parsed, qPrintable(error));
        QCOMPARE(parsed->field("UserName"), QString("д-1").toUtf8());
        QCOMPARE(parsed->part("request")->filename, QByteArray("temp.dat"));
        QCOMPARE(parsed->part("request")->data, file);

        QVERIFY(!MultipartForm::parse("multipart/form-data; boundary=x-boundary-1",
                                      body.left(body.size() - 25), &error));
        QVERIFY(!MultipartForm::parse("text/plain", body, &error));
        QByteArray many;
        for (int i = 0; i < 40; ++i)
            many +=
                "--b\r\nContent-Disposition: form-data; name=\"f" + QByteArray::number(i) + "\"\r\n\r\nv\r\n";
        QVERIFY(!MultipartForm::parse("multipart/form-data; boundary=b", many + "--b--\r\n", &error));
    }
};

QTEST_GUILESS_MAIN(TestIdentificationServer)
#include "tst_identificationserver.moc"
