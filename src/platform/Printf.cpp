#include "Printf.h"

#include <cstdio>

namespace {

bool isFlag(QChar c)
{
    return c == u'-' || c == u'+' || c == u' ' || c == u'#' || c == u'0';
}

QString render(const QByteArray& spec, const QVariant& argument, char conversion)
{
    char buffer[512];
    int written = 0;
    switch (conversion) {
    case 'd':
    case 'i':
        written =
            std::snprintf(buffer, sizeof buffer, QByteArray(spec + "lld").constData(), argument.toLongLong());
        break;
    case 'u':
    case 'x':
    case 'X':
    case 'o': {
        const QByteArray full = spec + "ll" + conversion;
        written = std::snprintf(buffer, sizeof buffer, full.constData(), argument.toULongLong());
        break;
    }
    case 'c':
        written =
            std::snprintf(buffer, sizeof buffer, QByteArray(spec + 'c').constData(), int(argument.toInt()));
        break;
    default: {
        const QByteArray full = spec + conversion;
        written = std::snprintf(buffer, sizeof buffer, full.constData(), argument.toDouble());
        break;
    }
    }
    if (written < 0)
        return {};
    return QString::fromLatin1(buffer, std::min<int>(written, int(sizeof buffer) - 1));
}

} // namespace

QString Printf::format(const QString& format, const QVariantList& arguments)
{
    QString out;
    out.reserve(format.size() + 16);
    qsizetype next = 0;
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = format[i];
        if (c != u'%') {
            out += c;
            continue;
        }
        const qsizetype start = i;
        qsizetype j = i + 1;
        if (j < n && format[j] == u'%') {
            out += u'%';
            i = j;
            continue;
        }
        while (j < n && isFlag(format[j]))
            ++j;
        while (j < n && format[j].isDigit())
            ++j;
        if (j < n && format[j] == u'.') {
            ++j;
            while (j < n && format[j].isDigit())
                ++j;
        }
        const qsizetype specEnd = j;
        while (j < n && (format[j] == u'l' || format[j] == u'h' || format[j] == u'q' || format[j] == u'z'))
            ++j;
        if (j >= n) {
            out += format.mid(start);
            break;
        }
        const QChar conversion = format[j];
        const QVariant argument = next < arguments.size() ? arguments[next] : QVariant();
        if (conversion == u'@') {
            out += argument.toString();
            ++next;
        } else if (QStringLiteral("diuxXocfFeEgG").contains(conversion)) {
            const QByteArray spec = format.mid(start, specEnd - start).toLatin1();
            out += render(spec, argument, char(conversion.unicode()));
            ++next;
        } else {
            out += format.mid(start, j - start + 1);
        }
        i = j;
    }
    return out;
}
