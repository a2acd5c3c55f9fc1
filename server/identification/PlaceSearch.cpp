#include "PlaceSearch.h"

#include "BitCounts.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int BlockSize = PlaceSearch::BlockSize;
constexpr int First = 1; // the block's first value is not comparable (see the class comment)
// A block is verified on the part the feed holds: at least three quarters of it (a viewer
// who tuned in as the feed began, or whose set is a little ahead of it).
constexpr int MinOverlap = BlockSize * 3 / 4;
constexpr int MaxHits = 1 << 18;  // bounds one search's work when the history is very large
constexpr int MaxVerified = 2048; // candidates verified, most votes first
// Speeds tried: up to 1.5 % off in steps of 0.25 %, about the block's middle value.
constexpr int SpeedSteps = 6;
constexpr double SpeedStep = 0.0025;
constexpr int Pivot = BlockSize / 2;

// What a differing bit weighs: a weak bit of the feed's value (one whose energy difference
// is small, FingerprintIndex::append) a quarter of a strong one. Noise in a microphone clip
// flips mostly weak bits, while another piece of audio differs in strong bits as often as in
// weak ones, so the weighed BER of the right place falls further than that of a wrong one.
constexpr int StrongWeight = 4;
constexpr int WeakWeight = 1;

// Weighed differing bits over the values where the block is not 0; *compared counts those
// values and *weight what all their bits weigh.
int distance(const uint32_t* feed, const uint32_t* weak, const uint32_t* block, int count, int* compared,
             int* weight)
{
    const BitCounts counts = BitCounts::of(feed, weak, block, count);
    *compared = counts.compared;
    *weight = StrongWeight * (32 * counts.compared - counts.weak) + WeakWeight * counts.weak;
    return StrongWeight * counts.differing - (StrongWeight - WeakWeight) * counts.differingWeak;
}

double rateOf(int bits, int weight, int compared)
{
    return compared < MinOverlap / 2 || weight <= 0 ? 1 : double(bits) / weight;
}

// A channel's values and their weak bits over [from, to()) as the reader holds them, copied
// once for comparisons at many alignments and speeds.
struct FeedSpan
{
    int64_t from = 0;
    std::vector<uint32_t> values;
    std::vector<uint32_t> weak;

    int64_t to() const { return from + int64_t(values.size()); }
    // [first, last) clipped to what the feed holds; false when that leaves nothing.
    bool read(const FingerprintIndex::Reader& reader, int slot, int64_t first, int64_t last)
    {
        from = std::max<int64_t>(first, int64_t(reader.begin(slot)));
        const int64_t to = std::min<int64_t>(last, int64_t(reader.end(slot)));
        values.clear();
        weak.clear();
        if (to <= from)
            return false;
        values.resize(size_t(to - from));
        weak.resize(size_t(to - from));
        return reader.copy(slot, uint64_t(from), int(to - from), values.data()) &&
               reader.copyWeak(slot, uint64_t(from), int(to - from), weak.data());
    }
};

// The BER of the block played at 1 + rate times the feed's speed: block value i against feed
// position start + i + round(i * rate), over the values the span holds (1 when that is fewer
// than MinOverlap).
double berAtSpeed(const FeedSpan& span, int64_t start, double rate, const PlaceSearch::Block& block)
{
    // The feed's values in the block's order, then one comparison.
    uint32_t values[BlockSize];
    uint32_t weakBits[BlockSize];
    uint32_t blockValues[BlockSize];
    int n = 0;
    for (int i = First; i < BlockSize; ++i) {
        const int64_t at = start + i + std::lround(i * rate);
        if (at < span.from || at >= span.to())
            continue;
        values[n] = span.values[size_t(at - span.from)];
        weakBits[n] = span.weak[size_t(at - span.from)];
        blockValues[n] = block[size_t(i)];
        ++n;
    }
    if (n < MinOverlap)
        return 1;
    int compared = 0;
    int weight = 0;
    const int bits = distance(values, weakBits, blockValues, n, &compared, &weight);
    return rateOf(bits, weight, compared);
}

