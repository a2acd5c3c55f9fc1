#pragma once

#include "Matcher.h"
#include "UploadConfirmation.h"
#include "store/ScheduleStore.h"

#include <QByteArray>
#include <QHash>

#include <mutex>
#include <optional>

// What the identification server remembers of each device: its last upload, kept for
// keepMs so that "checkresident.php" can match it again against audio that has arrived
// since, its match waiting for the next upload to agree (UploadConfirmation), and a token
// bucket that limits how often it may ask. At most maxDevices are
// remembered (about 2.1 KB each); when full, the device heard from longest ago is forgotten.
// Thread-safe.
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
    void keep(const QByteArray& device, const Matcher::Block& block, qint64 nowMs);
    // The device's last upload while it is kept.
    std::optional<Matcher::Block> kept(const QByteArray& device, qint64 nowMs);
    // Forgets the kept upload and the waiting match.
    void forget(const QByteArray& device);
    UploadConfirmation::Candidate candidate(const QByteArray& device) const;
    void setCandidate(const QByteArray& device, const UploadConfirmation::Candidate& candidate, qint64 nowMs);
    int size() const;
    const Settings& settings() const { return m_settings; }

private:
    struct Device
    {
        double tokens = 0;
        qint64 refilledMs = 0;
        qint64 uploadMs = -1; // -1: nothing kept
        Matcher::Block block{};
        UploadConfirmation::Candidate candidate;
    };

    Device& deviceOf(const QByteArray& id, qint64 nowMs);

    Settings m_settings;
    mutable std::mutex m_lock;
    QHash<QByteArray, Device> m_devices;
};
