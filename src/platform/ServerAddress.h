#pragma once

#include <QString>

// A server host with an optional port: "localhost", "tv.example.org:8080", "[::1]:40123".
class ServerAddress
{
public:
    ServerAddress() = default;
    ServerAddress(QString host, quint16 port);

    // Parses "host" or "host:port"; without a port, defaultPort is used. An empty host,
    // a host with spaces, slashes or other URL delimiters, or a port outside 1..65535
    // gives an invalid address.
    static ServerAddress parse(const QString& text, quint16 defaultPort);

    bool isValid() const { return !m_host.isEmpty() && m_port != 0; }
    const QString& host() const { return m_host; }
    quint16 port() const { return m_port; }
    // "host:port", with IPv6 literals in brackets: the authority part of a URL.
    QString authority() const;

private:
    QString m_host;
    quint16 m_port = 0;
};
