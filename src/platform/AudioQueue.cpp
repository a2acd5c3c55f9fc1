#include "AudioQueue.h"

#include <algorithm>

std::unique_ptr<AudioQueue> AudioQueue::newInput(const AudioStreamBasicDescription& format,
                                                 InputCallback callback, void* userData,
                                                 std::unique_ptr<AudioInputSource> source)
{
    if (!source || format.mBytesPerFrame != 2 || format.mChannelsPerFrame != 1)
        return nullptr;
    std::unique_ptr<AudioQueue> queue(new AudioQueue);
    queue->m_format = format;
    queue->m_callback = std::move(callback);
    queue->m_userData = userData;
    queue->m_source = std::move(source);
    return queue;
}

AudioQueue::~AudioQueue()
{
    dispose(true);
}

AudioQueueBuffer* AudioQueue::allocateBuffer(uint32_t byteSize)
{
    std::lock_guard guard(m_lock);
    if (m_disposed)
        return nullptr;
    auto buffer = std::make_unique<AudioQueueBuffer>();
    buffer->storage.resize(byteSize);
    buffer->mAudioDataBytesCapacity = byteSize;
    buffer->mAudioData = buffer->storage.data();
    m_buffers.push_back(std::move(buffer));
    return m_buffers.back().get();
}

int AudioQueue::enqueueBuffer(AudioQueueBuffer* buffer)
{
    {
        std::lock_guard guard(m_lock);
        if (m_disposed)
            return Disposed;
        const bool ours = std::any_of(m_buffers.begin(), m_buffers.end(),
                                      [buffer](const auto& owned) { return owned.get() == buffer; });
        if (!ours)
            return InvalidBuffer;
        // A buffer is queued once however often it is handed back.
        if (std::find(m_enqueued.begin(), m_enqueued.end(), buffer) == m_enqueued.end())
            m_enqueued.push_back(buffer);
    }
    m_wake.notify_all();
    return NoError;
}

int AudioQueue::start()
{
    {
        std::lock_guard guard(m_lock);
        if (m_disposed)
            return Disposed;
        if (m_state == State::Stopped && m_thread.joinable())
            return NoError; // a stopping thread is still being joined elsewhere
        m_state = State::Running;
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
    }
    m_wake.notify_all();
    return NoError;
}

int AudioQueue::pause()
{
    std::lock_guard guard(m_lock);
    if (m_state == State::Running)
        m_state = State::Paused;
    return NoError;
}

int AudioQueue::stop(bool)
{
    {
        std::lock_guard guard(m_lock);
        m_state = State::Stopped;
    }
    m_wake.notify_all();
    if (m_thread.joinable() && std::this_thread::get_id() != m_thread.get_id())
        m_thread.join();
    return NoError;
}

void AudioQueue::dispose(bool immediate)
{
    stop(immediate);
    std::lock_guard guard(m_lock);
    if (m_thread.joinable() && std::this_thread::get_id() != m_thread.get_id())
        m_thread.join();
    m_disposed = true;
    m_enqueued.clear();
}

size_t AudioQueue::enqueuedCount() const
{
    std::lock_guard guard(m_lock);
    return m_enqueued.size();
}

bool AudioQueue::isRunning() const
{
    std::lock_guard guard(m_lock);
    return m_state == State::Running;
}

void AudioQueue::run()
{
    // All calls into the source happen here, on the queue's own thread.
    bool sourceRunning = false;
    for (;;) {
        AudioQueueBuffer* buffer = nullptr;
        {
            std::unique_lock guard(m_lock);
            if (m_state == State::Paused && sourceRunning) {
                guard.unlock();
                m_source->stop();
                sourceRunning = false;
                guard.lock();
            }
            m_wake.wait(guard, [this] {
                return m_state == State::Stopped || (m_state == State::Running && !m_enqueued.empty());
            });
            if (m_state == State::Stopped)
                break;
            buffer = m_enqueued.front();
            m_enqueued.pop_front();
        }
        if (!sourceRunning) {
            m_source->start();
            sourceRunning = true;
        }
        const size_t capacity = buffer->mAudioDataBytesCapacity / m_format.mBytesPerFrame;
        const size_t got = m_source->read(static_cast<int16_t*>(buffer->mAudioData), capacity);
        if (got == 0) {
            m_ended = true;
            std::lock_guard guard(m_lock);
            m_enqueued.push_front(buffer);
            break;
        }
        buffer->mAudioDataByteSize = uint32_t(got * m_format.mBytesPerFrame);
        m_delivered.fetch_add(1);
        m_callback(m_userData, this, buffer, uint32_t(got));
    }
    if (sourceRunning)
        m_source->stop();
}
