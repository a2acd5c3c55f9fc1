#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// One HTTP request as the server read it. The target is split at its first "?": the path is
// percent-decoded, and the query's "&"-separated items become parameters (percent-decoded;
// an item without "=" is a flag with an empty value). Further "?" are part of the values.
struct HttpRequest
{
    QByteArray method;
    QByteArray target;
    QString path;
    QMap<QString, QString> query;
    QMap<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;
    QString peer;

    bool has(const QString& name) const { return query.contains(name); }
    QString value(const QString& name) const { return query.value(name); }
    QByteArray header(const QByteArray& name) const { return headers.value(name.toLower()); }

    // Fills path and query from target; false for a target that is not a path.
    bool parseTarget();
};
