#include "StoreAddress.h"

#include <QUrl>

bool StoreAddress::isPostgres(const QString& text)
{
    return text.startsWith(QStringLiteral("postgresql://")) || text.startsWith(QStringLiteral("postgres://"));
}

std::optional<StoreAddress> StoreAddress::parse(const QString& text, QString* error)
{
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    StoreAddress address;
    if (!isPostgres(text)) {
        if (text.isEmpty())
            return fail(QStringLiteral("no store given"));
        address.file = text;
        return address;
    }
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return fail(QStringLiteral("a PostgreSQL address reads postgresql://USER@HOST:PORT/DATABASE"));
    address.postgres = true;
    address.host = url.host();
    address.port = url.port(5432);
    address.user = url.userName();
    address.password = url.password();
    address.database = url.path().mid(1);
    if (address.database.isEmpty() || address.database.contains(u'/'))
        return fail(QStringLiteral("the PostgreSQL address names no database (…/DATABASE)"));
    if (address.port < 1 || address.port > 65535)
        return fail(QStringLiteral("the PostgreSQL address has no usable port"));
    return address;
}

QString StoreAddress::display() const
{
    if (!postgres)
        return file;
    QString shown = QStringLiteral("postgresql://");
    if (!user.isEmpty())
        shown += user + u'@';
    if (host.contains(u':'))
        shown += u'[' + host + u']';
    else
        shown += host;
    return shown + u':' + QString::number(port) + u'/' + database;
}
