#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <typeindex>
#include <vector>

class NotificationCenter;
class SerialQueue;

// The one owner of the process's shared services and of their threads.
//
// The programs make one Services right after their application object, before anything
// else; it is then what the process-wide accessors return (NotificationCenter::
// defaultCenter(), Dispatch::cacheQueue(), and the sharedManager() of the services above
// the platform, which register here with obtain()). Services are created in order, the
// notification centre and the cache queue first, and shutdown() stops them in the reverse
// order: each registered service is destroyed (its destructor stops and joins its
// threads), then the cache queue runs every task already queued and its thread ends. The
// notification centre lives until the owner itself goes.
//
// Without an owner (unit tests that need none), current() is a process-wide one made on
// first use and never destroyed, as the accessors have always behaved. Tests that want
// their own instances make their own Services.
class Services
{
public:
    Services();
    ~Services();
    Services(const Services&) = delete;
    Services& operator=(const Services&) = delete;

    // The installed owner (the first one made and not yet destroyed), or the fallback.
    static Services& current();

    NotificationCenter& notificationCenter() { return *m_center; }
    SerialQueue& cacheQueue() { return *m_cacheQueue; }

    // This owner's instance of T, made with make() on its first use. make() runs without
    // any lock held; when two threads race, the first to finish wins and the other's
    // instance is destroyed.
    template <class T> T& obtain(const std::function<std::unique_ptr<T>()>& make)
    {
        if (void* found = find(typeid(T)))
            return *static_cast<T*>(found);
        std::shared_ptr<T> made(make());
        return *static_cast<T*>(insert(typeid(T), std::static_pointer_cast<void>(made)));
    }
    // The instance of T if one has been made.
    template <class T> T* existing() const { return static_cast<T*>(find(typeid(T))); }

    // Stops everything in reverse order of creation (see above). Idempotent; called by the
    // destructor. Call it on the main thread after its event loop has returned, while the
    // objects that observe the services still exist.
    void shutdown();
    bool isShutDown() const { return m_shutDown.load(); }

private:
    struct Entry
    {
        std::type_index type;
        std::shared_ptr<void> object;
    };
    struct Fallback
    {
    };
    explicit Services(Fallback);

    void* find(std::type_index type) const;
    void* insert(std::type_index type, std::shared_ptr<void> object);

    std::unique_ptr<NotificationCenter> m_center;
    std::unique_ptr<SerialQueue> m_cacheQueue;
    mutable std::mutex m_lock;
    std::vector<Entry> m_entries; // in order of creation
    std::atomic<bool> m_shutDown{false};
    bool m_installed = false;
};
