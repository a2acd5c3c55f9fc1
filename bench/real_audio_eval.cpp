// Evaluation of the identification server's matcher on real recordings: every WAV file of
// CORPUS/channels is a live channel's last minutes (fingerprinted as the server does), and
// microphone clips of them, put through a room (RoomChain: reverberation, the telephone
// band, pink, brown or babble noise, gain), are fingerprinted as the application does and
// matched as a device's session: uploads at 0, 5, 11 and 19 s (the application's loop),
// each answered under the server's rule for weak matches (UploadConfirmation), the first
// channel answered ending the session. CORPUS/offair holds audio that is on no channel: every
// session naming a channel for it is a false positive. CORPUS/babble.wav, when present, is the voices of
// babble noise. Files: 44100 Hz, mono, 16 bit; a channel file's name starts with its kind ("music-",
// "speech-").
//   bench_real_audio_eval --corpus DIR [--clips 40] [--offair 1000] [--seed N]
//                         [--max-ber X] [--margin X] [--stand-alone-ber X] [--agreed-ber X]
//                         [--block-ber X] [--agreed-margin X] [--self-margin X]
//                         [--likeness-margin X] [--upset N] [--upset-above X]
//                         [--channels N] [--markdown]
// --channels N pads the index to N channels with stand-ins: each is a real channel's feed with
// every value XORed by a mask of its own (16 of 32 bits), so it keeps real audio's run of
// overlapping values and self-likeness but shares no place with any clip; the look-ups then
// meet as many unrelated keys as at N channels, and the scan of the newest audio runs only
// while N is at most 200 (PlaceSearch::ScanAtLeast).
// bench/real_audio.sh builds a corpus from Debian packages and runs this. EVAL_DEBUG=1 names
// every miss (with its BER at the true place and the best agreement) and false positive on stderr.
#include "RoomChain.h"

#include "identification/ApplicationBlock.h"
#include "identification/ChannelFeed.h"
#include "identification/FingerprintIndex.h"
#include "identification/Matcher.h"
#include "identification/UploadConfirmation.h"

#include <sndfile.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int Rate = RoomChain::Rate;
constexpr int ClipSamples = int(6.2 * Rate); // the application's block spans 6.12 s
constexpr double LastSeconds = 120;          // clips come from the feed's last two minutes

struct Audio
{
    std::string name;
    std::string kind; // "music", "speech", "offair"
    std::vector<int16_t> samples;
};

bool readWav(const std::filesystem::path& path, std::vector<int16_t>* out)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return false;
    if (info.samplerate != Rate || info.channels != 1) {
        std::fprintf(stderr, "%s: not 44100 Hz mono, left out\n", path.c_str());
        sf_close(file);
        return false;
    }
    out->resize(size_t(info.frames));
    const sf_count_t read = sf_read_short(file, out->data(), info.frames);
    sf_close(file);
    out->resize(size_t(std::max<sf_count_t>(read, 0)));
    return !out->empty();
}

std::vector<Audio> readFolder(const std::filesystem::path& folder, const std::string& kind)
{
    std::vector<std::filesystem::path> paths;
    if (std::filesystem::is_directory(folder)) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().extension() == ".wav")
                paths.push_back(entry.path());
        }
    }
    std::sort(paths.begin(), paths.end());
    std::vector<Audio> list;
    for (const auto& path : paths) {
        Audio audio{path.stem().string(), kind, {}};
        if (kind.empty())
            audio.kind = audio.name.rfind("speech", 0) == 0 ? "speech" : "music";
        if (readWav(path, &audio.samples) && audio.samples.size() > size_t(ClipSamples * 2))
            list.push_back(std::move(audio));
    }
    return list;
}

struct Condition
{
    std::string name;
    double snrDb;
    double speed = 0;
    double behindMin = 0, behindMax = 0; // seconds behind the live end; 0: anywhere in the last 2 min
    bool noisy() const { return snrDb < 200; }
};

