// Live channel sources of the identification server: configuration, restarts with back-off,
// failures kept to their channel, health in the service status, and the demo audio files.
#include "ServerFixture.h"

#include "content/ContentServer.h"
#include "identification/ChannelFarm.h"
#include "identification/ChannelSource.h"
#include "identification/DemoAudioFiles.h"
#include "platform/AudioInputSource.h"
#include "platform/DemoAudio.h"
#include "platform/Json.h"
#include "platform/JsonValue.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <mutex>

namespace {

// Log lines from the runners' threads.
struct Lines
{
    std::mutex lock;
    QStringList lines;
    ChannelRunner::Log log()
    {
        return [this](const QString& line) {
            std::lock_guard guard(lock);
            lines.append(line);
        };
    }
    int count(const QString& text)
    {
        std::lock_guard guard(lock);
        return int(lines.filter(text).size());
    }
};

ChannelSource spec(const QString& text)
{
    QString error;
    const std::optional<ChannelSource> parsed = ChannelSource::parse(text, &error);
    if (!parsed)
        qFatal("%s", qPrintable(error));
    return *parsed;
}

int serviceStatus(ContentServer& content)
{
    HttpRequest request;
    request.method = "GET";
    request.target = "/searchcontent/get_service_status.php";
    request.parseTarget();
    return JsonValue::integer(JsonValue::map(Json::decode(content.handle(request).body)).value("ss_status"));
}

} // namespace

