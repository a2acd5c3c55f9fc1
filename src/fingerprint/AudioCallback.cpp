#include "AudioCallback.h"

#include "platform/Services.h"

#include <QLoggingCategory>

#include <mutex>

Q_LOGGING_CATEGORY(lcCapture, "orvane.capture")

namespace {

std::mutex& specLock()
{
    static std::mutex lock;
    return lock;
}

std::string& spec()
{
    static std::string value = "default";
    return value;
}

} // namespace

AudioCallback* AudioCallback::sharedManager(AcFpInfo* info)
{
    return &Services::current().obtain<AudioCallback>([info] {
        auto created = std::make_unique<AudioCallback>();
        created->audio_init(info);
        return created;
    });
}

void AudioCallback::setInputSpec(const std::string& value)
{
    std::lock_guard guard(specLock());
    spec() = value;
}

std::string AudioCallback::inputSpec()
{
    std::lock_guard guard(specLock());
    return spec();
}

AudioCallback::~AudioCallback()
{
    audio_close();
}

bool AudioCallback::audio_init(AcFpInfo* info)
{
    AudioStreamBasicDescription& format = m_aqc.mDataFormat;
    format.mSampleRate = 44100.0;
    format.mFormatID = kAudioFormatLinearPCM;
    format.mFormatFlags = kLinearPCMFormatFlagIsSignedInteger | kLinearPCMFormatFlagIsPacked;
    format.mBytesPerPacket = 2;
    format.mFramesPerPacket = 1;
    format.mBytesPerFrame = 2;
    format.mChannelsPerFrame = 1;
    format.mBitsPerChannel = 16;
    m_aqc.frameSize = BufferBytes;
    m_aqc.info = info;

    std::string error;
    std::unique_ptr<AudioInputSource> source = AudioInputSource::create(inputSpec(), true, true, &error);
    if (!source) {
        qCWarning(lcCapture).noquote() << "audio input:" << QString::fromStdString(error);
        return false;
    }
    m_aqc.queue = AudioQueue::newInput(format, &AudioCallback::inputCallback, &m_aqc, std::move(source));
    if (!m_aqc.queue)
        return false;
    for (AudioQueueBuffer*& buffer : m_aqc.mBuffers) {
        buffer = m_aqc.queue->allocateBuffer(m_aqc.frameSize);
        m_aqc.queue->enqueueBuffer(buffer);
    }
    m_aqc.run = 1;
    m_aqc.queue->start();
    qCInfo(lcCapture).noquote() << "listening to" << QString::fromStdString(m_aqc.queue->sourceName());
    return true;
}

void AudioCallback::inputCallback(void* userData, AudioQueue* queue, AudioQueueBuffer* buffer,
                                  uint32_t packets)
{
    auto* aqc = static_cast<AQCallbackStruct*>(userData);
    if (packets > 0) {
        // The samples are filtered where they lie; the odd last byte of a buffer is not a sample.
        fp_decimate_samples(aqc->info, static_cast<const int16_t*>(buffer->mAudioData),
                            int32_t(buffer->mAudioDataByteSize / 2));
    }
    if (aqc->run.load())
        queue->enqueueBuffer(buffer);
}

bool AudioCallback::audio_pause()
{
    if (!m_isPause.load()) {
        m_isPause = true;
        if (m_aqc.queue)
            m_aqc.queue->pause();
        m_aqc.run = 0;
    } else {
        m_isPause = false;
        m_aqc.run = 1;
        if (m_aqc.queue) {
            // Buffers that came back while paused were kept: hand them to the queue again.
            for (AudioQueueBuffer* buffer : m_aqc.mBuffers)
                m_aqc.queue->enqueueBuffer(buffer);
            m_aqc.queue->start();
        }
    }
    return m_isPause.load();
}

void AudioCallback::audio_close()
{
    if (!m_aqc.queue)
        return;
    m_aqc.queue->stop(true);
    m_aqc.run = 0;
    m_aqc.queue->dispose(true);
}

std::string AudioCallback::sourceName() const
{
    return m_aqc.queue ? m_aqc.queue->sourceName() : std::string();
}
