#pragma once

#include "AudioInputSource.h"
#include "RealTimePacer.h"
#include "WavReader.h"

// A WAV file played as an input: in real time or at once, once or in a loop.
class WavFileSource final : public AudioInputSource
{
public:
    WavFileSource(bool paced, bool loop) : m_paced(paced), m_loop(loop), m_pacer(44100) {}
    bool open(const std::string& path, std::string* error);
    std::string name() const override { return m_path; }
    void start() override { m_pacer.restart(); }
    size_t read(int16_t* samples, size_t count) override;

private:
    bool m_paced;
    bool m_loop;
    RealTimePacer m_pacer;
    WavReader m_reader;
    std::string m_path;
};
