#include "FingerprintIndex.h"

#include <algorithm>
#include <cstring>
#include <mutex>

FingerprintIndex::FingerprintIndex(int historyFrames, int bucketBits)
    : m_capacity((uint32_t(std::max(historyFrames, 1024)) + Group - 1) / Group * Group),
      m_links(m_capacity / Group * Linked), m_shift(32 - std::clamp(bucketBits, 8, 28)),
      m_heads(size_t(1) << std::clamp(bucketBits, 8, 28), NoEntry)
{}

int FingerprintIndex::addChannel(int channelId)
{
    std::unique_lock guard(m_lock);
    Channel channel;
    channel.id = channelId;
    channel.values.assign(m_capacity, 0);
    channel.next.assign(m_links, NoEntry);
    channel.weak.assign(m_capacity / Group, 0);
    channel.likeness.assign(m_capacity / LikenessEveryValues + 1, 1.0f);
    m_channels.push_back(std::move(channel));
    return int(m_channels.size()) - 1;
}

void FingerprintIndex::append(int slot, const uint32_t* values, int count, const uint32_t* weak)
{
    std::unique_lock guard(m_lock);
    Channel& channel = m_channels[size_t(slot)];
    const uint32_t base = uint32_t(slot) * m_links;
    for (int i = 0; i < count; ++i) {
        const uint32_t ring = uint32_t(channel.end % m_capacity);
        const uint32_t group = ring / Group;
        const uint32_t inGroup = ring % Group;
        const uint32_t weakBits = weak ? weak[i] : 0;
        channel.values[ring] = values[i];
        channel.weak[group] = inGroup == 0 ? weakBits : channel.weak[group] | weakBits;
        if (inGroup < Linked) {
            const uint32_t link = group * Linked + inGroup;
            const uint32_t bucket = bucketOf(values[i]);
            channel.next[link] = m_heads[bucket];
            m_heads[bucket] = base + link;
        }
        ++channel.end;
    }
}

void FingerprintIndex::noteLikeness(int slot, double ber)
{
    std::unique_lock guard(m_lock);
    Channel& channel = m_channels[size_t(slot)];
    channel.likeness[channel.likenessChecks++ % channel.likeness.size()] = float(ber);
}

double FingerprintIndex::Reader::likeness(int slot) const
{
    const std::vector<float>& checks = m_index.m_channels[size_t(slot)].likeness;
    return *std::min_element(checks.begin(), checks.end());
}

uint64_t FingerprintIndex::positionOf(const Channel& channel, uint32_t ring) const
{
    // The one position in [end - capacity, end) that lands on this ring entry.
    const uint64_t newest = channel.end - 1;
    const uint32_t newestRing = uint32_t(newest % m_capacity);
    return newest - ((newestRing + m_capacity - ring) % m_capacity);
}

uint64_t FingerprintIndex::Reader::begin(int slot) const
{
    const uint64_t end = this->end(slot);
    return end > m_index.m_capacity ? end - m_index.m_capacity : 0;
}

bool FingerprintIndex::Reader::copy(int slot, uint64_t from, int count, uint32_t* out) const
{
    if (count < 0 || from < begin(slot) || from + uint64_t(count) > end(slot))
        return false;
    const std::vector<uint32_t>& values = m_index.m_channels[size_t(slot)].values;
    const uint32_t capacity = m_index.m_capacity;
    uint32_t ring = uint32_t(from % capacity);
    while (count > 0) {
        const int run = int(std::min<uint64_t>(uint64_t(count), capacity - ring));
        std::memcpy(out, values.data() + ring, size_t(run) * sizeof(uint32_t));
        out += run;
        count -= run;
        ring = 0;
    }
    return true;
}

bool FingerprintIndex::Reader::copyWeak(int slot, uint64_t from, int count, uint32_t* out) const
{
    if (count < 0 || from < begin(slot) || from + uint64_t(count) > end(slot))
        return false;
    const std::vector<uint32_t>& weak = m_index.m_channels[size_t(slot)].weak;
    const uint32_t capacity = m_index.m_capacity;
    uint32_t ring = uint32_t(from % capacity);
    for (int i = 0; i < count; ++i) {
        out[i] = weak[ring / Group];
        if (++ring == capacity)
            ring = 0;
    }
    return true;
}

bool FingerprintIndex::Reader::view(int slot, uint64_t from, int count, const uint32_t** values) const
{
    const uint32_t capacity = m_index.m_capacity;
    if (count < 0 || from < begin(slot) || from + uint64_t(count) > end(slot) ||
        from % capacity + uint64_t(count) > capacity)
        return false;
    *values = m_index.m_channels[size_t(slot)].values.data() + from % capacity;
    return true;
}

size_t FingerprintIndex::memoryBytes() const
{
    std::shared_lock guard(m_lock);
    const size_t checks = m_capacity / LikenessEveryValues + 1;
    return m_heads.size() * sizeof(uint32_t) +
           m_channels.size() * (size_t(m_capacity + m_links + m_capacity / Group) * sizeof(uint32_t) +
                                checks * sizeof(float));
}

double FingerprintIndex::Reader::meanChain() const
{
    uint64_t held = 0;
    for (int slot = 0; slot < channels(); ++slot)
        held += end(slot) - begin(slot);
    return double(held) * Linked / Group / double(m_index.m_heads.size());
}
