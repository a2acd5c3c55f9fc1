#pragma once

#include "http/HttpServer.h"

#include <mutex>

// One line per answered request on standard error: time, server, peer, method, target,
// status, bytes and milliseconds. Lines from different workers never interleave.
class RequestLog
{
public:
    HttpServer::Logger logger(const QString& server);

private:
    std::mutex m_lock;
};
