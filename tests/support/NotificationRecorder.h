#pragma once

#include "platform/NotificationCenter.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QThread>

#include <mutex>

// Records the notifications of the given names posted on the default centre, with the
// thread each was delivered on.
class NotificationRecorder : public QObject
{
public:
    struct Entry
    {
        Notification notification;
        QThread* thread;
    };

    explicit NotificationRecorder(const QStringList& names);
    ~NotificationRecorder() override;

    QList<Entry> entries() const;
    QStringList names() const;
    int count(const QString& name) const;
    Entry last(const QString& name) const;
    void clear();

private:
    mutable std::mutex m_lock;
    QList<Entry> m_entries;
};
