#include "ORVTwitterService.h"

#include "ORVTwAccsTableController.h"
#include "TweetSheetPost.h"

#include "model/PreferenceKeys.h"
#include "platform/Dispatch.h"
#include "platform/Json.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/Preferences.h"
#include "platform/StringTable.h"
#include "ui/AlertView.h"
#include "widgets/SHKTwitter.h"
#include "widgets/TweetComposer.h"
#include "widgets/TwitterSession.h"

#include <QApplication>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcTwService, "orvane.twitter.service")

namespace {

ORVTwitterService* g_service = nullptr;

const QString TwitterId = QStringLiteral("twitterid");
const QString TwitterUser = QStringLiteral("twitteruser");

QString apiBase()
{
    return TwitterSession::shared().apiBase().toString();
}

} // namespace

ORVTwitterService& ORVTwitterService::sharedManager()
{
    if (!g_service)
        g_service = new ORVTwitterService; // lives as long as the process (or the test)
    return *g_service;
}

void ORVTwitterService::resetSharedManager()
{
    delete g_service;
    g_service = nullptr;
}

ORVTwitterService::~ORVTwitterService()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

ORVTwitterService::ORVTwitterService()
{
    observeSignIns();
    Preferences& defaults = Preferences::standard();
    const QString identifier = defaults.string(PreferenceKeys::TwitterAccountId);
    const QString name = defaults.string(PreferenceKeys::TwitterAccountName);
    if (!identifier.isEmpty() && !name.isEmpty()) {
        checkAccWithId(
            identifier, this, [this](const QVariantMap& info) { checkTwDidFinish(info); },
            [this](const QVariantMap& info) { checkTwDidFail(info); });
    } else {
        // After the caller has its service: observers may ask for it again.
        Dispatch::mainAsync(this,
                            [] { NotificationCenter::defaultCenter().post(Notifications::TwitterLogout); });
    }
}

void ORVTwitterService::observeSignIns()
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    // An account added from the prompt of this service is the one the user wanted.
    center.observeOnMain(this, Notifications::OAuthAccessTokenSaved, [this](const Notification&) {
        if (!m_signInPending)
            return;
        m_signInPending = false;
        if (const auto added = AccountStore::accountFor(apiBase()))
            accountDidSelectWithId(added->identifier, added->username);
    });
    center.observeOnMain(this, Notifications::OAuthAccessTokenFailed,
                         [this](const Notification&) { m_signInPending = false; });
    // An account taken out of the store while chosen signs the service out.
    center.observeOnMain(this, Notifications::OAuthAccessTokenDeleted, [this](const Notification&) {
        if (!m_twitterAccId.isEmpty() && !AccountStore::account(m_twitterAccId))
            twLogout();
    });
}

bool ORVTwitterService::checkTwAcc()
{
    const ORVTwitterService& service = sharedManager();
    return !service.m_twitterAccId.isEmpty() && !service.m_twitterAccName.isEmpty();
}

bool ORVTwitterService::checkTwAccountWithAlert()
{
    if (checkTwAcc())
        return true;
    (new AlertView(QStringLiteral("Twitter не авторизован"),
                   QStringLiteral("Для доступа к этой функции войдите в свой Twitter аккуант"), nullptr, {},
                   QStringLiteral("OK")))
        ->show();
    return false;
}

// Accounts ------------------------------------------------------------------------------------

void ORVTwitterService::requestAccess(
    QObject* context, std::function<void(bool, const QList<AccountStore::Account>&, const Error&)> completion)
{
    // The store answers later, as the device's does; never inside the caller.
    Dispatch::mainAsync(context, [completion] {
        QString reason;
        if (!AccountStore::isReadable(&reason)) {
            completion(false, {},
                       Error::withDescription(
                           AccountErrorDomain, PermissionDeniedError,
                           QStringLiteral("Access to the Twitter accounts was denied: %1").arg(reason)));
            return;
        }
        const QList<AccountStore::Account> accounts = AccountStore::accountsFor(apiBase());
        if (accounts.isEmpty()) {
            completion(false, {},
                       Error::withDescription(AccountErrorDomain, AccountNotFoundError,
                                              QStringLiteral("There is no Twitter account on this device.")));
            return;
        }
        completion(true, accounts, {});
    });
}

