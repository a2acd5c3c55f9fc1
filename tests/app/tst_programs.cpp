#include "FakeHttpServer.h"

#include "platform/Json.h"

#include <QDateTime>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

Run run(const QString& program, const QStringList& arguments, const QString& home)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ORVANE_HOME", home);
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

const QString App = QStringLiteral(ORVANE_BINARY_DIR "/src/app/orvane");
const QString Cli = QStringLiteral(ORVANE_BINARY_DIR "/src/cli/orvane-cli");

QString deadHost()
{
    FakeHttpServer gone;
    return gone.hostWithPort();
}

} // namespace

class TestPrograms : public QObject
{
    Q_OBJECT

    QTemporaryDir home;

private Q_SLOTS:
    void applicationCommandLine()
    {
        Run help = run(App, {"--help"}, home.path());
        QCOMPARE(help.status, 0);
        for (const char* option : {"--idiom", "--content-host", "--screenshot", "--version"})
            QVERIFY2(help.out.contains(option), option);
        Run version = run(App, {"--version"}, home.path());
        QCOMPARE(version.status, 0);
        QVERIFY(version.out.startsWith("orvane 0."));
        QCOMPARE(run(App, {"--idiom", "watch"}, home.path()).status, 2);
        QCOMPARE(run(App, {"--content-host", "a b"}, home.path()).status, 2);
        QCOMPARE(run(App, {"--no-such-option"}, home.path()).status, 2);
        // Screens: known names only, with their arguments.
        for (const QStringList& wrong :
             {QStringList{"--show", "bogus"}, QStringList{"--show", "search"},
              QStringList{"--show", "selector:5"}, QStringList{"--idiom", "tablet", "--show", "city"}}) {
            const Run refused = run(App, wrong, home.path());
            QCOMPARE(refused.status, 2);
            QVERIFY2(refused.err.contains("--show") || refused.err.contains("screen"),
                     qPrintable(refused.err));
        }
        // Offline, a screen that needs the server still ends in a picture (the offline alert).
        const QString file = home.filePath("selector.png");
        QCOMPARE(
            run(App, {"--show", "selector", "--content-host", deadHost(), "--screenshot", file}, home.path())
                .status,
            0);
        QVERIFY(!QImage(file).isNull());
    }

    void screenshotsOfBothIdioms_data()
    {
        QTest::addColumn<QString>("idiom");
        QTest::addColumn<QSize>("size");
        QTest::newRow("phone") << "phone" << QSize(390, 844);
        QTest::newRow("tablet") << "tablet" << QSize(1024, 768);
    }
    void screenshotsOfBothIdioms()
    {
        QFETCH(QString, idiom);
        QFETCH(QSize, size);
        const QString file = home.filePath(idiom + ".png");
        Run shot =
            run(App, {"--idiom", idiom, "--content-host", deadHost(), "--screenshot", file}, home.path());
        QCOMPARE(shot.status, 0);
        const QImage image(file);
        QCOMPARE(image.size(), size);
        // Not a blank picture: the bar, the texts and the background differ.
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 7)
            for (int x = 0; x < image.width(); x += 7)
                colours.insert(image.pixel(x, y));
        QVERIFY(colours.size() > 10);
        QCOMPARE(
            run(App, {"--screenshot", "/no/such/folder/x.png", "--content-host", deadHost()}, home.path())
                .status,
            1);
    }

    void cliServerTime()
    {
        FakeHttpServer server;
        const qint64 serverNow = QDateTime::currentSecsSinceEpoch() - 3 * 3600 - 20 * 60;
        server.on("/searchcontent/messages/now.php",
                  FakeHttpServer::Response::json("{\"timestamp_gmt\":" + std::to_string(serverNow) + "}"));
        Run json = run(Cli, {"--content-host", server.hostWithPort(), "server-time", "--json"}, home.path());
        QCOMPARE(json.status, 0);
        const QVariantMap object = Json::objectWithString(json.out.trimmed()).toMap();
        QCOMPARE(object.value("timestamp_gmt").toLongLong(), serverNow);
        QCOMPARE(object.value("roundedServerTimeDifference").toDouble(), 10800.0);
        QCOMPARE(server.targets().back(), std::string("/searchcontent/messages/now.php"));

        Run text = run(Cli, {"--content-host", server.hostWithPort(), "server-time"}, home.path());
        QCOMPARE(text.status, 0);
        QVERIFY(text.out.contains("+3 h"));
        QVERIFY(text.out.contains(QString::number(serverNow)));
    }

    void cliFailures()
    {
        Run down = run(Cli, {"--content-host", deadHost(), "server-time"}, home.path());
        QCOMPARE(down.status, 1);
        QVERIFY(down.err.contains("refused", Qt::CaseInsensitive));

        FakeHttpServer server;
        server.on("/searchcontent/messages/now.php",
                  FakeHttpServer::Response::json(R"({"ExceptionDetail":{"Message":"maintenance"}})", 503));
        Run failing = run(Cli, {"--content-host", server.hostWithPort(), "server-time"}, home.path());
        QCOMPARE(failing.status, 1);
        QVERIFY(failing.err.contains("maintenance"));

        QCOMPARE(run(Cli, {"launch-rockets"}, home.path()).status, 2);
        QCOMPARE(run(Cli, {"--city", "x", "server-time"}, home.path()).status, 2);
        QCOMPARE(run(Cli, {}, home.path()).status, 2);
        QCOMPARE(run(Cli, {"--help"}, home.path()).status, 0);
    }
};

QTEST_GUILESS_MAIN(TestPrograms)
#include "tst_programs.moc"
