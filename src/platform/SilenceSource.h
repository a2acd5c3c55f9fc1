#pragma once

#include "AudioInputSource.h"
#include "RealTimePacer.h"

// Zeros, in real time or at once.
class SilenceSource final : public AudioInputSource
{
public:
    explicit SilenceSource(bool paced) : m_paced(paced), m_pacer(44100) {}
    std::string name() const override { return "silence"; }
    void start() override { m_pacer.restart(); }
    size_t read(int16_t* samples, size_t count) override;

private:
    bool m_paced;
    RealTimePacer m_pacer;
};
