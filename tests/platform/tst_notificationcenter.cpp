#include "platform/NotificationCenter.h"

#include <QTest>
#include <QThread>

#include <atomic>
#include <thread>
#include <vector>

class TestNotificationCenter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void deliversSynchronouslyOnThePostingThread()
    {
        NotificationCenter center;
        QObject observer;
        QThread* deliveredOn = nullptr;
        QVariantMap received;
        center.addObserver(&observer, "fpNotification", [&](const Notification& n) {
            deliveredOn = QThread::currentThread();
            received = n.userInfo;
        });
        std::thread poster([&] { center.post("fpNotification", nullptr, {{"resultSearch", 7}}); });
        const auto posterId = poster.get_id();
        poster.join();
        QVERIFY(deliveredOn != nullptr);
        QVERIFY(deliveredOn != QThread::currentThread()); // not hopped to the main thread
        QCOMPARE(received.value("resultSearch").toInt(), 7);
        Q_UNUSED(posterId);

        // Synchronous: the handler has run when post returns.
        int calls = 0;
        center.addObserver(&observer, "idle", [&](const Notification&) { ++calls; });
        center.post("idle");
        QCOMPARE(calls, 1);
        center.post("other");
        QCOMPARE(calls, 1);
    }

    void observersGoAwayWithTheirObject()
    {
        NotificationCenter center;
        int calls = 0;
        {
            QObject observer;
            center.addObserver(&observer, "idle", [&](const Notification&) { ++calls; });
            center.addObserver(&observer, "channelChanged", [&](const Notification&) { ++calls; });
            QCOMPARE(center.observerCount("idle"), 1);
        }
        QCOMPARE(center.observerCount("idle"), 0);
        QCOMPARE(center.observerCount("channelChanged"), 0);
        center.post("idle");
        QCOMPARE(calls, 0);
    }

    void removalByNameKeepsTheOtherNames()
    {
        NotificationCenter center;
        QObject observer;
        QStringList seen;
        center.addObserver(&observer, "a", [&](const Notification& n) { seen << n.name; });
        center.addObserver(&observer, "b", [&](const Notification& n) { seen << n.name; });
        center.removeObserver(&observer, "a");
        center.post("a");
        center.post("b");
        QCOMPARE(seen, QStringList{"b"});
    }

    void handlerMayChangeRegistrationsWhileDelivering()
    {
        NotificationCenter center;
        QObject first;
        QObject second;
        int firstCalls = 0;
        int secondCalls = 0;
        center.addObserver(&first, "n", [&](const Notification&) {
            ++firstCalls;
            center.removeObserver(&first);
            center.removeObserver(&second); // removed before its turn: not called
            center.addObserver(&second, "later", [](const Notification&) {});
        });
        center.addObserver(&second, "n", [&](const Notification&) { ++secondCalls; });
        center.post("n");
        center.post("n");
        QCOMPARE(firstCalls, 1);
        QCOMPARE(secondCalls, 0);
        QCOMPARE(center.observerCount("later"), 1);
    }

    void concurrentRegistrationAndPosting()
    {
        NotificationCenter center;
        std::atomic<int> delivered{0};
        std::vector<std::unique_ptr<QObject>> observers;
        for (int i = 0; i < 8; ++i)
            observers.push_back(std::make_unique<QObject>());
        std::vector<std::thread> threads;
        for (int t = 0; t < 8; ++t) {
            threads.emplace_back([&, t] {
                for (int i = 0; i < 200; ++i) {
                    center.addObserver(observers[t].get(), "tick", [&](const Notification&) { ++delivered; });
                    center.post("tick");
                    center.removeObserver(observers[t].get());
                }
            });
        }
        for (auto& thread : threads)
            thread.join();
        QCOMPARE(center.observerCount("tick"), 0);
        QVERIFY(delivered.load() >= 8 * 200); // each post reaches at least its own observer
    }

    void removalWaitsForADeliveryInProgress()
    {
        NotificationCenter center;
        QObject observer;
        std::atomic<bool> inside{false};
        std::atomic<bool> finished{false};
        center.addObserver(&observer, "slow", [&](const Notification&) {
            inside = true;
            QThread::msleep(150);
            finished = true;
        });
        std::thread poster([&] { center.post("slow"); });
        QTRY_VERIFY(inside.load());
        center.removeObserver(&observer);
        // The handler running on the other thread completed before removal returned.
        QVERIFY(finished.load());
        poster.join();
    }
};

QTEST_GUILESS_MAIN(TestNotificationCenter)
#include "tst_notificationcenter.moc"
