#pragma once

#include <cstdint>
#include <memory>
#include <vector>

struct AcFpInfo;

// One channel's audio turned into sub-fingerprints the way the application's extraction
// computes them: 44100 Hz samples are decimated by fp_decimate, and every 64 new decimated
// samples the frame of the latest 1024 is hashed by fp_hash_frame against the frame before
// it (several frames at a time, fp_hash_frames). The values of a block the application
// extracts at a moment are thus, from its second on, exactly the values computed here for the
// frames that end at the same samples.
class ChannelFeed
{
public:
    static constexpr int Step = 64;

    ChannelFeed();
    ~ChannelFeed();
    ChannelFeed(const ChannelFeed&) = delete;
    ChannelFeed& operator=(const ChannelFeed&) = delete;

    // Decimates the samples and returns the sub-fingerprints of the frames they complete
    // (none until the first 1024 decimated samples are in). Any count is fine.
    const std::vector<uint32_t>& push(const int16_t* samples, int count);
    // The weak bits (fp_hash_energies) of each value push last returned.
    const std::vector<uint32_t>& weak() const { return m_weak; }

private:
    std::unique_ptr<AcFpInfo> m_info;
    std::vector<uint32_t> m_out;
    std::vector<uint32_t> m_weak;
    std::vector<int16_t> m_line;          // the latest decimated samples, oldest first
    std::vector<const int16_t*> m_frames; // into m_line: the frames to hash now
    int64_t m_decimated = 0;              // decimated samples so far
    int64_t m_nextEnd = Step;             // where the next frame ends, in decimated samples
};
