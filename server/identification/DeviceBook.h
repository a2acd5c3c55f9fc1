#pragma once

#include "DeviceState.h"
#include "Matcher.h"
#include "store/ScheduleStore.h"

#include <QByteArray>
#include <QHash>

#include <mutex>
#include <vector>

// The devices' state in this process: each device's last uploads, kept for keepMs, and a
// token bucket that limits how often it may ask. At most maxDevices are remembered (up to
// about 8.4 KB each); when full, the device heard from longest ago is forgotten. Devices
// heard from are counted by the schedule store here, not by the book. Thread-safe.
class DeviceBook : public DeviceState
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

    Admission admit(const QByteArray& device, qint64 nowMs) override;
    bool keep(const QByteArray& device, const UploadConfirmation::Upload& upload, qint64 nowMs) override;
    std::optional<std::vector<UploadConfirmation::Upload>> kept(const QByteArray& device,
                                                                qint64 nowMs) const override;
    bool forget(const QByteArray& device) override;
    std::optional<int> heardFrom(qint64, qint64) const override { return std::nullopt; }
    void heard(const QByteArray&, qint64) override {}
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
