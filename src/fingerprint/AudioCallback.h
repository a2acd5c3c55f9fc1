#pragma once

#include "AcFpInfo.h"

#include "platform/AudioQueue.h"

#include <atomic>
#include <memory>
#include <string>

// The capture record: the recording format, the input queue, its three buffers of 735
// bytes, whether used buffers go back to the queue, and the state the samples are
// decimated into (not owned).
struct AQCallbackStruct
{
    AudioStreamBasicDescription mDataFormat;
    std::unique_ptr<AudioQueue> queue;
    AudioQueueBuffer* mBuffers[3] = {};
    uint32_t frameSize = 0;
    std::atomic<int32_t> run{0};
    AcFpInfo* info = nullptr;
};

// Microphone capture into the fingerprint state: 44100 Hz mono signed 16-bit samples, in
// buffers of 735 bytes (367 samples), each filtered and decimated into the sample ring on
// the capture thread. The input comes from setInputSpec(): "default" (the microphone, or
// silence without one), "none", or "file:PATH" (a WAV played in a loop in real time).
class AudioCallback
{
public:
    static constexpr uint32_t BufferBytes = 735;

    // The process's capture object, created and started on the first call with info;
    // later calls return it and ignore their argument. Owned by Services, which stops it
    // before the state it feeds (the identification loop's) goes.
    static AudioCallback* sharedManager(AcFpInfo* info);
    // The input of the objects created afterwards (default: "default").
    static void setInputSpec(const std::string& spec);
    static std::string inputSpec();

    AudioCallback() = default;
    ~AudioCallback();
    AudioCallback(const AudioCallback&) = delete;
    AudioCallback& operator=(const AudioCallback&) = delete;

    // Sets the format, creates the queue, allocates and enqueues the buffers, and starts.
    // False when the input cannot be opened (a bad file); the state is then not fed.
    bool audio_init(AcFpInfo* info);
    // Toggles pause; returns true when now paused.
    bool audio_pause();
    // Stops capture for good.
    void audio_close();

    bool isPause() const { return m_isPause.load(); }
    AQCallbackStruct& aqc() { return m_aqc; }
    std::string sourceName() const;

    // The queue's callback: decimates a buffer with packets, then hands it back while running.
    static void inputCallback(void* userData, AudioQueue* queue, AudioQueueBuffer* buffer, uint32_t packets);

private:
    AQCallbackStruct m_aqc;
    std::atomic<bool> m_isPause{false};
};
