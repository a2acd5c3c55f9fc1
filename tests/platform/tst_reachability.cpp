#include "platform/Reachability.h"

#include <QTcpServer>
#include <QTest>

#include <atomic>

class TestReachability : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void probesAListeningPort()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        const ServerAddress address("127.0.0.1", server.serverPort());
        QVERIFY(Reachability::canConnect(address, 2000));
        const quint16 port = server.serverPort();
        server.close();
        QVERIFY(!Reachability::canConnect(ServerAddress("127.0.0.1", port), 2000));
        QVERIFY(!Reachability::canConnect(ServerAddress(), 2000));
        QVERIFY(!Reachability::canConnect(ServerAddress("no-such-host.invalid", 22222), 2000));
    }

    void backgroundProbesFollowTheServer()
    {
        auto server = std::make_unique<QTcpServer>();
        QVERIFY(server->listen(QHostAddress::LocalHost));
        const quint16 port = server->serverPort();
        Reachability reachability([port] { return ServerAddress("127.0.0.1", port); }, 20, 500);
        QVERIFY(reachability.probeNow());
        reachability.start();
        server->close();
        QTRY_VERIFY(!reachability.isReachable());
        QVERIFY(server->listen(QHostAddress::LocalHost, port));
        QTRY_VERIFY(reachability.isReachable());
        reachability.stop();
        const int probes = reachability.probeCount();
        QTest::qWait(60);
        QCOMPARE(reachability.probeCount(), probes); // stopped means stopped
    }

    void serverAddressParsing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::newRow("host only") << "localhost"
                                   << "localhost" << 22222;
        QTest::newRow("host and port") << "127.0.0.1:40123"
                                       << "127.0.0.1" << 40123;
        QTest::newRow("ipv6") << "[::1]:8080"
                              << "::1" << 8080;
        QTest::newRow("ipv6 no port") << "[::1]"
                                      << "::1" << 22222;
        QTest::newRow("empty") << ""
                               << "" << 0;
        QTest::newRow("port zero") << "h:0"
                                   << "" << 0;
        QTest::newRow("port too big") << "h:70000"
                                      << "" << 0;
        QTest::newRow("path") << "h/evil"
                              << "" << 0;
        QTest::newRow("space") << "a b"
                               << "" << 0;
        QTest::newRow("userinfo") << "u@h"
                                  << "" << 0;
    }
    void serverAddressParsing()
    {
        QFETCH(QString, text);
        QFETCH(QString, host);
        QFETCH(int, port);
        const ServerAddress address = ServerAddress::parse(text, 22222);
        QCOMPARE(address.isValid(), port != 0);
        QCOMPARE(address.host(), host);
        QCOMPARE(int(address.port()), port);
    }
};

QTEST_GUILESS_MAIN(TestReachability)
#include "tst_reachability.moc"
