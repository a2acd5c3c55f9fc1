#pragma once

#include <QByteArray>

// Plain HTTP over a loopback socket, for what a well-behaved client never sends.
class RawHttp
{
public:
    explicit RawHttp(quint16 port);
    ~RawHttp();
    RawHttp(const RawHttp&) = delete;
    RawHttp& operator=(const RawHttp&) = delete;

    bool isConnected() const { return m_fd >= 0; }
    bool send(const QByteArray& bytes);
    // Reads until the peer closes, a whole response (head and Content-Length body) is in,
    // or the time-out passes.
    QByteArray receive(int timeoutMs = 5000);
    // True when the peer closed the connection within the time.
    bool closedWithin(int timeoutMs);

    // One request on a new connection; the whole response.
    static QByteArray get(quint16 port, const QByteArray& target);
    static int status(const QByteArray& response);
    static QByteArray body(const QByteArray& response);

private:
    int m_fd = -1;
};
