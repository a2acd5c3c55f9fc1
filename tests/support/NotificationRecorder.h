#pragma once

#include "platform/NotificationCenter.h"

#include <QByteArray>
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
        Notification notification; // its object may be gone by now: use senderClass
        QThread* thread;
        QByteArray senderClass; // the sender's class when it was posted, empty without one
    };

    explicit NotificationRecorder(const QList<NotificationName>& names);
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