void ORVTwitterService::checkAccWithId(const QString& identifier, QObject* delegate,
                                       std::function<void(const QVariantMap&)> finished,
                                       std::function<void(const QVariantMap&)> failed)
{
    QPointer<QObject> guard(delegate);
    requestAccess(this, [this, identifier, guard, finished,
                         failed](bool granted, const QList<AccountStore::Account>& accounts, const Error&) {
        if (granted)
            m_twAccsCount = int(accounts.size());
        if (!guard)
            return;
        for (const AccountStore::Account& account : accounts) {
            if (account.identifier == identifier) {
                if (finished)
                    finished({{TwitterId, identifier}, {TwitterUser, account.username}});
                return;
            }
        }
        if (failed)
            failed({{TwitterId, identifier}});
    });
}

void ORVTwitterService::checkTwDidFinish(const QVariantMap& info)
{
    const QString identifier = info.value(TwitterId).toString();
    const QString name = info.value(TwitterUser).toString();
    setTwitterAccWithId(identifier, name);
    if (!identifier.isEmpty() && !name.isEmpty())
        NotificationCenter::defaultCenter().post(Notifications::TwitterLogin, nullptr, info);
}

void ORVTwitterService::checkTwDidFail(const QVariantMap&)
{
    removeTwitterAcc();
    NotificationCenter::defaultCenter().post(Notifications::TwitterLogout);
}

void ORVTwitterService::setTwitterAccWithId(const QString& identifier, const QString& name)
{
    qCInfo(lcTwService).noquote() << QStringLiteral("SAVE TWITTER ID %1 NAME %2").arg(identifier, name);
    if (identifier.isEmpty() || name.isEmpty())
        return;
    m_twitterAccId = identifier;
    m_twitterAccName = name;
    Preferences& defaults = Preferences::standard();
    defaults.setValue(PreferenceKeys::TwitterAccountId, identifier);
    defaults.setValue(PreferenceKeys::TwitterAccountName, name);
}

void ORVTwitterService::removeTwitterAcc()
{
    qCInfo(lcTwService) << "REMOVE TWITTER ID";
    m_twitterAccId.clear();
    m_twitterAccName.clear();
    Preferences& defaults = Preferences::standard();
    defaults.remove(PreferenceKeys::TwitterAccountId);
    defaults.remove(PreferenceKeys::TwitterAccountName);
}

void ORVTwitterService::twLogout()
{
    removeTwitterAcc();
    NotificationCenter::defaultCenter().post(Notifications::TwitterLogout);
}

QVariantList ORVTwitterService::accountList(const QList<AccountStore::Account>& accounts)
{
    QVariantList list;
    for (const AccountStore::Account& a : accounts) {
        QVariantMap properties;
        if (!a.fullName.isEmpty())
            properties.insert(QStringLiteral("fullName"), a.fullName);
        list.append(
            QVariantMap{{QStringLiteral("identifier"), a.identifier},
                        {QStringLiteral("username"), a.username},
                        {QStringLiteral("properties"), QVariant(properties)},
                        {QStringLiteral("accountDescription"), QString(QStringLiteral("@") + a.username)}});
    }
    return list;
}

void ORVTwitterService::getAccountsWithDelegate(QObject* delegate, Finished finished, Failed failed)
{
    twRequestWithData(callbackDictionaryForDelegate(delegate, std::move(finished), std::move(failed),
                                                    std::nullopt, TwitterRequestRecord::Get, std::nullopt));
}

void ORVTwitterService::showPopoverAccsSelectorFromRect(const QRect& rect, QWidget* source,
                                                        QWidget* destination)
{
    m_popoverSrcRect = rect;
    m_popoverSrcView = source;
    m_popoverDestView = destination;
    qCInfo(lcTwService) << "GET ACCOUNTS";
    getAccountsWithDelegate(
        this,
        [this](const QVariant& answer) {
            qCInfo(lcTwService) << "GET ACCOUNTS SUCCESS";
            const QVariantList accounts = answer.toList();
            if (accounts.isEmpty())
                return;
            if (accounts.size() < 2) {
                const QVariantMap first = accounts.first().toMap();
                accountDidSelectWithId(first.value(QStringLiteral("identifier")).toString(),
                                       first.value(QStringLiteral("username")).toString());
                return;
            }
            if (m_twPopoverControl)
                m_twPopoverControl->dismissPopoverAnimated(false);
            auto* chooser = new ORVTwAccsTableController(accounts, this);
            QWidget* content = chooser->view();
            content->resize(ChooserSize);
            auto* popover = new Popover(content);
            chooser->setParent(popover);
            m_twPopoverControl = popover;
            connect(popover, &Popover::dismissed, this, [this, popover] {
                // popoverControllerDidDismissPopover: only for this service's own popover.
                if (m_twPopoverControl == popover)
                    forgetPopover();
            });
            QWidget* anchor = m_popoverSrcView ? m_popoverSrcView.data() : nullptr;
            popover->presentPopoverFromRect(m_popoverSrcRect, anchor, Popover::ArrowAny, true);
        },
        {});
}

