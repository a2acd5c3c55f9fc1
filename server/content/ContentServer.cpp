#include "ContentServer.h"

#include "store/ScheduleStore.h"

ContentServer::ContentServer(ScheduleStore& store)
    : m_store(store), m_content(store), m_pages(store, m_content), m_pictures(store)
{}

HttpResponse ContentServer::handle(const HttpRequest& request)
{
    if (request.target.size() > MaxTargetBytes)
        return HttpResponse::error(414, QStringLiteral("The address is too long."));
    if (request.method != "GET" && request.method != "HEAD")
        return HttpResponse::error(405, QStringLiteral("Only GET is answered here."));
    static const QString base = QStringLiteral("/searchcontent/");
    if (!request.path.startsWith(base))
        return HttpResponse::error(404, QStringLiteral("Not found."));
    const QString page = request.path.mid(base.size());
    if (page.contains(QStringLiteral("..")))
        return HttpResponse::error(400, QStringLiteral("Not a page."));
    ScheduleStore::beginRequest();
    if (!m_store.available())
        return unavailable();
    std::optional<HttpResponse> response = m_content.answer(page, request);
    if (!response)
        response = m_pages.answer(page, request);
    if (!response)
        response = m_pictures.answer(page, request);
    if (ScheduleStore::failedSinceBegin() && !m_store.available())
        return unavailable();
    return response ? *response : HttpResponse::error(404, QStringLiteral("Not found."));
}

HttpResponse ContentServer::unavailable()
{
    return HttpResponse::unavailable(
        QStringLiteral("The schedule is unavailable for a moment; try again shortly."));
}
