#include "HttpHead.h"

#include <boost/asio/buffer.hpp>
#include <boost/beast/http/error.hpp>

using namespace Qt::StringLiterals;
namespace http = boost::beast::http;

namespace {

QByteArray bytesOf(boost::beast::string_view text)
{
    return QByteArray(text.data(), qsizetype(text.size()));
}

// "http://host:port/path?query" -> "/path?query"; other targets stay as they are.
QByteArray originForm(const QByteArray& target)
{
    const QByteArray lower = target.left(8).toLower();
    const qsizetype schemeEnd = lower.startsWith("http://") ? 7 : lower.startsWith("https://") ? 8 : -1;
    if (schemeEnd < 0)
        return target;
    const qsizetype path = target.indexOf('/', schemeEnd);
    if (path < 0) {
        const qsizetype query = target.indexOf('?', schemeEnd);
        return query < 0 ? QByteArray("/") : "/" + target.mid(query);
    }
    return target.mid(path);
}

} // namespace

namespace HttpHead {

void prepare(Parser& parser, int maxHeadBytes, qint64 maxBodyBytes)
{
    parser.header_limit(std::uint32_t(maxHeadBytes));
    parser.body_limit(std::uint64_t(maxBodyBytes));
}

Refusal refusalFor(const boost::system::error_code& error)
{
    if (error.category() != http::make_error_code(http::error::end_of_stream).category())
        return {}; // the connection failed or was closed
    switch (http::error(error.value())) {
    case http::error::end_of_stream:
    case http::error::partial_message:
        return {};
    case http::error::header_limit:
    case http::error::buffer_overflow:
        return {431, u"The request's head is too large."_s};
    case http::error::body_limit:
        return {413, u"The request's body is too large."_s};
    case http::error::bad_content_length:
        return {400, u"Malformed Content-Length."_s};
    case http::error::bad_transfer_encoding:
        return {411, u"A body needs a Content-Length."_s};
    default:
        return {400, u"Malformed request."_s};
    }
}

Refusal accept(const Parser& parser, qint64 maxBodyBytes, HttpRequest& request)
{
    const auto& message = parser.get();
    if (message.count(http::field::transfer_encoding) > 0)
        return {411, u"A body needs a Content-Length."_s};
    // Two lengths, even equal ones, or a list of them: a request an intermediary may have
    // framed differently.
    if (message.count(http::field::content_length) > 1 ||
        message[http::field::content_length].find(',') != boost::beast::string_view::npos)
        return {400, u"Conflicting Content-Length."_s};
    if (message.count(http::field::host) > 1)
        return {400, u"More than one Host."_s};
    if (parser.content_length() && *parser.content_length() > std::uint64_t(maxBodyBytes))
        return {413, u"The request's body is too large."_s};

    request.method = bytesOf(message.method_string());
    request.target = originForm(bytesOf(message.target()));
    request.headers.clear();
    for (const auto& field : message)
        request.headers.insert(bytesOf(field.name_string()).toLower(), bytesOf(field.value()));
    if (!request.parseTarget())
        return {400, u"Malformed request target."_s};
    return {};
}

Parsed parse(const QByteArray& bytes, int maxHeadBytes, qint64 maxBodyBytes)
{
    Parsed parsed;
    Parser parser;
    prepare(parser, maxHeadBytes, maxBodyBytes);
    qsizetype offset = 0;
    // Feeds the parser until done() holds: true then; false when the bytes end first or the
    // parser refuses them (parsed then says which).
    const auto feed = [&](const auto& done) {
        boost::system::error_code error;
        while (!done()) {
            const std::size_t used = parser.put(
                boost::asio::buffer(bytes.constData() + offset, size_t(bytes.size() - offset)), error);
            offset += qsizetype(used);
            if (error == http::error::need_more || (!error && used == 0))
                return false;
            if (error) {
                parsed.refusal = refusalFor(error);
                parsed.complete = true;
                return false;
            }
        }
        return true;
    };
    parser.eager(false);
    if (!feed([&] { return parser.is_header_done(); }))
        return parsed;
    parsed.refusal = accept(parser, maxBodyBytes, parsed.request);
    parsed.complete = bool(parsed.refusal);
    if (parsed.refusal)
        return parsed;
    parser.eager(true);
    if (!feed([&] { return parser.is_done(); }))
        return parsed;
    const std::string& body = parser.get().body();
    parsed.request.body = QByteArray(body.data(), qsizetype(body.size()));
    parsed.complete = true;
    return parsed;
}

} // namespace HttpHead
