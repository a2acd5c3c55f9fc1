#pragma once

#include "model/AppContext.h"
#include "model/Channel.h"

// The application state a test controls: city, channel map, current channel.
class TestAppContext final : public AppContext
{
public:
    int city = 3;
    QVariantMap map;
    std::shared_ptr<Channel> channel;
    int userCityId() const override { return city; }
    QVariantMap mapListDict() const override { return map; }
    double roundedServerTimeDifference() const override { return 0; }
    std::shared_ptr<Channel> selectedChannel() const override { return channel; }
};
