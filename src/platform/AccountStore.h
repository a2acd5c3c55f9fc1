#pragma once

#include <QList>
#include <QString>

#include <optional>

// The Twitter accounts signed in on this machine, with their OAuth 1.0a credentials, in one
// file under the config folder ("twitter_accounts.json") that only its owner may read or
// write (0600). Several accounts may be kept; each has an identifier of its own. Used from
// the main thread; the credentials never go to a log.
class AccountStore
{
public:
    struct Account
    {
        QString identifier; // "<apiBase>#<userId>", stable across sign-ins
        QString username;   // screen name
        QString userId;     // decimal, as a string (ids exceed 2^53)
        QString token;
        QString tokenSecret;
        QString apiBase;  // the service the credentials belong to
        QString fullName; // the user's display name, when the service told it
    };

    static QString path();
    static QList<Account> accounts();
    static std::optional<Account> account(const QString& identifier);
    // The accounts of one service, oldest sign-in first.
    static QList<Account> accountsFor(const QString& apiBase);
    // The latest account signed in at this service, if any.
    static std::optional<Account> accountFor(const QString& apiBase);
    // Whether the accounts may be read at all: false (with the reason) when the file exists but
    // this process is not allowed to open it. A missing file is readable (no accounts).
    static bool isReadable(QString* reason = nullptr);
    // Adds at the end, or replaces (same identifier) in place, or at the end when latest;
    // false with the reason when the file cannot be written.
    static bool saveAccount(const Account& account, QString* error = nullptr, bool latest = false);
    static bool removeAccount(const QString& identifier);
    static QString identifierFor(const QString& apiBase, const QString& userId);
};
