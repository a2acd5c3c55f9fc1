#include "ServerAddress.h"

ServerAddress::ServerAddress(QString host, quint16 port) : m_host(std::move(host)), m_port(port) {}

ServerAddress ServerAddress::parse(const QString& text, quint16 defaultPort)
{
    QString host = text.trimmed();
    QString portText;
    if (host.startsWith(u'[')) {
        const qsizetype close = host.indexOf(u']');
        if (close < 0)
            return {};
        const QString rest = host.mid(close + 1);
        host = host.mid(1, close - 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(u':'))
                return {};
            portText = rest.mid(1);
        }
    } else if (host.count(u':') == 1) {
        portText = host.section(u':', 1);
        host = host.section(u':', 0, 0);
    }
    static const QString forbidden = QStringLiteral(" \t\r\n/\\?#@%\"<>");
    if (host.isEmpty())
        return {};
    for (const QChar c : host) {
        if (forbidden.contains(c) || c.unicode() < 0x20)
            return {};
    }
    quint16 port = defaultPort;
    if (!portText.isNull()) {
        bool ok = false;
        const uint value = portText.toUInt(&ok);
        if (!ok || value == 0 || value > 65535)
            return {};
        port = quint16(value);
    }
    return ServerAddress(host, port);
}

QString ServerAddress::authority() const
{
    const QString host = m_host.contains(u':') ? u'[' + m_host + u']' : m_host;
    return host + u':' + QString::number(m_port);
}
