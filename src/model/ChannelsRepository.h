#pragma once

#include "ManagedRecords.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class Channel;
class ORVManagedObjectContext;

// The user's favourite channels. A channel is a favourite while some "Channels" record
// holding it is flagged; removing clears the flag and keeps the record. Nothing is saved
// here: the caller saves the context after its changes.
class ChannelsRepository
{
public:
    // Shows an alert (title, message and cancel texts); the screen kit installs one, the
    // default only logs.
    using AlertPresenter =
        std::function<void(const QString& title, const QString& message, const QString& cancel)>;
    static void setAlertPresenter(AlertPresenter presenter);

    explicit ChannelsRepository(ORVManagedObjectContext* context);

    QList<std::shared_ptr<Channels>> getAllFavorites() const;
    // The favourite record whose channel id equals the text exactly (the last one if several).
    std::shared_ptr<Channels> getChannelWithId(const QString& channelId) const;
    // The favourite record of the channel's id, or a new record that is not a favourite yet.
    std::shared_ptr<Channels> insertChannel(const std::shared_ptr<Channel>& channel);
    // Makes the channel a favourite; one that already is gets the alert and gives none.
    std::shared_ptr<Channels> insertChannelIntoToFavorites(const std::shared_ptr<Channel>& channel);
    void deleteChannelFromFavorites(const std::shared_ptr<Channel>& channel);

private:
    ORVManagedObjectContext* m_context;
};
