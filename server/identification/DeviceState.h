#pragma once

#include "UploadConfirmation.h"

#include <QByteArray>

#include <optional>
#include <vector>

// What the identification server remembers of each device between its requests: its last
// uploads (at most UploadConfirmation::MaxUploads, each kept for a while so that
// "checkresident.php" can match the newest again and the next uploads can agree with them),
// an allowance of requests, and when it was last heard from. Kept in the process
// (DeviceBook) or shared by several processes (RedisDeviceBook). A shared store that cannot
// be reached makes the calls fail (Unavailable, nullopt, false): the request is then
// answered 503 rather than as if the device were new. Thread-safe.
class DeviceState
{
public:
    enum class Admission
    {
        Admitted,
        TooMany,
        Unavailable
    };

    virtual ~DeviceState() = default;

    // Takes one request from the device's allowance.
    virtual Admission admit(const QByteArray& device, qint64 nowMs) = 0;
    // Keeps an upload as the device's newest; one with the newest's time replaces it (the
    // same block matched again).
    virtual bool keep(const QByteArray& device, const UploadConfirmation::Upload& upload, qint64 nowMs) = 0;
    // The device's uploads still kept, oldest first.
    virtual std::optional<std::vector<UploadConfirmation::Upload>> kept(const QByteArray& device,
                                                                        qint64 nowMs) const = 0;
    // Forgets the kept uploads.
    virtual bool forget(const QByteArray& device) = 0;
    // Devices heard from within the last windowSeconds, when this state counts them (a shared
    // one does, for every process); nullopt when it does not.
    virtual std::optional<int> heardFrom(qint64 nowMs, qint64 windowSeconds) const = 0;
    virtual void heard(const QByteArray& device, qint64 nowMs) = 0;
};