ORVTwAccsTableController* ORVTwitterService::accountChooser() const
{
    return m_twPopoverControl ? m_twPopoverControl->findChild<ORVTwAccsTableController*>() : nullptr;
}

void ORVTwitterService::forgetPopover()
{
    m_twPopoverControl = nullptr;
    m_popoverSrcRect = {};
    m_popoverSrcView = nullptr;
    m_popoverDestView = nullptr;
}

void ORVTwitterService::accountDidSelectWithId(const QString& identifier, const QString& name)
{
    if (identifier.isEmpty() || name.isEmpty())
        return;
    if (Popover* popover = m_twPopoverControl) {
        forgetPopover();
        popover->dismissPopoverAnimated(true);
    }
    forgetPopover();
    setTwitterAccWithId(identifier, name);
    NotificationCenter::defaultCenter().post(Notifications::TwitterLogin, nullptr,
                                             QVariantMap{{TwitterId, identifier}, {TwitterUser, name}});
}

// Requests ------------------------------------------------------------------------------------

TwitterRequestRecord
ORVTwitterService::callbackDictionaryForDelegate(QObject* delegate, Finished finished, Failed failed,
                                                 const std::optional<QString>& requestUrl, int reqMethod,
                                                 const std::optional<QMultiMap<QString, QString>>& params)
{
    TwitterRequestRecord record;
    record.delegate = delegate;
    record.finishedSelector = std::move(finished);
    record.failedSelector = std::move(failed);
    record.twurl = requestUrl;
    record.twparams = params;
    record.twmethod = reqMethod;
    return record;
}

void ORVTwitterService::twRequestWithData(TwitterRequestRecord record)
{
    requestAccess(this, [this, record](bool granted, const QList<AccountStore::Account>& accounts,
                                       const Error& error) mutable {
        if (granted) {
            m_twAccsCount = int(accounts.size());
            twitterDidGrantedSuccess(record, accounts);
            return;
        }
        if (!error.isNull()) {
            qCInfo(lcTwService).noquote() << "TWITTER GRANTED ERROR =" << error.localizedDescription();
            record.errkey = error;
        }
        twitterDidGrantedFail(record);
    });
}

void ORVTwitterService::twitterDidGrantedSuccess(const TwitterRequestRecord& record,
                                                 const QList<AccountStore::Account>& accounts)
{
    if (m_twAccsCount == 0) {
        showFakeTwComposeWithDelegate(record.delegate);
        return;
    }
    if (!record.delegate)
        return;
    if (record.isAccountsQuery()) {
        if (record.finishedSelector)
            record.finishedSelector(accountList(accounts));
        return;
    }
    const auto chosen =
        std::find_if(accounts.cbegin(), accounts.cend(), [this](const AccountStore::Account& a) {
            return !m_twitterAccId.isEmpty() && a.identifier == m_twitterAccId;
        });
    if (chosen == accounts.cend()) {
        if (record.failedSelector)
            record.failedSelector({});
        return;
    }
    const QByteArray method = record.twmethod == TwitterRequestRecord::Post ? "POST" : "GET";
    TwitterSession::shared().perform(record.delegate, *chosen, method, record.twurl.value_or(QString()),
                                     record.twparams.value_or(QMultiMap<QString, QString>()),
                                     [record](int, const QByteArray& body, const Error& transport) {
                                         // The status is not looked at: Twitter's error answers are JSON the
                                         // callers read.
                                         if (body.isEmpty()) {
                                             if (record.failedSelector)
                                                 record.failedSelector(transport);
                                             return;
                                         }
                                         QString parseError;
                                         const QVariant answer =
                                             Json::objectWithString(QString::fromUtf8(body), &parseError);
                                         if (!parseError.isEmpty() || !answer.isValid()) {
                                             if (record.failedSelector)
                                                 record.failedSelector({});
                                             return;
                                         }
                                         if (record.finishedSelector)
                                             record.finishedSelector(answer);
                                     });
}

