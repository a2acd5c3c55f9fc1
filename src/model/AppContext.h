#pragma once

#include <QVariantMap>

#include <memory>

class Channel;

// The shared application state that services and records read: the chosen city, its
// channel map, the server-time offset and the current channel. The application controller
// provides it in the application; the terminal tool and tests provide their own.
// current() is never null: without a provider, a default state applies (city 1, no map,
// offset 0, no channel).
class AppContext
{
public:
    virtual ~AppContext() = default;

    virtual int userCityId() const = 0;
    virtual QVariantMap mapListDict() const = 0;
    virtual double roundedServerTimeDifference() const = 0;
    virtual std::shared_ptr<Channel> selectedChannel() const = 0;

    static AppContext* current();
    // The provider must outlive its installation; pass nullptr to restore the default.
    static void setCurrent(AppContext* context);
};
