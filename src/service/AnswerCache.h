#pragma once

#include <QDateTime>
#include <QString>
#include <QVariantMap>

#include <optional>

// The file caches that content answers are written to, by cache code:
//   1 - the programme of a channel for a day, 2 - the channel ratings, 3 - the channel list,
// and the programme look-up that comes before a programme request. Used on the cache queue.
class AnswerCache
{
public:
    virtual ~AnswerCache() = default;
    virtual bool saveChannProgramData(const QVariantMap& answer, const QString& channelId,
                                      const QDateTime& day) = 0;
    virtual bool saveChannRatingsData(const QVariantMap& answer) = 0;
    virtual bool saveChannelsData(const QVariantMap& answer) = 0;
    virtual std::optional<QVariantMap> getChannProgramDataById(const QString& channelId,
                                                               const QDateTime& day) = 0;
};
