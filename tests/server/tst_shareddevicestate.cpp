// The devices' state in Redis, as two identification processes share it: a private
// redis-server on a free loopback port, stopped and started again to lose it.

#include "identification/FingerprintIndex.h"
#include "identification/IdentificationService.h"
#include "identification/Matcher.h"
#include "identification/RedisDeviceBook.h"

#include "platform/Json.h"
#include "platform/JsonValue.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

UploadConfirmation::Upload uploadAt(qint64 atMs, uint32_t seed, std::vector<Matcher::Close> close = {})
{
    UploadConfirmation::Upload upload;
    upload.atMs = atMs;
    for (size_t i = 0; i < upload.block.size(); ++i)
        upload.block[i] = uint32_t(i) * 2654435761u ^ seed;
    upload.close = std::move(close);
    return upload;
}

bool sameUpload(const UploadConfirmation::Upload& a, const UploadConfirmation::Upload& b)
{
    if (a.atMs != b.atMs || a.block != b.block || a.close.size() != b.close.size())
        return false;
    for (size_t i = 0; i < a.close.size(); ++i) {
        const Matcher::Close& x = a.close[i];
        const Matcher::Close& y = b.close[i];
        if (x.channelId != y.channelId || x.ber != y.ber || x.position != y.position ||
            x.elsewhere != y.elsewhere || x.likeness != y.likeness || x.rate != y.rate)
            return false;
    }
    return true;
}

HttpRequest checkRequest(const QByteArray& device)
{
    HttpRequest request;
    request.method = "POST";
    request.target = "/searchfunctions/checkresident.php";
    request.path = QStringLiteral("/searchfunctions/checkresident.php");
    request.headers.insert("content-type", "multipart/form-data; boundary=XyZ");
    request.body =
        "--XyZ\r\nContent-Disposition: form-data; name=\"UserName\"\r\n\r\n" + device + "\r\n--XyZ--\r\n";
    return request;
}

} // namespace

