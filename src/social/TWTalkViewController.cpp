#include "TWTalkViewController.h"

#include "TweetList.h"

#include "core/AppDelegate.h"
#include "model/Channel.h"
#include "model/Utilities.h"
#include "platform/NotificationCenter.h"
#include "service/ServiceCalls.h"

bool TWTalkViewController::load(bool more)
{
    const QString channel = channelArgument();
    if (!isConnected())
        return false;
    if (channel.isEmpty()) {
        setTweets({});
        return true;
    }
    beginLoading();
    const TweetList::TalkRequest request = TweetList::phoneTalkRequest(channel, arrayTweets().size(), more);
    ServiceCalls::sharedManager().getTweetsForChannelId(
        request.channel, request.start, request.end, request.limit,
        Reply(
            this,
            [this](const QVariant& answer) {
                QList<Tweet> list = arrayTweets();
                const AppDelegate* app = AppDelegate::shared();
                if (!TweetList::replaceWithServiceAnswer(list, answer,
                                                         app ? app->roundedServerTimeDifference() : 0)) {
                    endLoading();
                    return;
                }
                setTweets(std::move(list));
            },
            [this](const Error& error) { loadFailed(error, QStringLiteral("%@")); }));
    return true;
}

void TWChannelViewController::viewDidLoad()
{
    TWTalkViewController::viewDidLoad();
    NotificationCenter::defaultCenter().observeOnMain(this, Notifications::ChannelChanged,
                                                      [this](const Notification&) { reloadTweets(); });
}

QString TWChannelViewController::channelArgument() const
{
    const AppDelegate* app = AppDelegate::shared();
    const std::shared_ptr<Channel> channel = app ? app->selectedChannel() : nullptr;
    if (!channel || channel->channelId().isEmpty())
        return {};
    return Utilities::stringLocalIdFromMap(channel->channelId());
}
