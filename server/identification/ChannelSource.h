#pragma once

#include <QList>
#include <QString>

#include <optional>

// Where a live channel's audio comes from: "ID=file:PATH" (a WAV played in a loop in real
// time, a simulated broadcast), "ID=pipe:COMMAND" (signed 16-bit little-endian 44100 Hz
// mono PCM on the standard output of a shell command) or "ID=silence".
struct ChannelSource
{
    enum class Kind { File, Pipe, Silence };

    int channelId = 0;
    Kind kind = Kind::Silence;
    QString argument; // the path or the command

    QString describe() const;

    // One "ID=SOURCE"; nullopt with *error when it is not one.
    static std::optional<ChannelSource> parse(const QString& text, QString* error);
    // A configuration file: one "ID=SOURCE" per line; empty lines and lines starting with
    // "#" are skipped. A relative file: path is taken from the file's folder. Errors name
    // the line.
    static std::optional<QList<ChannelSource>> parseFile(const QString& path, QString* error);
};
