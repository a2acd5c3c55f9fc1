#include "HttpSession.h"

#include "ConnectionBook.h"
#include "RefusalLog.h"

#include <boost/asio/ip/address.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/http/read.hpp>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;
namespace asio = boost::asio;
namespace http = boost::beast::http;
using boost::system::error_code;

namespace {

QByteArray headOf(const HttpResponse& response, bool keepAlive)
{
    QByteArray head;
    head.reserve(160);
    head += "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + HttpResponse::reason(response.status) +
            "\r\nContent-Type: " + response.contentType +
            "\r\nContent-Length: " + QByteArray::number(response.body.size()) +
            "\r\nConnection: " + (keepAlive ? "keep-alive" : "close") + "\r\n";
    for (const auto& [name, value] : response.headers)
        head += name + ": " + value + "\r\n";
    return head + "\r\n";
}

// The client a trusted proxy forwards for: the rightmost address of "X-Forwarded-For" that
// is not itself a trusted proxy (proxies append the address they were reached from). An
// entry that is not an address ends the walk: what lies left of it cannot be trusted.
QString forwardedClient(const QByteArray& header, const ConnectionBook& book, const QString& proxy)
{
    QString client = proxy;
    const QList<QByteArray> hops = header.split(',');
    for (auto hop = hops.rbegin(); hop != hops.rend(); ++hop) {
        error_code error;
        const asio::ip::address address = asio::ip::make_address(hop->trimmed().toStdString(), error);
        if (error)
            break;
        client = QString::fromStdString(address.to_string());
        if (!book.trusted(client))
            break;
    }
    return client;
}

} // namespace

HttpSession::HttpSession(asio::ip::tcp::socket socket, HttpSessionContext& context, QString peer)
    : m_socket(std::move(socket)), m_timer(m_socket.get_executor()), m_context(context),
      m_peer(std::move(peer)),
      m_tick(std::min({context.limits.readTimeoutMs, context.limits.idleTimeoutMs, LingerMs}))
{}

HttpSession::~HttpSession()
{
    leavePeer();
    m_context.book->release();
}

void HttpSession::start()
{
    error_code ignored;
    m_socket.set_option(asio::ip::tcp::no_delay(true), ignored);
    readRequest(); // a new connection has the request deadline, not the idle one
}

void HttpSession::arm(int milliseconds)
{
    m_timedOut = false;
    m_deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    // A waiting timer wakes at the latest one tick after it was set, which is never later
    // than this deadline (no deadline is shorter than a tick).
    if (!m_timerWaiting)
        waitForDeadline(m_deadline);
}

void HttpSession::disarm()
{
    m_deadline = std::chrono::steady_clock::time_point::max();
}

void HttpSession::waitForDeadline(std::chrono::steady_clock::time_point at)
{
    m_timerWaiting = true;
    m_timer.expires_at(at);
    m_timer.async_wait([self = shared_from_this()](const error_code& error) { self->onTimer(error); });
}

void HttpSession::onTimer(const error_code& error)
{
    m_timerWaiting = false;
    if (error || !m_socket.is_open())
        return;
    const auto now = std::chrono::steady_clock::now();
    if (m_deadline <= now) {
        m_timedOut = true;
        error_code ignored;
        m_socket.cancel(ignored); // the operation under way ends with operation_aborted
        return;
    }
    waitForDeadline(std::min(m_deadline, now + m_tick));
}

void HttpSession::close()
{
    disarm();
    m_timer.cancel();
    error_code ignored;
    m_socket.close(ignored);
}

void HttpSession::readRequest()
{
    const HttpServer::Limits& limits = m_context.limits;
    m_parser.emplace();
    HttpHead::prepare(*m_parser, limits.maxHeaderBytes, limits.maxBodyBytes);
    arm(limits.readTimeoutMs);
    http::async_read_header(
        m_socket, m_buffer, *m_parser,
        [self = shared_from_this()](const error_code& error, std::size_t) { self->onHead(error); });
}

void HttpSession::onHead(const error_code& error)
{
    if (error) {
        if (m_timedOut) {
            // Silent since the last answer (or since connecting): closed without a word.
            if (m_parser->got_some() || m_buffer.size() > 0)
                refuse({408, u"The request was not received in time."_s});
            else
                close();
            return;
        }
        failed(error);
        return;
    }
    if (const HttpHead::Refusal refusal =
            HttpHead::accept(*m_parser, m_context.limits.maxBodyBytes, m_request)) {
        refuse(refusal);
        return;
    }
    if (m_parser->is_done()) {
        m_request.body.clear();
        answer();
        return;
    }
    http::async_read(
        m_socket, m_buffer, *m_parser,
        [self = shared_from_this()](const error_code& error, std::size_t) { self->onBody(error); });
}

