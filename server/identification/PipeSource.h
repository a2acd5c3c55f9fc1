#pragma once

#include "platform/AudioInputSource.h"

#include <atomic>
#include <string>
#include <sys/types.h>

// Samples from a shell command's standard output: signed 16-bit little-endian 44100 Hz
// mono PCM. start() runs the command (its standard error goes to the server's), stop()
// ends it and every process it started; read returns fewer samples than asked when the command ends or fails, or when
// stop() was called meanwhile.
class PipeSource : public AudioInputSource
{
public:
    explicit PipeSource(std::string command);
    ~PipeSource() override;

    std::string name() const override { return "pipe:" + m_command; }
    void start() override;
    void stop() override;
    size_t read(int16_t* samples, size_t count) override;
    bool isRunning() const { return m_fd >= 0; }

private:
    void reap();

    std::string m_command;
    int m_fd = -1;
    pid_t m_child = -1;
    std::atomic<bool> m_stopping{false};
};
