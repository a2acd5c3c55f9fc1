#pragma once

#include <QString>

// Cuts stored texts to a size in UTF-8 bytes, never inside a character.
namespace TextCap {

// Cuts text to at most maxBytes; the size it had in bytes when it was cut, else -1.
qsizetype cut(QString& text, qsizetype maxBytes);

} // namespace TextCap
