#pragma once

#include <QString>

class ScheduleStore;

// The microblog service's demo users, who follows whom, and a few statuses between them (some
// about channels by their hashtags, some mentioning the demo account). Idempotent: users that
// exist are kept as they are.
class DemoSocial
{
public:
    static inline const QString DemoScreenName = QStringLiteral("demo");
    static inline const QString DemoPassword = QStringLiteral("orvane-demo");

    explicit DemoSocial(ScheduleStore& store) : m_store(store) {}
    // The number of users created (0 when they were there already); -1 on a store failure.
    int ensure();

private:
    ScheduleStore& m_store;
};
