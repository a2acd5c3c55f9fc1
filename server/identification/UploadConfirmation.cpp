#include "UploadConfirmation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

double UploadConfirmation::limitFor(double likeness, double limit, const Settings& settings)
{
    return std::min(limit, likeness - settings.likenessMargin);
}

bool UploadConfirmation::standsAlone(const Matcher::Result& match, const Settings& settings)
{
    if (match.verdict != Matcher::Verdict::Channel || match.close.empty())
        return false;
    const Matcher::Close& best = match.close.front(); // the matched channel
    return best.ber <= limitFor(best.likeness, settings.standAloneBer, settings);
}

UploadConfirmation::Agreement UploadConfirmation::agree(const std::vector<Upload>& uploads,
                                                        const Matcher& matcher, const Settings& settings)
{
    const double fps = FingerprintIndex::FramesPerSecond;
    const int window = int(std::ceil(settings.toleranceSeconds * fps));
    Agreement best;
    std::vector<Agreement> all;
    for (size_t k = 0; k < uploads.size(); ++k) {
        for (const Matcher::Close& hypothesis : uploads[k].close) {
            if (hypothesis.elsewhere - hypothesis.ber < settings.selfMargin)
                continue;
            // Where the hypothesis puts every other upload; each that is there agrees.
            int agreeing = hypothesis.ber <= settings.blockBer ? 1 : 0;
            double sum = agreeing ? hypothesis.ber : 0;
            bool newest = agreeing && k + 1 == uploads.size();
            for (size_t j = 0; j < uploads.size(); ++j) {
                const int64_t elapsedMs = uploads[j].atMs - uploads[k].atMs;
                if (j == k || std::llabs(elapsedMs) < int64_t(settings.minStepSeconds * 1000) ||
                    std::llabs(elapsedMs) > settings.windowMs)
                    continue;
                // A set playing off speed moves through the feed that much faster.
                const int64_t predicted = hypothesis.position + std::llround(double(elapsedMs) / 1000.0 *
                                                                             fps * (1 + hypothesis.rate));
                const double ber = matcher.berNear(uploads[j].block, hypothesis.channelId, predicted, window,
                                                   hypothesis.rate);
                if (ber <= settings.blockBer) {
                    sum += ber;
                    ++agreeing;
                    newest = newest || j + 1 == uploads.size();
                }
            }
            // An agreement of earlier uploads alone would answer for audio the device may no
            // longer hear.
            if (agreeing < 2 || !newest)
                continue;
            all.push_back({hypothesis.channelId, agreeing, sum / agreeing});
            const double limit = agreeing >= settings.upsetUploads
                                     ? std::min(settings.agreedBer, hypothesis.likeness + settings.upsetAbove)
                                     : limitFor(hypothesis.likeness, settings.agreedBer, settings);
            if (all.back().ber < best.ber && all.back().ber <= limit)
                best = all.back();
        }
    }
    if (best.channelId == 0)
        return {};
    for (const Agreement& a : all) {
        if (a.channelId != best.channelId && a.ber - best.ber < settings.minMargin)
            return {};
    }
    return best;
}

int UploadConfirmation::decide(const std::vector<Upload>& earlier, const Upload& upload,
                               const Matcher::Result& match, const Matcher& matcher, const Settings& settings)
{
    if (standsAlone(match, settings))
        return match.channelId;
    std::vector<Upload> uploads;
    for (const Upload& u : earlier) {
        if (upload.atMs - u.atMs <= settings.windowMs)
            uploads.push_back(u);
    }
    if (uploads.empty())
        return 0;
    uploads.push_back(upload);
    return agree(uploads, matcher, settings).channelId;
}
