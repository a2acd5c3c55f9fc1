#include "RequestLog.h"

#include <QDateTime>

#include <cstdio>

HttpServer::Logger RequestLog::logger(const QString& server)
{
    return [this, server](const HttpRequest& request, const HttpResponse& response, double milliseconds) {
        // Targets are logged as received, cut short, with control bytes made visible.
        QByteArray target = request.target.left(300);
        for (char& c : target) {
            if (uchar(c) < 0x20 || c == 0x7f)
                c = '?';
        }
        const QByteArray line = QStringLiteral("%1 %2 %3 %4 %5 %6 %7B %8ms\n")
                                    .arg(QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs), server,
                                         request.peer.isEmpty() ? QStringLiteral("-") : request.peer,
                                         QString::fromLatin1(request.method.isEmpty() ? "-" : request.method),
                                         QString::fromLatin1(target.isEmpty() ? "-" : target))
                                    .arg(response.status)
                                    .arg(response.body.size())
                                    .arg(milliseconds, 0, 'f', 2)
                                    .toUtf8();
        std::lock_guard guard(m_lock);
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    };
}
