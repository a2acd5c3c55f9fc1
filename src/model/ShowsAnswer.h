#pragma once

#include "Show.h"

#include <QList>
#include <QVariantMap>

#include <memory>

// The shows of a programme or search answer: one per key that is a number as a whole
// (other keys, and values that are not dictionaries, are skipped), moved from the server's
// clock to the device's by the offset, in start-time order (shows without a start first,
// equal starts in key order).
class ShowsAnswer
{
public:
    enum class Picture
    {
        AsSent,      // the show's own picture
        ChannelIcon, // the channel logo's path under "icon" (search results)
    };

    static QList<std::shared_ptr<Show>> showsFromAnswer(const QVariantMap& answer,
                                                        double serverTimeDifference,
                                                        Picture picture = Picture::AsSent);
    static bool isNumericKey(const QString& key);
    static void sortByStartTime(QList<std::shared_ptr<Show>>& shows);
};
