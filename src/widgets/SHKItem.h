#pragma once

#include <QString>

// What the sharing services are given: a text to post, a reply to a tweet, or a tweet to
// retweet (action type 3).
struct SHKItem
{
    static constexpr int ActionRetweet = 3;

    QString text;
    QString inReplyToTweetId; // empty: not a reply
    QString tweetId;          // the tweet an action applies to
    int actionType = 0;

    static SHKItem itemWithText(const QString& text) { return {text, {}, {}, 0}; }
    static SHKItem textInReplyTo(const QString& text, const QString& tweetId)
    {
        return {text, tweetId, {}, 0};
    }
    static SHKItem itemWithTweetId(const QString& tweetId, int actionType)
    {
        return {{}, {}, tweetId, actionType};
    }
};
