#pragma once

#include <QList>
#include <QString>

#include <optional>

// Where a live channel's audio comes from: "ID=file:PATH" (a WAV played in a loop in real
// time: once it has looped, the channel repeats itself and is not matched), "ID=pipe:COMMAND"
// (signed 16-bit little-endian 44100 Hz mono PCM on the standard output of a shell command),
// "ID=demo:N" (demo programme N as it airs now, DemoProgrammeSource) or "ID=silence".
struct ChannelSource
{
    enum class Kind
    {
        File,
        Pipe,
        Demo,
        Silence
    };

    int channelId = 0;
    Kind kind = Kind::Silence;
    QString argument; // the path, the command or the demo programme

    QString describe() const;

    // One "ID=SOURCE"; nullopt with *error when it is not one.
    static std::optional<ChannelSource> parse(const QString& text, QString* error);
    // A configuration file: one "ID=SOURCE" per line; empty lines and lines starting with
    // "#" are skipped. A relative file: path is taken from the file's folder. Errors name
    // the line.
    static std::optional<QList<ChannelSource>> parseFile(const QString& path, QString* error);
};
