#pragma once

#include "SHKItem.h"
#include "TwitterDelegate.h"

#include <QObject>
#include <QPointer>

// The Twitter sharer: sign-in state, the timeline, mentions, credentials, deleting and sending
// (a status, a reply, a retweet), signed with the account of TwitterSession, answering its
// delegate on the main thread. Timelines and mentions use the service's version 1 paths,
// everything else version 1.1. Ids are decimal strings throughout (they exceed 2^53).
class SHKTwitter : public QObject
{
    Q_OBJECT

public:
    explicit SHKTwitter(QObject* parent = nullptr);

    // The delegate must be a QObject too; a destroyed one hears nothing.
    template <typename T> void setDelegate(T* delegate)
    {
        m_delegate = delegate;
        m_delegateObject = delegate;
    }

    static QString sharerId() { return QStringLiteral("SHKTwitter"); }
    static bool isAuthorized();
    // Starts the sign-in in the browser (TwitterAuthorizer); progress as notifications.
    static void authorize();
    // Signs out (the token is revoked at the service) and posts
    // "SHK_OAUTH_SHARER_ACCESS_TOKEN_DELETED".
    static void logout();

    void verifyCredentials();
    // sinceId, maxId: empty when not given; count as given.
    void loadTimeLineWithSinceId(const QString& sinceId, const QString& maxId, int count);
    void loadUserMentionsWithSinceId(const QString& sinceId, const QString& maxId, int count);
    void removeTweetWithId(const QString& tweetId);
    // Posts the item now: a status (with its reply id) or, for action type 3, a retweet.
    void send(const SHKItem& item);

    // The interactive route of the screens: signs in first when needed, lets the user edit the
    // text in the composer, sends, and shows how it went.
    static void shareItem(const SHKItem& item);

private:
    void loadTweets(const QString& path, const QString& sinceId, const QString& maxId, int count);
    TwitterDelegate* delegate() const { return m_delegateObject ? m_delegate : nullptr; }

    TwitterDelegate* m_delegate = nullptr;
    QPointer<QObject> m_delegateObject;
};
