#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

class CliSession;

// "identify": runs the identification loop and its protocol, as the application does, and
// prints every "fpNotification" result with the seconds since start; a channel id is
// printed with the channel's name and what is on air (dynamic channel info). Ends after N
// results (default: the first channel id) or after the time-out (status 1 when no channel
// was identified).
//   [--audio-input default|none|file:PATH|demo-room:ID] [--id-host HOST] [--results N] [--timeout SECONDS]
//   [--start-delay SECONDS] [--tick SECONDS]   (the loop's first wait and tick; 5 and 1)
class IdentifyCommand : public QObject
{
    Q_OBJECT

public:
    explicit IdentifyCommand(CliSession& session);
    int run();

private:
    struct Result
    {
        double seconds;
        int code;
    };

    void arrived(int code);
    void processNext();
    void print(const Result& result, const QString& channel, const QString& show);

    CliSession& m_session;
    QList<Result> m_pending;
    bool m_waiting = false;
    int m_results = 0;
    int m_limit = 0; // 0: until the first channel id
    bool m_identified = false;
    qint64 m_startMs = 0;
};
