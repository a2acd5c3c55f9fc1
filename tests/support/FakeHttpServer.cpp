#include "FakeHttpServer.h"

#include <httplib.h>

FakeHttpServer::Response FakeHttpServer::Response::json(const std::string& body, int status)
{
    Response response;
    response.status = status;
    response.body = body;
    return response;
}

FakeHttpServer::Response FakeHttpServer::Response::text(const std::string& body, int status,
                                                        const std::string& contentType)
{
    Response response;
    response.status = status;
    response.body = body;
    response.contentType = contentType;
    return response;
}

FakeHttpServer::Response FakeHttpServer::Response::redirect(const std::string& location, int status)
{
    Response response;
    response.status = status;
    response.body.clear();
    response.contentType = "text/plain";
    response.headers.emplace_back("Location", location);
    return response;
}

FakeHttpServer::FakeHttpServer() : m_server(std::make_unique<httplib::Server>())
{
    m_default = Response::text("", 404, "text/plain");
    auto serve = [this](const httplib::Request& in, httplib::Response& out) {
        Request request;
        request.method = in.method;
        request.target = in.target;
        request.path = in.path;
        request.body = in.body;
        for (const auto& [name, value] : in.headers)
            request.headers.emplace(name, value);
        const Response response = answer(request);
        out.status = response.status;
        for (const auto& [name, value] : response.headers)
            out.set_header(name.c_str(), value.c_str());
        if (response.trickleMs <= 0) {
            out.set_content(response.body, response.contentType.c_str());
            return;
        }
        // One byte per interval, until the body is sent, the client leaves or the server stops.
        const std::string body = response.body;
        const int interval = response.trickleMs;
        out.set_chunked_content_provider(
            response.contentType.c_str(), [this, body, interval](size_t offset, httplib::DataSink& sink) {
                std::unique_lock guard(m_lock);
                if (m_changed.wait_for(guard, std::chrono::milliseconds(interval),
                                       [this] { return m_stopping; }))
                    return false;
                guard.unlock();
                if (offset >= body.size()) {
                    sink.done();
                    return true;
                }
                return sink.write(body.data() + offset, 1);
            });
    };
    m_server->Get(".*", serve);
    m_server->Post(".*", serve);
    m_server->set_keep_alive_max_count(100);
    // Short idle times, so that stopping does not wait for clients' kept-alive connections.
    m_server->set_keep_alive_timeout(1);
    m_server->set_read_timeout(1, 0);
    m_port = m_server->bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    // The socket is bound and listening already; connections wait in its backlog until the
    // accept loop runs.
    while (!m_server->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

FakeHttpServer::~FakeHttpServer()
{
    stop();
}

void FakeHttpServer::stop()
{
    {
        std::lock_guard guard(m_lock);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_server)
        m_server->stop();
    if (m_thread.joinable())
        m_thread.join();
}

QString FakeHttpServer::hostWithPort() const
{
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

std::string FakeHttpServer::baseUrl() const
{
    return "http://127.0.0.1:" + std::to_string(m_port);
}

void FakeHttpServer::on(const std::string& path, const Response& response)
{
    on(path, [response](const Request&) { return response; });
}

void FakeHttpServer::on(const std::string& path, Handler handler)
{
    std::lock_guard guard(m_lock);
    m_handlers[path] = std::move(handler);
}

void FakeHttpServer::setDefault(const Response& response)
{
    std::lock_guard guard(m_lock);
    m_default = response;
}

FakeHttpServer::Response FakeHttpServer::answer(const Request& request)
{
    Handler handler;
    Response response;
    {
        std::lock_guard guard(m_lock);
        m_requests.push_back(request);
        auto it = m_handlers.find(request.path);
        if (it != m_handlers.end())
            handler = it->second;
        else
            response = m_default;
    }
    m_changed.notify_all();
    if (handler)
        response = handler(request);

    std::unique_lock guard(m_lock);
    if (response.hang)
        m_changed.wait(guard, [this] { return m_released || m_stopping; });
    else if (response.delayMs > 0)
        m_changed.wait_for(guard, std::chrono::milliseconds(response.delayMs), [this] { return m_stopping; });
    return response;
}

std::vector<FakeHttpServer::Request> FakeHttpServer::requests() const
{
    std::lock_guard guard(m_lock);
    return m_requests;
}

std::vector<std::string> FakeHttpServer::targets() const
{
    std::lock_guard guard(m_lock);
    std::vector<std::string> targets;
    for (const Request& request : m_requests)
        targets.push_back(request.target);
    return targets;
}

size_t FakeHttpServer::requestCount() const
{
    std::lock_guard guard(m_lock);
    return m_requests.size();
}

void FakeHttpServer::clearRequests()
{
    std::lock_guard guard(m_lock);
    m_requests.clear();
}

bool FakeHttpServer::waitForRequests(size_t count, int timeoutMs) const
{
    std::unique_lock guard(m_lock);
    return m_changed.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                              [this, count] { return m_requests.size() >= count; });
}

void FakeHttpServer::release()
{
    {
        std::lock_guard guard(m_lock);
        m_released = true;
    }
    m_changed.notify_all();
}