void ORVTwitterService::twitterDidGrantedFail(const TwitterRequestRecord& record)
{
    const Error& e = record.errkey;
    if (e.code() == AccountNotFoundError) {
        showFakeTwComposeWithDelegate(record.delegate);
    } else if (e.code() == PermissionDeniedError) {
        (new AlertView(QStringLiteral("Нет доступа"),
                       QStringLiteral("Разрешить доступ к Twitter можно в настройках вашего устройства"),
                       nullptr, {}, QStringLiteral("OK")))
            ->show();
    }
    if (record.delegate && record.failedSelector)
        record.failedSelector(e);
}

void ORVTwitterService::call(const QString& path, int method, const QMultiMap<QString, QString>& params,
                             QObject* delegate, Finished finished, Failed failed)
{
    twRequestWithData(callbackDictionaryForDelegate(delegate, std::move(finished), std::move(failed),
                                                    QStringLiteral("1.1/") + path, method, params));
}

void ORVTwitterService::tweetReplyTo(const QString& replyId, const QString& text, QObject* delegate,
                                     Finished finished, Failed failed)
{
    QMultiMap<QString, QString> params{{QStringLiteral("status"), text}};
    if (!replyId.isEmpty())
        params.insert(QStringLiteral("in_reply_to_status_id"), replyId);
    call(QStringLiteral("statuses/update.json"), TwitterRequestRecord::Post, params, delegate,
         std::move(finished), std::move(failed));
}

void ORVTwitterService::retweetWithId(const QString& tweetId, QObject* delegate, Finished finished,
                                      Failed failed)
{
    call(QStringLiteral("statuses/retweet/") + tweetId + QStringLiteral(".json"), TwitterRequestRecord::Post,
         {}, delegate, std::move(finished), std::move(failed));
}

void ORVTwitterService::destroyTweetWithId(const QString& tweetId, QObject* delegate, Finished finished,
                                           Failed failed)
{
    call(QStringLiteral("statuses/destroy/") + tweetId + QStringLiteral(".json"), TwitterRequestRecord::Post,
         {}, delegate, std::move(finished), std::move(failed));
}

void ORVTwitterService::tweetToFavorite(bool favorite, const QString& tweetId, QObject* delegate,
                                        Finished finished, Failed failed)
{
    call(favorite ? QStringLiteral("favorites/create.json") : QStringLiteral("favorites/destroy.json"),
         TwitterRequestRecord::Post, {{QStringLiteral("id"), tweetId}}, delegate, std::move(finished),
         std::move(failed));
}

void ORVTwitterService::twitterProfileWithId(const QString& userId, QObject* delegate, Finished finished,
                                             Failed failed)
{
    call(QStringLiteral("users/show.json"), TwitterRequestRecord::Get, {{QStringLiteral("user_id"), userId}},
         delegate, std::move(finished), std::move(failed));
}

void ORVTwitterService::twitterProfileWithScreenName(const QString& screenName, QObject* delegate,
                                                     Finished finished, Failed failed)
{
    call(QStringLiteral("users/show.json"), TwitterRequestRecord::Get,
         {{QStringLiteral("screen_name"), screenName}}, delegate, std::move(finished), std::move(failed));
}

void ORVTwitterService::twitterTimeLineWithUserId(const QString& userId, const QString& sinceId,
                                                  const QString& count, QObject* delegate, Finished finished,
                                                  Failed failed)
{
    QMultiMap<QString, QString> params{{QStringLiteral("user_id"), userId}, {QStringLiteral("count"), count}};
    if (!sinceId.isEmpty())
        params.insert(QStringLiteral("since_id"), sinceId);
    call(QStringLiteral("statuses/user_timeline.json"), TwitterRequestRecord::Get, params, delegate,
         std::move(finished), std::move(failed));
}

