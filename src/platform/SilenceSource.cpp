#include "SilenceSource.h"

#include <algorithm>

size_t SilenceSource::read(int16_t* samples, size_t count)
{
    if (m_paced)
        m_pacer.wait(count);
    std::fill(samples, samples + count, int16_t(0));
    return count;
}
