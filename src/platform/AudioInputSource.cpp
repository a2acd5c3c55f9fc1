#include "AudioInputSource.h"

#include "DemoProgrammeSource.h"
#include "PortAudioSource.h"
#include "SilenceSource.h"
#include "WavFileSource.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcAudio, "orvane.audio")

std::unique_ptr<AudioInputSource> AudioInputSource::create(const std::string& spec, bool paced, bool loop,
                                                           std::string* error)
{
    if (spec == "none")
        return std::make_unique<SilenceSource>(paced);
    for (const std::string prefix : {"demo:", "demo-room:"}) {
        if (spec.rfind(prefix, 0) != 0)
            continue;
        const std::string id = spec.substr(prefix.size());
        if (id.empty() || id.size() > 6 || id.find_first_not_of("0123456789") != std::string::npos) {
            *error = "\"" + spec + "\": the demo channel must be a number";
            return nullptr;
        }
        return std::make_unique<DemoProgrammeSource>(std::stoi(id), prefix == "demo-room:");
    }
    if (spec.rfind("file:", 0) == 0) {
        auto file = std::make_unique<WavFileSource>(paced, loop);
        if (!file->open(spec.substr(5), error))
            return nullptr;
        return file;
    }
    if (spec == "default" || spec.empty()) {
        auto device = std::make_unique<PortAudioSource>();
        std::string reason;
        if (device->open(&reason))
            return device;
        // Not an error: a machine without a microphone listens to silence.
        qCInfo(lcAudio) << "no microphone (" << reason.c_str() << "): listening to silence";
        return std::make_unique<SilenceSource>(true);
    }
    *error = "unknown audio input \"" + spec + "\": use " + SpecForms;
    return nullptr;
}

bool AudioInputSource::isSpec(const std::string& spec)
{
    for (const char* prefix : {"file:", "demo:", "demo-room:"}) {
        if (spec.rfind(prefix, 0) == 0)
            return true;
    }
    return spec == "default" || spec == "none";
}
