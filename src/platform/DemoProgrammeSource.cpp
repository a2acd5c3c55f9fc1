#include "DemoProgrammeSource.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {
constexpr double RoomGain = 0.6;
constexpr double NoiseBelow = 0.1; // amplitude ratio: 20 dB
} // namespace

DemoProgrammeSource::DemoProgrammeSource(int channelId, bool room)
    : m_channelId(channelId), m_room(room), m_programme(uint32_t(channelId), DemoAudio::kindOf(channelId)),
      m_pacer(DemoAudio::SampleRate), m_random(uint32_t(channelId) * 7919u + 17u)
{
    start();
}

std::string DemoProgrammeSource::name() const
{
    return std::string(m_room ? "demo-room:" : "demo:") + std::to_string(m_channelId);
}

void DemoProgrammeSource::start()
{
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    m_next = std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count() *
             DemoAudio::SampleRate / 1000;
    m_pacer.restart();
}

size_t DemoProgrammeSource::read(int16_t* samples, size_t count)
{
    m_pacer.wait(count);
    size_t done = 0;
    while (done < count) {
        const int chunk = int(std::min<size_t>(count - done, 4096));
        m_programme.render(m_next, chunk, samples + done);
        m_next += chunk;
        if (m_room) {
            std::normal_distribution<double> white(0, 1);
            for (int i = 0; i < chunk; ++i) {
                const double clean = samples[done + size_t(i)] * RoomGain;
                m_level = 0.9999 * m_level + 0.0001 * clean * clean;
                // Pink noise: white noise through three leaky integrators (a 1/f slope).
                const double w = white(m_random);
                m_pink[0] = 0.99765 * m_pink[0] + w * 0.0990460;
                m_pink[1] = 0.96300 * m_pink[1] + w * 0.2965164;
                m_pink[2] = 0.57000 * m_pink[2] + w * 1.0526913;
                const double pink = (m_pink[0] + m_pink[1] + m_pink[2] + w * 0.1848) / 3.0;
                const double noisy = clean + pink * std::sqrt(m_level) * NoiseBelow;
                samples[done + size_t(i)] = int16_t(std::clamp(std::lround(noisy), -32768L, 32767L));
            }
        }
        done += size_t(chunk);
    }
    return count;
}
