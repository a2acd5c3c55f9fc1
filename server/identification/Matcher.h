#pragma once

#include "FingerprintIndex.h"

#include <array>
#include <cstdint>

// Which live channel a block of 512 sub-fingerprints (as the application uploads it) comes
// from. Candidate alignments come from two places: every value of the block looked up in the
// index (the whole history; enough when a few values survive the room's noise exactly), and
// a scan of the last scanSeconds of every channel at every alignment with a sample of the
// block (for clips so noisy that no value survives). Each candidate is verified by the bit
// error rate (BER) of the whole block at its alignment (of the part the feed holds, at
// least three quarters; values of 0, frames of silence, are left out). The block's first
// value is left out too: the application computes it against its previous block's frame.
//
// Verdict: the channel with the lowest BER when that BER is at most maxBer and the best
// alignment on any other channel is worse by at least minMargin; when two channels carry
// the same audio the margin fails and the verdict is "ambiguous", not a guess.
class Matcher
{
public:
    static constexpr int BlockSize = 512;
    using Block = std::array<uint32_t, BlockSize>;

    struct Settings
    {
        double maxBer = 0.35;
        double minMargin = 0.06;
        double scanSeconds = 15;
    };

    enum class Verdict
    {
        Channel,
        NoMatch,
        Ambiguous,
        Uninformative
    };

    struct Result
    {
        Verdict verdict = Verdict::NoMatch;
        int channelId = 0;
        double ber = 1;         // of the best alignment
        double runnerUpBer = 1; // best alignment on another channel
        int64_t position = 0;   // of the block's first value in the channel's feed
    };

    explicit Matcher(const FingerprintIndex& index);
    Matcher(const FingerprintIndex& index, Settings settings);

    Result match(const Block& block) const;
    // The lowest BER of the block on one channel at the alignments within window values of
    // position (the block's first value); 1 when the feed holds too little there. For
    // checking a match that an earlier block predicted.
    double berNear(const Block& block, int channelId, int64_t position, int window) const;
    const Settings& settings() const { return m_settings; }
    // Values a block must have that differ from each other and from 0 (silence hashes to 0).
    static bool isInformative(const Block& block);

private:
    const FingerprintIndex& m_index;
    Settings m_settings;
};
