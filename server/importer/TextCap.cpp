#include "TextCap.h"

namespace TextCap {

qsizetype cut(QString& text, qsizetype maxBytes)
{
    // A UTF-16 unit is at most 3 bytes in UTF-8 (a surrogate pair is 4 for 2 units).
    if (text.size() * 3 <= maxBytes)
        return -1;
    const qsizetype bytes = text.toUtf8().size();
    if (bytes <= maxBytes)
        return -1;
    qsizetype kept = 0;
    qsizetype units = 0;
    while (units < text.size()) {
        const bool pair = text.at(units).isHighSurrogate() && units + 1 < text.size() &&
                          text.at(units + 1).isLowSurrogate();
        const char32_t code =
            pair ? QChar::surrogateToUcs4(text.at(units), text.at(units + 1)) : text.at(units).unicode();
        const qsizetype size = code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
        if (kept + size > maxBytes)
            break;
        kept += size;
        units += pair ? 2 : 1;
    }
    text.truncate(units);
    return bytes;
}

} // namespace TextCap
