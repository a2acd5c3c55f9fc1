#include "RawHttp.h"

#include <QElapsedTimer>
#include <QList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

RawHttp::RawHttp(quint16 port)
{
    m_fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (m_fd >= 0 && connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        close(m_fd);
        m_fd = -1;
    }
}

RawHttp::~RawHttp()
{
    if (m_fd >= 0)
        close(m_fd);
}

bool RawHttp::send(const QByteArray& bytes)
{
    qsizetype sent = 0;
    while (m_fd >= 0 && sent < bytes.size()) {
        const ssize_t n = ::send(m_fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += n;
    }
    return m_fd >= 0;
}

QByteArray RawHttp::receive(int timeoutMs)
{
    QByteArray data;
    QElapsedTimer clock;
    clock.start();
    while (m_fd >= 0 && clock.elapsed() < timeoutMs) {
        const qsizetype headEnd = data.indexOf("\r\n\r\n");
        if (headEnd >= 0) {
            qsizetype length = 0;
            for (const QByteArray& line : data.left(headEnd).split('\n')) {
                if (line.toLower().startsWith("content-length:"))
                    length = line.mid(15).trimmed().toLongLong();
            }
            if (data.size() >= headEnd + 4 + length)
                return data;
        }
        pollfd pfd{m_fd, POLLIN, 0};
        if (poll(&pfd, 1, int(timeoutMs - clock.elapsed())) <= 0)
            break;
        char buffer[65536];
        const ssize_t n = recv(m_fd, buffer, sizeof(buffer), 0);
        if (n <= 0)
            break;
        data.append(buffer, n);
    }
    return data;
}

bool RawHttp::closedWithin(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        pollfd pfd{m_fd, POLLIN, 0};
        if (poll(&pfd, 1, int(timeoutMs - clock.elapsed())) <= 0)
            return false;
        char buffer[4096];
        const ssize_t n = recv(m_fd, buffer, sizeof(buffer), 0);
        if (n <= 0)
            return true;
    }
    return false;
}

QByteArray RawHttp::get(quint16 port, const QByteArray& target)
{
    RawHttp connection(port);
    connection.send("GET " + target + " HTTP/1.1\r\nHost: test\r\nConnection: close\r\n\r\n");
    return connection.receive();
}

int RawHttp::status(const QByteArray& response)
{
    const QList<QByteArray> line = response.left(response.indexOf("\r\n")).split(' ');
    return line.size() > 1 ? line[1].toInt() : 0;
}

QByteArray RawHttp::body(const QByteArray& response)
{
    const qsizetype headEnd = response.indexOf("\r\n\r\n");
    return headEnd < 0 ? QByteArray() : response.mid(headEnd + 4);
}
