#include "HttpServer.h"

#include "ConnectionBook.h"
#include "HttpSession.h"
#include "RefusalLog.h"

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>
#include <vector>

using namespace Qt::StringLiterals;
namespace asio = boost::asio;
using boost::system::error_code;
using Tcp = asio::ip::tcp;

namespace {

using WorkGuard = asio::executor_work_guard<asio::io_context::executor_type>;

int openReserve()
{
    return ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

} // namespace

// The acceptor's loop and one loop per worker, each run by its own thread.
struct HttpServer::Engine
{
    explicit Engine(const Limits& limits, const QString& name)
        : book(limits.maxConnections, limits.maxConnectionsPerPeer, limits.trustedProxies), refusals(name),
          acceptor(acceptorLoop), pause(acceptorLoop)
    {}

    ~Engine()
    {
        if (reserve >= 0)
            ::close(reserve);
    }

    void accept();
    void onAccepted(const error_code& error, Tcp::socket socket);
    void refuseWithReserve();

    // Declared in this order so that they are destroyed in the reverse one: the acceptor's
    // loop (whose pending accept holds a socket of a worker) before the workers' loops,
    // whose sessions release themselves into the book.
    ConnectionBook book;
    RefusalLog refusals;
    HttpSessionContext context;
    std::vector<std::unique_ptr<asio::io_context>> workers;
    std::vector<WorkGuard> guards;
    asio::io_context acceptorLoop{1};
    Tcp::acceptor acceptor;
    asio::steady_timer pause;
    std::vector<std::thread> threads;
    size_t next = 0;
    int reserve = openReserve();
};

void HttpServer::Engine::accept()
{
    asio::io_context& worker = *workers[next++ % workers.size()];
    acceptor.async_accept(worker, [this](const error_code& error, Tcp::socket socket) {
        onAccepted(error, std::move(socket));
    });
}

void HttpServer::Engine::onAccepted(const error_code& error, Tcp::socket socket)
{
    if (error == asio::error::operation_aborted || !acceptor.is_open())
        return;
    if (error == asio::error::no_descriptors || error.value() == ENFILE ||
        error == asio::error::no_buffer_space || error == asio::error::no_memory) {
        // The connection stays queued and the listening socket readable: take it with the
        // reserve descriptor and close it, then wait a little before accepting again.
        refuseWithReserve();
        pause.expires_after(std::chrono::milliseconds(50));
        pause.async_wait([this](const error_code& waited) {
            if (!waited)
                accept();
        });
        return;
    }
    if (!error) {
        error_code ignored;
        const Tcp::endpoint remote = socket.remote_endpoint(ignored);
        const QString peer = QString::fromStdString(remote.address().to_string(ignored));
        switch (book.admit(peer)) {
        case ConnectionBook::Admission::Admitted: {
            auto session = std::make_shared<HttpSession>(std::move(socket), context, peer);
            HttpSession* raw = session.get();
            asio::post(raw->executor(), [session = std::move(session)] { session->start(); });
            break;
        }
        case ConnectionBook::Admission::OverCap:
            refusals.refused(peer, u"too many connections (%1)"_s.arg(context.limits.maxConnections));
            socket.close(ignored);
            break;
        case ConnectionBook::Admission::OverPeerCap:
            refusals.refused(peer, u"too many connections from this address (%1)"_s.arg(
                                       context.limits.maxConnectionsPerPeer));
            socket.close(ignored);
            break;
        }
    }
    accept();
}

void HttpServer::Engine::refuseWithReserve()
{
    refusals.refused(QString(), u"out of file descriptors: the waiting connection is closed"_s);
    if (reserve >= 0) {
        ::close(reserve);
        reserve = -1;
    }
    const int taken = ::accept4(acceptor.native_handle(), nullptr, nullptr, SOCK_CLOEXEC);
    if (taken >= 0)
        ::close(taken);
    reserve = openReserve();
}

HttpServer::HttpServer(Handler handler) : HttpServer(std::move(handler), Limits()) {}

HttpServer::HttpServer(Handler handler, Limits limits) : m_handler(std::move(handler)), m_limits(limits) {}

HttpServer::~HttpServer()
{
    stop();
}

bool HttpServer::listen(const QString& address, quint16 port, QString* error, const QString& name)
{
    if (m_engine)
        stop();
    auto engine = std::make_unique<Engine>(m_limits, name);
    engine->context.handler = m_handler;
    engine->context.limits = m_limits;
    engine->context.logger = m_logger;
    engine->context.book = &engine->book;
    engine->context.refusals = &engine->refusals;

    error_code failure;
    Tcp::resolver resolver(engine->acceptorLoop);
    const auto found = resolver.resolve(address.toStdString(), std::to_string(port),
                                        Tcp::resolver::passive | Tcp::resolver::numeric_service, failure);
    if (failure || found.empty()) {
        *error = u"cannot resolve %1"_s.arg(address);
        return false;
    }
    const Tcp::endpoint endpoint = found.begin()->endpoint();
    Tcp::acceptor& acceptor = engine->acceptor;
    acceptor.open(endpoint.protocol(), failure);
    if (!failure)
        acceptor.set_option(Tcp::acceptor::reuse_address(true), failure);
    if (!failure)
        acceptor.bind(endpoint, failure);
    if (!failure)
        acceptor.listen(asio::socket_base::max_listen_connections, failure);
    if (failure) {
        *error = u"cannot listen on %1:%2: %3"_s.arg(address).arg(port).arg(
            QString::fromStdString(failure.message()));
        return false;
    }
    m_port = acceptor.local_endpoint(failure).port();
    acceptor.native_non_blocking(true, failure); // so that taking a connection by hand never waits

    // Requests are answered on the worker threads and never wait on a client, so more
    // threads than processors only add switching; two keep one slow drawing from holding all.
    const int workers =
        m_limits.workers > 0 ? m_limits.workers : std::max(2, int(std::thread::hardware_concurrency()));
    for (int i = 0; i < workers; ++i) {
        engine->workers.push_back(std::make_unique<asio::io_context>(1));
        engine->guards.push_back(asio::make_work_guard(*engine->workers.back()));
    }
    engine->accept();
    for (auto& worker : engine->workers)
        engine->threads.emplace_back([loop = worker.get()] { loop->run(); });
    engine->threads.emplace_back([loop = &engine->acceptorLoop] { loop->run(); });
    m_engine = std::move(engine);
    return true;
}

void HttpServer::stop()
{
    if (!m_engine)
        return;
    Engine& engine = *m_engine;
    engine.context.stopping = true;
    engine.acceptorLoop.stop();
    for (auto& worker : engine.workers)
        worker->stop();
    for (auto& thread : engine.threads)
        thread.join();
    error_code ignored;
    engine.acceptor.close(ignored);
    // The loops go with their sessions, then the book they release into.
    m_engine.reset();
}

int HttpServer::openConnections() const
{
    return m_engine ? m_engine->book.open() : 0;
}
