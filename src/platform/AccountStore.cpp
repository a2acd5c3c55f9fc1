#include "AccountStore.h"

#include "AtomicFile.h"
#include "Paths.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcAccounts, "orvane.accounts")

namespace {

constexpr qint64 MaxFileBytes = 1024 * 1024;

void writeAll(const QList<AccountStore::Account>& accounts, bool* ok, QString* error)
{
    QJsonArray list;
    for (const AccountStore::Account& a : accounts)
        list.append(QJsonObject{{QStringLiteral("identifier"), a.identifier},
                                {QStringLiteral("username"), a.username},
                                {QStringLiteral("userId"), a.userId},
                                {QStringLiteral("token"), a.token},
                                {QStringLiteral("tokenSecret"), a.tokenSecret},
                                {QStringLiteral("apiBase"), a.apiBase},
                                {QStringLiteral("fullName"), a.fullName}});
    Paths::ensurePath(Paths::config());
    *ok = AtomicFile::writePrivate(
        AccountStore::path(), QJsonDocument(QJsonObject{{QStringLiteral("accounts"), list}}).toJson(), error);
}

} // namespace

QString AccountStore::path()
{
    return Paths::config() + QStringLiteral("/twitter_accounts.json");
}

QString AccountStore::identifierFor(const QString& apiBase, const QString& userId)
{
    return apiBase + u'#' + userId;
}

QList<AccountStore::Account> AccountStore::accounts()
{
    QFile file(path());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    if (file.size() > MaxFileBytes) {
        qCWarning(lcAccounts) << "the account file is too large; no accounts read";
        return {};
    }
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (document.isNull()) {
        // The file is kept as it is: a later save rewrites it, nothing is lost silently.
        qCWarning(lcAccounts) << "the account file is not readable JSON:" << parseError.errorString();
        return {};
    }
    QList<Account> list;
    for (const QJsonValue& value : document.object().value(QStringLiteral("accounts")).toArray()) {
        const QJsonObject o = value.toObject();
        Account a{
            o.value(QStringLiteral("identifier")).toString(),  o.value(QStringLiteral("username")).toString(),
            o.value(QStringLiteral("userId")).toString(),      o.value(QStringLiteral("token")).toString(),
            o.value(QStringLiteral("tokenSecret")).toString(), o.value(QStringLiteral("apiBase")).toString(),
            o.value(QStringLiteral("fullName")).toString()};
        if (!a.identifier.isEmpty() && !a.token.isEmpty() && !a.tokenSecret.isEmpty())
            list.append(a);
    }
    return list;
}

std::optional<AccountStore::Account> AccountStore::account(const QString& identifier)
{
    for (const Account& a : accounts()) {
        if (a.identifier == identifier)
            return a;
    }
    return std::nullopt;
}

QList<AccountStore::Account> AccountStore::accountsFor(const QString& apiBase)
{
    QList<Account> list = accounts();
    list.removeIf([&](const Account& a) { return a.apiBase != apiBase; });
    return list;
}

std::optional<AccountStore::Account> AccountStore::accountFor(const QString& apiBase)
{
    const QList<Account> list = accountsFor(apiBase);
    if (list.isEmpty())
        return std::nullopt;
    return list.last();
}

bool AccountStore::isReadable(QString* reason)
{
    QFile file(path());
    if (!file.exists() || file.open(QIODevice::ReadOnly))
        return true;
    if (reason)
        *reason = file.errorString();
    return false;
}

bool AccountStore::saveAccount(const Account& account, QString* error, bool latest)
{
    QList<Account> list = accounts();
    const auto same = std::find_if(list.begin(), list.end(),
                                   [&](const Account& a) { return a.identifier == account.identifier; });
    if (same != list.end() && !latest) {
        *same = account;
    } else {
        if (same != list.end())
            list.erase(same);
        list.append(account);
    }
    bool ok = false;
    writeAll(list, &ok, error);
    return ok;
}

bool AccountStore::removeAccount(const QString& identifier)
{
    QList<Account> list = accounts();
    if (list.removeIf([&](const Account& a) { return a.identifier == identifier; }) == 0)
        return false;
    bool ok = false;
    writeAll(list, &ok, nullptr);
    return ok;
}
