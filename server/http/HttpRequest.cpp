#include "HttpRequest.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// Percent-decoded, then read as UTF-8; most items have nothing to decode.
QString decode(QByteArrayView text)
{
    if (!text.contains('%'))
        return QString::fromUtf8(text);
    return QUrl::fromPercentEncoding(text.toByteArray());
}

} // namespace

bool HttpRequest::parseTarget()
{
    if (!target.startsWith('/'))
        return false;
    const qsizetype mark = target.indexOf('?');
    const QByteArrayView whole(target);
    path = decode(mark < 0 ? whole : whole.first(mark));
    query.clear();
    if (mark < 0)
        return true;
    qsizetype from = mark + 1;
    while (from <= whole.size()) {
        qsizetype to = target.indexOf('&', from);
        if (to < 0)
            to = whole.size();
        const QByteArrayView item = whole.sliced(from, to - from);
        from = to + 1;
        if (item.isEmpty())
            continue;
        const qsizetype equals = item.indexOf('=');
        if (equals < 0)
            query.insert(decode(item), QString(u""_s));
        else
            query.insert(decode(item.first(equals)), decode(item.sliced(equals + 1)));
    }
    return true;
}
