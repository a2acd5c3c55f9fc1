#pragma once

#include "HttpHead.h"
#include "HttpServer.h"

#include <QElapsedTimer>

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core/flat_buffer.hpp>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>

class ConnectionBook;
class RefusalLog;

// What the connections of one server share. Owned by the server, outliving every session.
struct HttpSessionContext
{
    HttpServer::Handler handler;
    HttpServer::Limits limits;
    HttpServer::Logger logger;
    ConnectionBook* book = nullptr;
    RefusalLog* refusals = nullptr;
    std::atomic<bool> stopping{false};
};

// One client connection, driven by one I/O thread: every read and write is asynchronous
// and under a deadline, so a slow or silent client holds nothing but its socket.
//   - a request (head and body) must arrive within readTimeoutMs of its first wait; a
//     connection that never speaks is closed then, one that sent part of a request gets 408;
//   - between requests a kept-alive connection may stay silent for idleTimeoutMs;
//   - an answer must be taken within idleTimeoutMs;
//   - after the last answer (Connection: close, a refusal, the request count) the sending
//     side is shut and what the client still sends is read and dropped for a while, so the
//     answers already sent reach it rather than being cut off by a reset.
// Requests already read (pipelined) are answered in order before the next wait.
class HttpSession : public std::enable_shared_from_this<HttpSession>
{
public:
    HttpSession(boost::asio::ip::tcp::socket socket, HttpSessionContext& context, QString peer);
    ~HttpSession();
    HttpSession(const HttpSession&) = delete;
    HttpSession& operator=(const HttpSession&) = delete;

    // Call on the socket's executor.
    void start();
    boost::asio::ip::tcp::socket::executor_type executor() { return m_socket.get_executor(); }

private:
    static constexpr int LingerMs = 2000;
    static constexpr qint64 LingerBytes = 1024 * 1024;

    void readRequest();
    void onHead(const boost::system::error_code& error);
    void onBody(const boost::system::error_code& error);
    void failed(const boost::system::error_code& error);
    void answer();
    void send(bool keepAlive);
    void onSent(const boost::system::error_code& error, bool keepAlive);
    void awaitNext();
    void refuse(const HttpHead::Refusal& refusal);
    void linger();
    void drain();
    void arm(int milliseconds);
    void disarm();
    void waitForDeadline(std::chrono::steady_clock::time_point at);
    void onTimer(const boost::system::error_code& error);
    void close();
    void leavePeer();

    boost::asio::ip::tcp::socket m_socket;
    boost::asio::steady_timer m_timer;
    boost::beast::flat_buffer m_buffer;
    std::optional<HttpHead::Parser> m_parser;
    HttpSessionContext& m_context;
    const QString m_peer;
    HttpRequest m_request;
    HttpResponse m_response;
    QByteArray m_head;
    QElapsedTimer m_clock;
    // One timer per connection, not one per operation: arming only moves the deadline, and
    // the timer, waking at least every m_tick, ends the operation under way once it passes.
    std::chrono::steady_clock::time_point m_deadline = std::chrono::steady_clock::time_point::max();
    std::chrono::milliseconds m_tick;
    bool m_timerWaiting = false;
    bool m_timedOut = false;
    bool m_leftPeer = false; // counted out of its peer's connections
    bool m_logAnswer = false;
    int m_served = 0;
    qint64 m_drained = 0;
};
