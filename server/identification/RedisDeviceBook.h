#pragma once

#include "DeviceBook.h"
#include "DeviceState.h"

#include <QString>

#include <mutex>
#include <optional>
#include <vector>

struct redisContext;

// The devices' state in Redis, shared by every identification process that names the same
// server ("redis://[:PASSWORD@]HOST:PORT"), so that an upload answered by one process can be
// checked or confirmed by another:
//   orvane:up:DEVICE     a list of the device's uploads, newest last, expiring keepMs after
//                        the last one was kept
//   orvane:rate:DEVICE   its token bucket (tokens, refilled at), expiring once full again
//   orvane:heard         devices by the second they were last heard from, for "pon"
// Each change is one server-side script, so processes never interleave within one. Calls
// take a connection from a pool (none is held while another is in use) and wait at most
// 1 s; a lost server is tried again after a back-off of 0.25 s doubling to 5 s, and until it
// answers the calls fail (DeviceState).
class RedisDeviceBook : public DeviceState
{
public:
    struct Address
    {
        QString host;
        int port = 6379;
        QString password;
        // As it may be shown: never with the password.
        QString display() const;
    };
    // "redis://HOST:PORT"; nullopt with a reason otherwise.
    static std::optional<Address> parse(const QString& text, QString* error = nullptr);

    RedisDeviceBook(Address address, DeviceBook::Settings settings = {});
    ~RedisDeviceBook() override;
    RedisDeviceBook(const RedisDeviceBook&) = delete;
    RedisDeviceBook& operator=(const RedisDeviceBook&) = delete;

    // Whether the server answers now; the reason when it does not.
    bool reachable(QString* error = nullptr);

    Admission admit(const QByteArray& device, qint64 nowMs) override;
    bool keep(const QByteArray& device, const UploadConfirmation::Upload& upload, qint64 nowMs) override;
    std::optional<std::vector<UploadConfirmation::Upload>> kept(const QByteArray& device,
                                                                qint64 nowMs) const override;
    bool forget(const QByteArray& device) override;
    std::optional<int> heardFrom(qint64 nowMs, qint64 windowSeconds) const override;
    void heard(const QByteArray& device, qint64 nowMs) override;

    // An upload as stored, and back (nullopt for bytes that are not one).
    static QByteArray encode(const UploadConfirmation::Upload& upload);
    static std::optional<UploadConfirmation::Upload> decode(const QByteArray& bytes);

private:
    class Lease;
    // A pooled connection, or none while the server is down (after the back-off, one is
    // tried again).
    redisContext* acquire(QString* error = nullptr) const;
    // Back to the pool; a failed one is closed and starts the back-off.
    void release(redisContext* context, bool failed) const;

    Address m_address;
    DeviceBook::Settings m_settings;
    mutable std::mutex m_lock;
    mutable std::vector<redisContext*> m_idle;
    mutable qint64 m_retryAtMs = 0;
    mutable int m_retryDelayMs = 0;
};
