#include "ChannelSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString ChannelSource::describe() const
{
    switch (kind) {
    case Kind::File:
        return QStringLiteral("file:") + argument;
    case Kind::Pipe:
        return QStringLiteral("pipe:") + argument;
    case Kind::Demo:
        return QStringLiteral("demo:") + argument;
    case Kind::Silence:
        break;
    }
    return QStringLiteral("silence");
}

std::optional<ChannelSource> ChannelSource::parse(const QString& text, QString* error)
{
    const qsizetype equals = text.indexOf(u'=');
    bool ok = false;
    ChannelSource spec;
    spec.channelId = equals > 0 ? text.left(equals).trimmed().toInt(&ok) : 0;
    if (!ok || spec.channelId <= 0) {
        *error = QStringLiteral("\"%1\" is not ID=SOURCE with a channel id of 1 or more").arg(text);
        return std::nullopt;
    }
    const QString source = text.mid(equals + 1).trimmed();
    if (source == u"silence") {
        spec.kind = Kind::Silence;
    } else if (source.startsWith(u"file:") && source.size() > 5) {
        spec.kind = Kind::File;
        spec.argument = source.mid(5);
    } else if (source.startsWith(u"pipe:") && source.size() > 5) {
        spec.kind = Kind::Pipe;
        spec.argument = source.mid(5);
    } else if (source.startsWith(u"demo:") && source.mid(5).toInt(&ok) > 0 && ok && source.size() <= 11) {
        spec.kind = Kind::Demo;
        spec.argument = source.mid(5);
    } else {
        *error = QStringLiteral("\"%1\": the source must be file:PATH, pipe:COMMAND, demo:ID or silence")
                     .arg(source);
        return std::nullopt;
    }
    return spec;
}

std::optional<QList<ChannelSource>> ChannelSource::parseFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    const QDir folder = QFileInfo(path).absoluteDir();
    QList<ChannelSource> specs;
    int number = 0;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine(64 * 1024)).trimmed();
        ++number;
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        QString reason;
        std::optional<ChannelSource> spec = parse(line, &reason);
        if (!spec) {
            *error = QStringLiteral("%1, line %2: %3").arg(path).arg(number).arg(reason);
            return std::nullopt;
        }
        if (spec->kind == Kind::File)
            spec->argument = folder.absoluteFilePath(spec->argument);
        specs.append(*spec);
    }
    return specs;
}
