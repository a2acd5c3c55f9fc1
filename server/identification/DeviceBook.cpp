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

DeviceState::Admission DeviceBook::admit(const QByteArray& device, qint64 nowMs)
{
    std::lock_guard guard(m_lock);
    Device& d = deviceOf(device, nowMs);
    d.tokens = std::min(m_settings.burst, d.tokens + double(std::max<qint64>(0, nowMs - d.refilledMs)) /
                                                         1000.0 * m_settings.requestsPerSecond);
    d.refilledMs = nowMs;
    if (d.tokens < 1)
        return Admission::TooMany;
    d.tokens -= 1;
    return Admission::Admitted;
}

bool DeviceBook::keep(const QByteArray& device, const UploadConfirmation::Upload& upload, qint64 nowMs)
{
    std::lock_guard guard(m_lock);
    std::vector<UploadConfirmation::Upload>& uploads = deviceOf(device, nowMs).uploads;
    if (!uploads.empty() && uploads.back().atMs == upload.atMs)
        uploads.pop_back();
    uploads.push_back(upload);
    std::erase_if(uploads,
                  [&](const UploadConfirmation::Upload& u) { return nowMs - u.atMs > m_settings.keepMs; });
    if (uploads.size() > size_t(UploadConfirmation::MaxUploads))
        uploads.erase(uploads.begin(), uploads.end() - UploadConfirmation::MaxUploads);
    return true;
}

std::optional<std::vector<UploadConfirmation::Upload>> DeviceBook::kept(const QByteArray& device,
                                                                        qint64 nowMs) const
{
    std::lock_guard guard(m_lock);
    std::vector<UploadConfirmation::Upload> out;
    const auto it = m_devices.constFind(device);
    if (it == m_devices.constEnd())
        return out;
    for (const UploadConfirmation::Upload& u : it->uploads) {
        if (nowMs - u.atMs <= m_settings.keepMs)
            out.push_back(u);
    }
    return out;
}

bool DeviceBook::forget(const QByteArray& device)
{
    std::lock_guard guard(m_lock);
    const auto it = m_devices.find(device);
    if (it != m_devices.end())
        it->uploads.clear();
    return true;
}

int DeviceBook::size() const
{
    std::lock_guard guard(m_lock);
    return int(m_devices.size());
}
