#pragma once

#include "http/HttpRequest.h"
#include "http/HttpResponse.h"

#include <QString>

class ContentService;
class ScheduleStore;
struct StoreChannel;
struct StoreProgramme;

// The HTML pages the application shows in its web views: what is on now (the general page
// of a city, the page of a channel, the tablet's page), the live screenshots of a channel
// and the viewing statistics of a device. Plain HTML and CSS that a simple renderer shows,
// no scripts. The now pages remember the device in a cookie, which the statistics page reads.
class Pages
{
public:
    static inline const QByteArray DeviceCookie = "orvane_device";

    Pages(ScheduleStore& store, const ContentService& content);

    std::optional<HttpResponse> answer(const QString& page, const HttpRequest& request);

private:
    HttpResponse now(const HttpRequest& request);
    HttpResponse generalPage(int cityId, const QString& device);
    HttpResponse channelPage(const StoreChannel& channel, const QString& device, int cityId, bool tablet);
    HttpResponse screenshots(const HttpRequest& request);
    HttpResponse statistics(const HttpRequest& request);

    QString showLink(const StoreProgramme& programme) const;
    QString nowQuery(const QString& device, int cityId, int channelId) const;

    ScheduleStore& m_store;
    const ContentService& m_content;
};
