#pragma once

#include "model/AppContext.h"

// The shared state as the terminal tool sees it: the city of the command line or the
// stored one, the stored channel map when it belongs to that city, no current channel.
class CliContext final : public AppContext
{
public:
    // cityId <= 0 means the stored city (1 when none is stored).
    explicit CliContext(int cityId);

    int userCityId() const override { return m_cityId; }
    QVariantMap mapListDict() const override { return m_map; }
    double roundedServerTimeDifference() const override { return m_offset; }
    std::shared_ptr<Channel> selectedChannel() const override { return nullptr; }

    void setRoundedServerTimeDifference(double seconds) { m_offset = seconds; }

private:
    int m_cityId = 1;
    QVariantMap m_map;
    double m_offset = 0;
};
