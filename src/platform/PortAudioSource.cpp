#include "PortAudioSource.h"

#include <QLoggingCategory>

#include <fcntl.h>
#include <portaudio.h>
#include <unistd.h>

Q_DECLARE_LOGGING_CATEGORY(lcAudio)

PortAudioSource::~PortAudioSource()
{
    stop();
    if (m_stream)
        Pa_CloseStream(m_stream);
    if (m_initialised)
        Pa_Terminate();
}

namespace {

// Host audio libraries (ALSA, JACK) print their probing failures on stderr; a machine
// without sound hardware is normal here, so their chatter is silenced while probing.
class QuietStderr
{
public:
    QuietStderr() : m_saved(dup(STDERR_FILENO))
    {
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (null >= 0) {
            dup2(null, STDERR_FILENO);
            ::close(null);
        }
    }
    ~QuietStderr()
    {
        if (m_saved >= 0) {
            dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
        }
    }

private:
    int m_saved;
};

} // namespace

bool PortAudioSource::open(std::string* error)
{
    const QuietStderr quiet;
    PaError status = Pa_Initialize();
    if (status != paNoError) {
        *error = Pa_GetErrorText(status);
        return false;
    }
    m_initialised = true;
    const PaDeviceIndex device = Pa_GetDefaultInputDevice();
    if (device == paNoDevice) {
        *error = "no input device";
        return false;
    }
    const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
    PaStreamParameters input{};
    input.device = device;
    input.channelCount = 1;
    input.sampleFormat = paInt16;
    input.suggestedLatency = info ? info->defaultLowInputLatency : 0.05;
    status = Pa_OpenStream(&m_stream, &input, nullptr, 44100, 367, paClipOff, nullptr, nullptr);
    if (status != paNoError) {
        m_stream = nullptr;
        *error = Pa_GetErrorText(status);
        return false;
    }
    if (info && info->name)
        m_name = info->name;
    return true;
}

void PortAudioSource::start()
{
    if (m_stream && !m_running && Pa_StartStream(m_stream) == paNoError)
        m_running = true;
}

void PortAudioSource::stop()
{
    if (m_stream && m_running)
        Pa_StopStream(m_stream);
    m_running = false;
}

size_t PortAudioSource::read(int16_t* samples, size_t count)
{
    if (m_running && !m_failed) {
        const PaError status = Pa_ReadStream(m_stream, samples, (unsigned long)count);
        // An overflow still delivers the samples; anything else means the device is gone.
        if (status == paNoError || status == paInputOverflowed)
            return count;
        m_failed = true;
        m_fallback.start();
        qCWarning(lcAudio) << "the input device failed:" << Pa_GetErrorText(status)
                           << "- listening to silence";
    }
    // Without the device: silence, in real time.
    return m_fallback.read(samples, count);
}
