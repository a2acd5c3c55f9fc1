#pragma once

#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A scriptable identification server for tests, on raw sockets: it keeps every request's
// bytes exactly as they arrived (request line, headers and body), which an HTTP library
// that parses multipart forms would not. One request per connection.
class FakeIdentificationServer
{
public:
    struct Request
    {
        std::string method;
        std::string path;
        std::map<std::string, std::string> headers; // names lower-cased
        std::string body;
    };

    struct Response
    {
        int status = 200;
        std::string body = "{\"Result\": 0}";
        int delayMs = 0;
        bool closeWithoutAnswer = false;

        static Response result(int result) { return {200, "{\"Result\": " + std::to_string(result) + "}"}; }
        static Response raw(const std::string& body, int status = 200) { return {status, body}; }
    };

    using Handler = std::function<Response(const Request&)>;

    FakeIdentificationServer();
    ~FakeIdentificationServer();
    FakeIdentificationServer(const FakeIdentificationServer&) = delete;
    FakeIdentificationServer& operator=(const FakeIdentificationServer&) = delete;

    int port() const { return m_port; }
    QString hostWithPort() const;

    // The answer for a page ("getstationidresident.php", "checkresident.php"); answers are
    // taken from the list in turn, the last one repeating.
    void script(const std::string& page, const std::vector<Response>& answers);
    void setHandler(Handler handler);

    std::vector<Request> requests() const;
    size_t count(const std::string& page) const;
    void stop();

private:
    void acceptLoop();
    void serve(int fd);
    Response answer(const Request& request);

    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::thread m_acceptor;
    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    std::vector<std::thread> m_workers;
    std::map<std::string, std::vector<Response>> m_scripts;
    std::map<std::string, size_t> m_served;
    Handler m_handler;
    std::vector<Request> m_requests;
};
