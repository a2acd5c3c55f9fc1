#pragma once

#include "ManagedRecords.h"

#include "platform/Error.h"

#include <QList>

#include <memory>

class ORVManagedObjectContext;

// How often each channel was confirmed. Nothing is saved here.
class RatingRepository
{
public:
    explicit RatingRepository(ORVManagedObjectContext* context);

    // The first record of the channel, or none; without a store, none and an error.
    std::shared_ptr<Rating> getRatingObjWithChannId(int channId, Error* error = nullptr) const;
    QList<std::shared_ptr<Rating>> getAllRatings() const;
    // One more confirmation: the first creates the record with 1.0.
    void increaseRatingWithChannId(int channId);

private:
    ORVManagedObjectContext* m_context;
};
