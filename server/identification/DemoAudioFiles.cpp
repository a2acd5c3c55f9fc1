#include "DemoAudioFiles.h"

#include "DemoAudio.h"

#include "importer/DemoCatalogue.h"
#include "platform/AtomicFile.h"

#include <QDir>

#include <sndfile.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

bool writeWav(const QString& path, const std::vector<int16_t>& samples, QString* error)
{
    SF_INFO info{};
    info.samplerate = DemoAudio::SampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    const QString partial = path + QStringLiteral(".part");
    SNDFILE* file = sf_open(QFile::encodeName(partial).constData(), SFM_WRITE, &info);
    if (!file) {
        *error =
            QStringLiteral("cannot write %1: %2").arg(partial, QString::fromLocal8Bit(sf_strerror(nullptr)));
        return false;
    }
    const sf_count_t written = sf_write_short(file, samples.data(), sf_count_t(samples.size()));
    sf_close(file);
    QFile::remove(path);
    if (written != sf_count_t(samples.size()) || !QFile::rename(partial, path)) {
        *error = QStringLiteral("cannot write %1").arg(path);
        QFile::remove(partial);
        return false;
    }
    return true;
}

std::vector<int16_t> programme(int channelId)
{
    std::vector<int16_t> samples(size_t(DemoAudioFiles::Seconds) * DemoAudio::SampleRate);
    DemoAudio(uint32_t(channelId), DemoAudio::kindOf(channelId))
        .render(0, int(samples.size()), samples.data());
    return samples;
}

} // namespace

bool DemoAudioFiles::write(const QString& folder, QString* error,
                           const std::function<void(int, int)>& progress)
{
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot create %1").arg(folder);
        return false;
    }
    const QDir dir(folder);
    QList<int> ids;
    for (const DemoCatalogue::Channel& channel : DemoCatalogue::channels()) {
        if (channel.autoDetection)
            ids.append(channel.id);
    }
    const int total = int(ids.size()) + 1;
    QByteArray config = "# Live audio of the demo channels: ID=SOURCE (see orvane-server --help)\n";
    for (int i = 0; i < ids.size(); ++i) {
        const QString name = QStringLiteral("ch-%1.wav").arg(ids[i]);
        if (!writeWav(dir.filePath(name), programme(ids[i]), error))
            return false;
        config += QByteArray::number(ids[i]) + "=file:" + name.toUtf8() + "\n";
        if (progress)
            progress(i + 1, total);
    }

    // The room: the programme a little quieter, with noise 20 dB below it.
    std::vector<int16_t> microphone = programme(MicrophoneChannel);
    double power = 0;
    for (int16_t v : microphone)
        power += double(v) * v;
    power /= double(microphone.size());
    std::mt19937 random(20261207);
    std::normal_distribution<double> noise(0, std::sqrt(power / 100.0));
    for (int16_t& v : microphone)
        v = int16_t(std::clamp(0.8 * v + noise(random), -32768.0, 32767.0));
    if (!writeWav(dir.filePath(QStringLiteral("microphone.wav")), microphone, error))
        return false;

    if (!AtomicFile::write(dir.filePath(QStringLiteral("channels.conf")), config, error))
        return false;
    if (progress)
        progress(total, total);
    return true;
}