struct Tally
{
    int right = 0, wrong = 0, none = 0;
    int rightByTwo = 0; // right at the first or second upload
    std::vector<double> ber;
    int total() const { return right + wrong + none; }
};

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

std::string percent(int part, int whole)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %%", whole ? 100.0 * part / whole : 0.0);
    return text;
}

RoomChain::Noise noiseOf(int k, bool haveBabble)
{
    switch (k % (haveBabble ? 3 : 2)) {
    case 0:
        return RoomChain::Noise::Pink;
    case 1:
        return RoomChain::Noise::Brown;
    default:
        return RoomChain::Noise::Babble;
    }
}

// When the application's loop uploads, in seconds after its first upload: the ladder of
// 5, 6 and 8 ticks of a second.
constexpr double UploadAt[] = {0, 5, 11, 19};
constexpr int Uploads = int(sizeof UploadAt / sizeof UploadAt[0]);
constexpr double SessionSeconds = 19 + 6.2;

// What a device's identification session ends with: the first channel answered (0: none) and
// at which upload, under the server's rule for weak matches.
struct Session
{
    int channelId = 0;
    int upload = -1;
    double ber = 1;
    double oracleBer = 1; // lowest BER at the true place (EVAL_DEBUG only)
    double agreedBer = 1; // best agreement of the uploads on any channel (EVAL_DEBUG only)
    int agreedChannel = 0;
    // Off air: whether all the uploads agreed on a channel, under no limit on their mean BER or
    // the channel's likeness (each upload still within blockBer): what the rule for four
    // agreeing uploads stands on.
    bool allAgreed = false;
    double allAgreedBer = 1; // their mean
};

