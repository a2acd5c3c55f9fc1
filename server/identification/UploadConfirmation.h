#pragma once

#include "Matcher.h"

#include <cstdint>
#include <vector>

// When a device's uploads may be answered. A match whose bit error rate is at most
// standAloneBer stands on its own: audio on no channel (the same voice reading other words,
// another part of the same piece) has not come that close in the evaluations. Otherwise the
// device's uploads of the last windowMs are taken together: every channel that one of them
// came close to (Matcher::Result::close) is a hypothesis, a place in that channel's feed at
// that upload's time, and each other upload is looked for where the hypothesis puts it, as
// far on in the feed as the uploads are apart (within toleranceSeconds, for the network's
// jitter) and compared at the speed the hypothesis was found at (Matcher::Close::rate). The hypothesis is
// answered when at least two uploads agree with it, each within blockBer, their mean within agreedBer, and
// the best agreement on any other channel is worse by at least minMargin. A hypothesis whose place does not
// stand out from the rest of its channel by selfMargin (Matcher::Close::elsewhere) is none: a channel whose
// music repeats itself also resembles other parts of the same piece played elsewhere. Looking only where a
// hypothesis says finds blocks too noisy for the search over every channel, while unrelated audio stays far
// from any one place (BER near 0.47), so evidence adds up for the right channel only. Audio that does not
// move on with the clock (a block sent again, a frozen stream) agrees with nothing: uploads less than
// minStepSeconds apart are not compared.
class UploadConfirmation
{
public:
    struct Settings
    {
        double standAloneBer = 0.26;
        double agreedBer = 0.345;
        double blockBer = 0.39;
        double minMargin = 0.04;
        double selfMargin = 0.04;
        // A channel whose own parts come within likeness of each other (music that repeats
        // itself) is matched only below likeness - likenessMargin: other parts of the same
        // piece, played elsewhere, come about as close. When upsetUploads uploads (the loop's
        // first 19 s) agree, up to likeness + upsetAbove: another part of a piece does not
        // follow the channel for that long. (On the real-audio evaluation, audio on no channel
        // had four uploads agree on a channel in 2 of 9,000 sessions on three seeds, at a mean
        // of 0.375, above agreedBer; the right channel's four came up to 0.19 above a looped
        // piece's likeness at 5 dB and 0 dB.)
        double likenessMargin = 0.0;
        int upsetUploads = 4;
        double upsetAbove = 0.20;
        double toleranceSeconds = 1.0;
        double minStepSeconds = 2.0;
        int64_t windowMs = 30000; // uploads older than this confirm nothing
    };

    // One upload of a device as matched when it arrived.
    struct Upload
    {
        Matcher::Block block{};
        int64_t atMs = 0;
        std::vector<Matcher::Close> close;
    };
    static constexpr int MaxUploads = 4; // kept per device, the newest included

    struct Agreement
    {
        int channelId = 0; // 0: none
        int uploads = 0;   // that agree
        double ber = 1;    // their mean
    };

    static bool standsAlone(const Matcher::Result& match, const Settings& settings);
    // The highest BER at which a match on a channel of that likeness counts, under limit.
    static double limitFor(double likeness, double limit, const Settings& settings);
    // The best agreement of the uploads (oldest first; the last, the newest, takes part in it)
    // on one channel; none (channelId 0) when it does not beat every other channel's by the
    // margin.
    static Agreement agree(const std::vector<Upload>& uploads, const Matcher& matcher,
                           const Settings& settings);
    // The whole rule for one upload: the channel to answer, or 0. earlier: the device's uploads
    // before this one.
    static int decide(const std::vector<Upload>& earlier, const Upload& upload, const Matcher::Result& match,
                      const Matcher& matcher, const Settings& settings);
};
