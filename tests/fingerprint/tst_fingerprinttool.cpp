// The terminal tool's fingerprint command against the slow reference: the contract others
// use to check the implementation.
#include "ReferenceFingerprint.h"
#include "Signals.h"
#include "TestWav.h"

#include "platform/Json.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sndfile.h>

namespace {

const QString Cli = QStringLiteral(ORVANE_BINARY_DIR "/src/cli/orvane-cli");

struct Run
{
    int status;
    QString out;
    QString err;
};

Run fingerprint(const QStringList& arguments)
{
    QProcess process;
    process.start(Cli, QStringList{"fingerprint"} + arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QStringList hexLines(const std::vector<uint32_t>& block)
{
    QStringList lines;
    for (uint32_t value : block)
        lines << QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0'));
    return lines;
}

} // namespace

class TestFingerprintTool : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private Q_SLOTS:
    void oneBlockAtTheEnd()
    {
        const std::vector<int16_t> x = Signals::noise(44100 * 7 + 123, 77);
        QVERIFY(TestWav::write(dir.filePath("noise.wav"), x));
        Reference::State reference;
        Reference::decimate(reference, x);
        const QStringList expected = hexLines(Reference::block(reference));
        const Run run = fingerprint({dir.filePath("noise.wav")});
        QCOMPARE(run.status, 0);
        const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 512);
        QCOMPARE(lines, expected);
    }

    void blocksEverySoOften()
    {
        // 2.5 s is 110250 samples: blocks after 110250, 220500 and 330750 of 400000.
        const std::vector<int16_t> x = Signals::chirp(400000, 150, 2500);
        QVERIFY(TestWav::write(dir.filePath("chirp.wav"), x));
        Reference::State reference;
        QStringList expected;
        for (int b = 1; b <= 3; ++b) {
            Reference::decimate(reference,
                                std::vector<int16_t>(x.begin() + (b - 1) * 110250, x.begin() + b * 110250));
            if (b > 1)
                expected << QString();
            expected << hexLines(Reference::block(reference));
        }
        const Run run = fingerprint({dir.filePath("chirp.wav"), "--every", "2.5"});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out.trimmed().split('\n'), expected);

        // --bytes: each block as 2048 little-endian bytes on one line.
        const Run bytes = fingerprint({dir.filePath("chirp.wav"), "--every", "2.5", "--bytes"});
        const QStringList blocks = bytes.out.trimmed().split('\n');
        QCOMPARE(blocks.size(), 5); // three blocks, two empty lines between them
        QCOMPARE(blocks[0].size(), 4096);
        const QString firstValue = expected[0];
        QCOMPARE(blocks[0].left(8),
                 firstValue.mid(6, 2) + firstValue.mid(4, 2) + firstValue.mid(2, 2) + firstValue.left(2));

        // --json: one object a line with the moment and the values.
        const Run json = fingerprint({dir.filePath("chirp.wav"), "--every", "2.5", "--json"});
        QCOMPARE(json.status, 0);
        const QStringList objects = json.out.trimmed().split('\n');
        QCOMPARE(objects.size(), 3);
        const QVariantMap second = Json::objectWithString(objects[1]).toMap();
        QCOMPARE(second.value("t").toDouble(), 5.0);
        const QVariantList values = second.value("block").toList();
        QCOMPARE(values.size(), 512);
        QCOMPARE(QStringLiteral("%1").arg(quint32(values.first().toDouble()), 8, 16, QLatin1Char('0')),
                 expected[513]);
    }

    void stereoIsMixedDown()
    {
        const std::vector<int16_t> left = Signals::noise(44100 * 7, 1);
        const std::vector<int16_t> right = Signals::noise(44100 * 7, 2);
        std::vector<int16_t> stereo;
        std::vector<int16_t> mono;
        for (size_t i = 0; i < left.size(); ++i) {
            stereo.push_back(left[i]);
            stereo.push_back(right[i]);
            mono.push_back(int16_t((int32_t(left[i]) + right[i]) >> 1));
        }
        QVERIFY(TestWav::write(dir.filePath("stereo.wav"), stereo, 2));
        QVERIFY(TestWav::write(dir.filePath("mixed.wav"), mono));
        QCOMPARE(fingerprint({dir.filePath("stereo.wav")}).out, fingerprint({dir.filePath("mixed.wav")}).out);
    }

    void otherFilesAreRefused()
    {
        QVERIFY(TestWav::write(dir.filePath("48k.wav"), std::vector<int16_t>(1000, 0), 1, 48000));
        QVERIFY(TestWav::write(dir.filePath("float.wav"), std::vector<int16_t>(1000, 0), 1, 44100,
                               SF_FORMAT_WAV | SF_FORMAT_FLOAT));
        for (const char* name : {"48k.wav", "float.wav", "missing.wav"}) {
            const Run run = fingerprint({dir.filePath(name)});
            QCOMPARE(run.status, 2);
            QVERIFY(run.out.isEmpty());
            QVERIFY(!run.err.isEmpty());
        }
        QVERIFY(fingerprint({dir.filePath("48k.wav")}).err.contains("44100"));
        QCOMPARE(fingerprint({dir.filePath("noise.wav"), "--every", "-1"}).status, 2);
        QCOMPARE(fingerprint({}).status, 2);
    }
};

QTEST_GUILESS_MAIN(TestFingerprintTool)
#include "tst_fingerprinttool.moc"