// Where a clip's block begins in its channel's feed: value n is the frame that starts at
// input sample 512 n. -1 when the clip is on no channel.
template <typename ClipAt, typename StartAt>
Session session(const Matcher& matcher, const UploadConfirmation::Settings& rules, ClipAt clipAt,
                int channelId, StartAt startAt)
{
    static const bool debug = std::getenv("EVAL_DEBUG") != nullptr;
    std::vector<UploadConfirmation::Upload> earlier;
    Session out;
    UploadConfirmation::Settings loose = rules;
    loose.agreedBer = 1;
    loose.minMargin = 0;
    for (int k = 0; k < Uploads; ++k) {
        const std::vector<int16_t> clip = clipAt(UploadAt[k]);
        const Matcher::Block block = applicationBlock(clip.data(), int(clip.size()));
        const Matcher::Result result = matcher.match(block);
        const int64_t nowMs = int64_t(UploadAt[k] * 1000);
        out.ber = std::min(out.ber, result.ber);
        if (debug && channelId > 0)
            out.oracleBer =
                std::min(out.oracleBer, matcher.berNear(block, channelId, startAt(UploadAt[k]), 48));
        if (result.verdict == Matcher::Verdict::Uninformative) {
            earlier.clear(); // as the server does
            continue;
        }
        const UploadConfirmation::Upload upload{block, nowMs, result.close};
        const int channel = UploadConfirmation::decide(earlier, upload, result, matcher, rules);
        if (debug && !earlier.empty()) {
            std::vector<UploadConfirmation::Upload> all = earlier;
            all.push_back(upload);
            const UploadConfirmation::Agreement agreement = UploadConfirmation::agree(all, matcher, loose);
            if (agreement.channelId && agreement.ber < out.agreedBer) {
                out.agreedBer = agreement.ber;
                out.agreedChannel = agreement.channelId;
            }
        }
        if (channelId == 0 && k + 1 == Uploads) {
            std::vector<UploadConfirmation::Upload> all = earlier;
            all.push_back(upload);
            UploadConfirmation::Settings open = rules;
            open.agreedBer = 1;
            open.minMargin = 0;
            open.likenessMargin = -1;
            open.upsetAbove = 1;
            const UploadConfirmation::Agreement agreement = UploadConfirmation::agree(all, matcher, open);
            out.allAgreed = agreement.uploads == Uploads;
            if (out.allAgreed) {
                out.allAgreedBer = agreement.ber;
                double likeness = 1;
                for (const UploadConfirmation::Upload& u : all) {
                    for (const Matcher::Close& close : u.close)
                        likeness = close.channelId == agreement.channelId ? close.likeness : likeness;
                }
                if (debug)
                    std::fprintf(stderr,
                                 "off air: all uploads agreed on %d, mean BER %.3f, its likeness %.3f\n",
                                 agreement.channelId, agreement.ber, likeness);
            }
        }
        earlier.push_back(upload);
        if (channel > 0 && debug && channel != channelId) {
            std::fprintf(stderr, "wrong answer %d at upload %d: this BER %.3f\n", channel, k + 1, result.ber);
            for (const auto& u : earlier)
                for (const auto& c : u.close)
                    std::fprintf(stderr,
                                 "   upload at %lld: channel %d ber %.3f elsewhere %.3f position %lld\n",
                                 (long long)u.atMs, c.channelId, c.ber, c.elsewhere, (long long)c.position);
        }
        if (channel > 0) {
            out.channelId = channel;
            out.upload = k;
            return out;
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    std::string corpus;
    int clips = 40, offair = 1000, total = 0;
    unsigned seed = 20261208;
    bool markdown = false;
    Matcher::Settings settings;
    UploadConfirmation::Settings rules;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : "";
        if (option == "--markdown") {
            markdown = true;
            continue;
        }
        if (option == "--corpus")
            corpus = value;
        else if (option == "--clips")
            clips = std::atoi(value);
        else if (option == "--offair")
            offair = std::atoi(value);
        else if (option == "--channels")
            total = std::atoi(value);
        else if (option == "--seed")
            seed = unsigned(std::atol(value));
        else if (option == "--max-ber")
            settings.maxBer = std::atof(value);
        else if (option == "--margin")
            settings.minMargin = std::atof(value);
        else if (option == "--stand-alone-ber")
            rules.standAloneBer = std::atof(value);
        else if (option == "--agreed-ber")
            rules.agreedBer = std::atof(value);
        else if (option == "--block-ber")
            rules.blockBer = std::atof(value);
        else if (option == "--upset-above")
            rules.upsetAbove = std::atof(value);
        else if (option == "--upset")
            rules.upsetUploads = std::atoi(value);
        else if (option == "--likeness-margin")
            rules.likenessMargin = std::atof(value);
        else if (option == "--self-margin")
            rules.selfMargin = std::atof(value);
        else if (option == "--agreed-margin")
            rules.minMargin = std::atof(value);
        else {
            std::fprintf(stderr, "unknown option %s\n", option.c_str());
            return 2;
        }
        ++i;
    }
    if (corpus.empty()) {
        std::fprintf(stderr,
                     "usage: bench_real_audio_eval --corpus DIR [--clips N] [--offair N] [--markdown]\n");
        return 2;
    }
    const std::vector<Audio> channels = readFolder(std::filesystem::path(corpus) / "channels", {});
    const std::vector<Audio> offAir = readFolder(std::filesystem::path(corpus) / "offair", "offair");
    std::vector<int16_t> babble;
    const bool haveBabble = readWav(std::filesystem::path(corpus) / "babble.wav", &babble);
    if (channels.size() < 2 || offAir.empty()) {
        std::fprintf(stderr, "%s: needs at least two channels and some audio on no channel\n",
                     corpus.c_str());
        return 1;
    }

    // The live feeds: each file is a channel's history up to now, fingerprinted as it aired.
    size_t longest = 0;
    for (const Audio& c : channels)
        longest = std::max(longest, c.samples.size());
    const int frames = int(double(longest) / Rate * FingerprintIndex::FramesPerSecond) + 64;
    auto index = std::make_unique<FingerprintIndex>(frames);
    for (size_t c = 0; c < channels.size(); ++c) {
        ChannelFeed feed;
        const int slot = index->addChannel(int(c) + 1);
        const Audio& audio = channels[c];
        int64_t held = 0;
        for (size_t at = 0; at < audio.samples.size(); at += Rate) {
            const int count = int(std::min<size_t>(Rate, audio.samples.size() - at));
            const auto& values = feed.push(audio.samples.data() + at, count);
            index->append(slot, values.data(), int(values.size()), feed.weak().data());
            // How closely the channel resembles itself, checked as the server does.
            const int64_t before = held;
            held += int64_t(values.size());
            if (held / FingerprintIndex::LikenessEveryValues !=
                before / FingerprintIndex::LikenessEveryValues)
                index->noteLikeness(slot,
                                    Matcher::likenessElsewhere(*index, slot, held - Matcher::BlockSize));
        }
        if (std::getenv("EVAL_DEBUG"))
            std::fprintf(stderr, "%s: likeness %.3f\n", audio.name.c_str(),
                         FingerprintIndex::Reader(*index).likeness(slot));
    }
    // Stand-ins up to --channels: copies of the real feeds, each under a mask of its own, the
    // real channels among them at random slots (the index's order must not favour them).
    if (total > int(channels.size())) {
        std::vector<std::vector<uint32_t>> feeds(channels.size()), weak(channels.size());
        std::vector<double> likeness(channels.size());
        for (size_t c = 0; c < channels.size(); ++c) {
            const FingerprintIndex::Reader reader(*index);
            const int count = int(reader.end(int(c)) - reader.begin(int(c)));
            feeds[c].resize(size_t(count));
            weak[c].resize(size_t(count));
            reader.copy(int(c), reader.begin(int(c)), count, feeds[c].data());
            reader.copyWeak(int(c), reader.begin(int(c)), count, weak[c].data());
            likeness[c] = reader.likeness(int(c));
        }
        std::mt19937 random(seed ^ 0x5eedu);
        std::vector<int> order(static_cast<size_t>(total));
        for (int n = 0; n < total; ++n)
            order[size_t(n)] = n; // below channels.size(): that real channel
        std::shuffle(order.begin(), order.end(), random);
        index = std::make_unique<FingerprintIndex>(frames);
        for (const int n : order) {
            const size_t c = size_t(n) % channels.size();
            uint32_t mask = 0;
            while (n >= int(channels.size()) && std::popcount(mask) != 16)
                mask = random();
            std::vector<uint32_t> values = feeds[c];
            for (uint32_t& v : values)
                v ^= mask;
            const int slot = index->addChannel(n < int(channels.size()) ? n + 1 : 100000 + n);
            index->append(slot, values.data(), int(values.size()), weak[c].data());
            index->noteLikeness(slot, likeness[c]);
        }
    }
    Matcher matcher(*index, settings);

    const std::vector<Condition> conditions = {
        {"clean", 1e9},
        {"20 dB", 20},
        {"10 dB", 10},
        {"5 dB", 5},
        {"0 dB", 0},
        {"speed +1 %, 10 dB", 10, 0.01},
        {"speed -1 %, 10 dB", 10, -0.01},
        {"2-8 s behind live, 10 dB", 10, 0, 2, 8},
    };
    // Each clip draws from its own generator, so that one rule's answers (a session that ends
    // early draws less noise) do not change the clips that follow: rules compare on the same clips.
    const auto generatorOf = [seed](int condition, int clip) {
        return std::mt19937(seed * 1000003u + unsigned(condition) * 100003u + unsigned(clip));
    };
    std::vector<Tally> tallies(conditions.size());
    std::map<std::string, Tally> byKind; // at 10 dB
    for (size_t c = 0; c < conditions.size(); ++c) {
        const Condition& condition = conditions[c];
        for (int k = 0; k < clips; ++k) {
            std::mt19937 random = generatorOf(int(c), k);
            const size_t channel = size_t(random() % channels.size());
            const Audio& audio = channels[channel];
            const int64_t live = int64_t(audio.samples.size());
            const double stretch = 1 + std::max(0.0, condition.speed);
            const int64_t span = int64_t(std::ceil(ClipSamples * stretch)) + 2;
            // Where the last upload's audio ends.
            int64_t last;
            if (condition.behindMax > 0) {
                last = live - int64_t(std::uniform_real_distribution<double>(condition.behindMin,
                                                                             condition.behindMax)(random) *
                                      Rate);
            } else {
                const int64_t earliest =
                    std::max<int64_t>(span + int64_t(UploadAt[Uploads - 1] * Rate * stretch),
                                      live - int64_t(LastSeconds * Rate));
                last = std::uniform_int_distribution<int64_t>(earliest, live)(random);
            }
            RoomChain::Settings room;
            room.speed = condition.speed;
            room.reverb = true;
            room.snrDb = condition.snrDb;
            room.noise = noiseOf(k, haveBabble);
            const int64_t first = last - int64_t(UploadAt[Uploads - 1] * Rate * (1 + condition.speed));
            const Session result = session(
                matcher, rules,
                [&](double at) {
                    const int64_t end = first + int64_t(at * Rate * (1 + condition.speed));
                    return RoomChain::apply(audio.samples.data(), live, std::max<int64_t>(0, end - span),
                                            ClipSamples, room, random, &babble);
                },
                int(channel) + 1,
                [&](double at) { return (first + int64_t(at * Rate * (1 + condition.speed)) - span) / 512; });
            Tally& tally = tallies[c];
            tally.ber.push_back(result.ber);
            const bool right = result.channelId == int(channel) + 1;
            if (!right && std::getenv("EVAL_DEBUG"))
                std::fprintf(stderr,
                             "miss: %s, %s, %.0f s before live: answered %d, best BER %.3f, at the true "
                             "place %.3f, best agreement %.3f on %d\n",
                             condition.name.c_str(), audio.name.c_str(), double(live - last) / Rate,
                             result.channelId, result.ber, result.oracleBer, result.agreedBer,
                             result.agreedChannel);
            (right ? tally.right : result.channelId ? tally.wrong : tally.none)++;
            if (right && result.upload <= 1)
                ++tally.rightByTwo;
            if (condition.snrDb == 10 && condition.speed == 0 && condition.behindMax == 0) {
                Tally& kind = byKind[audio.kind];
                (right ? kind.right : result.channelId ? kind.wrong : kind.none)++;
            }
        }
    }

    // Audio on no channel, clean to 0 dB.
    Tally off;
    int offAllAgreed = 0;
    double offAllAgreedBer = 1;
    std::vector<double> offBer;
    for (int k = 0; k < offair; ++k) {
        std::mt19937 random = generatorOf(int(conditions.size()), k);
        const Audio& audio = offAir[size_t(random() % offAir.size())];
        const int64_t size = int64_t(audio.samples.size());
        const int64_t sessionSamples = int64_t(SessionSeconds * Rate) + 2;
        if (size <= sessionSamples)
            continue;
        const int64_t start = std::uniform_int_distribution<int64_t>(0, size - sessionSamples)(random);
        RoomChain::Settings room;
        room.reverb = true;
        room.snrDb = conditions[size_t(k % 5)].snrDb;
        room.noise = noiseOf(k, haveBabble);
        const Session result = session(
            matcher, rules,
            [&](double at) {
                return RoomChain::apply(audio.samples.data(), size, start + int64_t(at * Rate), ClipSamples,
                                        room, random, &babble);
            },
            0, [](double) { return int64_t(0); });
        offBer.push_back(result.ber);
        offAllAgreed += result.allAgreed ? 1 : 0;
        offAllAgreedBer = std::min(offAllAgreedBer, result.allAgreedBer);
        if (std::getenv("EVAL_DEBUG"))
            std::fprintf(stderr, "off air: best BER %.3f, best agreement %.3f\n", result.ber,
                         result.agreedBer);
        (result.channelId ? off.wrong : off.none)++;
        if (result.channelId && std::getenv("EVAL_DEBUG"))
            std::fprintf(stderr, "false positive: %s at %.1f s, %s: %s at upload %d\n", audio.name.c_str(),
                         double(start) / Rate, conditions[size_t(k % 5)].name.c_str(),
                         channels[size_t(result.channelId - 1)].name.c_str(), result.upload + 1);
    }

    int music = 0, speech = 0;
    const std::string standIns = total > int(channels.size())
                                     ? "; " + std::to_string(total - int(channels.size())) + " stand-ins"
                                     : "";
    for (const Audio& c : channels)
        (c.kind == "speech" ? speech : music)++;
    if (markdown) {
        std::printf("%zu channels (%d music, %d speech%s) of %.0f s, %zu files of audio on no channel; "
                    "max BER %.3f, margin %.3f, a match stands alone up to BER %.3f\n\n",
                    channels.size(), music, speech, standIns.c_str(), double(longest) / Rate, offAir.size(),
                    settings.maxBer, settings.minMargin, rules.standAloneBer);
        std::printf("| Condition | n | right | right by the 2nd upload | wrong | no answer |\n"
                    "|---|---|---|---|---|---|\n");
        for (size_t c = 0; c < conditions.size(); ++c) {
            const Tally& t = tallies[c];
            std::printf("| %s | %d | %s | %s | %d | %s |\n", conditions[c].name.c_str(), t.total(),
                        percent(t.right, t.total()).c_str(), percent(t.rightByTwo, t.total()).c_str(),
                        t.wrong, percent(t.none, t.total()).c_str());
        }
        std::printf("| audio on no channel | %d | — | — | %d | %s |\n", off.total(), off.wrong,
                    percent(off.none, off.total()).c_str());
        for (const auto& [kind, t] : byKind)
            std::printf("| 10 dB, %s channels only | %d | %s | — | %d | %s |\n", kind.c_str(), t.total(),
                        percent(t.right, t.total()).c_str(), t.wrong, percent(t.none, t.total()).c_str());
        char lowest[64] = "";
        if (offAllAgreed > 0)
            std::snprintf(lowest, sizeof lowest, " (lowest mean %.3f)", offAllAgreedBer);
        std::printf(
            "\nBest BER of audio on no channel: p1 %.3f, p50 %.3f; all %d uploads of a session agreed "
            "on a channel (each within %.2f, at any mean) in %d of %d sessions%s.\n",
            percentile(offBer, 0.01), percentile(offBer, 0.5), Uploads, rules.blockBer, offAllAgreed,
            off.total(), lowest);
        return 0;
    }
    std::printf("%zu channels (%d music, %d speech%s), %zu off-air files; max BER %.3f, margin %.3f\n",
                channels.size(), music, speech, standIns.c_str(), offAir.size(), settings.maxBer,
                settings.minMargin);
    std::printf("  %-26s %5s %7s %6s %9s   BER best p50 / p90\n", "condition", "n", "right", "wrong",
                "no answer");
    for (size_t c = 0; c < conditions.size(); ++c) {
        const Tally& t = tallies[c];
        std::printf("  %-26s %5d %7s %6d %9s   %.3f / %.3f\n", conditions[c].name.c_str(), t.total(),
                    percent(t.right, t.total()).c_str(), t.wrong, percent(t.none, t.total()).c_str(),
                    percentile(t.ber, 0.5), percentile(t.ber, 0.9));
    }
    for (const auto& [kind, t] : byKind)
        std::printf("  10 dB, %-18s %5d %7s %6d %9s\n", kind.c_str(), t.total(),
                    percent(t.right, t.total()).c_str(), t.wrong, percent(t.none, t.total()).c_str());
    std::printf("  %-26s %5d %7s %6d %9s   best BER p1 %.3f, p50 %.3f; all uploads agreed: %d (mean %.3f)\n",
                "audio on no channel", off.total(), "-", off.wrong, percent(off.none, off.total()).c_str(),
                percentile(offBer, 0.01), percentile(offBer, 0.5), offAllAgreed, offAllAgreedBer);
    return 0;
}
