#include "ChannelFarm.h"

ChannelFarm::ChannelFarm(const QList<ChannelSource>& specs, int historyMinutes, ChannelRunner::Log log)
    : m_index(int(historyMinutes * 60 * FingerprintIndex::FramesPerSecond))
{
    for (const ChannelSource& spec : specs)
        m_runners.push_back(std::make_unique<ChannelRunner>(spec, m_index, log));
}

ChannelFarm::~ChannelFarm()
{
    stop();
}

void ChannelFarm::start()
{
    for (auto& runner : m_runners)
        runner->start();
}

void ChannelFarm::stop()
{
    for (auto& runner : m_runners)
        runner->stop();
}

bool ChannelFarm::healthy(qint64 nowMs) const
{
    if (m_runners.empty())
        return false;
    for (const auto& runner : m_runners) {
        if (nowMs - runner->lastAudioMs() > StaleAfterMs)
            return false;
    }
    return true;
}

QList<int> ChannelFarm::repeating() const
{
    QList<int> ids;
    for (const auto& runner : m_runners) {
        if (runner->repeats())
            ids.append(runner->spec().channelId);
    }
    return ids;
}