class TestLiveChannels : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sourcesAreReadFromTheCommandLineAndFiles()
    {
        QString error;
        QCOMPARE(spec("7=pipe:ffmpeg -i http://x -f s16le -").argument,
                 QStringLiteral("ffmpeg -i http://x -f s16le -"));
        QCOMPARE(int(spec(" 12 = silence").kind), int(ChannelSource::Kind::Silence));
        for (const char* bad : {"silence", "0=silence", "x=silence", "3=file:", "3=http://stream", "3="})
            QVERIFY2(!ChannelSource::parse(QString::fromLatin1(bad), &error), bad);

        QTemporaryDir dir;
        QFile config(dir.filePath("channels.conf"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("# demo\n\n1=file:audio/one.wav\n2=file:/abs/two.wav\n  3=silence\n");
        config.close();
        const auto specs = ChannelSource::parseFile(config.fileName(), &error);
        QVERIFY2(specs, qPrintable(error));
        QCOMPARE(specs->size(), 3);
        QCOMPARE(specs->at(0).argument, dir.filePath("audio/one.wav"));
        QCOMPARE(specs->at(1).argument, QStringLiteral("/abs/two.wav"));

        QVERIFY(config.open(QIODevice::Append));
        config.write("4=radio\n");
        config.close();
        QVERIFY(!ChannelSource::parseFile(config.fileName(), &error));
        QVERIFY2(error.contains("line 6"), qPrintable(error));
        QVERIFY(!ChannelSource::parseFile(dir.filePath("missing.conf"), &error));
    }

    void endedAndFailingSourcesAreRestartedOnTheirOwn()
    {
        Lines lines;
        // One second of PCM, then the command ends; a command that fails at once; a file
        // that is not there; and a healthy channel beside them.
        ChannelFarm farm({spec("1=pipe:head -c 88200 /dev/zero"), spec("2=pipe:exit 3"),
                          spec("3=file:/nonexistent/audio.wav"), spec("4=silence")},
                         1, lines.log());
        farm.start();
        QVERIFY(QTest::qWaitFor([&] { return lines.count("channel 1 (pipe:head") >= 3; }, 8000));
        QVERIFY(QTest::qWaitFor([&] { return lines.count("channel 3 (file:/nonexistent/audio.wav): ") >= 2; },
                                8000));
        QVERIFY(lines.count(
                    "channel 1 (pipe:head -c 88200 /dev/zero): the source ended; starting again in 1 s") >=
                1);
        QVERIFY(lines.count("channel 2 (pipe:exit 3): the source ended; starting again in 1 s") >= 1);
        // The back-off doubles for a source that keeps failing.
        QVERIFY(QTest::qWaitFor(
            [&] {
                return lines.count("channel 2 (pipe:exit 3): the source ended; starting again in 2 s") == 1;
            },
            5000));

        {
            const FingerprintIndex::Reader reader(farm.index()); // holds the writers: let go before stop()
            QVERIFY(reader.end(0) >= 60); // the pipe's second of audio was fingerprinted
            QVERIFY(reader.end(3) >= 60); // the silent channel went on meanwhile
            QCOMPARE(reader.end(2), uint64_t(0));
        }
        QVERIFY(!farm.healthy(QDateTime::currentMSecsSinceEpoch())); // channel 3 never had audio
        farm.stop();
    }

    void stoppingEndsACommandThatNeverWrites()
    {
        Lines lines;
        ChannelFarm farm({spec("5=pipe:sleep 30")}, 1, lines.log());
        farm.start();
        QVERIFY(QTest::qWaitFor([&] { return lines.count("started") == 1; }, 3000));
        QElapsedTimer clock;
        clock.start();
        farm.stop();
        QVERIFY(clock.elapsed() < 3000);
    }

    void theServiceStatusFollowsTheIdentification()
    {
        ServerFixture server(false);
        ContentServer content(server.store());
        QCOMPARE(serviceStatus(content), 1); // no identification here: the operator's status

        Lines lines;
        ChannelFarm farm({spec("1=silence"), spec("2=silence")}, 1, lines.log());
        content.setIdentificationHealth(
            [&farm] { return farm.healthy(QDateTime::currentMSecsSinceEpoch()); });
        QCOMPARE(serviceStatus(content), 0); // no audio yet
        farm.start();
        QVERIFY(QTest::qWaitFor([&] { return serviceStatus(content) == 1; }, 3000));
        server.store().setStatus("ss_status", "0"); // the operator's word still counts
        QCOMPARE(serviceStatus(content), 0);
        farm.stop();
    }

    void aLoopedSourceIsFlaggedAndReported()
    {
        // A 2.5 s WAV played in a loop: once the channel holds a block and an earlier loop of
        // it (about 10 s), its audio repeats itself: logged and listed in the status.
        QTemporaryDir dir;
        std::vector<int16_t> loop(size_t(2.5 * 44100));
        DemoAudio(3, DemoAudio::Kind::Music).render(0, int(loop.size()), loop.data());
        QFile wav(dir.filePath("loop.wav"));
        QVERIFY(wav.open(QIODevice::WriteOnly));
        const auto le = [](quint32 v, int bytes) {
            QByteArray out;
            for (int b = 0; b < bytes; ++b)
                out.append(char(v >> (8 * b)));
            return out;
        };
        const quint32 data = quint32(loop.size() * 2);
        wav.write("RIFF" + le(36 + data, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(44100, 4) +
                  le(88200, 4) + le(2, 2) + le(16, 2) + "data" + le(data, 4));
        wav.write(reinterpret_cast<const char*>(loop.data()), qint64(data));
        wav.close();

        ServerFixture server(false);
        ContentServer content(server.store());
        Lines lines;
        ChannelFarm farm({spec(QStringLiteral("4=file:") + dir.filePath("loop.wav")), spec("5=demo:5")}, 1,
                         lines.log());
        content.setRepeatingChannels([&farm] { return farm.repeating(); });
        farm.start();
        QVERIFY(QTest::qWaitFor([&] { return lines.count("the audio repeats itself") == 1; }, 20000));
        QCOMPARE(lines.count("channel 4 (file:"), 2); // started, then repeats itself
        HttpRequest request;
        request.method = "GET";
        request.target = "/searchcontent/get_service_status.php";
        request.parseTarget();
        const QVariantMap status = JsonValue::map(Json::decode(content.handle(request).body));
        QCOMPARE(status.value("repeating").toList(), QVariantList{4}); // not the demo programme
        farm.stop();
    }

    void demoChannelsAirTheirProgrammeAsItIsNow()
    {
        QTemporaryDir first;
        QString error;
        QVERIFY2(DemoAudioFiles::write(first.filePath("nested/folder"), &error), qPrintable(error));
        QString reason;
        const auto specs = ChannelSource::parseFile(first.filePath("nested/folder/channels.conf"), &reason);
        QVERIFY2(specs && specs->size() >= 6, qPrintable(reason));
        QCOMPARE(int(specs->first().kind), int(ChannelSource::Kind::Demo));
        QCOMPARE(specs->first().argument, QString::number(specs->first().channelId));

        // The channel and a microphone opened a moment apart hear the same moment of the
        // programme: the microphone's audio is found in the channel's at once.
        std::string failure;
        auto channel = AudioInputSource::create("demo:1", true, false, &failure);
        QTest::qWait(300);
        auto microphone = AudioInputSource::create("demo:1", true, false, &failure);
        QVERIFY(channel && microphone);
        std::vector<int16_t> aired(44100);
        std::vector<int16_t> heard(4410);
        channel->read(aired.data(), aired.size());
        microphone->read(heard.data(), heard.size());
        const auto found = std::search(aired.begin(), aired.end(), heard.begin(), heard.end());
        QVERIFY(found != aired.end());
        QVERIFY(found - aired.begin() >= 44100 * 25 / 100); // opened about 0.3 s later
        for (const char* bad : {"demo:", "demo:x", "demo-room:12345678"})
            QVERIFY(!AudioInputSource::create(bad, true, false, &failure));
        QFile blocked(first.filePath("blocked"));
        QVERIFY(blocked.open(QIODevice::WriteOnly));
        blocked.close();
        QVERIFY(!DemoAudioFiles::write(first.filePath("blocked/inside"), &error)); // a file is in the way
    }
};

QTEST_MAIN(TestLiveChannels)
#include "tst_livechannels.moc"