// A hit of the index: the channel's slot and the alignment it votes for, in one number that
// sorts by slot, then alignment.
constexpr int64_t AlignmentBias = int64_t(1) << 20; // alignments start up to a block before the feed
uint64_t hitOf(int slot, int64_t start)
{
    return (uint64_t(slot) << 44) | uint64_t(start + AlignmentBias);
}
int slotOf(uint64_t hit)
{
    return int(hit >> 44);
}
int64_t startOf(uint64_t hit)
{
    return int64_t(hit & ((uint64_t(1) << 44) - 1)) - AlignmentBias;
}

struct Cluster
{
    int slot;
    int64_t start;
    int votes;
};

} // namespace

PlaceSearch::PlaceSearch(const FingerprintIndex::Reader& reader, const Block& block)
    : m_reader(reader), m_block(block), m_best(size_t(reader.channels()))
{
    for (int slot = 0; slot < reader.channels(); ++slot)
        m_best[size_t(slot)].slot = slot;
}

double PlaceSearch::berAt(const FingerprintIndex::Reader& reader, int slot, int64_t start, const Block& block)
{
    const int64_t from = std::max<int64_t>(start + First, int64_t(reader.begin(slot)));
    const int64_t to = std::min<int64_t>(start + BlockSize, int64_t(reader.end(slot)));
    if (to - from < MinOverlap)
        return 1;
    // The values in place, or copied when the ring's end falls inside; the weak bits, one
    // mask a group in the index, spelled out a value each.
    const uint32_t* values = nullptr;
    uint32_t valueCopy[BlockSize];
    uint32_t weak[BlockSize];
    if (!reader.copyWeak(slot, uint64_t(from), int(to - from), weak))
        return 1;
    if (!reader.view(slot, uint64_t(from), int(to - from), &values)) {
        if (!reader.copy(slot, uint64_t(from), int(to - from), valueCopy))
            return 1;
        values = valueCopy;
    }
    int compared = 0;
    int weight = 0;
    const int bits =
        distance(values, weak, block.data() + (from - start), int(to - from), &compared, &weight);
    return rateOf(bits, weight, compared);
}

double PlaceSearch::berNear(const FingerprintIndex::Reader& reader, int slot, int64_t start, int window,
                            const Block& block, double rate)
{
    // The feed values every alignment may compare, copied once.
    const int64_t drift = rate == 0 ? 0 : int64_t(std::ceil(std::abs(rate) * BlockSize)) + 1;
    FeedSpan span;
    if (!span.read(reader, slot, start - window + First - drift, start + window + BlockSize + drift))
        return 1;
    double best = 1;
    for (int64_t at = start - window; at <= start + window; ++at) {
        if (rate != 0) {
            best = std::min(best, berAtSpeed(span, at, rate, block));
            continue;
        }
        const int64_t first = std::max(at + First, span.from);
        const int64_t last = std::min(at + BlockSize, span.to());
        if (last - first < MinOverlap)
            continue;
        int compared = 0;
        int weight = 0;
        const int bits =
            distance(span.values.data() + (first - span.from), span.weak.data() + (first - span.from),
                     block.data() + (first - at), int(last - first), &compared, &weight);
        best = std::min(best, rateOf(bits, weight, compared));
    }
    return best;
}

void PlaceSearch::consider(int slot, int64_t start, double ber)
{
    if (ber < PromisingBelow)
        m_promising.push_back({slot, start, ber});
    Place& best = m_best[size_t(slot)];
    if (ber < best.ber) {
        best.ber = ber;
        best.start = start;
        best.rate = 0;
    }
}

