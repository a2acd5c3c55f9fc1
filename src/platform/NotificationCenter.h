#pragma once

#include "NotificationNames.h"

#include <QObject>
#include <QString>
#include <QVariantMap>

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

struct Notification
{
    QString name;
    QObject* object = nullptr; // the sender, absent for most notifications
    QVariantMap userInfo;
};

// Named notifications, delivered synchronously on the posting thread to every observer
// registered for the name at the time of posting.
//
// Concurrency contract:
// - No lock of the centre is held while a handler runs: a handler may post, add or remove
//   observers, and two threads may post to the same observer at once.
// - Registration and removal are thread-safe. An observer is removed automatically when it
//   is destroyed. Removal waits for deliveries to that observer running on other threads
//   (without holding any lock while it waits), so a handler never starts, and none is still
//   running elsewhere, once removeObserver() has returned. A handler must therefore never
//   wait for the thread that may remove its observer (the main thread, for screens): work
//   for the main thread is handed over with observeOnMain(), which never waits.
// - The centre is process-wide through defaultCenter(); tests may make their own.
class NotificationCenter
{
public:
    using Handler = std::function<void(const Notification&)>;

    // The shared services' centre (Services::current()).
    static NotificationCenter& defaultCenter();

    NotificationCenter() = default;
    ~NotificationCenter();
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    // The handler runs on the posting thread.
    void addObserver(QObject* observer, NotificationName name, Handler handler);
    enum class OnMain
    {
        AtOnceThere, // run at once when posted on the main thread, queued otherwise
        Queued       // always queued: runs after the posting event, in posting order
    };
    // The handler runs on the main thread, whatever thread posts, queued behind the main
    // thread's pending events when it must wait (and dropped when the observer, which must
    // live on the main thread, is gone by then). Never blocks the poster.
    void observeOnMain(QObject* observer, NotificationName name, Handler handler,
                       OnMain delivery = OnMain::AtOnceThere);
    void removeObserver(QObject* observer);
    void removeObserver(QObject* observer, NotificationName name);

    void post(NotificationName name, QObject* object = nullptr, const QVariantMap& userInfo = {});

    int observerCount(NotificationName name) const;

private:
    struct Observation
    {
        QObject* observer = nullptr;
        QString name;
        Handler handler;
        // Deliveries: guarded by gate; the lock is never held while the handler runs.
        std::mutex gate;
        std::condition_variable idle;
        std::multiset<std::thread::id> running;
        bool removed = false;
    };

    void deliver(Observation& observation, const Notification& notification);
    void retire(std::vector<std::shared_ptr<Observation>> retired);
    bool isObservingLocked(QObject* observer) const;

    mutable std::mutex m_lock;
    std::vector<std::shared_ptr<Observation>> m_observations;
    std::map<QObject*, QMetaObject::Connection> m_destroyWatches;
};
