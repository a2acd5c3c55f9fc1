#include "UploadConfirmation.h"

#include <cmath>

bool UploadConfirmation::standsAlone(const Matcher::Result& match, const Settings& settings)
{
    return match.verdict == Matcher::Verdict::Channel && match.ber <= settings.standAloneBer;
}

bool UploadConfirmation::confirms(const Candidate& earlier, const Matcher::Result& match, int64_t nowMs,
                                  const Settings& settings)
{
    if (match.verdict != Matcher::Verdict::Channel || earlier.atMs < 0 ||
        earlier.channelId != match.channelId)
        return false;
    const int64_t elapsedMs = nowMs - earlier.atMs;
    if (elapsedMs < 0 || elapsedMs > settings.windowMs)
        return false;
    const double stepSeconds = double(match.position - earlier.position) / FingerprintIndex::FramesPerSecond;
    const double expected = double(elapsedMs) / 1000.0;
    return stepSeconds >= settings.minStepSeconds &&
           std::abs(stepSeconds - expected) <= settings.toleranceSeconds;
}

bool UploadConfirmation::confirmsAt(const Candidate& earlier, const Matcher& matcher,
                                    const Matcher::Block& block, int64_t nowMs, const Settings& settings)
{
    const int64_t elapsedMs = nowMs - earlier.atMs;
    if (earlier.atMs < 0 || elapsedMs / 1000.0 < settings.minStepSeconds || elapsedMs > settings.windowMs)
        return false;
    const double fps = FingerprintIndex::FramesPerSecond;
    const int64_t predicted = earlier.position + int64_t(std::llround(double(elapsedMs) / 1000.0 * fps));
    const int window = int(std::ceil(settings.toleranceSeconds * fps));
    return matcher.berNear(block, earlier.channelId, predicted, window) <= settings.confirmBer;
}

int UploadConfirmation::decide(Candidate& candidate, const Matcher& matcher, const Matcher::Block& block,
                               const Matcher::Result& match, int64_t nowMs, const Settings& settings)
{
    if (standsAlone(match, settings) || confirms(candidate, match, nowMs, settings)) {
        const int channel = match.channelId;
        candidate = {};
        return channel;
    }
    if (match.verdict != Matcher::Verdict::Uninformative &&
        confirmsAt(candidate, matcher, block, nowMs, settings)) {
        const int channel = candidate.channelId;
        candidate = {};
        return channel;
    }
    if (match.verdict == Matcher::Verdict::Channel)
        candidate = {match.channelId, match.position, nowMs};
    return 0;
}
