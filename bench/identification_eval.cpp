// Evaluation of the identification server's matcher, in process: live channels of synthetic
// programme audio are fingerprinted as the server does; clips of them are degraded the way
// a microphone in a living room degrades them and fingerprinted as the application does;
// the matcher's verdicts are counted. Then false positives on audio that is on no channel,
// two channels carrying the same audio, latency at 10 / 100 / 1,000 channels, memory, and
// fingerprinting throughput.
//   bench_identification_eval [--clips N] [--max-ber X] [--margin X]
#include "RoomChain.h"

#include "identification/ApplicationBlock.h"
#include "identification/ChannelFeed.h"
#include "identification/FingerprintIndex.h"
#include "identification/Matcher.h"
#include "platform/DemoAudio.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int Rate = 44100;
constexpr int ClipSamples = int(6.2 * Rate); // the application's block spans 6.12 s
constexpr int Channels = 20;

using Clock = std::chrono::steady_clock;

struct Condition
{
    std::string name;
    double snrDb = INFINITY; // noise added after band-limiting
    bool bandLimit = true;
    double speed = 0; // relative; 0 draws a clock drift of up to 0.01 %
    double maxLagSeconds = 5;
};

// The room of the evaluation: speed change, 300-3400 Hz band, white noise added after the
// band at an SNR against the band-limited signal, and a gain of 0.3 to 1.5.
std::vector<int16_t> degrade(const std::vector<int16_t>& clean, const Condition& condition, double speed,
                             std::mt19937& random)
{
    RoomChain::Settings room;
    room.speed = speed;
    room.bandLimit = condition.bandLimit;
    room.snrDb = std::isfinite(condition.snrDb) ? condition.snrDb : 1e9;
    room.bandLimitNoise = false;
    return RoomChain::apply(clean.data(), int64_t(clean.size()), 0, ClipSamples, room, random);
}

struct Live
{
    Live(int channelId, DemoAudio programme) : id(channelId), audio(programme) {}
    int id;
    DemoAudio audio;
    ChannelFeed feed;
    int slot = 0;
};

// A query waiting for the server's feed to reach the end of its clip (a viewer ahead of
// the feed is answered by a later poll).
struct Pending
{
    Matcher::Block block;
    int64_t dueSample;
    int expected; // channel id; 0 for "no channel", -1 for "ambiguous"
    size_t condition;
};

struct Tally
{
    int right = 0, wrong = 0, none = 0, ambiguous = 0;
    std::vector<double> ber, runnerUp; // of every query's best and best other channel
    int total() const { return right + wrong + none + ambiguous; }
};

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

void latency(int channels, Matcher::Settings settings)
{
    // Synthetic channels: random sub-fingerprints, 10 minutes each; queries are stretches
    // of one of them with 30 % of the bits flipped (a noisy room), near the live end.
    const int frames = int(600 * FingerprintIndex::FramesPerSecond);
    FingerprintIndex index(frames);
    std::mt19937 random(channels);
    std::vector<uint32_t> values(static_cast<size_t>(frames));
    for (int c = 0; c < channels; ++c) {
        const int slot = index.addChannel(1000 + c);
        for (auto& v : values)
            v = random();
        index.append(slot, values.data(), frames);
    }
    Matcher matcher(index, settings);
    std::vector<double> ms;
    std::bernoulli_distribution flip(0.3);
    for (int q = 0; q < 200; ++q) {
        const int slot = int(random() % uint32_t(channels));
        const uint64_t start = uint64_t(frames - Matcher::BlockSize - int(random() % 800));
        Matcher::Block block;
        FingerprintIndex::Reader(index).copy(slot, start, Matcher::BlockSize, block.data());
        for (auto& v : block)
            for (int b = 0; b < 32; ++b)
                if (flip(random))
                    v ^= 1u << b;
        const auto t0 = Clock::now();
        const Matcher::Result result = matcher.match(block);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        (void)result;
    }
    // Programme audio heard in a room at 10 to 0 dB (on none of these channels): its values
    // have the few unstable bits that real audio has, so the probing look-ups take place.
    std::vector<double> heard;
    for (int q = 0; q < 100; ++q) {
        const DemoAudio programme(uint32_t(7000 + q), DemoAudio::kindOf(q));
        std::vector<int16_t> clean(ClipSamples + Rate);
        programme.render(int64_t(q) * Rate, int(clean.size()), clean.data());
        Condition condition;
        condition.snrDb = 10.0 - 5.0 * (q % 3);
        const std::vector<int16_t> clip = degrade(clean, condition, 0, random);
        const Matcher::Block block = applicationBlock(clip.data(), int(clip.size()));
        const auto t0 = Clock::now();
        const Matcher::Result result = matcher.match(block);
        heard.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        (void)result;
    }
    // The check each channel makes of itself every 5 s (Matcher::likenessElsewhere).
    std::vector<double> self;
    for (int q = 0; q < 50; ++q) {
        const int slot = int(random() % uint32_t(channels));
        const auto t0 = Clock::now();
        (void)Matcher::likenessElsewhere(index, slot, frames - Matcher::BlockSize);
        self.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::printf("  %5d channels: p50 %6.2f ms  p99 %6.2f ms; programme audio in a room p50 %.2f ms  p99 %.2f "
                "ms; a channel's likeness check p50 %.2f ms\n",
                channels, percentile(ms, 0.5), percentile(ms, 0.99), percentile(heard, 0.5),
                percentile(heard, 0.99), percentile(self, 0.5));
}

} // namespace

