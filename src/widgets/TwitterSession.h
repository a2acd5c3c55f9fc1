#pragma once

#include "OAuth1Signer.h"

#include "platform/AccountStore.h"
#include "platform/Error.h"

#include <QMultiMap>
#include <QObject>
#include <QUrl>
#include <QVariant>

#include <functional>
#include <optional>

class QNetworkAccessManager;

// The process-wide connection to the microblog service: its address (configurable; the
// reference service of the start command by default), the application's consumer
// credentials, the accounts signed in at that service (AccountStore; several may be, the
// sharer uses the latest) and signed REST calls.
// Main thread only; answers arrive on the main thread after the calling function returned.
//
// A call answered 401 with code 89 (the token is invalid or was revoked) signs the account out
// and posts "SHK_OAUTH_SHARER_ACCESS_TOKEN_DELETED"; nothing is retried. Any other failure
// keeps the stored token.
class TwitterSession : public QObject
{
    Q_OBJECT

public:
    static inline const QString ErrorDomain = QStringLiteral("TwitterError");
    static constexpr int NotSignedInError = -1;
    static constexpr int BadAnswerError = -2;
    static constexpr qint64 MaxAnswerBytes = 8 * 1024 * 1024;
    static inline const QString DefaultApiBase = QStringLiteral("http://localhost:22224/");

    using JsonHandler = std::function<void(const QVariant&)>;
    using ErrorHandler = std::function<void(const Error&)>;
    // What came back: the HTTP status (0 when none), the body (null when there was none) and
    // the transport error (null when an answer came).
    using RawHandler = std::function<void(int status, const QByteArray& body, const Error& transport)>;

    static TwitterSession& shared();
    // Before first use (command line --twitter-api); a base without a final "/" gets one.
    static void setApiBase(const QUrl& base);
    QUrl apiBase() const { return m_apiBase; }
    QUrl url(const QString& path) const { return m_apiBase.resolved(QUrl(path)); }
    OAuth1Signer::Credentials consumer() const;

    // The sharer's account: the latest one signed in at this service.
    std::optional<AccountStore::Account> account() const;
    bool isAuthorized() const { return account().has_value(); }
    // Stores the credentials of a completed sign-in next to the other accounts of this service
    // (the same user again replaces its old credentials); false (with the reason) when they
    // could not be written.
    bool saveAccount(const QString& token, const QString& tokenSecret, const QString& userId,
                     const QString& screenName, QString* error = nullptr);
    // Forgets the account and posts "SHK_OAUTH_SHARER_ACCESS_TOKEN_DELETED"; with revoke, first
    // asks the service to invalidate the token (without waiting for its answer).
    void signOut(bool revoke);

    // A signed call, path relative to the base ("1/statuses/home_timeline.json"). GET
    // parameters go into the query, POST parameters into a form body. Exactly one handler runs,
    // unless context is destroyed first.
    void call(QObject* context, const QByteArray& method, const QString& path,
              const QMultiMap<QString, QString>& parameters, JsonHandler finished, ErrorHandler failed);

    // The transport under call: a request signed with the given account, path relative to the
    // base, the answer handed over as it came (bodies over MaxAnswerBytes are cut off and
    // reported as a transport error). Exactly one run of handler, unless context is destroyed.
    void perform(QObject* context, const AccountStore::Account& account, const QByteArray& method,
                 const QString& path, const QMultiMap<QString, QString>& parameters, RawHandler handler);

    QNetworkAccessManager* network() const { return m_network; }

private:
    TwitterSession();

    QUrl m_apiBase;
    QNetworkAccessManager* m_network;
};