void HttpSession::onBody(const error_code& error)
{
    if (error) {
        if (m_timedOut)
            refuse({408, u"The request's body was not received in time."_s});
        else
            failed(error);
        return;
    }
    const std::string& body = m_parser->get().body();
    m_request.body = QByteArray(body.data(), qsizetype(body.size()));
    answer();
}

void HttpSession::failed(const error_code& error)
{
    // A request the parser refused is answered; a connection that failed or closed is closed.
    const HttpHead::Refusal refusal = HttpHead::refusalFor(error);
    if (refusal)
        refuse(refusal);
    else
        close();
}

void HttpSession::answer()
{
    disarm();
    m_clock.start();
    ++m_served;
    const bool proxied = m_context.book->trusted(m_peer);
    m_request.peer =
        proxied ? forwardedClient(m_request.header("x-forwarded-for"), *m_context.book, m_peer) : m_peer;
    // Through a proxy the per-peer cap counts the client's requests in flight.
    const bool counted = proxied && m_request.peer != m_peer;
    if (counted && !m_context.book->admitRequest(m_request.peer)) {
        m_context.refusals->refused(m_request.peer,
                                    u"too many requests in flight from this address (%1)"_s.arg(
                                        m_context.limits.maxConnectionsPerPeer));
        m_response = HttpResponse::error(429, u"Too many requests from this address."_s);
    } else {
        try {
            m_response = m_context.handler(m_request);
        } catch (...) {
            m_response = HttpResponse::error(500, u"Internal error."_s);
        }
        if (counted)
            m_context.book->leaveRequest(m_request.peer);
    }
    const bool keepAlive = !m_context.stopping.load(std::memory_order_relaxed) &&
                           m_served < m_context.limits.maxRequestsPerConnection &&
                           m_parser->get().keep_alive();
    m_logAnswer = true;
    send(keepAlive);
}

void HttpSession::refuse(const HttpHead::Refusal& refusal)
{
    m_context.refusals->refused(m_peer, u"%1 %2"_s.arg(refusal.status).arg(refusal.message));
    m_response = HttpResponse::error(refusal.status, refusal.message);
    m_logAnswer = false;
    send(false);
}

void HttpSession::send(bool keepAlive)
{
    if (!keepAlive)
        leavePeer(); // before the client can see the close and connect again
    m_head = headOf(m_response, keepAlive);
    // A HEAD answer has the head of the GET answer and no body.
    const bool withBody = m_request.method != "HEAD" || !m_logAnswer;
    const std::array<asio::const_buffer, 2> buffers = {
        asio::buffer(m_head.constData(), size_t(m_head.size())),
        asio::buffer(m_response.body.constData(), withBody ? size_t(m_response.body.size()) : 0)};
    arm(m_context.limits.idleTimeoutMs);
    asio::async_write(m_socket, buffers,
                      [self = shared_from_this(), keepAlive](const error_code& error, std::size_t) {
                          self->onSent(error, keepAlive);
                      });
}

void HttpSession::onSent(const error_code& error, bool keepAlive)
{
    disarm();
    if (m_logAnswer && m_context.logger)
        m_context.logger(m_request, m_response, double(m_clock.nsecsElapsed()) / 1e6);
    if (error) {
        close();
        return;
    }
    if (!keepAlive) {
        linger();
        return;
    }
    if (m_buffer.size() > 0)
        readRequest(); // the next request is already (partly) here
    else
        awaitNext();
}

void HttpSession::awaitNext()
{
    // The next request's first bytes are read under the idle deadline; the rest of it then
    // has the request deadline.
    arm(m_context.limits.idleTimeoutMs);
    m_socket.async_read_some(m_buffer.prepare(16384),
                             [self = shared_from_this()](const error_code& error, std::size_t read) {
                                 if (error || self->m_timedOut) {
                                     self->close();
                                     return;
                                 }
                                 self->m_buffer.commit(read);
                                 self->readRequest();
                             });
}

void HttpSession::leavePeer()
{
    if (!m_leftPeer)
        m_context.book->leavePeer(m_peer);
    m_leftPeer = true;
}

void HttpSession::linger()
{
    leavePeer();
    error_code ignored;
    m_socket.shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
    m_buffer.consume(m_buffer.size());
    m_drained = 0;
    arm(LingerMs);
    drain();
}

void HttpSession::drain()
{
    m_socket.async_read_some(m_buffer.prepare(16384),
                             [self = shared_from_this()](const error_code& error, std::size_t read) {
                                 self->m_drained += qint64(read);
                                 if (error || self->m_timedOut || self->m_drained > LingerBytes) {
                                     self->close();
                                     return;
                                 }
                                 self->drain();
                             });
}
