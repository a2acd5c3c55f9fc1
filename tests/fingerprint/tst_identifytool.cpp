// The terminal tool's identify command end to end: a WAV as the microphone, a fake
// identification server, a fake content server for the channel's name.
#include "FakeHttpServer.h"
#include "FakeIdentificationServer.h"
#include "Signals.h"
#include "TestWav.h"

#include "platform/Json.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Cli = QStringLiteral(ORVANE_BINARY_DIR "/src/cli/orvane-cli");

} // namespace

class TestIdentifyTool : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QProcess* start(const QStringList& arguments)
    {
        auto* process = new QProcess(this);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("ORVANE_HOME", dir.filePath("home"));
        process->setProcessEnvironment(environment);
        process->start(Cli, arguments);
        return process;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(TestWav::write(dir.filePath("tv.wav"), Signals::noise(44100 * 3, 8))); }

    void identifiesAChannel()
    {
        FakeIdentificationServer identification;
        identification.script("getstationidresident.php", {FakeIdentificationServer::Response::result(7)});
        FakeHttpServer content;
        content.on("/searchcontent/get_channel_info.php",
                   FakeHttpServer::Response::json(R"({"ch": "Первый канал", "prg": "Новости", "t": 1})"));
        QProcess* process =
            start({"--content-host", content.hostWithPort(), "--json", "identify", "--audio-input",
                   "file:" + dir.filePath("tv.wav"), "--id-host", identification.hostWithPort(),
                   "--start-delay", "0.2", "--tick", "0.1", "--timeout", "30"});
        QVERIFY(process->waitForFinished(40000));
        QCOMPARE(process->exitCode(), 0);
        const QStringList lines =
            QString::fromUtf8(process->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        const QVariantMap request = Json::objectWithString(lines[0]).toMap();
        QCOMPARE(request.value("resultSearch").toInt(), -2);
        QVERIFY(request.value("t").toDouble() >= 0.2);
        const QVariantMap channel = Json::objectWithString(lines[1]).toMap();
        QCOMPARE(channel.value("resultSearch").toInt(), 7);
        QCOMPARE(channel.value("channel").toString(), QStringLiteral("Первый канал"));
        QCOMPARE(channel.value("show").toString(), QStringLiteral("Новости"));
        QCOMPARE(content.targets().back(), std::string("/searchcontent/get_channel_info.php?p&i=7"));
        // The upload carried a real block of the file's sound: 2048 bytes, not all zero.
        const auto upload = identification.requests().front();
        const size_t file = upload.body.find("application/octet-stream\r\n\r\n") + 28;
        const std::string bytes = upload.body.substr(file, 2048);
        QVERIFY(bytes.find_first_not_of('\0') != std::string::npos);
    }

    void resultsAndTimeOut()
    {
        FakeIdentificationServer identification;
        identification.script("getstationidresident.php", {FakeIdentificationServer::Response::result(-1)});
        identification.script("checkresident.php", {FakeIdentificationServer::Response::result(-1)});
        QProcess* process =
            start({"identify", "--audio-input", "none", "--id-host", identification.hostWithPort(),
                   "--start-delay", "0", "--tick", "0.05", "--timeout", "4", "--results", "3"});
        QVERIFY(process->waitForFinished(20000));
        // Three results and none a channel: -2, then the fifth poll's -1, then -2 again.
        QCOMPARE(process->exitCode(), 1);
        const QStringList lines =
            QString::fromUtf8(process->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].trimmed().endsWith(" -2"));

        QProcess* nobody = start({"identify", "--audio-input", "none", "--id-host", "127.0.0.1:1",
                                  "--start-delay", "0", "--tick", "0.05", "--timeout", "3"});
        QVERIFY(nobody->waitForFinished(20000));
        QCOMPARE(nobody->exitCode(), 1);
        QVERIFY(QString::fromUtf8(nobody->readAllStandardOutput()).contains(" -4"));
    }

    void badArguments()
    {
        for (const QStringList& arguments :
             {QStringList{"identify", "--audio-input", "radio"}, QStringList{"identify", "--results", "0"},
              QStringList{"identify", "--audio-input", "file:/no/such.wav", "--timeout", "2"},
              QStringList{"identify", "--tick"}}) {
            QProcess* process = start(arguments);
            QVERIFY(process->waitForFinished(20000));
            QCOMPARE(process->exitCode(), 2);
        }
    }
};

QTEST_GUILESS_MAIN(TestIdentifyTool)
#include "tst_identifytool.moc"
