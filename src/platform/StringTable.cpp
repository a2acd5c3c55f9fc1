#include "StringTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QTranslator>

namespace {

QTranslator*& installed()
{
    static QTranslator* translator = nullptr;
    return translator;
}

const QString ResourceFolder = QStringLiteral(":/i18n");

} // namespace

QString StringTable::localized(const char* key)
{
    return QCoreApplication::translate(Name, key);
}

QString StringTable::localized(const QString& key)
{
    const QByteArray utf8 = key.toUtf8();
    return QCoreApplication::translate(Name, utf8.constData());
}

QStringList StringTable::availableLanguages()
{
    QStringList languages;
    for (const QString& file : QDir(ResourceFolder).entryList({QStringLiteral("orvane_*.qm")}, QDir::Files))
        languages << file.mid(7, file.size() - 10);
    return languages;
}

QString StringTable::install(const QStringList& preferredLanguages)
{
    uninstall();
    const QStringList available = availableLanguages();
    QString chosen;
    for (const QString& preferred : preferredLanguages) {
        const QString language = preferred.section(u'-', 0, 0).section(u'_', 0, 0).toLower();
        if (language == u"c" || language == u"posix")
            continue; // no preference expressed
        if (language == u"en")
            return {};
        if (available.contains(language)) {
            chosen = language;
            break;
        }
    }
    if (chosen.isEmpty() && !available.isEmpty()) {
        chosen = available.first();
        // A system without a locale of its own (C, POSIX) formats dates and numbers in the
        // table's language too, so that a screen does not mix two languages.
        if (QLocale().language() == QLocale::C)
            QLocale::setDefault(QLocale(chosen));
    }
    if (chosen.isEmpty())
        return {};

    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(ResourceFolder + QStringLiteral("/orvane_") + chosen + QStringLiteral(".qm"))) {
        delete translator;
        return {};
    }
    QCoreApplication::installTranslator(translator);
    installed() = translator;
    return chosen;
}

void StringTable::uninstall()
{
    if (QTranslator* translator = installed()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
        installed() = nullptr;
    }
}
