#include "ChannelRunner.h"

#include "ChannelFeed.h"
#include "FingerprintIndex.h"
#include "Matcher.h"
#include "PipeSource.h"

#include "platform/AudioInputSource.h"
#include "platform/RealTimePacer.h"

#include <QDateTime>

#include <vector>

namespace {
// 93 ms: 512 decimated samples, eight frames, which the feed hashes as one batch.
constexpr int ChunkSamples = 4096;
constexpr int FirstBackOffMs = 1000;
constexpr int LastBackOffMs = 60000;
constexpr qint64 GoodRunMs = 60000;
} // namespace

ChannelRunner::ChannelRunner(const ChannelSource& spec, FingerprintIndex& index, Log log)
    : m_spec(spec), m_index(index), m_log(std::move(log)), m_slot(index.addChannel(spec.channelId))
{}

ChannelRunner::~ChannelRunner()
{
    stop();
}

void ChannelRunner::start()
{
    if (!m_thread.joinable())
        m_thread = std::thread([this] { run(); });
}

void ChannelRunner::stop()
{
    m_stopping = true;
    {
        std::lock_guard guard(m_sourceLock);
        if (m_source)
            m_source->stop();
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

bool ChannelRunner::sleepFor(int ms)
{
    std::unique_lock guard(m_sleepLock);
    return !m_wake.wait_for(guard, std::chrono::milliseconds(ms), [this] { return m_stopping.load(); });
}

std::unique_ptr<AudioInputSource> ChannelRunner::open(QString* error) const
{
    std::string reason;
    std::unique_ptr<AudioInputSource> source;
    switch (m_spec.kind) {
    case ChannelSource::Kind::File:
        source = AudioInputSource::create("file:" + m_spec.argument.toStdString(), true, true, &reason);
        break;
    case ChannelSource::Kind::Silence:
        source = AudioInputSource::create("none", true, false, &reason);
        break;
    case ChannelSource::Kind::Demo:
        source = AudioInputSource::create("demo:" + m_spec.argument.toStdString(), true, false, &reason);
        break;
    case ChannelSource::Kind::Pipe: {
        auto pipe = std::make_unique<PipeSource>(m_spec.argument.toStdString());
        pipe->start();
        if (!pipe->isRunning())
            reason = "the command could not be started";
        else
            source = std::move(pipe);
        break;
    }
    }
    if (!source)
        *error = QString::fromStdString(reason);
    return source;
}

void ChannelRunner::checkLikeness(int added, const QString& name)
{
    const int64_t before = m_values;
    m_values += added;
    const int every = FingerprintIndex::LikenessEveryValues;
    if (m_values / every == before / every)
        return;
    m_index.noteLikeness(m_slot, Matcher::likenessElsewhere(m_index, m_slot, m_values - Matcher::BlockSize));
    const double likeness = FingerprintIndex::Reader(m_index).likeness(m_slot);
    const bool repeats = likeness < Matcher::RepeatsBelow;
    if (repeats == m_repeats.load())
        return;
    m_repeats = repeats;
    m_log(repeats ? QStringLiteral("%1: the audio repeats itself (BER %2 against its own past); not matched "
                                   "until it changes")
                        .arg(name)
                        .arg(likeness, 0, 'f', 3)
                  : QStringLiteral("%1: the audio no longer repeats itself; matched again").arg(name));
}

void ChannelRunner::run()
{
    ChannelFeed feed;
    std::vector<int16_t> chunk(ChunkSamples);
    int backOffMs = FirstBackOffMs;
    const QString name = QStringLiteral("channel %1 (%2)").arg(m_spec.channelId).arg(m_spec.describe());
    while (!m_stopping) {
        QString error;
        std::unique_ptr<AudioInputSource> source = open(&error);
        if (source) {
            ++m_starts;
            m_log(QStringLiteral("%1: started").arg(name));
            {
                std::lock_guard guard(m_sourceLock);
                m_source = source.get();
                if (m_stopping)
                    source->stop(); // stop() came while the source was being opened
            }
            source->start();
            RealTimePacer pacer(44100); // a pipe is paced here; files and silence pace themselves
            pacer.restart();
            const qint64 began = QDateTime::currentMSecsSinceEpoch();
            while (!m_stopping) {
                const size_t got = source->read(chunk.data(), chunk.size());
                if (got > 0) {
                    const std::vector<uint32_t>& values = feed.push(chunk.data(), int(got));
                    if (!values.empty()) {
                        m_index.append(m_slot, values.data(), int(values.size()), feed.weak().data());
                        checkLikeness(int(values.size()), name);
                    }
                    m_lastAudioMs = QDateTime::currentMSecsSinceEpoch();
                    if (m_spec.kind == ChannelSource::Kind::Pipe)
                        pacer.wait(got);
                }
                if (got < chunk.size())
                    break;
            }
            source->stop();
            {
                std::lock_guard guard(m_sourceLock);
                m_source = nullptr;
            }
            if (m_stopping)
                break;
            if (QDateTime::currentMSecsSinceEpoch() - began > GoodRunMs)
                backOffMs = FirstBackOffMs;
            error = QStringLiteral("the source ended");
        }
        m_log(QStringLiteral("%1: %2; starting again in %3 s").arg(name, error).arg(backOffMs / 1000.0));
        if (!sleepFor(backOffMs))
            break;
        backOffMs = std::min(LastBackOffMs, backOffMs * 2);
    }
}
