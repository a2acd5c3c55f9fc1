#pragma once

#include "ProgrammeDay.h"
#include "ResponseCache.h"

#include "http/HttpRequest.h"
#include "http/HttpResponse.h"

#include <QVariantMap>

#include <functional>

class ScheduleStore;
struct StoreChannel;
struct StoreProgramme;

// The content server's JSON requests under /searchcontent/, answered from the store in the
// shapes the application reads. Unknown channels, cities and shows answer {"nodata": 1};
// missing or malformed parameters answer 400 with {"ExceptionDetail": {"Message": ...}}.
class DeviceState;

class ContentService
{
public:
    explicit ContentService(ScheduleStore& store);

    // The answer for a path below /searchcontent/, or none when the path is not one of these.
    std::optional<HttpResponse> answer(const QString& page, const HttpRequest& request);

    // Shared with the pages.
    // pictures: the absolute gfx/ address of the pictures (pictureBase), or empty for paths.
    QVariantMap showDictionary(const StoreProgramme& programme, bool details, const QString& pictures) const;
    static QString pictureBase(const HttpRequest& request);
    QVariantMap nowEntry(const StoreProgramme& programme) const;
    HttpResponse specialPage(const QString& page);
    // The show category whose shows have an extra page.
    static constexpr int SportCategory = 3;
    const ProgrammeDay& days() const { return m_days; }
    // While set, "ss_status" is 1 only when this says the identification is healthy.
    void setIdentificationHealth(std::function<bool()> healthy)
    {
        m_identificationHealthy = std::move(healthy);
    }
    // While set, the status lists these channels as "repeating": their audio repeats itself
    // and is not matched.
    void setRepeatingChannels(std::function<QList<int>()> repeating) { m_repeating = std::move(repeating); }
    // While set, devices are also counted there (shared with other processes), and "pon"
    // is its count; the state outlives this service.
    void setDeviceState(DeviceState* devices) { m_devices = devices; }

private:
    HttpResponse serverTime();
    HttpResponse channelInfo(const HttpRequest& request);
    HttpResponse programInfo(const HttpRequest& request);
    HttpResponse contentListview(const HttpRequest& request);
    HttpResponse search(const HttpRequest& request);
    HttpResponse tweets(const HttpRequest& request, bool window);
    HttpResponse cities(const HttpRequest& request);
    HttpResponse ratings(const HttpRequest& request);
    HttpResponse mapList(const HttpRequest& request);
    HttpResponse serviceStatus();

    QVariantList channelArray(const StoreChannel& channel, int categoryIndex) const;
    QVariantMap dynamicInfo(const StoreChannel& channel, qint64 now);

    ScheduleStore& m_store;
    ProgrammeDay m_days;
    ResponseCache m_answers; // programme days and now lists
    std::function<bool()> m_identificationHealthy;
    std::function<QList<int>()> m_repeating;
    DeviceState* m_devices = nullptr;
};
