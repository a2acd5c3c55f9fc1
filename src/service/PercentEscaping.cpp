#include "PercentEscaping.h"

#include <cstring>

QByteArray PercentEscaping::addingPercentEscapes(const QString& text)
{
    static const char kept[] = "-_.!~*'();/?:@&=+$,";
    static const char hex[] = "0123456789ABCDEF";
    const QByteArray utf8 = text.toUtf8();
    QByteArray escaped;
    escaped.reserve(utf8.size() * 3 / 2);
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        const bool alphanumeric =
            (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9');
        if (alphanumeric || (byte != 0 && std::strchr(kept, byte))) {
            escaped += c;
        } else {
            escaped += '%';
            escaped += hex[byte >> 4];
            escaped += hex[byte & 0x0F];
        }
    }
    return escaped;
}
