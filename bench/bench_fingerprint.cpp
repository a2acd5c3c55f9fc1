// The fingerprint's speed: decimation throughput, block extraction, and continuous
// extraction as a server runs it (one sub-fingerprint per 64 new decimated samples): frames
// one at a time, eight at a time, and a whole live channel with its decimation.
#include <benchmark/benchmark.h>

#include "fingerprint/AcFpInfo.h"
#include "fingerprint/FpExtract.h"
#include "identification/ChannelFeed.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace {

std::vector<int16_t> noise(size_t count)
{
    std::vector<int16_t> x(count);
    uint32_t state = 12345;
    for (auto& v : x) {
        state = state * 1664525u + 1013904223u;
        v = int16_t(state >> 16);
    }
    return x;
}

std::unique_ptr<AcFpInfo> ready()
{
    auto info = std::make_unique<AcFpInfo>();
    fp_info_init(info.get());
    fp_info_reset(info.get(), 512, 64);
    return info;
}

void decimation(benchmark::State& state)
{
    auto info = ready();
    const std::vector<int16_t> second = noise(44100);
    for (auto _ : state) {
        for (size_t i = 0; i + 367 <= second.size(); i += 367)
            fp_decimate_samples(info.get(), second.data() + i, 367);
    }
    // One iteration is (almost) one second of audio.
    state.counters["x_realtime"] = benchmark::Counter(
        double(state.iterations()) * (44100 / 367 * 367) / 44100.0, benchmark::Counter::kIsRate);
}
BENCHMARK(decimation)->Unit(benchmark::kMicrosecond);

void extractBlock(benchmark::State& state)
{
    auto info = ready();
    const std::vector<int16_t> audio = noise(44100 * 8);
    fp_decimate_samples(info.get(), audio.data(), int32_t(audio.size()));
    vec32 out;
    for (auto _ : state) {
        fp_extract_block(info.get(), &out);
        benchmark::DoNotOptimize(out.data);
    }
    // A block covers 1024 + 64 * 511 decimated samples, 6.12 s of audio.
    state.counters["x_realtime"] = benchmark::Counter(double(state.iterations()) * (1024 + 64 * 511) / 5512.5,
                                                      benchmark::Counter::kIsRate);
}
BENCHMARK(extractBlock)->Unit(benchmark::kMillisecond);

void continuousFrames(benchmark::State& state)
{
    auto info = ready();
    const std::vector<int16_t> audio = noise(44100 * 8);
    fp_decimate_samples(info.get(), audio.data(), int32_t(audio.size()));
    int32_t start = 0;
    for (auto _ : state) {
        // Each frame is the latest 1024 samples after 64 new ones: one hash per frame.
        benchmark::DoNotOptimize(fp_hash_frame(info.get(), info->fftFIFO.data + start));
        start = (start + 64) % (AcFpInfo::RingSize - 1024);
    }
    // A channel makes 5512.5 / 64 frames per second.
    state.counters["channels_per_core"] =
        benchmark::Counter(double(state.iterations()) / (5512.5 / 64.0), benchmark::Counter::kIsRate);
}
BENCHMARK(continuousFrames)->Unit(benchmark::kMicrosecond);

// The same frames eight at a time (fp_hash_frames), as a live feed hashes them.
void continuousFramesInBatches(benchmark::State& state)
{
    auto info = ready();
    const std::vector<int16_t> audio = noise(44100 * 8);
    fp_decimate_samples(info.get(), audio.data(), int32_t(audio.size()));
    int32_t start = 0;
    const int16_t* frames[8];
    uint32_t out[8];
    for (auto _ : state) {
        for (int f = 0; f < 8; ++f)
            frames[f] = info->fftFIFO.data + start + 64 * f;
        fp_hash_frames(info.get(), frames, 8, out);
        benchmark::DoNotOptimize(out);
        start = (start + 64 * 8) % (AcFpInfo::RingSize - 1024 - 64 * 8);
    }
    state.counters["channels_per_core"] =
        benchmark::Counter(double(state.iterations()) * 8 / (5512.5 / 64.0), benchmark::Counter::kIsRate);
}
BENCHMARK(continuousFramesInBatches)->Unit(benchmark::kMicrosecond);

// A live channel as the server runs it: 44100 Hz audio in chunks of 4096 samples through
// decimation and hashing (ChannelFeed); one iteration is one second of audio.
void liveChannel(benchmark::State& state)
{
    ChannelFeed feed;
    const std::vector<int16_t> audio = noise(4096 * 11);
    size_t values = 0;
    for (auto _ : state) {
        for (size_t i = 0; i + 4096 <= audio.size(); i += 4096)
            values += feed.push(audio.data() + i, 4096).size();
    }
    benchmark::DoNotOptimize(values);
    state.counters["channels_per_core"] =
        benchmark::Counter(double(state.iterations()) * (4096 * 11) / 44100.0, benchmark::Counter::kIsRate);
}
BENCHMARK(liveChannel)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