void PlaceSearch::search(int only, int64_t awayFrom, int awaySpan)
{
    // Votes: every value's key wherever the history holds it.
    std::vector<uint64_t> hits;
    // A key bit that differs from the same bit of the value before or after.
    const auto unstableBits = [this](int i) {
        const uint32_t value = m_block[size_t(i)];
        return ((value ^ m_block[size_t(i - 1)]) | (value ^ m_block[size_t(i + 1)])) &
               FingerprintIndex::KeyMask;
    };
    const auto lookUp = [&](uint32_t value, int i) {
        m_reader.forEach(value, [&](int slot, uint64_t position) {
            const int64_t start = int64_t(position) - i;
            if ((only < 0 || slot == only) && std::llabs(start - awayFrom) > awaySpan)
                hits.push_back(hitOf(slot, start));
        });
    };
    // Probes (ProbeUnstableUpTo, ProbeWork), for a search over every channel only.
    std::vector<std::pair<int, int>> probes; // unstable bits of value i, i
    for (int i = First; i < BlockSize && int(hits.size()) < MaxHits; ++i) {
        const uint32_t value = m_block[size_t(i)];
        if (value == 0)
            continue;
        lookUp(value, i);
        if (only >= 0 || i + 1 >= BlockSize)
            continue;
        const int unstable = std::popcount(unstableBits(i));
        if (unstable <= ProbeUnstableUpTo)
            probes.emplace_back(unstable, i);
    }
    std::stable_sort(probes.begin(), probes.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    int64_t allowed = int64_t(ProbeWork / std::max(1.0, m_reader.meanChain()));
    for (const auto& [unstable, i] : probes) {
        if (allowed < unstable || int(hits.size()) >= MaxHits)
            break;
        allowed -= unstable;
        const uint32_t value = m_block[size_t(i)];
        for (uint32_t rest = unstableBits(i); rest != 0; rest &= rest - 1)
            lookUp(value ^ (rest & (0u - rest)), i);
    }
    std::sort(hits.begin(), hits.end());
    std::vector<Cluster> clusters;
    for (size_t k = 0; k < hits.size();) {
        size_t last = k;
        while (last + 1 < hits.size() && slotOf(hits[last + 1]) == slotOf(hits[k]) &&
               startOf(hits[last + 1]) - startOf(hits[last]) <= ClusterSpan)
            ++last;
        clusters.push_back({slotOf(hits[k]), startOf(hits[k + (last - k) / 2]), int(last - k + 1)});
        k = last + 1;
    }
    // Most votes first; among equal votes an order mixed from slot and alignment, so that when
    // only MaxVerified are verified the channels added first are not always the ones kept.
    const auto mixed = [](const Cluster& c) {
        return (uint64_t(c.slot) << 32 ^ uint64_t(c.start)) * 0x9e3779b97f4a7c15u;
    };
    std::sort(clusters.begin(), clusters.end(), [&](const Cluster& a, const Cluster& b) {
        return a.votes != b.votes ? a.votes > b.votes : mixed(a) < mixed(b);
    });
    if (clusters.size() > size_t(MaxVerified))
        clusters.resize(size_t(MaxVerified));

    for (const Cluster& cluster : clusters)
        verify(cluster.slot, cluster.start, awayFrom, awaySpan);
    if (only < 0)
        scan();
}

void PlaceSearch::verify(int slot, int64_t start, int64_t awayFrom, int awaySpan)
{
    // The whole block, and the alignments around it when it is promising.
    const double ber = berAt(m_reader, slot, start, m_block);
    consider(slot, start, ber);
    if (ber >= PromisingBelow)
        return;
    for (int d = -ClusterSpan; d <= ClusterSpan; ++d) {
        if (d != 0 && std::llabs(start + d - awayFrom) > awaySpan)
            consider(slot, start + d, berAt(m_reader, slot, start + d, m_block));
    }
}

void PlaceSearch::scan()
{
    int64_t held = 0;
    for (int slot = 0; slot < m_reader.channels(); ++slot)
        held += int64_t(m_reader.end(slot) - m_reader.begin(slot));
    // Each channel's newest values, an equal share of ScanUpTo when they hold more in all.
    const int64_t share = held <= ScanUpTo ? held : ScanUpTo / std::max(1, m_reader.channels());
    if (share < ScanAtLeast)
        return;
    // The probe: ScanProbes of the block's values, evenly spread; every fourth of them first,
    // for a first pass over every alignment.
    uint32_t probes[ScanProbes];
    int offsets[ScanProbes];
    int count = 0;
    int firstPass = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (int k = 0; k < ScanProbes; ++k) {
            const int i = BlockSize * k / ScanProbes + BlockSize / ScanProbes / 2;
            if ((k % 4 == 0) == (pass == 0) && m_block[size_t(i)] != 0) {
                probes[count] = m_block[size_t(i)];
                offsets[count] = i;
                ++count;
            }
        }
        if (pass == 0)
            firstPass = count;
    }
    if (count < ScanProbes / 2 || firstPass < ScanProbes / 8)
        return; // mostly silence: nothing to tell places apart by
    // Unrelated audio differs in half the bits, give or take 2 % over the first pass's 512:
    // alignments that come below ScanBelow there are compared on the whole probe, and kept when
    // they come below it there too.
    const int firstBelow = int(ScanBelow * 32 * firstPass);
    const int wholeBelow = int(ScanBelow * 32 * count);
    std::vector<uint32_t> feed;
    std::vector<uint16_t> distance;
    std::vector<std::pair<int, int>> close; // alignment, differing bits of the whole probe
    for (int slot = 0; slot < m_reader.channels(); ++slot) {
        // Every alignment that puts the whole block in the share.
        const uint64_t end = m_reader.end(slot);
        const uint64_t begin = std::max(m_reader.begin(slot), end - std::min(uint64_t(share), end));
        const int values = int(end - begin);
        const int positions = values - BlockSize + 1;
        if (positions <= 0)
            continue;
        feed.resize(size_t(values));
        distance.resize(size_t(positions));
        if (!m_reader.copy(slot, begin, values, feed.data()))
            continue;
        BitCounts::distances(feed.data(), positions, probes, offsets, firstPass, distance.data());
        close.clear();
        for (int p = 0; p < positions; ++p) {
            if (distance[size_t(p)] >= firstBelow)
                continue;
            const int bits =
                distance[size_t(p)] + BitCounts::distanceAt(feed.data() + p, probes + firstPass,
                                                            offsets + firstPass, count - firstPass);
            if (bits < wholeBelow)
                close.emplace_back(p, bits);
        }
        // The closest few, each away from those before it, verified as the key's candidates are.
        std::sort(close.begin(), close.end(),
                  [](const auto& a, const auto& b) { return a.second < b.second; });
        std::vector<int> picked;
        for (const auto& [p, bits] : close) {
            if (int(picked.size()) == ScanPicks)
                break;
            if (std::any_of(picked.begin(), picked.end(),
                            [p](int q) { return std::abs(p - q) <= 2 * ClusterSpan; }))
                continue;
            picked.push_back(p);
            verify(slot, int64_t(begin) + p, 0, -1);
        }
    }
}

