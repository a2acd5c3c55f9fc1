#pragma once

#include "platform/Error.h"

#include <QObject>
#include <QPointer>
#include <QVariant>

#include <functional>

// Where an asynchronous request reports: a delegate object and its finished and failed
// handlers. Exactly one handler is performed, on the delegate's thread, through a queued
// call, so it always runs after the requesting function has returned. A destroyed delegate
// is not called; a missing handler drops its result; without a delegate nothing is called.
class Reply
{
public:
    using Finished = std::function<void(const QVariant&)>;
    using Failed = std::function<void(const Error&)>;

    Reply() = default;
    Reply(QObject* delegate, Finished finished, Failed failed = {});

    template <typename T>
    Reply(T* delegate, void (T::*finished)(const QVariant&), void (T::*failed)(const Error&) = nullptr)
        : Reply(delegate, bindFinished(delegate, finished), bindFailed(delegate, failed))
    {}

    // A reply for the newest of a delegate's requests: *latest, the delegate's own counter, is
    // moved on for this request, and when it has moved on again by the time the answer arrives
    // (a newer request, or the delegate dropped what was asked for) the answer is dropped.
    template <typename T>
    static Reply newest(T* delegate, int* latest, void (T::*finished)(const QVariant&),
                        void (T::*failed)(const Error&))
    {
        const int request = ++*latest;
        // The handlers run only while the delegate, which holds *latest, is alive.
        return Reply(
            delegate,
            [delegate, latest, request, finished](const QVariant& value) {
                if (*latest == request)
                    (delegate->*finished)(value);
            },
            [delegate, latest, request, failed](const Error& error) {
                if (failed && *latest == request)
                    (delegate->*failed)(error);
            });
    }

    QObject* delegate() const { return m_delegate; }
    bool hasDelegate() const { return m_hasDelegate; }
    bool hasFinished() const { return bool(m_finished); }
    bool hasFailed() const { return bool(m_failed); }

    void performFinished(const QVariant& value) const;
    void performFailed(const Error& error) const;

private:
    template <typename T> static Finished bindFinished(T* delegate, void (T::*method)(const QVariant&))
    {
        if (!method)
            return {};
        return [delegate, method](const QVariant& value) { (delegate->*method)(value); };
    }
    template <typename T> static Failed bindFailed(T* delegate, void (T::*method)(const Error&))
    {
        if (!method)
            return {};
        return [delegate, method](const Error& error) { (delegate->*method)(error); };
    }

    QPointer<QObject> m_delegate;
    bool m_hasDelegate = false;
    Finished m_finished;
    Failed m_failed;
};
