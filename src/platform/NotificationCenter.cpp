#include "NotificationCenter.h"

#include <algorithm>

NotificationCenter& NotificationCenter::defaultCenter()
{
    static NotificationCenter* center = new NotificationCenter;
    return *center;
}

NotificationCenter::~NotificationCenter()
{
    for (const auto& [observer, connection] : m_destroyWatches)
        QObject::disconnect(connection);
}

void NotificationCenter::addObserver(QObject* observer, const QString& name, Handler handler)
{
    auto observation = std::make_shared<Observation>();
    observation->observer = observer;
    observation->name = name;
    observation->handler = std::move(handler);

    std::lock_guard guard(m_lock);
    m_observations.push_back(std::move(observation));
    if (observer && !m_destroyWatches.count(observer)) {
        // Direct connection: runs in the destroying thread, before the object's memory goes.
        m_destroyWatches[observer] =
            QObject::connect(observer, &QObject::destroyed, [this, observer] { removeObserver(observer); });
    }
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

void NotificationCenter::removeObserver(QObject* observer, const QString& name)
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
    // Taking each delivery lock waits for a handler running on another thread; on the
    // thread that runs the handler the recursive lock is re-entered at once.
    for (const auto& observation : retired) {
        std::lock_guard guard(observation->deliveryLock);
        observation->removed = true;
    }
}

void NotificationCenter::post(const QString& name, QObject* object, const QVariantMap& userInfo)
{
    post(Notification{name, object, userInfo});
}

void NotificationCenter::post(const Notification& notification)
{
    std::vector<std::shared_ptr<Observation>> targets;
    {
        std::lock_guard guard(m_lock);
        for (const auto& observation : m_observations) {
            if (observation->name == notification.name)
                targets.push_back(observation);
        }
    }
    for (const auto& observation : targets) {
        std::lock_guard guard(observation->deliveryLock);
        if (!observation->removed)
            observation->handler(notification);
    }
}

bool NotificationCenter::isObservingLocked(QObject* observer) const
{
    return std::any_of(m_observations.begin(), m_observations.end(),
                       [observer](const auto& o) { return o->observer == observer; });
}

int NotificationCenter::observerCount(const QString& name) const
{
    std::lock_guard guard(m_lock);
    return int(std::count_if(m_observations.begin(), m_observations.end(),
                             [&name](const auto& o) { return o->name == name; }));
}
