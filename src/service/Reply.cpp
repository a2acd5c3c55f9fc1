#include "Reply.h"

#include <QMetaObject>

Reply::Reply(QObject* delegate, Finished finished, Failed failed)
    : m_delegate(delegate), m_hasDelegate(delegate != nullptr), m_finished(std::move(finished)),
      m_failed(std::move(failed))
{}

void Reply::performFinished(const QVariant& value) const
{
    if (!m_delegate || !m_finished)
        return;
    QMetaObject::invokeMethod(
        m_delegate.data(), [handler = m_finished, value] { handler(value); }, Qt::QueuedConnection);
}

void Reply::performFailed(const Error& error) const
{
    if (!m_delegate || !m_failed)
        return;
    QMetaObject::invokeMethod(
        m_delegate.data(), [handler = m_failed, error] { handler(error); }, Qt::QueuedConnection);
}
