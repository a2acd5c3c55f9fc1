#pragma once

#include "ChannelRunner.h"
#include "FingerprintIndex.h"

#include <memory>
#include <vector>

// The identification server's live channels: their runners over one index.
class ChannelFarm
{
public:
    static constexpr qint64 StaleAfterMs = 10000;

    ChannelFarm(const QList<ChannelSource>& specs, int historyMinutes, ChannelRunner::Log log);
    ~ChannelFarm();

    void start();
    void stop();
    FingerprintIndex& index() { return m_index; }
    int channels() const { return int(m_runners.size()); }
    // Every channel has had audio in the last StaleAfterMs (and there is at least one).
    bool healthy(qint64 nowMs) const;
    // The channels whose audio repeats itself (ChannelRunner::repeats).
    QList<int> repeating() const;

private:
    FingerprintIndex m_index;
    std::vector<std::unique_ptr<ChannelRunner>> m_runners;
};
