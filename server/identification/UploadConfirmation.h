#pragma once

#include "Matcher.h"

#include <cstdint>

// When a match may be answered. A match whose bit error rate is at most standAloneBer stands
// on its own: audio on no channel (the same voice reading other words, another part of the
// same piece) has not come that close in the evaluations. A weaker match (up to the matcher's
// maxBer) is only a candidate: it is answered when the device's next upload agrees, either
// matching the same channel at a feed position as far on as the uploads are apart (within
// toleranceSeconds, and at least minStepSeconds on, so that a block checked again never
// confirms itself), or coming within confirmBer of that channel at the predicted position
// itself. Looking only where the candidate says finds a noisy block that the search over
// every channel misses, and unrelated audio is far from any one place (BER near 0.47).
class UploadConfirmation
{
public:
    struct Settings
    {
        double standAloneBer = 0.30;
        double toleranceSeconds = 2.0;
        double confirmBer = 0.36;
        double minStepSeconds = 2.0;
        int64_t windowMs = 30000; // a candidate older than this confirms nothing
    };

    // A device's unconfirmed match.
    struct Candidate
    {
        int channelId = 0;
        int64_t position = 0; // of the block's first value in the channel's feed
        int64_t atMs = -1;    // when its upload arrived; -1: none
    };

    static bool standsAlone(const Matcher::Result& match, const Settings& settings);
    // Whether match, from an upload that arrived at nowMs, agrees with the earlier candidate.
    static bool confirms(const Candidate& earlier, const Matcher::Result& match, int64_t nowMs,
                         const Settings& settings);
    // Whether block, from an upload that arrived at nowMs, is where the earlier candidate
    // predicts it on its channel.
    static bool confirmsAt(const Candidate& earlier, const Matcher& matcher, const Matcher::Block& block,
                           int64_t nowMs, const Settings& settings);
    // The whole rule for one upload: the channel to answer, or 0. candidate is the device's
    // waiting match: cleared by an answer, replaced by a new weak match (on any channel),
    // kept otherwise until it is too old to confirm anything.
    static int decide(Candidate& candidate, const Matcher& matcher, const Matcher::Block& block,
                      const Matcher::Result& match, int64_t nowMs, const Settings& settings);
};
