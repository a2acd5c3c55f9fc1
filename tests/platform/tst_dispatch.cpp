#include "platform/Dispatch.h"
#include "platform/SerialQueue.h"
#include "platform/Services.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <atomic>
#include <mutex>

class TestDispatch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mainAsyncRunsAfterTheCallerReturns()
    {
        bool callerReturned = false;
        bool ranAfterReturn = false;
        QThread* ranOn = nullptr;
        auto caller = [&] {
            Dispatch::mainAsync([&] {
                ranAfterReturn = callerReturned;
                ranOn = QThread::currentThread();
            });
        };
        caller();
        callerReturned = true;
        QTRY_VERIFY(ranOn != nullptr);
        QVERIFY(ranAfterReturn);
        QCOMPARE(ranOn, QCoreApplication::instance()->thread());
    }

    void mainAsyncFromAnotherThreadArrivesOnMain()
    {
        std::atomic<QThread*> ranOn{nullptr};
        QThread* worker =
            QThread::create([&] { Dispatch::mainAsync([&] { ranOn = QThread::currentThread(); }); });
        worker->start();
        worker->wait();
        delete worker;
        QTRY_VERIFY(ranOn.load() != nullptr);
        QCOMPARE(ranOn.load(), QThread::currentThread());
    }

    void mainAsyncIsDroppedWithItsContext()
    {
        bool ran = false;
        auto* context = new QObject;
        Dispatch::mainAsync(context, [&] { ran = true; });
        delete context;
        QTest::qWait(50);
        QVERIFY(!ran);
    }

    void serialQueueRunsInOrderOnOneThread()
    {
        SerialQueue queue("test.queue");
        std::mutex lock;
        QList<int> order;
        QSet<QThread*> threads;
        for (int i = 0; i < 100; ++i) {
            queue.async([&, i] {
                std::lock_guard guard(lock);
                order << i;
                threads << QThread::currentThread();
            });
        }
        queue.sync([] {});
        std::lock_guard guard(lock);
        QCOMPARE(order.size(), 100);
        for (int i = 0; i < 100; ++i)
            QCOMPARE(order[i], i);
        QCOMPARE(threads.size(), 1);
        QVERIFY(!threads.contains(QThread::currentThread()));
    }

    void syncFromTheQueueItselfRunsInline()
    {
        SerialQueue queue("test.reentrant");
        bool inner = false;
        queue.sync([&] { queue.sync([&] { inner = queue.isCurrent(); }); });
        QVERIFY(inner);
    }

    void destroyingAQueueRunsWhatWasSubmitted()
    {
        std::atomic<int> done{0};
        {
            SerialQueue queue("test.drain");
            for (int i = 0; i < 20; ++i) {
                queue.async([&] {
                    QThread::msleep(2);
                    ++done;
                });
            }
        }
        QCOMPARE(done.load(), 20);
    }

    void theOwnerStopsItsServicesInReverseOrder()
    {
        static QStringList log;
        struct First
        {
            ~First() { log.append("first"); }
        };
        struct Second
        {
            ~Second() { log.append("second"); }
        };
        std::atomic<int> ran{0};
        {
            Services services;
            QCOMPARE(&Services::current(), &services);
            QCOMPARE(&Dispatch::cacheQueue(), &services.cacheQueue());
            First& first = services.obtain<First>([] { return std::make_unique<First>(); });
            services.obtain<Second>([] { return std::make_unique<Second>(); });
            QCOMPARE(&services.obtain<First>([&]() -> std::unique_ptr<First> { return nullptr; }), &first);
            // Work queued before the stop all runs (cache writes are not lost at exit).
            for (int i = 0; i < 50; ++i)
                services.cacheQueue().async([&] {
                    QThread::msleep(1);
                    ++ran;
                });
            services.shutdown();
            QCOMPARE(ran.load(), 50);
            QCOMPARE(log, (QStringList{"second", "first"}));
            // After the stop, a task runs at once on the caller's thread.
            QThread* where = nullptr;
            services.cacheQueue().async([&] { where = QThread::currentThread(); });
            QCOMPARE(where, QThread::currentThread());
        }
        QVERIFY(&Services::current() != nullptr); // the fallback again
        QCOMPARE(log.size(), 2);                  // nothing destroyed twice
    }

    void theCacheQueueHasItsName()
    {
        QString name;
        Dispatch::cacheQueue().sync([&] { name = QThread::currentThread()->objectName(); });
        QCOMPARE(name, QStringLiteral("com.orvane.cachequeue"));
        QCOMPARE(&Dispatch::cacheQueue(), &Dispatch::cacheQueue());
    }
};

QTEST_GUILESS_MAIN(TestDispatch)
#include "tst_dispatch.moc"
