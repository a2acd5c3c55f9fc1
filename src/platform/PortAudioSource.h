#pragma once

#include "AudioInputSource.h"
#include "SilenceSource.h"

// The default input device through PortAudio, read in blocking mode.
class PortAudioSource final : public AudioInputSource
{
public:
    PortAudioSource() = default;
    ~PortAudioSource() override;
    // False with a reason when there is no usable input device.
    bool open(std::string* error);
    std::string name() const override { return m_name; }
    void start() override;
    void stop() override;
    size_t read(int16_t* samples, size_t count) override;

private:
    void* m_stream = nullptr;
    bool m_initialised = false;
    bool m_running = false;
    bool m_failed = false;
    std::string m_name = "default input device";
    SilenceSource m_fallback{true};
};
