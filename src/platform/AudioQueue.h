#pragma once

#include "AudioInputSource.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A recording stream's format.
struct AudioStreamBasicDescription
{
    double mSampleRate = 0;
    uint32_t mFormatID = 0;
    uint32_t mFormatFlags = 0;
    uint32_t mBytesPerPacket = 0;
    uint32_t mFramesPerPacket = 0;
    uint32_t mBytesPerFrame = 0;
    uint32_t mChannelsPerFrame = 0;
    uint32_t mBitsPerChannel = 0;
};

constexpr uint32_t kAudioFormatLinearPCM = 0x6C70636D; // 'lpcm'
constexpr uint32_t kLinearPCMFormatFlagIsSignedInteger = 4;
constexpr uint32_t kLinearPCMFormatFlagIsPacked = 8;

// One recording buffer: its capacity, its bytes and how many of them hold audio.
struct AudioQueueBuffer
{
    uint32_t mAudioDataBytesCapacity = 0;
    void* mAudioData = nullptr;
    uint32_t mAudioDataByteSize = 0;
    std::vector<uint8_t> storage;
};

// An input audio queue: buffers enqueued by the owner are filled from a source, one at a
// time and in order, on the queue's own thread, and handed to the callback, which usually
// enqueues them again. Without an enqueued buffer nothing is recorded; enqueueing a buffer
// that is already queued changes nothing. Signed 16-bit mono linear PCM only.
class AudioQueue
{
public:
    using InputCallback =
        std::function<void(void* userData, AudioQueue* queue, AudioQueueBuffer* buffer, uint32_t packets)>;
    enum Status
    {
        NoError = 0,
        InvalidBuffer = -50,
        Disposed = -66
    };

    static std::unique_ptr<AudioQueue> newInput(const AudioStreamBasicDescription& format,
                                                InputCallback callback, void* userData,
                                                std::unique_ptr<AudioInputSource> source);
    ~AudioQueue();
    AudioQueue(const AudioQueue&) = delete;
    AudioQueue& operator=(const AudioQueue&) = delete;

    AudioQueueBuffer* allocateBuffer(uint32_t byteSize);
    int enqueueBuffer(AudioQueueBuffer* buffer);
    int start();
    int pause();
    // Stops recording; waits for the queue's thread unless called from it.
    int stop(bool immediate);
    // Stops and frees the buffers; the queue does nothing afterwards.
    void dispose(bool immediate);

    const AudioStreamBasicDescription& format() const { return m_format; }
    std::string sourceName() const { return m_source ? m_source->name() : std::string(); }
    bool isRunning() const;
    // True once a finite source has given all its samples.
    bool sourceEnded() const { return m_ended.load(); }
    uint64_t buffersDelivered() const { return m_delivered.load(); }
    size_t enqueuedCount() const;

private:
    enum class State
    {
        Idle,
        Running,
        Paused,
        Stopped
    };

    AudioQueue() = default;
    void run();

    AudioStreamBasicDescription m_format;
    InputCallback m_callback;
    void* m_userData = nullptr;
    std::unique_ptr<AudioInputSource> m_source;
    std::vector<std::unique_ptr<AudioQueueBuffer>> m_buffers;
    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<AudioQueueBuffer*> m_enqueued;
    State m_state = State::Idle;
    bool m_disposed = false;
    std::thread m_thread;
    std::atomic<bool> m_ended{false};
    std::atomic<uint64_t> m_delivered{0};
};
