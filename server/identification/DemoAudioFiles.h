#pragma once

#include <QString>

#include <functional>

// The demo's live audio: channels.conf, for serve --config, gives every demo channel known
// to the identification (DemoCatalogue's autoDetection) its demo programme as it airs
// ("ID=demo:ID", DemoProgrammeSource: endless, so that no channel repeats itself); the
// application hears channel MicrophoneChannel with --audio-input demo-room:1.
namespace DemoAudioFiles {

constexpr int MicrophoneChannel = 1;

// done/total files; false with *error when a file cannot be written.
bool write(const QString& folder, QString* error,
           const std::function<void(int done, int total)>& progress = {});

} // namespace DemoAudioFiles