void PlaceSearch::trySpeeds(int slot)
{
    Place& best = m_best[size_t(slot)];
    if (best.ber >= 1)
        return;
    const int64_t centre = best.start;
    // Every speed's alignments lie within this many values of the block at the feed's speed.
    const int64_t reach = int64_t(std::ceil(2 * SpeedSteps * SpeedStep * BlockSize)) + ClusterSpan + 2;
    FeedSpan span;
    if (!span.read(m_reader, slot, centre - reach, centre + BlockSize + reach))
        return;
    for (int step = -SpeedSteps; step <= SpeedSteps; ++step) {
        if (step == 0)
            continue;
        const double rate = step * SpeedStep;
        const int drift = int(std::lround(std::abs(rate) * Pivot)) + ClusterSpan;
        // The block's middle value kept within drift of where it lies at the feed's speed.
        const int64_t shift = std::lround(-Pivot * rate);
        for (int64_t start = centre + shift - drift; start <= centre + shift + drift; ++start) {
            const double ber = berAtSpeed(span, start, rate, m_block);
            if (ber < best.ber) {
                best.ber = ber;
                best.start = start;
                best.rate = rate;
            }
        }
    }
}

double PlaceSearch::bestAwayFrom(int slot, int64_t start, int span) const
{
    double best = 1;
    for (const Place& place : m_promising) {
        if (place.slot == slot && std::llabs(place.start - start) > span)
            best = std::min(best, place.ber);
    }
    return best;
}
