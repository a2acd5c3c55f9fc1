#pragma once

#include "CliOptions.h"
#include "ReplyWaiter.h"

#include "model/ChannelGroup.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <optional>

// What the commands share: sending a request and waiting for it, reporting failures,
// printing JSON, the server-time offset, and channel names by id.
class CliSession
{
public:
    explicit CliSession(const CliOptions& options);

    const CliOptions& options() const { return m_options; }

    // Sends and waits; on failure prints the error's description on stderr and gives none.
    std::optional<QVariant> request(const std::function<void(const Reply&)>& send);
    // A command's answer: sends; on failure gives 1; with --json prints the answer and gives 0;
    // otherwise gives what the text printer gives for it.
    int answer(const std::function<void(const Reply&)>& send,
               const std::function<int(const QVariant&)>& printText);
    // Prints a decoded answer as indented JSON.
    static void printJson(const QVariant& value);
    // A command's result: json as one document with --json, otherwise the text.
    void report(const QVariant& json, const QString& text) const;
    static void print(const QString& text);
    static void fail(const QString& message);

    // Device clock minus server clock, asked once; 0 when the server does not say.
    double serverOffset();
    // Server times as moments on the device clock.
    QDateTime deviceTime(const QVariant& serverSeconds);
    // The channel groups of the city, from the cache or the server; empty when neither has them.
    const ChannelGroups& channelGroups();
    QString channelName(const QString& channelId);

private:
    CliOptions m_options;
    std::optional<double> m_offset;
    std::optional<ChannelGroups> m_groups;
};
