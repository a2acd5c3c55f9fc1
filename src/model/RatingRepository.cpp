#include "RatingRepository.h"

#include "ORVManagedObjectContext.h"

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcDatabase)

RatingRepository::RatingRepository(ORVManagedObjectContext* context) : m_context(context) {}

std::shared_ptr<Rating> RatingRepository::getRatingObjWithChannId(int channId, Error* error) const
{
    if (!m_context->hasStore()) {
        const Error failure =
            Error::withDescription(QStringLiteral("database"), 2, QStringLiteral("no store is open"));
        qCWarning(lcDatabase).noquote() << "DBError:" << failure.localizedDescription();
        if (error)
            *error = failure;
        return nullptr;
    }
    for (const auto& record : m_context->ratings()) {
        if (record->channId() == channId)
            return record;
    }
    return nullptr;
}

QList<std::shared_ptr<Rating>> RatingRepository::getAllRatings() const
{
    return m_context->ratings();
}

void RatingRepository::increaseRatingWithChannId(int channId)
{
    qCInfo(lcDatabase, "INCREASE RATING CHANN %d", channId);
    Error error;
    if (const auto record = getRatingObjWithChannId(channId, &error)) {
        record->setRating(record->rating() + 1.0f);
        qCInfo(lcDatabase, "RATING CHANN %d SET %f", channId, double(record->rating()));
    } else if (error.isNull()) {
        qCInfo(lcDatabase, "RATING NON EXIST CHANN %d", channId);
        m_context->insertRating(channId, 1.0f);
    }
    for (const auto& record : getAllRatings())
        qCInfo(lcDatabase, "---------------| Ch = %d R = %f | -----------", record->channId(),
               double(record->rating()));
}
