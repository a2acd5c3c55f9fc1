#include "Services.h"

#include "NotificationCenter.h"
#include "SerialQueue.h"

#include <QString>

namespace {

std::atomic<Services*>& installed()
{
    static std::atomic<Services*> owner{nullptr};
    return owner;
}

} // namespace

Services::Services(Fallback)
    : m_center(std::make_unique<NotificationCenter>()),
      m_cacheQueue(std::make_unique<SerialQueue>(QStringLiteral("com.orvane.cachequeue")))
{}

Services::Services() : Services(Fallback{})
{
    Services* none = nullptr;
    m_installed = installed().compare_exchange_strong(none, this);
}

Services::~Services()
{
    shutdown();
    if (m_installed)
        installed().store(nullptr);
}

Services& Services::current()
{
    if (Services* owner = installed().load())
        return *owner;
    // Made on first use and never destroyed: work may still be queued at exit.
    static Services* fallback = new Services(Fallback{});
    return *fallback;
}

void Services::shutdown()
{
    if (m_shutDown.exchange(true))
        return;
    for (;;) {
        std::shared_ptr<void> last;
        {
            std::lock_guard guard(m_lock);
            if (m_entries.empty())
                break;
            last = std::move(m_entries.back().object);
            m_entries.pop_back();
        }
        last.reset(); // destroyed without the lock: its destructor joins its threads
    }
    m_cacheQueue->stop();
}

void* Services::find(std::type_index type) const
{
    std::lock_guard guard(m_lock);
    for (const Entry& entry : m_entries) {
        if (entry.type == type)
            return entry.object.get();
    }
    return nullptr;
}

void* Services::insert(std::type_index type, std::shared_ptr<void> object)
{
    std::shared_ptr<void> loser;
    void* winner = nullptr;
    {
        std::lock_guard guard(m_lock);
        for (const Entry& entry : m_entries) {
            if (entry.type == type)
                winner = entry.object.get();
        }
        if (winner)
            loser = std::move(object);
        else
            m_entries.push_back({type, object});
    }
    // A losing instance is destroyed outside the lock.
    loser.reset();
    return winner ? winner : object.get();
}