class TestSharedDeviceState : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString redisServer;
    int port = 0;
    std::unique_ptr<QProcess> redis;

    bool startRedis()
    {
        redis = std::make_unique<QProcess>();
        redis->setProgram(redisServer);
        redis->setArguments({QStringLiteral("--bind"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"),
                             QString::number(port), QStringLiteral("--save"), QString(),
                             QStringLiteral("--appendonly"), QStringLiteral("no"), QStringLiteral("--dir"),
                             dir.path()});
        redis->start();
        if (!redis->waitForStarted(5000))
            return false;
        RedisDeviceBook probe({QStringLiteral("127.0.0.1"), port, {}});
        return QTest::qWaitFor([&] { return probe.reachable(); }, 5000);
    }

    void stopRedis()
    {
        redis->kill();
        redis->waitForFinished(5000);
    }

    RedisDeviceBook::Address address() const { return {QStringLiteral("127.0.0.1"), port, {}}; }

private Q_SLOTS:
    void initTestCase()
    {
        redisServer = QStandardPaths::findExecutable(QStringLiteral("redis-server"));
        if (redisServer.isEmpty())
            QSKIP("redis-server is not installed (scripts/install-deps.sh installs it)");
        QTcpServer free;
        QVERIFY(free.listen(QHostAddress::LocalHost, 0));
        port = free.serverPort();
        free.close();
        QVERIFY(startRedis());
    }

    void cleanupTestCase()
    {
        if (redis)
            stopRedis();
    }

    void addressesAreReadAndShownWithoutPasswords()
    {
        QString error;
        const auto plain = RedisDeviceBook::parse(QStringLiteral("redis://10.0.0.5:6380"));
        QVERIFY(plain);
        QCOMPARE(plain->host, QStringLiteral("10.0.0.5"));
        QCOMPARE(plain->port, 6380);
        const auto secret = RedisDeviceBook::parse(QStringLiteral("redis://:hunter2@cache.local"));
        QVERIFY(secret);
        QCOMPARE(secret->password, QStringLiteral("hunter2"));
        QCOMPARE(secret->port, 6379);
        QVERIFY(!secret->display().contains(QStringLiteral("hunter2")));
        for (const char* bad :
             {"localhost:6379", "http://h:1", "redis://", "redis://h:99999", "redis://h:1/x"})
            QVERIFY2(!RedisDeviceBook::parse(QString::fromLatin1(bad), &error), bad);
        QVERIFY(!error.isEmpty());
    }

    void uploadsSurviveTheirEncodingAndBadBytesDoNot()
    {
        const UploadConfirmation::Upload upload =
            uploadAt(1234567, 9, {{4, 0.31, 88123, 0.44, 0.41, 0.0075}, {7, 0.4, 5, 1, 1}});
        const QByteArray bytes = RedisDeviceBook::encode(upload);
        const auto back = RedisDeviceBook::decode(bytes);
        QVERIFY(back && sameUpload(*back, upload));
        QVERIFY(!RedisDeviceBook::decode(bytes.left(bytes.size() - 1)));
        QVERIFY(!RedisDeviceBook::decode(bytes + 'x'));
        QVERIFY(!RedisDeviceBook::decode(QByteArray()));
        QByteArray otherVersion = bytes;
        otherVersion[0] = char(99);
        QVERIFY(!RedisDeviceBook::decode(otherVersion));
        QByteArray tooMany = RedisDeviceBook::encode(uploadAt(1, 1));
        tooMany[tooMany.size() - 1] = char(Matcher::MaxClose + 1);
        QVERIFY(!RedisDeviceBook::decode(tooMany));
    }

    void twoProcessesShareUploadsAllowancesAndSightings()
    {
        DeviceBook::Settings settings;
        settings.keepMs = 30000;
        settings.burst = 5;
        settings.requestsPerSecond = 0.001;
        RedisDeviceBook one(address(), settings);
        RedisDeviceBook two(address(), settings);
        const QByteArray device = "shared-" + QByteArray::number(QDateTime::currentMSecsSinceEpoch());
        const qint64 now = QDateTime::currentMSecsSinceEpoch();

        // Kept by one, found by the other, oldest first, at most four, the same time replacing.
        QVERIFY(one.keep(device, uploadAt(now - 9000, 1), now));
        QVERIFY(two.keep(device, uploadAt(now - 6000, 2, {{3, 0.3, 10, 0.5, 0.45}}), now));
        QVERIFY(one.keep(device, uploadAt(now - 6000, 3), now)); // the same block matched again
        auto kept = two.kept(device, now);
        QVERIFY(kept);
        QCOMPARE(kept->size(), size_t(2));
        QVERIFY(sameUpload(kept->at(0), uploadAt(now - 9000, 1)));
        QVERIFY(sameUpload(kept->at(1), uploadAt(now - 6000, 3)));
        for (int i = 0; i < 5; ++i)
            QVERIFY(two.keep(device, uploadAt(now - 5000 + i * 1000, uint32_t(10 + i)), now));
        kept = one.kept(device, now);
        QCOMPARE(kept->size(), size_t(UploadConfirmation::MaxUploads));
        QCOMPARE(kept->back().atMs, now - 1000);
        // Older than the keeping time: not given out, though still stored.
        QCOMPARE(one.kept(device, now + 26500)->size(), size_t(UploadConfirmation::MaxUploads - 1));
        QVERIFY(two.forget(device));
        QVERIFY(one.kept(device, now)->empty());

        // One allowance: five requests in all, whichever process takes them.
        int admitted = 0;
        for (int i = 0; i < 8; ++i) {
            RedisDeviceBook& book = i % 2 ? two : one;
            const DeviceState::Admission admission = book.admit(device, now + i);
            QVERIFY(admission != DeviceState::Admission::Unavailable);
            admitted += admission == DeviceState::Admission::Admitted ? 1 : 0;
        }
        QCOMPARE(admitted, 5);
        QCOMPARE(two.admit("another-" + device, now), DeviceState::Admission::Admitted);

        // Sightings counted once per device, by either.
        const int before = *one.heardFrom(now, 600);
        one.heard(device, now);
        two.heard(device, now);
        two.heard("another-" + device, now);
        QCOMPARE(*one.heardFrom(now, 600), before + 2);
    }

    void keptUploadsExpireInRedis()
    {
        DeviceBook::Settings settings;
        settings.keepMs = 300;
        RedisDeviceBook book(address(), settings);
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        QVERIFY(book.keep("expiring", uploadAt(now, 5), now));
        QCOMPARE(book.kept("expiring", now)->size(), size_t(1));
        // The key's own time to live removes it, whatever clock the caller passes.
        QVERIFY(QTest::qWaitFor([&] { return book.kept("expiring", now)->empty(); }, 3000));
    }

    void aLostServerFailsCallsUntilItIsBack()
    {
        RedisDeviceBook book(address());
        FingerprintIndex index(1024);
        Matcher matcher(index);
        IdentificationService service(matcher, book);
        QCOMPARE(book.admit("lost", QDateTime::currentMSecsSinceEpoch()), DeviceState::Admission::Admitted);

        stopRedis();
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        QCOMPARE(book.admit("lost", now), DeviceState::Admission::Unavailable);
        QVERIFY(!book.kept("lost", now));
        QVERIFY(!book.keep("lost", uploadAt(now, 1), now));
        QVERIFY(!book.forget("lost"));
        QVERIFY(!book.heardFrom(now, 600));
        // The service says so rather than answering as if the device were new.
        const HttpResponse down = service.handle(checkRequest("lost"));
        QCOMPARE(down.status, 503);
        QVERIFY(JsonValue::map(Json::decode(down.body)).contains(QStringLiteral("ExceptionDetail")));

        QVERIFY(startRedis());
        // Reconnected after the back-off (at most 5 s); the restarted server has no upload.
        QVERIFY(QTest::qWaitFor(
            [&] {
                return book.admit("lost", QDateTime::currentMSecsSinceEpoch()) ==
                       DeviceState::Admission::Admitted;
            },
            8000));
        const HttpResponse back = service.handle(checkRequest("lost"));
        QCOMPARE(back.status, 200);
        QCOMPARE(JsonValue::map(Json::decode(back.body)).value(QStringLiteral("Result")).toInt(),
                 int(IdentificationService::NothingToCheck));
    }

    void anUnreachableServerIsNamedAtStart()
    {
        RedisDeviceBook nowhere({QStringLiteral("127.0.0.1"), 1, {}});
        QString error;
        QVERIFY(!nowhere.reachable(&error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSharedDeviceState)
#include "tst_shareddevicestate.moc"
