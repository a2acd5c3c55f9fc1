#include "Matcher.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <unordered_set>
#include <vector>

namespace {

constexpr int First = 1; // the block's first value is not comparable (see the class comment)
constexpr int Compared = Matcher::BlockSize - First;
constexpr int SampleEvery = 16; // scan: pairs of values every 16th position
constexpr int MaxLookupCandidates = 4096;
constexpr int ScanKeepPerChannel = 3;
// A block is verified on the part the feed holds: at least three quarters of it (a viewer
// who tuned in as the feed began, or whose set is a little ahead of it).
constexpr int MinOverlap = Matcher::BlockSize * 3 / 4;

struct Candidate
{
    int slot;
    int64_t start; // position of block value 0; below 0 when the block begins before the feed
    bool operator==(const Candidate& other) const { return slot == other.slot && start == other.start; }
};

struct CandidateHash
{
    size_t operator()(const Candidate& c) const
    {
        return std::hash<uint64_t>()(c.start * 131 + uint64_t(c.slot));
    }
};

// Differing bits over the values where the block is not 0 (a block value of 0 is a frame
// of silence or of a level so steady that it says nothing); *compared counts those values.
[[gnu::target_clones("popcnt", "default")]] int distance(const uint32_t* feed, const uint32_t* block,
                                                         int count, int* compared)
{
    int bits = 0;
    int used = 0;
    for (int i = 0; i < count; ++i) {
        if (block[i] == 0)
            continue;
        bits += std::popcount(feed[i] ^ block[i]);
        ++used;
    }
    *compared = used;
    return bits;
}

// Coarse distances of the block's sampled pairs at every alignment of a window of values:
// out[k] is the distance with block value 0 at window[k].
[[gnu::target_clones("popcnt", "default")]] void scanWindow(const uint32_t* window, int alignments,
                                                            const uint64_t* pairs, const int* offsets,
                                                            int pairCount, uint16_t* out)
{
    for (int k = 0; k < alignments; ++k) {
        int bits = 0;
        for (int j = 0; j < pairCount; ++j) {
            uint64_t value;
            std::memcpy(&value, window + k + offsets[j], sizeof value);
            bits += std::popcount(value ^ pairs[j]);
        }
        out[k] = uint16_t(bits);
    }
}

} // namespace

Matcher::Matcher(const FingerprintIndex& index) : Matcher(index, Settings()) {}

Matcher::Matcher(const FingerprintIndex& index, Settings settings) : m_index(index), m_settings(settings) {}

bool Matcher::isInformative(const Block& block)
{
    std::unordered_set<uint32_t> distinct;
    int nonZero = 0;
    for (int i = First; i < BlockSize; ++i) {
        if (block[size_t(i)] != 0)
            ++nonZero;
        distinct.insert(block[size_t(i)]);
    }
    return nonZero >= Compared / 2 && distinct.size() >= 64;
}

double Matcher::berNear(const Block& block, int channelId, int64_t position, int window) const
{
    const FingerprintIndex::Reader reader(m_index);
    double best = 1;
    uint32_t values[BlockSize];
    for (int slot = 0; slot < reader.channels(); ++slot) {
        if (reader.channelId(slot) != channelId)
            continue;
        for (int64_t start = position - window; start <= position + window; ++start) {
            const int64_t from = std::max<int64_t>(start + First, int64_t(reader.begin(slot)));
            const int64_t to = std::min<int64_t>(start + BlockSize, int64_t(reader.end(slot)));
            if (to - from < MinOverlap || !reader.copy(slot, uint64_t(from), int(to - from), values))
                continue;
            int compared = 0;
            const int bits = distance(values, block.data() + (from - start), int(to - from), &compared);
            if (compared >= MinOverlap / 2)
                best = std::min(best, double(bits) / (compared * 32.0));
        }
    }
    return best;
}

