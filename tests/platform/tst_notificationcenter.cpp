#include "platform/NotificationCenter.h"

#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include <atomic>
#include <thread>
#include <vector>

namespace {
// A test's own notification name.
NotificationName N(const char* text)
{
    return NotificationName(QLatin1String(text));
}
} // namespace

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
        center.addObserver(&observer, N("fpNotification"), [&](const Notification& n) {
            deliveredOn = QThread::currentThread();
            received = n.userInfo;
        });
        std::thread poster([&] { center.post(N("fpNotification"), nullptr, {{"resultSearch", 7}}); });
        const auto posterId = poster.get_id();
        poster.join();
        QVERIFY(deliveredOn != nullptr);
        QVERIFY(deliveredOn != QThread::currentThread()); // not hopped to the main thread
        QCOMPARE(received.value("resultSearch").toInt(), 7);
        Q_UNUSED(posterId);

        // Synchronous: the handler has run when post returns.
        int calls = 0;
        center.addObserver(&observer, N("idle"), [&](const Notification&) { ++calls; });
        center.post(N("idle"));
        QCOMPARE(calls, 1);
        center.post(N("other"));
        QCOMPARE(calls, 1);
    }

    void observersGoAwayWithTheirObject()
    {
        NotificationCenter center;
        int calls = 0;
        {
            QObject observer;
            center.addObserver(&observer, N("idle"), [&](const Notification&) { ++calls; });
            center.addObserver(&observer, N("channelChanged"), [&](const Notification&) { ++calls; });
            QCOMPARE(center.observerCount(N("idle")), 1);
        }
        QCOMPARE(center.observerCount(N("idle")), 0);
        QCOMPARE(center.observerCount(N("channelChanged")), 0);
        center.post(N("idle"));
        QCOMPARE(calls, 0);
    }

    void removalByNameKeepsTheOtherNames()
    {
        NotificationCenter center;
        QObject observer;
        QStringList seen;
        center.addObserver(&observer, N("a"), [&](const Notification& n) { seen << n.name; });
        center.addObserver(&observer, N("b"), [&](const Notification& n) { seen << n.name; });
        center.removeObserver(&observer, N("a"));
        center.post(N("a"));
        center.post(N("b"));
        QCOMPARE(seen, QStringList{"b"});
    }

    void handlerMayChangeRegistrationsWhileDelivering()
    {
        NotificationCenter center;
        QObject first;
        QObject second;
        int firstCalls = 0;
        int secondCalls = 0;
        center.addObserver(&first, N("n"), [&](const Notification&) {
            ++firstCalls;
            center.removeObserver(&first);
            center.removeObserver(&second); // removed before its turn: not called
            center.addObserver(&second, N("later"), [](const Notification&) {});
        });
        center.addObserver(&second, N("n"), [&](const Notification&) { ++secondCalls; });
        center.post(N("n"));
        center.post(N("n"));
        QCOMPARE(firstCalls, 1);
        QCOMPARE(secondCalls, 0);
        QCOMPARE(center.observerCount(N("later")), 1);
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
                    center.addObserver(observers[t].get(), N("tick"),
                                       [&](const Notification&) { ++delivered; });
                    center.post(N("tick"));
                    center.removeObserver(observers[t].get());
                }
            });
        }
        for (auto& thread : threads)
            thread.join();
        QCOMPARE(center.observerCount(N("tick")), 0);
        QVERIFY(delivered.load() >= 8 * 200); // each post reaches at least its own observer
    }

    void handlersRunWithoutALockOfTheCentre()
    {
        // Two threads deliver to one observer at once and each handler waits until both are
        // inside: a lock held around the handler would keep the second out for good.
        NotificationCenter center;
        QObject observer;
        std::atomic<int> inside{0};
        std::atomic<int> metTheOther{0};
        center.addObserver(&observer, N("x"), [&](const Notification&) {
            ++inside;
            QElapsedTimer waited;
            waited.start();
            while (inside.load() < 2 && waited.elapsed() < 5000)
                std::this_thread::yield();
            if (inside.load() >= 2)
                ++metTheOther;
        });
        std::thread first([&] { center.post(N("x")); });
        std::thread second([&] { center.post(N("x")); });
        first.join();
        second.join();
        QCOMPARE(metTheOther.load(), 2);

        // A handler may post, observe and remove, its own observer included, on its thread.
        int nested = 0;
        center.addObserver(&observer, N("outer"), [&](const Notification&) {
            center.addObserver(&observer, N("inner"), [&](const Notification&) { ++nested; });
            center.post(N("inner"));
            center.removeObserver(&observer);
        });
        center.post(N("outer"));
        QCOMPARE(nested, 1);
        QCOMPARE(center.observerCount(N("outer")), 0);
    }

    void observeOnMainHopsWithoutWaiting()
    {
        NotificationCenter center;
        auto observer = std::make_unique<QObject>();
        QList<QThread*> ranOn;
        center.observeOnMain(observer.get(), N("x"),
                             [&](const Notification&) { ranOn << QThread::currentThread(); });
        center.post(N("x")); // on the main thread: at once
        QCOMPARE(ranOn, QList<QThread*>{QThread::currentThread()});
        std::thread([&] { center.post(N("x")); }).join(); // elsewhere: queued, the poster went on
        QCOMPARE(ranOn.size(), 1);
        QTRY_COMPARE(ranOn.size(), 2);
        QCOMPARE(ranOn.last(), QThread::currentThread());

        // Queued delivery always waits for the main thread's queue; a call still queued when
        // the observer goes is dropped.
        center.observeOnMain(
            observer.get(), N("q"), [&](const Notification&) { ranOn << nullptr; },
            NotificationCenter::OnMain::Queued);
        center.post(N("q"));
        QCOMPARE(ranOn.size(), 2);
        std::thread([&] { center.post(N("x")); }).join();
        observer.reset();
        QCoreApplication::processEvents();
        QCOMPARE(ranOn.size(), 2);
    }

    void removalWaitsForADeliveryInProgress()
    {
        NotificationCenter center;
        QObject observer;
        std::atomic<bool> inside{false};
        std::atomic<bool> finished{false};
        center.addObserver(&observer, N("slow"), [&](const Notification&) {
            inside = true;
            QThread::msleep(150);
            finished = true;
        });
        std::thread poster([&] { center.post(N("slow")); });
        QTRY_VERIFY(inside.load());
        center.removeObserver(&observer);
        // The handler running on the other thread completed before removal returned.
        QVERIFY(finished.load());
        poster.join();
    }
};

QTEST_GUILESS_MAIN(TestNotificationCenter)
#include "tst_notificationcenter.moc"
