#pragma once

#include "ContentService.h"
#include "Pages.h"
#include "PictureRenderer.h"

#include "http/HttpRequest.h"
#include "http/HttpResponse.h"

class ScheduleStore;

// Everything under /searchcontent/: the JSON requests, the pages and the pictures. While the
// store cannot be reached (PostgreSQL lost) every request is answered 503 with the usual
// error body, and nothing read meanwhile is kept in the answer caches.
class ContentServer
{
public:
    static constexpr int MaxTargetBytes = 8192;

    explicit ContentServer(ScheduleStore& store);
    HttpResponse handle(const HttpRequest& request);
    void setIdentificationHealth(std::function<bool()> healthy)
    {
        m_content.setIdentificationHealth(std::move(healthy));
    }
    void setRepeatingChannels(std::function<QList<int>()> repeating)
    {
        m_content.setRepeatingChannels(std::move(repeating));
    }
    void setDeviceState(DeviceState* devices) { m_content.setDeviceState(devices); }

    // The answer while the store cannot be reached.
    static HttpResponse unavailable();

private:
    ScheduleStore& m_store;
    ContentService m_content;
    Pages m_pages;
    PictureRenderer m_pictures;
};
