#pragma once

#include "ORVTwitterAccDelegate.h"
#include "TwitterRequestRecord.h"

#include "platform/AccountStore.h"
#include "widgets/Popover.h"
#include "widgets/TweetComposer.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>

class ORVTwAccsTableController;

// The tablet's one gateway to Twitter: access to the accounts of the account store (those
// signed in at the configured service), the account the user chose (kept in the preferences
// "twittewAccId" and "twitterAccName"), every REST call signed with that account and answered
// on the main thread, the tweet sheet, and the account chooser.
//
// Access to the accounts is refused with code 7 when the account file cannot be read, and with
// code 6 when the service has no account at all; both codes are those of the device's account
// store errors. Answers are Twitter's JSON as it came: an answer holding "errors" reaches the
// finished callback, and callers look for it. Main thread only.
class ORVTwitterService : public QObject, public ORVTwitterAccDelegate
{
    Q_OBJECT

public:
    using Finished = TwitterRequestRecord::Finished;
    using Failed = TwitterRequestRecord::Failed;
    static inline const QString AccountErrorDomain = QStringLiteral("AccountStoreError");
    static constexpr int AccountNotFoundError = 6;
    static constexpr int PermissionDeniedError = 7;
    static constexpr QSize ChooserSize{260, 260};

    static ORVTwitterService& sharedManager();
    // Forgets the single service (tests: a fresh start over a new home folder).
    static void resetSharedManager();

    const QString& twitterAccId() const { return m_twitterAccId; }
    const QString& twitterAccName() const { return m_twitterAccName; }
    int twAccsCount() const { return m_twAccsCount; }

    static bool checkTwAcc();
    // checkTwAcc, with the "not signed in" alert when false.
    static bool checkTwAccountWithAlert();

    // Sign-in: one account is taken at once; two or more open the chooser in a popover pointing
    // at rect (in source's coordinates).
    void showPopoverAccsSelectorFromRect(const QRect& rect, QWidget* source, QWidget* destination);
    ORVTwAccsTableController* accountChooser() const;
    Popover* twPopoverControl() const { return m_twPopoverControl; }
    void twLogout();
    void setTwitterAccWithId(const QString& identifier, const QString& name);
    void removeTwitterAcc();

    // Calls finished with {"twitterid", "twitteruser"} when the account still exists and access
    // is granted, failed with {"twitterid"} otherwise.
    void checkAccWithId(const QString& identifier, QObject* delegate,
                        std::function<void(const QVariantMap&)> finished,
                        std::function<void(const QVariantMap&)> failed);
    // The service's accounts, as a QVariantList of QVariantMaps ("identifier", "username",
    // "properties" {"fullName"}, "accountDescription").
    void getAccountsWithDelegate(QObject* delegate, Finished finished, Failed failed);

    // REST calls (version 1.1). Ids and counts are decimal strings; an empty one is "none".
    void tweetReplyTo(const QString& replyId, const QString& text, QObject* delegate, Finished finished,
                      Failed failed);
    void retweetWithId(const QString& tweetId, QObject* delegate, Finished finished, Failed failed);
    void destroyTweetWithId(const QString& tweetId, QObject* delegate, Finished finished, Failed failed);
    void tweetToFavorite(bool favorite, const QString& tweetId, QObject* delegate, Finished finished,
                         Failed failed);
    void twitterProfileWithId(const QString& userId, QObject* delegate, Finished finished, Failed failed);
    // users/show.json by "screen_name" (for opening a profile by name).
    void twitterProfileWithScreenName(const QString& screenName, QObject* delegate, Finished finished,
                                      Failed failed);
    void twitterTimeLineWithUserId(const QString& userId, const QString& sinceId, const QString& count,
                                   QObject* delegate, Finished finished, Failed failed);
    void followUserId(const QString& userId, bool followNotify, QObject* delegate, Finished finished,
                      Failed failed);
    void unfollowUserId(const QString& userId, QObject* delegate, Finished finished, Failed failed);
    void sendDirectTweetToUserId(const QString& userId, const QString& message, QObject* delegate,
                                 Finished finished, Failed failed);
    void tweetWithId(const QString& tweetId, QObject* delegate, Finished finished, Failed failed);
    void homeTimeLineSinceId(const QString& sinceId, const QString& maxId, const QString& count,
                             QObject* delegate, Finished finished, Failed failed);
    void getMentionsSinceId(const QString& sinceId, const QString& maxId, const QString& count,
                            QObject* delegate, Finished finished, Failed failed);

    static TwitterRequestRecord
    callbackDictionaryForDelegate(QObject* delegate, Finished finished, Failed failed,
                                  const std::optional<QString>& requestUrl, int reqMethod,
                                  const std::optional<QMultiMap<QString, QString>>& params);
    void twRequestWithData(TwitterRequestRecord record);

    // The tweet sheet over the window, with the text and the picture (may be null); it posts
    // with the chosen account (or the latest one of the service). The delegate is not called.
    void showTweetComposeWithText(const QString& text, const QImage& twImage, QObject* delegate);
    // The sheet without content: the device's prompt to add an account.
    void showFakeTwComposeWithDelegate(QObject* delegate);
    TweetComposer* tweetSheet() const { return m_sheet; }

    // ORVTwitterAccDelegate
    void accountDidSelectWithId(const QString& identifier, const QString& name) override;

    ~ORVTwitterService() override;

private:
    ORVTwitterService();
    void observeSignIns();
    void checkTwDidFinish(const QVariantMap& info);
    void checkTwDidFail(const QVariantMap& info);
    // Access to the accounts, answered on the main thread after the caller returned: granted
    // with the service's accounts, or refused with the error.
    void requestAccess(
        QObject* context,
        std::function<void(bool granted, const QList<AccountStore::Account>&, const Error&)> completion);
    void twitterDidGrantedSuccess(const TwitterRequestRecord& record,
                                  const QList<AccountStore::Account>& accounts);
    void twitterDidGrantedFail(const TwitterRequestRecord& record);
    void call(const QString& path, int method, const QMultiMap<QString, QString>& params, QObject* delegate,
              Finished finished, Failed failed);
    void forgetPopover();
    static QVariantList accountList(const QList<AccountStore::Account>& accounts);

    QString m_twitterAccId;
    QString m_twitterAccName;
    int m_twAccsCount = 0;
    QPointer<Popover> m_twPopoverControl;
    QRect m_popoverSrcRect;
    QPointer<QWidget> m_popoverSrcView;
    QPointer<QWidget> m_popoverDestView;
    QPointer<TweetComposer> m_sheet;
    bool m_signInPending = false; // a sign-in started from the no-account prompt
};
