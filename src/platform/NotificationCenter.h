#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
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
// Registration and removal are thread-safe. An observer is removed automatically when it
// is destroyed; removal waits for a delivery to that observer running on another thread,
// so a handler never runs after removeObserver() has returned.
class NotificationCenter
{
public:
    using Handler = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    NotificationCenter() = default;
    ~NotificationCenter();
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    void addObserver(QObject* observer, const QString& name, Handler handler);
    void removeObserver(QObject* observer);
    void removeObserver(QObject* observer, const QString& name);

    void post(const QString& name, QObject* object = nullptr, const QVariantMap& userInfo = {});
    void post(const Notification& notification);

    int observerCount(const QString& name) const;

private:
    struct Observation
    {
        QObject* observer;
        QString name;
        Handler handler;
        std::recursive_mutex deliveryLock; // held while the handler runs
        bool removed = false;              // guarded by deliveryLock
    };

    void retire(std::vector<std::shared_ptr<Observation>> retired);
    bool isObservingLocked(QObject* observer) const;

    mutable std::mutex m_lock;
    std::vector<std::shared_ptr<Observation>> m_observations;
    std::map<QObject*, QMetaObject::Connection> m_destroyWatches;
};
