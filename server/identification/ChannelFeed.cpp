#include "ChannelFeed.h"

#include "fingerprint/AcFpInfo.h"
#include "fingerprint/FpExtract.h"

#include <algorithm>

namespace {
// Samples decimated in one go: well below the ring, so no sample is overwritten before it
// is hashed.
constexpr int Chunk = 8192;
} // namespace

ChannelFeed::ChannelFeed() : m_info(std::make_unique<AcFpInfo>())
{
    fp_info_init(m_info.get());
    fp_info_reset(m_info.get(), 512, Step);
}

ChannelFeed::~ChannelFeed() = default;

const std::vector<uint32_t>& ChannelFeed::push(const int16_t* samples, int count)
{
    m_out.clear();
    m_weak.clear();
    const int32_t ringSize = m_info->fftFIFO.datasize;
    while (count > 0) {
        const int take = std::min(count, Chunk);
        const int32_t before = m_info->idxWRfftFIFO.load(std::memory_order_relaxed);
        fp_decimate_samples(m_info.get(), samples, take);
        const int32_t after = m_info->idxWRfftFIFO.load(std::memory_order_relaxed);
        const int32_t produced = (after - before + ringSize) % ringSize;
        // The new decimated samples join the line, which keeps what later frames still need.
        const int first = std::min<int>(produced, ringSize - before);
        m_line.insert(m_line.end(), m_info->fftFIFO.data + before, m_info->fftFIFO.data + before + first);
        m_line.insert(m_line.end(), m_info->fftFIFO.data, m_info->fftFIFO.data + (produced - first));
        m_decimated += produced;

        // Frames end after every Step-th decimated sample since the start; they are hashed
        // together, in order.
        const int64_t lineStart = m_decimated - int64_t(m_line.size());
        m_frames.clear();
        for (; m_nextEnd <= m_decimated; m_nextEnd += Step) {
            if (m_nextEnd >= AcFpInfo::FrameSize)
                m_frames.push_back(m_line.data() + (m_nextEnd - AcFpInfo::FrameSize - lineStart));
        }
        const size_t done = m_out.size();
        m_out.resize(done + m_frames.size());
        m_weak.resize(done + m_frames.size());
        fp_hash_frames(m_info.get(), m_frames.data(), int(m_frames.size()), m_out.data() + done,
                       m_weak.data() + done);
        // Keep the samples from the next frame's first on.
        const int64_t keepFrom = std::max<int64_t>(lineStart, m_nextEnd - AcFpInfo::FrameSize);
        m_line.erase(m_line.begin(), m_line.begin() + (keepFrom - lineStart));
        samples += take;
        count -= take;
    }
    return m_out;
}
