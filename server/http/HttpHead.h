#pragma once

#include "HttpRequest.h"

#include <QByteArray>
#include <QString>

#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>

// The head of a request as the server takes it: Beast's parser reads the bytes, then the
// server's own rules apply on top (one Content-Length and no list of them, no
// Transfer-Encoding, one Host, a target in origin or absolute form). A refusal carries the
// status and the message the client is answered with.
namespace HttpHead {

using Parser = boost::beast::http::request_parser<boost::beast::http::string_body>;

struct Refusal
{
    int status = 0; // 0: nothing refused
    QString message;
    explicit operator bool() const { return status != 0; }
};

// A parser for one request within these limits (bytes).
void prepare(Parser& parser, int maxHeadBytes, qint64 maxBodyBytes);
// The answer to a failed read, or no refusal when the peer merely went away.
Refusal refusalFor(const boost::system::error_code& error);
// Checks a complete head and fills request's method, target, path, query and headers.
Refusal accept(const Parser& parser, qint64 maxBodyBytes, HttpRequest& request);

// Parses a whole request from bytes as the server would, without a socket. complete is
// false when the bytes end before the request does.
struct Parsed
{
    Refusal refusal;
    HttpRequest request;
    bool complete = false;
};
Parsed parse(const QByteArray& bytes, int maxHeadBytes = 16 * 1024, qint64 maxBodyBytes = 64 * 1024);

} // namespace HttpHead
