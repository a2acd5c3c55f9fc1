#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QVariant>

// One HTTP response.
struct HttpResponse
{
    int status = 200;
    QByteArray contentType = "application/json; charset=utf-8";
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;

    static HttpResponse json(const QVariant& value, int status = 200);
    static HttpResponse html(const QString& page, int status = 200);
    static HttpResponse png(const QByteArray& bytes);
    // An error answer the application's request frame reads: {"ExceptionDetail": {"Message": ...}}.
    static HttpResponse error(int status, const QString& message);
    // 503 with the error body and "Retry-After: 5": a store the answer needs is unreachable.
    static HttpResponse unavailable(const QString& message);
    static QByteArray reason(int status);
};
