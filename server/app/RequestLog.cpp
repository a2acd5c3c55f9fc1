#include "RequestLog.h"

#include <QDateTime>

#include <cstdio>

using namespace Qt::StringLiterals;

HttpServer::Logger RequestLog::logger(const QString& server)
{
    return [this, name = server.toUtf8()](const HttpRequest& request, const HttpResponse& response,
                                          double milliseconds) {
        // Targets are logged as received, cut short, with control bytes made visible.
        QByteArray target = request.target.left(300);
        for (char& c : target) {
            if (uchar(c) < 0x20 || c == 0x7f)
                c = '?';
        }
        QByteArray line;
        line.reserve(120 + target.size());
        line += QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toLatin1();
        line += ' ';
        line += name;
        line += ' ';
        line += request.peer.isEmpty() ? QByteArray("-") : request.peer.toLatin1();
        line += ' ';
        line += request.method.isEmpty() ? QByteArray("-") : request.method;
        line += ' ';
        line += target.isEmpty() ? QByteArray("-") : target;
        line += ' ';
        line += QByteArray::number(response.status);
        line += ' ';
        line += QByteArray::number(response.body.size());
        line += "B ";
        line += QByteArray::number(milliseconds, 'f', 2);
        line += "ms\n";
        std::lock_guard guard(m_lock);
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    };
}
