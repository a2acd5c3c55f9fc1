#include "platform/Dispatch.h"
#include "platform/SerialQueue.h"

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
