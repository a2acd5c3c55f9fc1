#pragma once

#include "ChannelSource.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class AudioInputSource;
class FingerprintIndex;

// One live channel: a thread that reads its source in real time, fingerprints it
// (ChannelFeed) and appends to the index. A source that cannot start, ends or fails is
// started again after a back-off that doubles from 1 s to 60 s (and starts over after a
// minute of good audio); each event is logged. Nothing a source does reaches other channels.
// Every FingerprintIndex::LikenessEveryValues values the runner notes how closely its newest
// audio resembles the rest of its history; a channel whose audio repeats itself (a looped
// file, a frozen stream) is logged and reported, and not matched until it changes.
class ChannelRunner
{
public:
    using Log = std::function<void(const QString& line)>;

    ChannelRunner(const ChannelSource& spec, FingerprintIndex& index, Log log);
    ~ChannelRunner();
    ChannelRunner(const ChannelRunner&) = delete;
    ChannelRunner& operator=(const ChannelRunner&) = delete;

    void start();
    void stop();
    const ChannelSource& spec() const { return m_spec; }
    // When audio last arrived (ms since 1970; 0 never) and how many times the source was
    // (re)started.
    qint64 lastAudioMs() const { return m_lastAudioMs.load(); }
    int starts() const { return m_starts.load(); }
    bool repeats() const { return m_repeats.load(); }

private:
    void run();
    std::unique_ptr<AudioInputSource> open(QString* error) const;
    bool sleepFor(int ms); // false when stopped meanwhile
    void checkLikeness(int added, const QString& name);

    ChannelSource m_spec;
    FingerprintIndex& m_index;
    Log m_log;
    int m_slot;
    std::thread m_thread;
    std::atomic<bool> m_stopping{false};
    std::atomic<qint64> m_lastAudioMs{0};
    std::atomic<int> m_starts{0};
    std::atomic<bool> m_repeats{false};
    int64_t m_values = 0; // appended to the index so far
    std::mutex m_sourceLock;
    AudioInputSource* m_source = nullptr; // the running one, for stop()
    std::mutex m_sleepLock;
    std::condition_variable m_wake;
};
