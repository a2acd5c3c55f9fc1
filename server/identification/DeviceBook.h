#pragma once

#include "Matcher.h"
#include "UploadConfirmation.h"
#include "store/ScheduleStore.h"

#include <QByteArray>
#include <QHash>

#include <mutex>
#include <vector>

// What the identification server remembers of each device: its last uploads (at most
// UploadConfirmation::MaxUploads), each kept for keepMs so that "checkresident.php" can match
// the newest again against audio that has arrived since and the next uploads can agree with
// them (UploadConfirmation), and a token bucket that limits how often it may ask. At most
// maxDevices are remembered (up to about 8.4 KB each); when full, the device heard from
// longest ago is forgotten. Thread-safe.
class DeviceBook
{
public:
    struct Settings
    {
        int maxDevices = ScheduleStore::MaxDevices; // as many as the store keeps
        qint64 keepMs = 30000;
        double requestsPerSecond = 8; // uploads and checks together
        double burst = 20;
    };

    DeviceBook();
    explicit DeviceBook(Settings settings);

    // Takes one request from the device's allowance; false when it asks too often.
    bool admit(const QByteArray& device, qint64 nowMs);
    // Keeps an upload as the device's newest; one with the newest's time replaces it (the
    // same block matched again).
    void keep(const QByteArray& device, const UploadConfirmation::Upload& upload, qint64 nowMs);
    // The device's uploads still kept, oldest first.
    std::vector<UploadConfirmation::Upload> kept(const QByteArray& device, qint64 nowMs) const;
    // Forgets the kept uploads.
    void forget(const QByteArray& device);
    int size() const;
    const Settings& settings() const { return m_settings; }

private:
    struct Device
    {
        double tokens = 0;
        qint64 refilledMs = 0;
        std::vector<UploadConfirmation::Upload> uploads; // oldest first
    };

    Device& deviceOf(const QByteArray& id, qint64 nowMs);

    Settings m_settings;
    mutable std::mutex m_lock;
    QHash<QByteArray, Device> m_devices;
};
