#pragma once

#include "platform/NotificationNames.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <atomic>

class QThread;
class QTimer;

// One identification request: uploads a fingerprint block to "getstationidresident.php";
// when that answer is no channel, asks "checkresident.php" once per poll interval, at most
// five times. Reports through "notificationCoreFingerPrint" and "fpNotification", with the
// request as the object, posted on the thread that runs it. Every exchange blocks the
// calling thread (POST, 10-second time-out). The request owns itself from
// requestServerFP() until it has ended, then deletes itself on its thread's event loop.
// A request lives on one thread and is touched only there: it takes no lock, and posts its
// notifications with none held.
class popRequest : public QObject
{
    Q_OBJECT

public:
    static constexpr int FailedExchange = -4;
    static constexpr int RequestUnderWay = -2;
    static constexpr int MaxPolls = 5;

    // Requests in progress in the process.
    static int countRequest();
    // The poll interval (default 1000 ms); tests shorten it.
    static void setPollIntervalMs(int milliseconds);
    // The exchange's time-out in seconds (default 10).
    static void setTimeoutSeconds(int seconds);
    // Cuts short the exchange under way on thread (it fails, -4) and makes later exchanges
    // there fail at once, until allowExchangesOn(thread). For stopping a loop's thread.
    static void abortExchangesOn(QThread* thread);
    static void allowExchangesOn(QThread* thread);

    // Adds one to the requests in progress.
    popRequest(const QByteArray& data, const QString& deviceId);
    ~popRequest() override;

    void requestServerFP();
    void requestCheckFP();
    int getStationIdResident();
    int checkResident();
    // One exchange: the fields as multipart form parts, and the block as the file part
    // "request" when withFile is set. The integer value of the answer's "Result", 0 when
    // there is none, -4 when the exchange fails.
    int postRequestSearchFunctions(const QString& page, const QList<std::pair<QString, QString>>& fields,
                                   bool withFile);
    void postCoreFingerPrintNotication(NotificationName name, QLatin1String key, qint64 value);
    void popRequest_close();

    int countCheck() const { return m_countCheck; }

    // The body of an exchange, byte for byte; the boundary is new for each call.
    static QByteArray multipartBody(const QString& boundary, const QList<std::pair<QString, QString>>& fields,
                                    const QByteArray* file);
    // The result of an answer body: "Result" as a number (truncated, clamped to 32 bits) or a
    // decimal text (its leading integer); 0 for a body that is not a JSON object or has no
    // usable "Result".
    static int resultOfAnswer(const QByteArray& body);

private:
    void finish();

    QByteArray m_data;
    QString m_uIDdevice;
    int m_countCheck = 0;
    QTimer* m_timer = nullptr;
    bool m_finished = false;

    static std::atomic<int> s_count;
    static std::atomic<int> s_pollMs;
    static std::atomic<int> s_timeoutSeconds;
};
