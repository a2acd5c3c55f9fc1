#pragma once

#include "AcFpInfo.h"

#include "platform/NotificationCenter.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class AudioCallback;
class QThread;

// The identification loop. Owns the fingerprint state, starts the capture, and on a thread
// of its own ticks once a second: by the interval ladder it extracts a block of the last
// 6.1 s of sound and sends it (popRequest). Turns every "notificationCoreFingerPrint" into
// the ladder's next step and one "fpNotification", and posts "saveToHistory" when the same
// channel is confirmed for the third time in a row.
//
// Threads. The loop thread owns the loop's state (the ladder, the last result, the
// extraction and the requests it sends) and is the only thread that touches it, so no lock
// guards it and none is ever held while an exchange blocks or a notification is posted.
// Other threads hand the loop work through its queue: a "notificationCoreFingerPrint"
// posted on another thread (the Now screen's -5 from the main thread) is handled on the
// loop thread, after what it is doing now, in posting order; a poster never waits for the
// loop. The switch autoUpdateEnabled is an atomic read at each tick. The counters are
// atomics so that other threads may read them. Before fp_init() starts the thread, and
// after stop(), the loop has no thread: results are then handled on the calling thread.
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
    };

    // Automatic identification, on (1) at process start; not stored.
    static std::atomic<int> autoUpdateEnabled;

    // The process's loop (owned by Services, which stops it at exit), created and started
    // on the first call.
    static SearchCalls* sharedManager();
    // Timing of the loops created afterwards.
    static void setTiming(const Timing& timing);

    // A loop of its own (tests, tools): it has its own capture; only the shared loop uses
    // the shared capture object.
    SearchCalls();
    ~SearchCalls() override;

    // Resets the state, starts the capture, copies the device id, observes the results and
    // starts the loop thread.
    void fp_init();
    // Stops observing, aborts an exchange under way and ends the loop thread. Not from the
    // loop thread itself.
    void stop();

    void searchAsyncLoop();
    void sendORVRequest();
    // The observer of "notificationCoreFingerPrint", on the posting thread: hands the
    // result to the loop thread (handles it at once when called there, or with no thread).
    void notificationCentreSearchCalls(const Notification& notification);

    AudioCallback* audioBack() const { return m_audioBack; }
    void setAudioBack(AudioCallback* capture) { m_audioBack = capture; }
    AcFpInfo& info() { return *m_info; }
    int searchStep() const { return m_searchStep.load(); }
    int searchCount() const { return m_searchCount.load(); }
    int oldMessage() const { return m_oldMessage.load(); }
    const QString& deviceId() const { return m_uIDdevice; }
    QThread* loopThread() const { return m_thread; }

private:
    explicit SearchCalls(bool shared);
    void setupTimerThread();
    bool isLoopThread() const;
    // The ladder's answer to one result; on the loop thread.
    void handleResult(const Notification& notification);

    bool m_shared = false;
    std::atomic<bool> m_started{false};
    std::unique_ptr<AudioCallback> m_ownCapture;
    Timing m_timing;
    QString m_uIDdevice;
    std::atomic<int> m_searchStep{0};
    std::atomic<int> m_searchCount{0};
    std::atomic<int> m_oldMessage{-1};
    std::unique_ptr<AcFpInfo> m_info;
    AudioCallback* m_audioBack = nullptr;
    QThread* m_thread = nullptr;
    QObject* m_loopContext = nullptr; // lives on the loop thread; its children are the requests
};
