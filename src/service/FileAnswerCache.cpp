#include "FileAnswerCache.h"

#include "model/Utilities.h"

bool FileAnswerCache::saveChannProgramData(const QVariantMap& answer, const QString& channelId,
                                           const QDateTime& day)
{
    return Utilities::saveChannProgramData(answer, channelId, day);
}

bool FileAnswerCache::saveChannRatingsData(const QVariantMap& answer)
{
    return Utilities::saveChannRatingsData(answer);
}

bool FileAnswerCache::saveChannelsData(const QVariantMap& answer)
{
    return Utilities::saveChannelsData(answer);
}

std::optional<QVariantMap> FileAnswerCache::getChannProgramDataById(const QString& channelId,
                                                                    const QDateTime& day)
{
    return Utilities::getChannProgramDataById(channelId, day);
}