int main(int argc, char** argv)
{
    int clips = 200;
    Matcher::Settings settings;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--clips")
            clips = std::atoi(argv[i + 1]);
        else if (option == "--max-ber")
            settings.maxBer = std::atof(argv[i + 1]);
        else if (option == "--margin")
            settings.minMargin = std::atof(argv[i + 1]);
    }
    std::printf("matcher: max BER %.3f, margin %.3f; %d clips per condition\n", settings.maxBer,
                settings.minMargin, clips);

    const std::vector<Condition> conditions = {
        {"clean, full band", INFINITY, false}, {"band 300-3400 Hz", INFINITY, true},
        {"band + 20 dB SNR", 20, true},        {"band + 10 dB SNR", 10, true},
        {"band + 5 dB SNR", 5, true},          {"band + 0 dB SNR", 0, true},
        {"speed +1 % (info)", 10, true, 0.01}, {"speed -1 % (info)", 10, true, -0.01},
    };

    // 20 channels of their own audio, plus two carrying one shared programme.
    FingerprintIndex index(int(600 * FingerprintIndex::FramesPerSecond));
    Matcher matcher(index, settings);
    std::vector<std::unique_ptr<Live>> live;
    for (int c = 1; c <= Channels + 2; ++c) {
        const uint32_t seed = c <= Channels ? uint32_t(c) : 500u;
        live.push_back(std::make_unique<Live>(c, DemoAudio(seed, DemoAudio::kindOf(c <= Channels ? c : 2))));
        live.back()->slot = index.addChannel(c);
    }
    const DemoAudio shared(500u, DemoAudio::kindOf(2));

    std::mt19937 random(20261207);
    std::vector<Tally> tallies(conditions.size());
    Tally heldOut, twins;
    std::deque<Pending> pending;
    std::vector<int16_t> chunk(Rate);
    std::vector<int16_t> clean(ClipSamples + Rate);
    int64_t fed = 0;
    double feedSeconds = 0;
    const int warmUp = 20;
    const int perSecond = 4;
    const size_t wanted = conditions.size() * size_t(clips);
    size_t issued = 0;
    int heldOutIssued = 0, twinsIssued = 0;
    const int heldOutWanted = clips * 5, twinsWanted = clips / 2;

    for (int second = 0; !(issued >= wanted && heldOutIssued >= heldOutWanted && twinsIssued >= twinsWanted &&
                           pending.empty());
         ++second) {
        // One second more of every channel's audio.
        for (auto& channel : live) {
            channel->audio.render(fed, Rate, chunk.data());
            const auto t0 = Clock::now();
            const auto& values = channel->feed.push(chunk.data(), Rate);
            index.append(channel->slot, values.data(), int(values.size()), channel->feed.weak().data());
            feedSeconds += std::chrono::duration<double>(Clock::now() - t0).count();
        }
        fed += Rate;

        // Queries whose audio the feed now holds.
        for (auto it = pending.begin(); it != pending.end();) {
            if (it->dueSample > fed) {
                ++it;
                continue;
            }
            const Matcher::Result result = matcher.match(it->block);
            Tally& tally = it->expected == 0 ? heldOut : it->expected < 0 ? twins : tallies[it->condition];
            tally.ber.push_back(result.ber);
            tally.runnerUp.push_back(result.runnerUpBer);
            if (result.verdict == Matcher::Verdict::Ambiguous)
                ++tally.ambiguous;
            else if (result.verdict != Matcher::Verdict::Channel)
                ++tally.none;
            else if (it->expected == 0 && std::getenv("EVAL_DEBUG"))
                std::printf("false positive: condition %zu, channel %d, BER %.3f, other %.3f\n",
                            it->condition, result.channelId, result.ber, result.runnerUpBer),
                    ++tally.wrong;
            else if (result.channelId == it->expected)
                ++tally.right;
            else
                ++tally.wrong;
            it = pending.erase(it);
        }
        if (second < warmUp)
            continue;

        // New clips: a viewer up to 5 s behind or ahead of the feed.
        for (int k = 0; k < perSecond; ++k) {
            const double lag = std::uniform_real_distribution<double>(-5, 5)(random);
            const int64_t end = fed - int64_t(lag * Rate);
            Pending query{};
            const DemoAudio* audio = nullptr;
            Condition condition = conditions[3];
            if (issued < wanted) {
                query.condition = issued % conditions.size();
                condition = conditions[query.condition];
                const int c = 1 + int(random() % Channels);
                audio = &live[size_t(c - 1)]->audio;
                query.expected = c;
                ++issued;
            } else if (heldOutIssued < heldOutWanted) {
                static std::vector<std::unique_ptr<DemoAudio>> others;
                others.push_back(std::make_unique<DemoAudio>(10000u + uint32_t(heldOutIssued),
                                                             DemoAudio::kindOf(heldOutIssued)));
                audio = others.back().get();
                condition = conditions[size_t(heldOutIssued % 6)];
                query.expected = 0;
                query.condition = size_t(heldOutIssued % 6) * 1000 + size_t(heldOutIssued);
                ++heldOutIssued;
            } else if (twinsIssued < twinsWanted) {
                audio = &shared;
                query.expected = -1;
                ++twinsIssued;
            } else {
                break;
            }
            const double speed = condition.speed != 0
                                     ? condition.speed
                                     : std::uniform_real_distribution<double>(-1e-4, 1e-4)(random);
            audio->render(end - ClipSamples, int(clean.size()), clean.data());
            const std::vector<int16_t> clip = degrade(clean, condition, speed, random);
            query.block = applicationBlock(clip.data(), int(clip.size()));
            query.dueSample = end;
            pending.push_back(query);
        }
    }

    std::printf(
        "\naccuracy (top-1, %d channels, viewer within +-5 s of the feed, drift +-0.01 %%, gain 0.3-1.5)\n",
        Channels);
    std::printf("  %-22s %6s %6s %6s %6s %8s   %s\n", "condition", "right", "wrong", "none", "ambig", "top-1",
                "BER best p50/p99, other channels p1");
    for (size_t c = 0; c < conditions.size(); ++c) {
        const Tally& t = tallies[c];
        std::printf("  %-22s %6d %6d %6d %6d %7.1f%%   %.3f / %.3f, %.3f\n", conditions[c].name.c_str(),
                    t.right, t.wrong, t.none, t.ambiguous, 100.0 * t.right / std::max(1, t.total()),
                    percentile(t.ber, 0.5), percentile(t.ber, 0.99), percentile(t.runnerUp, 0.01));
    }
    std::printf(
        "\nfalse positives on audio that is on no channel (clean to 0 dB): %d of %d identified (%.2f %%)\n",
        heldOut.right + heldOut.wrong, heldOut.total(),
        100.0 * (heldOut.right + heldOut.wrong) / std::max(1, heldOut.total()));
    std::printf("  their best BER: p1 %.3f, p50 %.3f\n", percentile(heldOut.ber, 0.01),
                percentile(heldOut.ber, 0.5));
    std::printf(
        "two channels with the same audio (10 dB): %d ambiguous, %d named a channel, %d none, of %d\n",
        twins.ambiguous, twins.right + twins.wrong, twins.none, twins.total());

    std::printf("\nlatency per query (synthetic channels of 10 minutes)\n");
    for (int channels : {10, 100, 1000})
        latency(channels, settings);

    FingerprintIndex hour(int(3600 * FingerprintIndex::FramesPerSecond));
    const size_t table = hour.memoryBytes(); // the shared bucket table alone
    for (int c = 0; c < 10; ++c)
        hour.addChannel(c);
    std::printf("\nmemory: %.2f MB per channel-hour, plus the shared bucket table (%.1f MiB)\n",
                double(hour.memoryBytes() - table) / 10 / 1e6, double(table) / (1 << 20));
    std::printf("fingerprinting: %.0f channels in real time per core (rendering excluded)\n",
                double(fed) / Rate * double(live.size()) / feedSeconds);
    return 0;
}
