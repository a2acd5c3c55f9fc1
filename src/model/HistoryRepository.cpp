#include "HistoryRepository.h"

#include "ORVManagedObjectContext.h"

#include <algorithm>

HistoryRepository::HistoryRepository(ORVManagedObjectContext* context) : m_context(context) {}

QList<std::shared_ptr<History>> HistoryRepository::getAllShows() const
{
    QList<std::shared_ptr<History>> shows = m_context->history();
    std::stable_sort(shows.begin(), shows.end(),
                     [](const auto& a, const auto& b) { return a->detected_time() < b->detected_time(); });
    return shows;
}

std::shared_ptr<History> HistoryRepository::insertShow(const std::shared_ptr<Show>& show,
                                                       const std::shared_ptr<Channel>& channel)
{
    return m_context->insertHistory(QDateTime::currentDateTime(), channel, show);
}

void HistoryRepository::clearHistory()
{
    for (const auto& record : m_context->history())
        m_context->deleteHistory(record);
}
