#include "FingerprintCommand.h"

#include "fingerprint/AcFpInfo.h"
#include "fingerprint/FpExtract.h"
#include "platform/WavReader.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

namespace {

void printBlock(const vec32& block, bool bytes)
{
    if (!bytes) {
        for (int32_t i = 0; i < block.datasize; ++i)
            std::printf("%08x\n", uint32_t(block.data[i]));
        return;
    }
    std::string line;
    line.reserve(size_t(block.datasize) * 8 + 1);
    char hex[3];
    for (int32_t i = 0; i < block.datasize; ++i) {
        const uint32_t value = uint32_t(block.data[i]);
        for (int byte = 0; byte < 4; ++byte) {
            std::snprintf(hex, sizeof hex, "%02x", (value >> (8 * byte)) & 0xFF);
            line += hex;
        }
    }
    std::printf("%s\n", line.c_str());
}

// With --json: one object a line, {"t": seconds of sound fed, "block": [512 numbers]}.
void printJsonBlock(const vec32& block, int64_t samplesFed)
{
    std::string line = "{\"t\": " + std::to_string(double(samplesFed) / 44100.0) + ", \"block\": [";
    for (int32_t i = 0; i < block.datasize; ++i) {
        if (i > 0)
            line += ", ";
        line += std::to_string(uint32_t(block.data[i]));
    }
    line += "]}";
    std::printf("%s\n", line.c_str());
}

} // namespace

int FingerprintCommand::run(const CliOptions& options)
{
    QStringList arguments = options.arguments;
    const bool bytes = arguments.removeAll(QStringLiteral("--bytes")) > 0;
    int64_t period = 0;
    const qsizetype every = arguments.indexOf(QStringLiteral("--every"));
    if (every >= 0) {
        bool ok = false;
        const double seconds = arguments.value(every + 1).toDouble(&ok);
        period = ok ? std::llround(seconds * 44100.0) : 0;
        if (period <= 0) {
            std::fprintf(stderr, "orvane-cli: --every needs a positive number of seconds\n");
            return 2;
        }
        arguments.remove(every, 2);
    }
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: orvane-cli fingerprint FILE.wav [--every SECONDS] [--bytes]\n");
        return 2;
    }

    std::string error;
    const std::vector<int16_t> samples = WavReader::readAll(arguments.first().toStdString(), &error);
    if (!error.empty()) {
        std::fprintf(stderr, "orvane-cli: %s\n", error.c_str());
        return 2;
    }

    auto info = std::make_unique<AcFpInfo>();
    fp_info_init(info.get());
    fp_info_reset(info.get(), 512, 64);
    vec32 block;
    bool first = true;
    const int64_t total = int64_t(samples.size());
    for (int64_t fed = 0; fed < total;) {
        int64_t n = std::min<int64_t>(367, total - fed);
        if (period > 0)
            n = std::min(n, (fed / period + 1) * period - fed);
        fp_decimate_samples(info.get(), samples.data() + fed, int32_t(n));
        fed += n;
        if (period > 0 && fed % period == 0) {
            if (!first && !options.json)
                std::printf("\n");
            fp_extract_block(info.get(), &block);
            options.json ? printJsonBlock(block, fed) : printBlock(block, bytes);
            first = false;
        }
    }
    if (period == 0) {
        fp_extract_block(info.get(), &block);
        options.json ? printJsonBlock(block, total) : printBlock(block, bytes);
    }
    return 0;
}
