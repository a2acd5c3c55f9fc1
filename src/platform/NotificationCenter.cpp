#include "NotificationCenter.h"

#include "Services.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>

#include <algorithm>
#include <set>

NotificationCenter& NotificationCenter::defaultCenter()
{
    return Services::current().notificationCenter();
}

NotificationCenter::~NotificationCenter()
{
    for (const auto& [observer, connection] : m_destroyWatches)
        QObject::disconnect(connection);
}

void NotificationCenter::addObserver(QObject* observer, NotificationName name, Handler handler)
{
    auto observation = std::make_shared<Observation>();
    observation->observer = observer;
    observation->name = name.toString();
    observation->handler = std::move(handler);

    std::lock_guard guard(m_lock);
    m_observations.push_back(std::move(observation));
    if (observer && !m_destroyWatches.count(observer)) {
        // Direct connection: runs in the destroying thread, before the object's memory goes.
        m_destroyWatches[observer] =
            QObject::connect(observer, &QObject::destroyed, [this, observer] { removeObserver(observer); });
    }
}

void NotificationCenter::observeOnMain(QObject* observer, NotificationName name, Handler handler,
                                       OnMain delivery)
{
    Q_ASSERT(observer);
    QPointer<QObject> target(observer);
    addObserver(
        observer, name, [target, delivery, handler = std::move(handler)](const Notification& notification) {
            const QCoreApplication* app = QCoreApplication::instance();
            if (!app || (delivery == OnMain::AtOnceThere && QThread::currentThread() == app->thread())) {
                handler(notification);
                return;
            }
            // Queued on the observer (a main-thread object): Qt drops the call if it is
            // destroyed before the call runs. Never waits for the main thread.
            if (QObject* context = target.data())
                QMetaObject::invokeMethod(
                    context, [handler, notification] { handler(notification); }, Qt::QueuedConnection);
        });
}

void NotificationCenter::removeObserver(QObject* observer)
{
    std::vector<std::shared_ptr<Observation>> retired;
    {
        std::lock_guard guard(m_lock);
        auto it = std::stable_partition(m_observations.begin(), m_observations.end(),
                                        [observer](const auto& o) { return o->observer != observer; });
        retired.assign(std::make_move_iterator(it), std::make_move_iterator(m_observations.end()));
        m_observations.erase(it, m_observations.end());
        if (auto watch = m_destroyWatches.find(observer); watch != m_destroyWatches.end()) {
            QObject::disconnect(watch->second);
            m_destroyWatches.erase(watch);
        }
    }
    retire(std::move(retired));
}

void NotificationCenter::removeObserver(QObject* observer, NotificationName name)
{
    std::vector<std::shared_ptr<Observation>> retired;
    {
        std::lock_guard guard(m_lock);
        auto it = std::stable_partition(m_observations.begin(), m_observations.end(), [&](const auto& o) {
            return !(o->observer == observer && o->name == name);
        });
        retired.assign(std::make_move_iterator(it), std::make_move_iterator(m_observations.end()));
        m_observations.erase(it, m_observations.end());
        auto watch = m_destroyWatches.find(observer);
        if (watch != m_destroyWatches.end() && !isObservingLocked(observer)) {
            QObject::disconnect(watch->second);
            m_destroyWatches.erase(watch);
        }
    }
    retire(std::move(retired));
}

void NotificationCenter::retire(std::vector<std::shared_ptr<Observation>> retired)
{
    // No new delivery starts once an observation is marked removed; deliveries already
    // running on other threads are waited for. One running on this thread (a handler that
    // removes its own observer) cannot be waited for and is not: it is this very call's caller.
    const std::thread::id self = std::this_thread::get_id();
    for (const auto& observation : retired) {
        std::unique_lock gate(observation->gate);
        observation->removed = true;
        observation->idle.wait(
            gate, [&] { return observation->running.size() == observation->running.count(self); });
    }
}

void NotificationCenter::post(NotificationName name, QObject* object, const QVariantMap& userInfo)
{
    const Notification notification{name.toString(), object, userInfo};
    std::vector<std::shared_ptr<Observation>> targets;
    {
        std::lock_guard guard(m_lock);
        for (const auto& observation : m_observations) {
            if (observation->name == notification.name)
                targets.push_back(observation);
        }
    }
    for (const auto& observation : targets)
        deliver(*observation, notification);
}

void NotificationCenter::deliver(Observation& observation, const Notification& notification)
{
    const std::thread::id self = std::this_thread::get_id();
    {
        std::lock_guard gate(observation.gate);
        if (observation.removed)
            return;
        observation.running.insert(self);
    }
    // The handler runs with no lock held; the entry in running is what removal waits for.
    struct Leave
    {
        Observation& observation;
        std::thread::id self;
        ~Leave()
        {
            std::lock_guard gate(observation.gate);
            observation.running.erase(observation.running.find(self));
            observation.idle.notify_all();
        }
    } leave{observation, self};
    observation.handler(notification);
}

bool NotificationCenter::isObservingLocked(QObject* observer) const
{
    return std::any_of(m_observations.begin(), m_observations.end(),
                       [observer](const auto& o) { return o->observer == observer; });
}

int NotificationCenter::observerCount(NotificationName name) const
{
    std::lock_guard guard(m_lock);
    return int(std::count_if(m_observations.begin(), m_observations.end(),
                             [&name](const auto& o) { return o->name == name; }));
}
