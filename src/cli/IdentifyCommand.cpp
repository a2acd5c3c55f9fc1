#include "IdentifyCommand.h"

#include "CliSession.h"

#include "fingerprint/AudioCallback.h"
#include "fingerprint/SearchCalls.h"
#include "platform/AudioInputSource.h"
#include "platform/Dispatch.h"
#include "platform/Json.h"
#include "platform/JsonValue.h"
#include "platform/NotificationCenter.h"
#include "platform/ServerConfig.h"
#include "service/ServiceCalls.h"

#include <QCoreApplication>
#include <QTimer>

#include <cmath>
#include <cstdio>

namespace {

// The value after a flag, removed from the list with its flag; null when absent.
QString takeValue(QStringList& arguments, const QString& flag, bool* missing)
{
    const qsizetype at = arguments.indexOf(flag);
    if (at < 0)
        return {};
    if (at + 1 >= arguments.size()) {
        *missing = true;
        return {};
    }
    const QString value = arguments.at(at + 1);
    arguments.remove(at, 2);
    return value;
}

bool positiveSeconds(const QString& text, double* seconds)
{
    bool ok = false;
    *seconds = text.toDouble(&ok);
    return ok && *seconds >= 0;
}

} // namespace

IdentifyCommand::IdentifyCommand(CliSession& session) : m_session(session) {}

int IdentifyCommand::run()
{
    QStringList arguments = m_session.options().arguments;
    bool missing = false;
    const QString input = takeValue(arguments, QStringLiteral("--audio-input"), &missing);
    const QString idHost = takeValue(arguments, QStringLiteral("--id-host"), &missing);
    const QString results = takeValue(arguments, QStringLiteral("--results"), &missing);
    const QString timeout = takeValue(arguments, QStringLiteral("--timeout"), &missing);
    const QString startDelay = takeValue(arguments, QStringLiteral("--start-delay"), &missing);
    const QString tick = takeValue(arguments, QStringLiteral("--tick"), &missing);
    double timeoutSeconds = 60;
    SearchCalls::Timing timing;
    double seconds = 0;
    bool ok = !missing && arguments.isEmpty();
    if (ok && !results.isNull()) {
        m_limit = results.toInt(&ok);
        ok = ok && m_limit > 0;
    }
    if (ok && !timeout.isNull())
        ok = positiveSeconds(timeout, &timeoutSeconds);
    if (ok && !startDelay.isNull() && (ok = positiveSeconds(startDelay, &seconds)))
        timing.startDelayMs = int(seconds * 1000);
    if (ok && !tick.isNull() && (ok = positiveSeconds(tick, &seconds) && seconds > 0))
        timing.tickMs = int(seconds * 1000);
    if (ok && !idHost.isNull())
        ok = ServerConfig::setIdentificationHost(idHost);
    if (!ok) {
        CliSession::fail(QStringLiteral(
            "usage: identify [--audio-input default|none|file:PATH|demo-room:ID] [--id-host HOST] "
            "[--results N] [--timeout SECONDS] [--start-delay SECONDS] [--tick SECONDS]"));
        return 2;
    }
    const std::string spec = input.isNull() ? std::string("default") : input.toStdString();
    if (!AudioInputSource::isSpec(spec)) {
        CliSession::fail(QStringLiteral("unknown audio input ") + input);
        return 2;
    }
    AudioCallback::setInputSpec(spec);
    SearchCalls::setTiming(timing);

    m_startMs = QDateTime::currentMSecsSinceEpoch();
    // Posted on the loop's thread: the printing happens in order on the main thread.
    NotificationCenter::defaultCenter().observeOnMain(
        this, Notifications::FpNotification, [this](const Notification& n) {
            arrived(JsonValue::integer(n.userInfo.value(NotificationKeys::ResultSearch)));
        });
    SearchCalls* loop = SearchCalls::sharedManager();
    if (loop->audioBack() && loop->audioBack()->sourceName().empty()) {
        CliSession::fail(QStringLiteral("cannot open the audio input ") + QString::fromStdString(spec));
        return 2;
    }
    QTimer::singleShot(int(timeoutSeconds * 1000), this,
                       [this] { QCoreApplication::exit(m_identified ? 0 : 1); });
    const int status = QCoreApplication::exec();
    NotificationCenter::defaultCenter().removeObserver(this);
    return status; // the loop is stopped with the process's services, in main()
}

void IdentifyCommand::arrived(int code)
{
    m_pending.append({double(QDateTime::currentMSecsSinceEpoch() - m_startMs) / 1000.0, code});
    processNext();
}

void IdentifyCommand::processNext()
{
    while (!m_waiting && !m_pending.isEmpty()) {
        const Result result = m_pending.takeFirst();
        if (result.code < 1) {
            print(result, {}, {});
            continue;
        }
        m_waiting = true;
        ServiceCalls::sharedManager().getChannelInfoDinamicWithChannelId(
            result.code, Reply(
                             this,
                             [this, result](const QVariant& answer) {
                                 const QVariantMap info = JsonValue::map(answer);
                                 m_waiting = false;
                                 print(result, JsonValue::text(info.value(QStringLiteral("ch"))),
                                       JsonValue::text(info.value(QStringLiteral("prg"))));
                                 processNext();
                             },
                             [this, result](const Error&) {
                                 m_waiting = false;
                                 print(result, {}, {});
                                 processNext();
                             }));
    }
}

void IdentifyCommand::print(const Result& result, const QString& channel, const QString& show)
{
    if (m_session.options().json) {
        QVariantMap line{{QStringLiteral("t"), std::round(result.seconds * 1000) / 1000},
                         {QStringLiteral("resultSearch"), result.code}};
        if (result.code >= 1) {
            line.insert(QStringLiteral("channel"), channel);
            line.insert(QStringLiteral("show"), show);
        }
        std::printf("%s\n", Json::encode(line).constData());
    } else {
        QString text = QStringLiteral("%1 s  %2").arg(result.seconds, 7, 'f', 1).arg(result.code);
        if (result.code >= 1)
            text += QStringLiteral("  ") + (channel.isEmpty() ? QStringLiteral("?") : channel) +
                    (show.isEmpty() ? QString() : QStringLiteral(" — ") + show);
        std::printf("%s\n", text.toUtf8().constData());
    }
    std::fflush(stdout);
    ++m_results;
    m_identified = m_identified || result.code >= 1;
    if (m_limit > 0 ? m_results >= m_limit : result.code >= 1)
        QCoreApplication::exit(m_identified ? 0 : 1);
}