void ORVTwitterService::followUserId(const QString& userId, bool followNotify, QObject* delegate,
                                     Finished finished, Failed failed)
{
    QMultiMap<QString, QString> params{{QStringLiteral("user_id"), userId}};
    if (followNotify)
        params.insert(QStringLiteral("follow"), QStringLiteral("true"));
    call(QStringLiteral("friendships/create.json"), TwitterRequestRecord::Post, params, delegate,
         std::move(finished), std::move(failed));
}

void ORVTwitterService::unfollowUserId(const QString& userId, QObject* delegate, Finished finished,
                                       Failed failed)
{
    call(QStringLiteral("friendships/destroy.json"), TwitterRequestRecord::Post,
         {{QStringLiteral("user_id"), userId}}, delegate, std::move(finished), std::move(failed));
}

void ORVTwitterService::sendDirectTweetToUserId(const QString& userId, const QString& message,
                                                QObject* delegate, Finished finished, Failed failed)
{
    call(QStringLiteral("direct_messages/new.json"), TwitterRequestRecord::Post,
         {{QStringLiteral("user_id"), userId}, {QStringLiteral("text"), message}}, delegate,
         std::move(finished), std::move(failed));
}

void ORVTwitterService::tweetWithId(const QString& tweetId, QObject* delegate, Finished finished,
                                    Failed failed)
{
    call(QStringLiteral("statuses/show.json"), TwitterRequestRecord::Get, {{QStringLiteral("id"), tweetId}},
         delegate, std::move(finished), std::move(failed));
}

namespace {

// The paging parameters of the timelines, each only when given.
void addPaging(QMultiMap<QString, QString>& params, const QString& sinceId, const QString& maxId,
               const QString& count)
{
    if (!count.isEmpty())
        params.insert(QStringLiteral("count"), count);
    if (!maxId.isEmpty())
        params.insert(QStringLiteral("max_id"), maxId);
    if (!sinceId.isEmpty())
        params.insert(QStringLiteral("since_id"), sinceId);
}

} // namespace

void ORVTwitterService::homeTimeLineSinceId(const QString& sinceId, const QString& maxId,
                                            const QString& count, QObject* delegate, Finished finished,
                                            Failed failed)
{
    QMultiMap<QString, QString> params{{QStringLiteral("trim_user"), QStringLiteral("false")},
                                       {QStringLiteral("exclude_replies"), QStringLiteral("true")}};
    addPaging(params, sinceId, maxId, count);
    call(QStringLiteral("statuses/home_timeline.json"), TwitterRequestRecord::Get, params, delegate,
         std::move(finished), std::move(failed));
}

void ORVTwitterService::getMentionsSinceId(const QString& sinceId, const QString& maxId, const QString& count,
                                           QObject* delegate, Finished finished, Failed failed)
{
    QMultiMap<QString, QString> params{{QStringLiteral("trim_user"), QStringLiteral("false")}};
    addPaging(params, sinceId, maxId, count);
    call(QStringLiteral("statuses/mentions_timeline.json"), TwitterRequestRecord::Get, params, delegate,
         std::move(finished), std::move(failed));
}

// The tweet sheet ---------------------------------------------------------------------------------

void ORVTwitterService::showTweetComposeWithText(const QString& text, const QImage& twImage, QObject*)
{
    if (m_sheet)
        m_sheet->close();
    auto* sheet = new TweetComposer(text, QApplication::activeWindow());
    m_sheet = sheet;
    if (!twImage.isNull())
        sheet->setImage(twImage);
    std::optional<AccountStore::Account> account = AccountStore::account(m_twitterAccId);
    if (!account)
        account = AccountStore::accountFor(apiBase());
    if (!account) {
        // No account: the sheet is only the prompt to add one.
        sheet->deleteLater();
        showFakeTwComposeWithDelegate(nullptr);
        return;
    }
    sheet->setAccountName(QStringLiteral("@") + account->username);
    new TweetSheetPost(sheet, *account, twImage);
    sheet->show();
}

void ORVTwitterService::showFakeTwComposeWithDelegate(QObject*)
{
    // The device's own prompt: no account yet, sign in to add one.
    (new AlertView(
         StringTable::localized("No Twitter Accounts"),
         StringTable::localized("There are no Twitter accounts on this computer. Sign in to add one."),
         nullptr,
         [this](AlertView*, int index) {
             if (index != 1)
                 return;
             m_signInPending = true;
             SHKTwitter::authorize();
         },
         StringTable::localized("Cancel"), {StringTable::localized("Sign in")}))
        ->show();
}
