#include "RequestLog.h"

#include <QDateTime>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// "2026-12-07T20:36:03.734Z": the part up to the second is formatted once a second per
// thread, the milliseconds by hand (formatting dates costs more than the rest of a line).
QByteArray timestamp()
{
    thread_local qint64 second = -1;
    thread_local QByteArray prefix;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now / 1000 != second) {
        second = now / 1000;
        prefix =
            QDateTime::fromSecsSinceEpoch(second, Qt::UTC).toString(u"yyyy-MM-ddTHH:mm:ss."_s).toLatin1();
    }
    const int ms = int(now % 1000);
    const char digits[] = {char('0' + ms / 100), char('0' + ms / 10 % 10), char('0' + ms % 10), 'Z'};
    return prefix + QByteArrayView(digits, 4);
}

} // namespace

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
        line += timestamp();
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
