#pragma once

#include "AudioInputSource.h"
#include "DemoAudio.h"
#include "RealTimePacer.h"

#include <random>

// A demo channel's programme (DemoAudio, seeded with the channel id) as it airs: the sample
// read at a moment is the one due then on a clock that started at 1970, so every reader on
// the machine (the identification server's channel, the application's microphone) hears the
// same moment of it, and it never repeats. In room mode it is heard as a microphone across a
// room hears it: quieter, with pink noise 20 dB below it. Paced in real time.
class DemoProgrammeSource final : public AudioInputSource
{
public:
    DemoProgrammeSource(int channelId, bool room);
    std::string name() const override;
    void start() override;
    size_t read(int16_t* samples, size_t count) override;

private:
    int m_channelId;
    bool m_room;
    DemoAudio m_programme;
    RealTimePacer m_pacer;
    int64_t m_next = 0; // the programme's next sample
    std::mt19937 m_random;
    double m_pink[3] = {};
    double m_level = 0; // running mean square of the programme
};
