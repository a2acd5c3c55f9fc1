#pragma once

#include "AnswerCache.h"

// The application's answer cache: the files of Utilities.
class FileAnswerCache final : public AnswerCache
{
public:
    bool saveChannProgramData(const QVariantMap& answer, const QString& channelId,
                              const QDateTime& day) override;
    bool saveChannRatingsData(const QVariantMap& answer) override;
    bool saveChannelsData(const QVariantMap& answer) override;
    std::optional<QVariantMap> getChannProgramDataById(const QString& channelId,
                                                       const QDateTime& day) override;
};
