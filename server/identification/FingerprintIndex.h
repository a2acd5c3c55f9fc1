#pragma once

#include <cstddef>
#include <cstdint>
#include <shared_mutex>
#include <vector>

// The recent sub-fingerprints of every live channel and an index from a value's key (its
// KeyBits low bits) to where it occurs. Each channel keeps a ring of historyFrames values
// (positions are absolute: the n-th value a channel ever produced has position n); one bucket
// table shared by all channels chains the entries of equal bucket, newest first, through a
// "next" array parallel to each ring. An entry that a ring has overwritten ends the chain walk
// it is met in (its key no longer hashes to the bucket), and no walk takes more than
// MaxChainSteps steps, so a value that every channel repeats (silence) costs a bounded time.
//
// Why a part of the value: in a microphone clip a few bits of almost every value flip, so a
// whole 32-bit value rarely survives (one value in 500 at 10 dB SNR); 22 bits survive about
// three times as often, and a value compared with its neighbours in the feed (they overlap
// by 94 %) as well finds its alignment at 5 dB in most blocks. Fewer bits would bring more
// chance hits than the verification can afford at 1,000 channels.
//
// Of each group of four values (from a position that is a multiple of four) the first three
// are chained: a block looks up every one of its values, so three in four still meet their
// place, and the fourth one's neighbours, which overlap it by 94 %, often stand in for it. A
// group keeps one mask of weak bits, those weak in any of its values (a weak bit mostly stays
// weak from one frame to the next). Against chaining every value and keeping a mask each, on
// the evaluation on real recordings: within two clips in 40, either way, where the scan
// covers the history; where only look-ups find places, 67.5 % instead of 72.5 % and 65 %
// instead of 62.5 % at 0 dB (two seeds; chaining every other value found 60 % and 55 %).
//
// Memory: 8 bytes per sub-fingerprint (its value, three quarters of a link and a quarter of a
// weak mask; 2.48 MB per channel-hour) plus the shared bucket table (4 bytes per bucket,
// 16 MiB at the default 22 bits).
//
// Thread safety: writers (one thread per channel) call append, which takes the lock
// exclusively; readers take a Reader, which holds it shared for the time of one match.
class FingerprintIndex
{
public:
    static constexpr double FramesPerSecond = 5512.5 / 64.0;
    static constexpr int MaxChainSteps = 512;
    static constexpr uint32_t NoEntry = 0xffffffffu;
    static constexpr int KeyBits = 22;
    static constexpr uint32_t KeyMask = (1u << KeyBits) - 1;
    static constexpr uint32_t Group = 4;  // values that share a weak mask
    static constexpr uint32_t Linked = 3; // the first of a group's values that are chained

    // historyFrames is rounded up to a multiple of Group, at least 1024.
    explicit FingerprintIndex(int historyFrames, int bucketBits = KeyBits);

    // A new channel's slot; channels are only added, never removed.
    int addChannel(int channelId);
    // weak: each value's weak bits (ChannelFeed::weak), weighed less when blocks are compared;
    // none when null.
    void append(int slot, const uint32_t* values, int count, const uint32_t* weak = nullptr);
    // Notes one check of how closely the channel's feed resembles itself (the lowest BER of a
    // recent block against the rest of its history, Matcher::likenessElsewhere). The channel's
    // likeness is the lowest of the checks that cover its history: one every
    // LikenessEveryValues values.
    static constexpr int LikenessEveryValues = 430; // 5 s
    void noteLikeness(int slot, double ber);

    class Reader
    {
    public:
        explicit Reader(const FingerprintIndex& index) : m_index(index), m_guard(index.m_lock) {}

        int channels() const { return int(m_index.m_channels.size()); }
        int channelId(int slot) const { return m_index.m_channels[size_t(slot)].id; }
        // 1 until a check has been noted.
        double likeness(int slot) const;
        // [begin, end): the positions a channel still holds.
        uint64_t begin(int slot) const;
        uint64_t end(int slot) const { return m_index.m_channels[size_t(slot)].end; }
        // count values from position from on; false when they are not all held.
        bool copy(int slot, uint64_t from, int count, uint32_t* out) const;
        // The same for the values' weak bits (those of each value's group).
        bool copyWeak(int slot, uint64_t from, int count, uint32_t* out) const;
        // Where count values from position from on lie in the ring, when they are all held and
        // in one piece (not across the ring's end); false otherwise.
        bool view(int slot, uint64_t from, int count, const uint32_t** values) const;
        // Chained entries per bucket, on average: what one look-up walks.
        double meanChain() const;
        // Calls found(slot, position) for the held entries whose key is value's key, of the
        // positions that are chained (the first Linked of each Group).
        template <typename Found> void forEach(uint32_t value, Found&& found) const
        {
            const FingerprintIndex& x = m_index;
            const uint32_t key = value & KeyMask;
            const uint32_t bucket = x.bucketOf(value);
            uint32_t entry = x.m_heads[bucket];
            for (int step = 0; entry != NoEntry && step < MaxChainSteps; ++step) {
                const uint32_t slot = entry / x.m_links;
                const uint32_t link = entry % x.m_links;
                const uint32_t ring = link / Linked * Group + link % Linked;
                const Channel& channel = x.m_channels[slot];
                const uint32_t held = channel.values[ring];
                if (x.bucketOf(held) != bucket)
                    break; // overwritten: the rest of the chain is older still
                if ((held & KeyMask) == key)
                    found(int(slot), x.positionOf(channel, ring));
                entry = channel.next[link];
            }
        }

    private:
        const FingerprintIndex& m_index;
        std::shared_lock<std::shared_mutex> m_guard;
    };

    int historyFrames() const { return int(m_capacity); }
    size_t memoryBytes() const;

private:
    struct Channel
    {
        int id = 0;
        uint64_t end = 0;
        std::vector<uint32_t> values;
        std::vector<uint32_t> next;  // of the value at ring Group * k + j (j < Linked), at Linked * k + j
        std::vector<uint32_t> weak;  // of the values at ring Group * k ... Group * k + Group - 1, at k
        std::vector<float> likeness; // a ring of the latest checks
        size_t likenessChecks = 0;
    };

    uint32_t bucketOf(uint32_t value) const { return ((value & KeyMask) * 2654435761u) >> m_shift; }
    uint64_t positionOf(const Channel& channel, uint32_t ring) const;

    uint32_t m_capacity; // a multiple of Group
    uint32_t m_links;    // m_capacity / Group * Linked
    int m_shift;
    std::vector<uint32_t> m_heads;
    std::vector<Channel> m_channels;
    mutable std::shared_mutex m_lock;
};
