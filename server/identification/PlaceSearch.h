#pragma once

#include "FingerprintIndex.h"

#include <array>
#include <cstdint>
#include <vector>

// Where a block of 512 sub-fingerprints lies in the feeds an index holds, for one look under
// the index's shared lock. Candidate alignments come from the index: every value of the block
// whose key (or, probing, a key one unstable bit away) is held somewhere votes for the
// alignment that puts it there; votes within
// ClusterSpan values of each other on one channel are one candidate (neighbouring values
// overlap, so a noisy value often finds its neighbour's key). The candidates with most votes
// are verified first, by the bit error rate (BER) of the whole block at their alignment (of
// the part the feed holds, at least three quarters; values of 0, frames of silence, are left
// out), and the promising ones at the alignments around it. The block's first value is left
// out too: the application computes it against its previous block's frame.
class PlaceSearch
{
public:
    static constexpr int BlockSize = 512;
    using Block = std::array<uint32_t, BlockSize>;
    static constexpr int ClusterSpan = 3;
    static constexpr double PromisingBelow = 0.44; // verified at its neighbours too, and kept
    // Probing: a key bit that differs from the same bit of the value before or after is
    // unstable. In a noisy clip the bits noise flipped are mostly among them, and a value
    // with few unstable bits is one whose key is likely only one flip away: it is looked up
    // again with each of them flipped, values with the fewest first. Those look-ups are
    // bounded by the chained entries they walk (about ProbeWork), so that a small index is
    // probed deeply and a large one (1,000 channels of 10 minutes: 9 entries a look-up) costs
    // no more than a few hundred look-ups.
    static constexpr int ProbeUnstableUpTo = 8;
    static constexpr double ProbeWork = 5000;
    // A search over every channel also scans every alignment of every channel when the index
    // holds at most ScanUpTo values in all (10 channels of 10 minutes), and otherwise the newest
    // ScanUpTo / channels values of each while that is at least ScanAtLeast (30 s: up to 200
    // channels): ScanProbes of the block's values compared there, the ScanPicks closest
    // alignments of each channel verified. It finds a place whose keys all drowned in noise; its
    // time grows with the values scanned (about 2 ms for ScanUpTo).
    static constexpr int64_t ScanUpTo = 1 << 19;
    static constexpr int64_t ScanAtLeast = 2584;
    static constexpr int ScanProbes = 64;
    static constexpr int ScanPicks = 3;
    static constexpr double ScanBelow = 0.46;

    struct Place
    {
        int slot = 0;
        int64_t start = 0; // of block value 0 in the slot's feed
        double ber = 1;
        // How much faster the block plays than the feed: block value i lies at feed position
        // start + i + round(i * rate) (trySpeeds; 0 otherwise).
        double rate = 0;
    };

    // The block is copied; the reader must outlive the search.
    PlaceSearch(const FingerprintIndex::Reader& reader, const Block& block);
    PlaceSearch(const FingerprintIndex::Reader&& reader, const Block& block) = delete;

    // Votes and verification. only >= 0: that slot alone; awayFrom/awaySpan: alignments within
    // awaySpan of awayFrom are not candidates (the block's own place, when it is the feed's).
    void search(int only = -1, int64_t awayFrom = 0, int awaySpan = -1);
    // Tries the slot's best place with the block played up to 1.5 % faster and slower (a set or
    // a stream that plays a little off speed drifts by up to 8 values over a block).
    void trySpeeds(int slot);
    // The slot's best place (ber 1 when none was found).
    const Place& best(int slot) const { return m_best[size_t(slot)]; }
    // The lowest BER among the promising places of the slot more than span values from start.
    double bestAwayFrom(int slot, int64_t start, int span) const;

    // The BER with block value 0 at start (1 when the feed holds too little there).
    static double berAt(const FingerprintIndex::Reader& reader, int slot, int64_t start, const Block& block);
    // The lowest BER at the alignments within window of start, the block played at 1 + rate
    // times the feed's speed (Place::rate).
    static double berNear(const FingerprintIndex::Reader& reader, int slot, int64_t start, int window,
                          const Block& block, double rate = 0);

private:
    void verify(int slot, int64_t start, int64_t awayFrom, int awaySpan);
    void scan();
    void consider(int slot, int64_t start, double ber);

    const FingerprintIndex::Reader& m_reader;
    const Block m_block;
    std::vector<Place> m_best;
    std::vector<Place> m_promising;
};
