#include "WavFileSource.h"

bool WavFileSource::open(const std::string& path, std::string* error)
{
    m_path = path;
    if (!m_reader.open(path, error))
        return false;
    if (m_reader.frames() == 0) {
        *error = path + ": the file holds no samples";
        return false;
    }
    return true;
}

size_t WavFileSource::read(int16_t* samples, size_t count)
{
    size_t got = m_reader.read(samples, count);
    while (got < count && m_loop && m_reader.rewind())
        got += m_reader.read(samples + got, count - got);
    if (m_paced && got > 0)
        m_pacer.wait(got);
    return got;
}
