#pragma once

#include "FingerprintIndex.h"
#include "PlaceSearch.h"

#include <cstdint>
#include <vector>

// Which live channel a block of 512 sub-fingerprints (as the application uploads it) comes
// from: every channel's best place for it (PlaceSearch), and a channel that comes close tried
// at speeds up to 1.5 % off.
//
// Verdict: the channel with the lowest BER when that BER is at most maxBer and the best
// alignment on any other channel is worse by at least minMargin; when two channels carry
// the same audio the margin fails and the verdict is "ambiguous", not a guess. A channel whose
// feed repeats itself (likeness below RepeatsBelow: a looped file, a frozen stream) is left
// out: it would match whatever resembles its loop.
class Matcher
{
public:
    static constexpr int BlockSize = PlaceSearch::BlockSize;
    using Block = PlaceSearch::Block;
    static constexpr double RepeatsBelow = 0.10;

    struct Settings
    {
        double maxBer = 0.31;
        double minMargin = 0.06;
    };

    enum class Verdict
    {
        Channel,
        NoMatch,
        Ambiguous,
        Uninformative
    };

    // A channel's best alignment.
    struct Close
    {
        int channelId = 0;
        double ber = 1;
        int64_t position = 0; // of the block's first value in the channel's feed
        // The best BER found on the same channel more than 2 s from position: close to ber
        // when the block resembles several parts of the channel (music that repeats itself).
        double elsewhere = 1;
        double likeness = 1; // the channel's (FingerprintIndex::Reader::likeness)
        double rate = 0;     // how much faster the block plays than the feed (PlaceSearch::Place)
    };
    static constexpr int MaxClose = 4;
    static constexpr double CloseAbove = 0.08; // how far above maxBer a channel is still close

    struct Result
    {
        Verdict verdict = Verdict::NoMatch;
        int channelId = 0;
        double ber = 1;         // of the best alignment
        double runnerUpBer = 1; // best alignment on another channel
        int64_t position = 0;   // of the block's first value in the channel's feed
        // The channels that came within maxBer + CloseAbove, best first, at most MaxClose:
        // what the device's next uploads may confirm.
        std::vector<Close> close;
    };

    explicit Matcher(const FingerprintIndex& index);
    Matcher(const FingerprintIndex& index, Settings settings);

    Result match(const Block& block) const;
    // The lowest BER of the block on one channel at the alignments within window values of
    // position (the block's first value), played at 1 + rate times the feed's speed; 1 when the
    // feed holds too little there. For checking a match that an earlier block predicted.
    double berNear(const Block& block, int channelId, int64_t position, int window, double rate = 0) const;
    const Settings& settings() const { return m_settings; }
    // Values a block must have that differ from each other and from 0 (silence hashes to 0).
    static bool isInformative(const Block& block);
    // How closely the slot's own block at position resembles any other part of its history
    // (more than 2 s away): the lowest BER found, 1 when none or when the feed does not hold
    // the block. Music that repeats itself comes close, speech does not, a looped source
    // comes to 0.
    static double likenessElsewhere(const FingerprintIndex& index, int slot, int64_t position);
    static bool repeats(const FingerprintIndex::Reader& reader, int slot);

private:
    const FingerprintIndex& m_index;
    Settings m_settings;
};
