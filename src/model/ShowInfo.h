#pragma once

#include "Channel.h"
#include "Show.h"

#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>

// A show-details answer, read: its channel (marked as chosen by hand, the show as its current
// show), the show under "0" moved to the device's clock, the channel id ("id"), whether the
// channel has live screens ("oim" positive) and the show's gallery ("image_g").
struct ShowInfo
{
    std::shared_ptr<Channel> channel;
    std::shared_ptr<Show> show;
    QString channelId;
    bool hasLiveScreens = false;
    QStringList gallery;

    // None for an answer that is not a dictionary, has "nodata", or lacks the channel or show.
    static std::optional<ShowInfo> fromAnswer(const QVariant& answer, double serverTimeDifference);
};
