#pragma once

#include <chrono>
#include <cstdint>
#include <thread>

// Lets samples out no faster than their sample rate: wait(n) returns once the n samples
// after those already let out are due.
class RealTimePacer
{
public:
    explicit RealTimePacer(double sampleRate) : m_rate(sampleRate) {}

    void restart()
    {
        m_origin = std::chrono::steady_clock::now();
        m_samples = 0;
    }

    void wait(uint64_t samples)
    {
        m_samples += samples;
        const auto due = m_origin + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                        std::chrono::duration<double>(double(m_samples) / m_rate));
        std::this_thread::sleep_until(due);
    }

private:
    double m_rate;
    std::chrono::steady_clock::time_point m_origin = std::chrono::steady_clock::now();
    uint64_t m_samples = 0;
};
