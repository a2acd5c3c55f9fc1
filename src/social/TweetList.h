#pragma once

#include "Tweet.h"

#include <QDateTime>
#include <QList>
#include <QVariant>

// How the talk screens assemble their lists from the answers.
class TweetList
{
public:
    static constexpr int PhonePage = 30;
    static constexpr qint64 TalkWindowSeconds = 604800; // 7 days

    // The content server's talk request of a phone list: the channel argument, a window of the
    // last 7 days ending now, and a limit of 30 on a (re)load or shown + 30 to load more.
    struct TalkRequest
    {
        QString channel;
        QDateTime start;
        QDateTime end;
        int limit = PhonePage;
    };
    static TalkRequest phoneTalkRequest(const QString& channel, qsizetype shown, bool more,
                                        const QDateTime& now = QDateTime::currentDateTime());
    // The same with another page size (the tablet's talk panel asks 20 at a time).
    static TalkRequest talkRequest(const QString& channel, qsizetype shown, bool more, int page,
                                   const QDateTime& now = QDateTime::currentDateTime());

    // A content-server answer (a dictionary whose "Result" lists tweets, newest first) replaces
    // the list, isOwn false. False, and the list unchanged, when the answer is not a dictionary.
    static bool replaceWithServiceAnswer(QList<Tweet>& list, const QVariant& answer, double serverOffset);

    // A page of Twitter statuses (newest first, paged by max_id = the oldest id so far): a
    // reload clears the list; loading more first drops the list's last tweet when the page is
    // not empty (the page starts with it again). isOwn: the sender's id is ownUserId. Returns
    // the next max_id (the last tweet's id; empty when the list is).
    static QString mergeTwitterPage(QList<Tweet>& list, const QVariantList& page, bool reload,
                                    const QString& ownUserId);

    // The tablet talk screen's lists, which grow page by page up to a limit.
    static constexpr int TabletPage = 100;
    static constexpr int TabletMaxTweets = 600;
    struct PageMark
    {
        QDateTime nextEnd;     // content server: 1 s before the oldest tweet; invalid when none
        QString maxId;         // Twitter: the last tweet's id; empty when the list is
        bool complete = false; // the last tweet is the one the previous page ended with
    };
    // Whether a tablet list asks for another page: fewer than 600 tweets and not complete.
    static bool wantsMore(qsizetype count, bool complete) { return !complete && count < TabletMaxTweets; }
    // A content-server answer: a reload clears the list, otherwise the tweets are appended;
    // isOwn when the sender's user name equals ownName lower-cased. False, and the list
    // unchanged, when the answer is not a dictionary.
    static bool appendServiceAnswer(QList<Tweet>& list, const QVariant& answer, double serverOffset,
                                    bool reload, const QString& ownName, PageMark* page);
    // A Twitter page, merged as mergeTwitterPage does; isOwn when the lower-cased sender's user
    // name equals ownName lower-cased.
    static void mergeTabletTwitterPage(QList<Tweet>& list, const QVariantList& statuses, bool reload,
                                       const QString& ownName, PageMark* page);

    // The count a phone Twitter list asks for: 30 on a refresh or when empty, 31 to load more.
    static int twitterPageCount(bool refresh, qsizetype shown);
    // A "Show more" row follows the tweets when their number is a non-zero multiple of 30.
    static bool showsMore(qsizetype count, int page = PhonePage) { return count > 0 && count % page == 0; }
};
