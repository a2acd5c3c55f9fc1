#include "ChannelFeed.h"

#include "fingerprint/AcFpInfo.h"
#include "fingerprint/FpExtract.h"

#include <algorithm>

namespace {
// Samples decimated in one go: well below the ring, so no sample is overwritten before it
// is hashed.
constexpr int Chunk = 8192;
} // namespace

ChannelFeed::ChannelFeed() : m_info(std::make_unique<AcFpInfo>()), m_frame(AcFpInfo::FrameSize)
{
    fp_info_init(m_info.get());
    fp_info_reset(m_info.get(), 512, Step);
}

ChannelFeed::~ChannelFeed() = default;

const std::vector<uint32_t>& ChannelFeed::push(const int16_t* samples, int count)
{
    m_out.clear();
    const int32_t ringSize = m_info->fftFIFO.datasize;
    while (count > 0) {
        const int take = std::min(count, Chunk);
        const int32_t before = m_info->idxWRfftFIFO.load(std::memory_order_relaxed);
        fp_decimate_samples(m_info.get(), samples, take);
        const int32_t after = m_info->idxWRfftFIFO.load(std::memory_order_relaxed);
        const int32_t produced = (after - before + ringSize) % ringSize;
        // Frames end after every Step-th decimated sample since the start.
        for (int64_t end = (m_decimated / Step + 1) * Step; end <= m_decimated + produced; end += Step) {
            if (end < AcFpInfo::FrameSize)
                continue;
            int32_t read = (after - int32_t(m_decimated + produced - end) - AcFpInfo::FrameSize) % ringSize;
            if (read < 0)
                read += ringSize;
            const int first = std::min<int>(AcFpInfo::FrameSize, ringSize - read);
            std::copy_n(m_info->fftFIFO.data + read, first, m_frame.data());
            std::copy_n(m_info->fftFIFO.data, AcFpInfo::FrameSize - first, m_frame.data() + first);
            m_out.push_back(fp_hash_frame(m_info.get(), m_frame.data()));
        }
        m_decimated += produced;
        samples += take;
        count -= take;
    }
    return m_out;
}
