#pragma once

#include <QByteArray>
#include <QString>

// Percent-escaping of a whole URL text for UTF-8: every byte that is not a legal URL
// character is written as "%XX" (upper-case hexadecimal); the legal characters (letters,
// digits, the unreserved marks - _ . ! ~ * ' ( ) and the reserved ; / ? : @ & = + $ ,)
// are kept, so an already formed URL keeps its structure. A percent sign and "#" are escaped.
class PercentEscaping
{
public:
    static QByteArray addingPercentEscapes(const QString& text);
};
