#pragma once

#include "AcFpInfo.h"

#include "platform/NotificationCenter.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <mutex>

class AudioCallback;
class QThread;

// The identification loop. Owns the fingerprint state, starts the capture, and on a thread
// of its own ticks once a second: by the interval ladder it extracts a block of the last
// 6.1 s of sound and sends it (popRequest). Turns every "notificationCoreFingerPrint" into
// the ladder's next step and one "fpNotification", and posts "saveToHistory" when the same
// channel is confirmed for the third time in a row.
class SearchCalls : public QObject
{
    Q_OBJECT

public:
    // Ticks to wait at each step of the ladder.
    static constexpr int searchStepTicks[13] = {0, 5, 6, 8, 10, 13, 16, 20, 25, 30, 35, 40, 45};
    static constexpr int MaxStep = 12;
    static constexpr int IdentifyNow = -5;

    struct Timing
    {
        int startDelayMs = 5000; // before the first tick
        int tickMs = 1000;
        int offSleepMs = 1000; // the tick's sleep while automatic identification is off
    };

    // Automatic identification, on (1) at process start; not stored.
    static std::atomic<int> autoUpdateEnabled;

    // The process's loop, created and started on the first call.
    static SearchCalls* sharedManager();
    // Ends the shared loop's thread, if there is one, before the process goes down (its
    // requests must not outlive the application object they report to).
    static void stopShared();
    // Timing of the loops created afterwards.
    static void setTiming(const Timing& timing);

    // A loop of its own (tests, tools): it has its own capture; only the shared loop uses
    // the shared capture object, which stays bound to it for the life of the process.
    SearchCalls();
    ~SearchCalls() override;

    // Resets the state, starts the capture, copies the device id, observes the results and
    // starts the loop thread.
    void fp_init();
    // Ends the loop thread (the shared loop runs for the life of the process).
    void stop();

    void searchAsyncLoop();
    void sendORVRequest();
    void notificationCentreSearchCalls(const Notification& notification);

    AudioCallback* audioBack() const { return m_audioBack; }
    void setAudioBack(AudioCallback* capture) { m_audioBack = capture; }
    AcFpInfo& info() { return *m_info; }
    int searchStep() const;
    int searchCount() const;
    int oldMessage() const;
    const QString& deviceId() const { return m_uIDdevice; }
    QThread* loopThread() const { return m_thread; }

private:
    explicit SearchCalls(bool shared);
    void setupTimerThread();

    bool m_shared = false;
    std::unique_ptr<AudioCallback> m_ownCapture;
    Timing m_timing;
    QString m_uIDdevice;
    int m_searchStep = 0;
    int m_searchCount = 0;
    int m_oldMessage = -1;
    std::unique_ptr<AcFpInfo> m_info;
    AudioCallback* m_audioBack = nullptr;
    mutable std::recursive_mutex m_lock;
    QThread* m_thread = nullptr;
    QObject* m_loopContext = nullptr; // lives on the loop thread
};
