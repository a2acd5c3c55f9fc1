#pragma once

#include <QString>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

// A scriptable HTTP server on 127.0.0.1 and an ephemeral port, for tests. Every request is
// recorded with its raw request target (path and query exactly as sent) and body; answers
// are scripted per path. Runs on its own threads; safe to script and inspect from the test.
class FakeHttpServer
{
public:
    struct Request
    {
        std::string method;
        std::string target; // as sent on the request line
        std::string path;
        std::string body;
        std::multimap<std::string, std::string> headers;
    };

    struct Response
    {
        int status = 200;
        std::string body = "{}";
        std::string contentType = "application/json";
        std::vector<std::pair<std::string, std::string>> headers;
        int delayMs = 0;   // wait before answering
        bool hang = false; // never answer (until the server stops or release() is called)
        int trickleMs = 0; // send the body one byte at a time, this long apart (chunked)

        static Response json(const std::string& body, int status = 200);
        static Response text(const std::string& body, int status,
                             const std::string& contentType = "text/html");
        static Response redirect(const std::string& location, int status = 302);
    };

    using Handler = std::function<Response(const Request&)>;

    FakeHttpServer();
    ~FakeHttpServer();
    FakeHttpServer(const FakeHttpServer&) = delete;
    FakeHttpServer& operator=(const FakeHttpServer&) = delete;

    int port() const { return m_port; }
    // "127.0.0.1:PORT", the form the applications take as a host.
    QString hostWithPort() const;
    std::string baseUrl() const;

    // Answers for a path (without the query); the handler form sees the whole request.
    void on(const std::string& path, const Response& response);
    void on(const std::string& path, Handler handler);
    // The answer for paths without a script (default: 404 with an empty body).
    void setDefault(const Response& response);

    std::vector<Request> requests() const;
    std::vector<std::string> targets() const;
    size_t requestCount() const;
    void clearRequests();
    // Waits until at least count requests have arrived; false on time-out. Blocks the calling
    // thread: for clients on other threads (a Qt client on the test thread needs QTRY_VERIFY).
    bool waitForRequests(size_t count, int timeoutMs = 5000) const;

    // Lets hanging answers finish (with their scripted status and body).
    void release();
    void stop();

private:
    Response answer(const Request& request);

    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    std::map<std::string, Handler> m_handlers;
    Response m_default;
    std::vector<Request> m_requests;
    bool m_released = false;
    bool m_stopping = false;
};
