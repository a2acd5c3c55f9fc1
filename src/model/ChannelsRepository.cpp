#include "ChannelsRepository.h"

#include "Channel.h"
#include "ORVManagedObjectContext.h"

#include "platform/StringTable.h"

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcDatabase)

namespace {

ChannelsRepository::AlertPresenter& presenter()
{
    static ChannelsRepository::AlertPresenter alert = [](const QString& title, const QString& message,
                                                         const QString&) {
        qCWarning(lcDatabase).noquote() << title << ":" << message;
    };
    return alert;
}

} // namespace

void ChannelsRepository::setAlertPresenter(AlertPresenter alert)
{
    presenter() = std::move(alert);
}

ChannelsRepository::ChannelsRepository(ORVManagedObjectContext* context) : m_context(context) {}

QList<std::shared_ptr<Channels>> ChannelsRepository::getAllFavorites() const
{
    return m_context->channels(true);
}

std::shared_ptr<Channels> ChannelsRepository::getChannelWithId(const QString& channelId) const
{
    std::shared_ptr<Channels> found;
    for (const auto& record : getAllFavorites()) {
        if (record->channel_object()->channelId() == channelId)
            found = record;
    }
    return found;
}

std::shared_ptr<Channels> ChannelsRepository::insertChannel(const std::shared_ptr<Channel>& channel)
{
    if (auto favourite = getChannelWithId(channel->channelId()))
        return favourite;
    return m_context->insertChannels(channel);
}

std::shared_ptr<Channels>
ChannelsRepository::insertChannelIntoToFavorites(const std::shared_ptr<Channel>& channel)
{
    const std::shared_ptr<Channels> record = insertChannel(channel);
    if (record->is_favorite()) {
        presenter()(StringTable::localized("Error"),
                    StringTable::localized("This channel has already been added"),
                    StringTable::localized("OK"));
        return nullptr;
    }
    record->setIs_favorite(true);
    return record;
}

void ChannelsRepository::deleteChannelFromFavorites(const std::shared_ptr<Channel>& channel)
{
    if (const auto record = getChannelWithId(channel->channelId()))
        record->setIs_favorite(false);
}
