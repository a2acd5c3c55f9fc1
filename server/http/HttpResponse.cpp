#include "HttpResponse.h"

#include "platform/Json.h"

HttpResponse HttpResponse::json(const QVariant& value, int status)
{
    HttpResponse response;
    response.status = status;
    response.body = Json::encode(value);
    return response;
}

HttpResponse HttpResponse::html(const QString& page, int status)
{
    HttpResponse response;
    response.status = status;
    response.contentType = "text/html; charset=utf-8";
    response.body = page.toUtf8();
    return response;
}

HttpResponse HttpResponse::png(const QByteArray& bytes)
{
    HttpResponse response;
    response.contentType = "image/png";
    response.body = bytes;
    response.headers.append(QPair<QByteArray, QByteArray>("Cache-Control", "max-age=300"));
    return response;
}

HttpResponse HttpResponse::error(int status, const QString& message)
{
    return json(
        QVariantMap{{QStringLiteral("ExceptionDetail"), QVariantMap{{QStringLiteral("Message"), message}}}},
        status);
}

HttpResponse HttpResponse::unavailable(const QString& message)
{
    HttpResponse response = error(503, message);
    response.headers.append(QPair<QByteArray, QByteArray>("Retry-After", "5"));
    return response;
}

QByteArray HttpResponse::reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 411:
        return "Length Required";
    case 413:
        return "Payload Too Large";
    case 414:
        return "URI Too Long";
    case 429:
        return "Too Many Requests";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}
