#include "RefusalLog.h"

#include <QDateTime>

#include <cstdio>

using namespace Qt::StringLiterals;

RefusalLog::RefusalLog(QString server, Sink sink, Clock clock)
    : m_server(std::move(server)), m_sink(std::move(sink)), m_clock(std::move(clock))
{
    if (!m_sink) {
        m_sink = [](const QString& line) {
            const QByteArray bytes = (line + u'\n').toUtf8();
            std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
        };
    }
    if (!m_clock)
        m_clock = [] { return QDateTime::currentMSecsSinceEpoch(); };
}

void RefusalLog::refused(const QString& peer, const QString& why)
{
    const qint64 now = m_clock();
    int unlogged = 0;
    {
        std::lock_guard guard(m_lock);
        if (m_peers.size() >= MaxPeers && !m_peers.contains(peer)) {
            // Many peers at once: forget those logged more than a minute ago; if that
            // frees nothing, start afresh rather than grow.
            m_peers.removeIf([now](const auto& entry) { return now - entry.value().loggedMs >= IntervalMs; });
            if (m_peers.size() >= MaxPeers)
                m_peers.clear();
        }
        Peer& entry = m_peers[peer];
        if (entry.loggedMs != 0 && now - entry.loggedMs < IntervalMs) {
            ++entry.unlogged;
            return;
        }
        unlogged = entry.unlogged;
        entry = Peer{now, 0};
    }
    QString line = u"%1 %2 refused %3: %4"_s.arg(
        QDateTime::fromMSecsSinceEpoch(now, Qt::UTC).toString(Qt::ISODateWithMs), m_server,
        peer.isEmpty() ? u"-"_s : peer, why);
    if (unlogged > 0)
        line += u" (and %1 more from this peer in the last minute)"_s.arg(unlogged);
    m_sink(line);
}
