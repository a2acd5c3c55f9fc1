#include "DeviceBook.h"

#include <algorithm>

DeviceBook::DeviceBook() : DeviceBook(Settings()) {}

DeviceBook::DeviceBook(Settings settings) : m_settings(settings) {}

DeviceBook::Device& DeviceBook::deviceOf(const QByteArray& id, qint64 nowMs)
{
    auto it = m_devices.find(id);
    if (it != m_devices.end())
        return *it;
    if (m_devices.size() >= m_settings.maxDevices) {
        auto oldest = m_devices.begin();
        for (auto d = m_devices.begin(); d != m_devices.end(); ++d) {
            if (d->refilledMs < oldest->refilledMs)
                oldest = d;
        }
        m_devices.erase(oldest);
    }
    Device device;
    device.tokens = m_settings.burst;
    device.refilledMs = nowMs;
    return *m_devices.insert(id, device);
}

bool DeviceBook::admit(const QByteArray& device, qint64 nowMs)
{
    std::lock_guard guard(m_lock);
    Device& d = deviceOf(device, nowMs);
    d.tokens = std::min(m_settings.burst, d.tokens + double(std::max<qint64>(0, nowMs - d.refilledMs)) /
                                                         1000.0 * m_settings.requestsPerSecond);
    d.refilledMs = nowMs;
    if (d.tokens < 1)
        return false;
    d.tokens -= 1;
    return true;
}

void DeviceBook::keep(const QByteArray& device, const Matcher::Block& block, qint64 nowMs)
{
    std::lock_guard guard(m_lock);
    Device& d = deviceOf(device, nowMs);
    d.block = block;
    d.uploadMs = nowMs;
}

std::optional<Matcher::Block> DeviceBook::kept(const QByteArray& device, qint64 nowMs)
{
    std::lock_guard guard(m_lock);
    const auto it = m_devices.constFind(device);
    if (it == m_devices.constEnd() || it->uploadMs < 0 || nowMs - it->uploadMs > m_settings.keepMs)
        return std::nullopt;
    return it->block;
}

void DeviceBook::forget(const QByteArray& device)
{
    std::lock_guard guard(m_lock);
    const auto it = m_devices.find(device);
    if (it != m_devices.end()) {
        it->uploadMs = -1;
        it->candidate = {};
    }
}

UploadConfirmation::Candidate DeviceBook::candidate(const QByteArray& device) const
{
    std::lock_guard guard(m_lock);
    const auto it = m_devices.constFind(device);
    return it == m_devices.constEnd() ? UploadConfirmation::Candidate() : it->candidate;
}

void DeviceBook::setCandidate(const QByteArray& device, const UploadConfirmation::Candidate& candidate,
                              qint64 nowMs)
{
    std::lock_guard guard(m_lock);
    deviceOf(device, nowMs).candidate = candidate;
}

int DeviceBook::size() const
{
    std::lock_guard guard(m_lock);
    return int(m_devices.size());
}
