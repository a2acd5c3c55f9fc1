#include "HttpRequest.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

QString decode(const QByteArray& text)
{
    return QUrl::fromPercentEncoding(text);
}

} // namespace

bool HttpRequest::parseTarget()
{
    if (!target.startsWith('/'))
        return false;
    const qsizetype mark = target.indexOf('?');
    path = decode(mark < 0 ? target : target.left(mark));
    query.clear();
    if (mark < 0)
        return true;
    for (const QByteArray& item : target.mid(mark + 1).split('&')) {
        if (item.isEmpty())
            continue;
        const qsizetype equals = item.indexOf('=');
        if (equals < 0)
            query.insert(decode(item), QString(u""_s));
        else
            query.insert(decode(item.left(equals)), decode(item.mid(equals + 1)));
    }
    return true;
}
