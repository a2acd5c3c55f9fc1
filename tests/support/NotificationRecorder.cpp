#include "NotificationRecorder.h"

NotificationRecorder::NotificationRecorder(const QList<NotificationName>& names)
{
    for (NotificationName name : names) {
        NotificationCenter::defaultCenter().addObserver(this, name, [this](const Notification& n) {
            std::lock_guard guard(m_lock);
            m_entries.append({n, QThread::currentThread(),
                              n.object ? QByteArray(n.object->metaObject()->className()) : QByteArray()});
        });
    }
}

NotificationRecorder::~NotificationRecorder()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

QList<NotificationRecorder::Entry> NotificationRecorder::entries() const
{
    std::lock_guard guard(m_lock);
    return m_entries;
}

QStringList NotificationRecorder::names() const
{
    std::lock_guard guard(m_lock);
    QStringList names;
    for (const Entry& entry : m_entries)
        names << entry.notification.name;
    return names;
}

int NotificationRecorder::count(const QString& name) const
{
    return int(names().count(name));
}

NotificationRecorder::Entry NotificationRecorder::last(const QString& name) const
{
    std::lock_guard guard(m_lock);
    for (auto it = m_entries.crbegin(); it != m_entries.crend(); ++it) {
        if (it->notification.name == name)
            return *it;
    }
    return {};
}

void NotificationRecorder::clear()
{
    std::lock_guard guard(m_lock);
    m_entries.clear();
}
