#include "TweetList.h"

#include "platform/JsonValue.h"

TweetList::TalkRequest TweetList::phoneTalkRequest(const QString& channel, qsizetype shown, bool more,
                                                   const QDateTime& now)
{
    return talkRequest(channel, shown, more, PhonePage, now);
}

TweetList::TalkRequest TweetList::talkRequest(const QString& channel, qsizetype shown, bool more, int page,
                                              const QDateTime& now)
{
    return {channel, now.addSecs(-TalkWindowSeconds), now, more ? int(shown) + page : page};
}

bool TweetList::replaceWithServiceAnswer(QList<Tweet>& list, const QVariant& answer, double serverOffset)
{
    if (!JsonValue::isMap(answer))
        return false;
    const QVariantList result = JsonValue::list(answer.toMap().value(QStringLiteral("Result")));
    list.clear();
    list.reserve(result.size());
    const QTimeZone zone = QTimeZone::systemTimeZone(); // looked up once per answer
    for (const QVariant& item : result)
        list.append(Tweet::initWithDictionaryFromService(JsonValue::map(item), serverOffset, zone));
    return true;
}

QString TweetList::mergeTwitterPage(QList<Tweet>& list, const QVariantList& page, bool reload,
                                    const QString& ownUserId)
{
    if (reload)
        list.clear();
    else if (!page.isEmpty() && !list.isEmpty())
        list.removeLast();
    list.reserve(list.size() + page.size());
    for (const QVariant& item : page) {
        Tweet tweet = Tweet::initWithDictionaryFromTwitter(JsonValue::map(item));
        tweet.setIsOwn(!ownUserId.isEmpty() && tweet.senderId() == ownUserId);
        list.append(std::move(tweet));
    }
    return list.isEmpty() ? QString() : list.last().tweetId();
}

int TweetList::twitterPageCount(bool refresh, qsizetype shown)
{
    return refresh || shown == 0 ? PhonePage : PhonePage + 1;
}

bool TweetList::appendServiceAnswer(QList<Tweet>& list, const QVariant& answer, double serverOffset,
                                    bool reload, const QString& ownName, PageMark* page)
{
    if (!JsonValue::isMap(answer))
        return false;
    const QString previousLast = reload || list.isEmpty() ? QString() : list.last().tweetId();
    if (reload)
        list.clear();
    const QVariantList result = JsonValue::list(answer.toMap().value(QStringLiteral("Result")));
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const QString own = ownName.toLower();
    for (const QVariant& item : result) {
        Tweet tweet = Tweet::initWithDictionaryFromService(JsonValue::map(item), serverOffset, zone);
        tweet.setIsOwn(!own.isEmpty() && tweet.senderUsername() == own);
        list.append(std::move(tweet));
    }
    page->complete = !previousLast.isNull() && !list.isEmpty() && list.last().tweetId() == previousLast;
    page->nextEnd = list.isEmpty() ? QDateTime() : list.last().tweetTime().addSecs(-1);
    return true;
}

void TweetList::mergeTabletTwitterPage(QList<Tweet>& list, const QVariantList& statuses, bool reload,
                                       const QString& ownName, PageMark* page)
{
    const QString previousLast = reload || list.isEmpty() ? QString() : list.last().tweetId();
    mergeTwitterPage(list, statuses, reload, {});
    const QString own = ownName.toLower();
    for (Tweet& tweet : list)
        tweet.setIsOwn(!own.isEmpty() && tweet.senderUsername().toLower() == own);
    page->maxId = list.isEmpty() ? QString() : list.last().tweetId();
    page->complete = !previousLast.isNull() && page->maxId == previousLast;
}
