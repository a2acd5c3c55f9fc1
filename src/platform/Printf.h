#pragma once

#include <QString>
#include <QVariantList>

// printf-style formatting of texts whose format comes from data (the string table):
// "%@" takes a text, "%d"/"%i"/"%u"/"%x"/"%X" an integer, "%f"/"%e"/"%g" a number, with
// the usual flags, width and precision ("%02d", "%0.f"); "%%" is one percent sign.
// Numbers are rendered by the C library, so rounding is printf's own ("%0.f" of 28.5 is
// "28"). Arguments are taken in order; a missing argument renders as empty or zero,
// an unknown conversion is copied as it stands.
class Printf
{
public:
    static QString format(const QString& format, const QVariantList& arguments);
};
