#include "ManagedRecords.h"

#include "ORVManagedObjectContext.h"

void Channels::setIs_favorite(bool favorite)
{
    if (m_isFavorite == favorite)
        return;
    m_isFavorite = favorite;
    if (m_context)
        m_context->markChanged(this);
}

void Rating::setRating(float rating)
{
    m_rating = rating;
    if (m_context)
        m_context->markChanged(this);
}
