#pragma once

#include "ManagedRecords.h"

#include <QList>

#include <memory>

class Channel;
class ORVManagedObjectContext;
class Show;

// The shows watched, oldest first. Nothing is saved here.
class HistoryRepository
{
public:
    explicit HistoryRepository(ORVManagedObjectContext* context);

    QList<std::shared_ptr<History>> getAllShows() const;
    std::shared_ptr<History> insertShow(const std::shared_ptr<Show>& show,
                                        const std::shared_ptr<Channel>& channel);
    void clearHistory();

private:
    ORVManagedObjectContext* m_context;
};
