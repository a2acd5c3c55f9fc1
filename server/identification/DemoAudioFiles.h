#pragma once

#include <QString>

#include <functional>

// The demo's live audio on disk: for every demo channel known to the identification
// (DemoCatalogue's autoDetection), ch-ID.wav with Seconds of its programme (16-bit 44100 Hz
// mono, played in a loop by the server); channels.conf naming them for serve --config; and
// microphone.wav, channel 1's programme with room noise at 20 dB SNR, for the application's
// --audio-input file:PATH. The same folder always gets the same bytes.
namespace DemoAudioFiles {

constexpr int Seconds = 30;
constexpr int MicrophoneChannel = 1;

// done/total files; false with *error when a file cannot be written.
bool write(const QString& folder, QString* error, const std::function<void(int done, int total)>& progress = {});

} // namespace DemoAudioFiles
