#pragma once

#include <QString>
#include <QStringList>

// The string table "orv_localizable": texts that screens show are looked up by key.
// A key without a value in the installed table is its own text.
class StringTable
{
public:
    static constexpr const char* Name = "orv_localizable";

    static QString localized(const char* key);
    static QString localized(const QString& key);

    // Installs the table of the first preferred language that has one; when none has,
    // the first table shipped (a bundle falls back to the localization it has). A
    // preferred language of "en" (the keys' own language) installs no table; "C" and
    // "POSIX" express no preference; on a system whose locale is C, the fallback table's
    // locale becomes the default locale for formatting as well.
    // Returns the language installed, or an empty text.
    static QString install(const QStringList& preferredLanguages);
    static void uninstall();
    // Languages with a table in the application's resources.
    static QStringList availableLanguages();
};

inline QString ORVLocalizedString(const char* key)
{
    return StringTable::localized(key);
}