Matcher::Result Matcher::match(const Block& block) const
{
    Result result;
    if (!isInformative(block)) {
        result.verdict = Verdict::Uninformative;
        return result;
    }
    const FingerprintIndex::Reader reader(m_index);
    std::unordered_set<Candidate, CandidateHash> candidates;

    // Values that survived exactly, anywhere in the history.
    for (int i = First; i < BlockSize && int(candidates.size()) < MaxLookupCandidates; ++i) {
        reader.forEach(block[size_t(i)], [&](int slot, uint64_t position) {
            candidates.insert({slot, int64_t(position) - i});
        });
    }

    // Every alignment of the recent audio, compared on a sample of the block.
    uint64_t pairs[BlockSize / SampleEvery];
    int offsets[BlockSize / SampleEvery];
    int pairCount = 0;
    for (int i = First; i + 1 < BlockSize; i += SampleEvery) {
        std::memcpy(&pairs[pairCount], &block[size_t(i)], sizeof(uint64_t));
        offsets[pairCount++] = i;
    }
    const int scanFrames = int(m_settings.scanSeconds * FingerprintIndex::FramesPerSecond);
    std::vector<uint32_t> window;
    std::vector<uint16_t> coarse;
    for (int slot = 0; slot < reader.channels() && scanFrames > 0; ++slot) {
        const uint64_t end = reader.end(slot);
        const uint64_t begin = std::max<uint64_t>(
            reader.begin(slot),
            end > uint64_t(scanFrames + BlockSize) ? end - uint64_t(scanFrames + BlockSize) : 0);
        if (end - begin < uint64_t(BlockSize))
            continue;
        const int held = int(end - begin);
        const int alignments = held - BlockSize + 1;
        window.resize(size_t(held) + 1);
        reader.copy(slot, begin, held, window.data());
        window[size_t(held)] = 0;
        coarse.resize(size_t(alignments));
        scanWindow(window.data(), alignments, pairs, offsets, pairCount, coarse.data());
        for (int keep = 0; keep < ScanKeepPerChannel; ++keep) {
            const auto best = std::min_element(coarse.begin(), coarse.end());
            const int k = int(best - coarse.begin());
            candidates.insert({slot, int64_t(begin) + k});
            // The next pick comes from elsewhere than this alignment's neighbours.
            std::fill(coarse.begin() + std::max(0, k - 2), coarse.begin() + std::min(alignments, k + 3),
                      UINT16_MAX);
        }
    }

    // Verification of every candidate on the whole block; the best per channel.
    std::vector<double> bestOfSlot(size_t(reader.channels()), 1.0);
    std::vector<int64_t> startOfSlot(size_t(reader.channels()), 0);
    uint32_t values[BlockSize];
    for (const Candidate& candidate : candidates) {
        const int64_t from =
            std::max<int64_t>(candidate.start + First, int64_t(reader.begin(candidate.slot)));
        const int64_t to =
            std::min<int64_t>(candidate.start + BlockSize, int64_t(reader.end(candidate.slot)));
        if (to - from < MinOverlap || !reader.copy(candidate.slot, uint64_t(from), int(to - from), values))
            continue;
        int compared = 0;
        const int bits = distance(values, block.data() + (from - candidate.start), int(to - from), &compared);
        if (compared < MinOverlap / 2)
            continue;
        const double ber = double(bits) / (compared * 32.0);
        if (ber < bestOfSlot[size_t(candidate.slot)]) {
            bestOfSlot[size_t(candidate.slot)] = ber;
            startOfSlot[size_t(candidate.slot)] = candidate.start;
        }
    }
    int best = -1;
    for (int slot = 0; slot < reader.channels(); ++slot) {
        if (best < 0 || bestOfSlot[size_t(slot)] < bestOfSlot[size_t(best)])
            best = slot;
    }
    if (best < 0)
        return result;
    result.ber = bestOfSlot[size_t(best)];
    for (int slot = 0; slot < reader.channels(); ++slot) {
        if (slot != best && reader.channelId(slot) != reader.channelId(best))
            result.runnerUpBer = std::min(result.runnerUpBer, bestOfSlot[size_t(slot)]);
    }
    if (result.ber > m_settings.maxBer)
        return result;
    result.channelId = reader.channelId(best);
    result.position = startOfSlot[size_t(best)];
    result.verdict =
        result.runnerUpBer - result.ber >= m_settings.minMargin ? Verdict::Channel : Verdict::Ambiguous;
    if (result.verdict == Verdict::Ambiguous)
        result.channelId = 0;
    return result;
}
