#include "CliContext.h"

#include "model/PreferenceKeys.h"
#include "platform/Preferences.h"

CliContext::CliContext(int cityId)
{
    Preferences& defaults = Preferences::standard();
    const int stored = defaults.integer(PreferenceKeys::CityId);
    const int storedCity = stored > 0 ? stored : 1;
    m_cityId = cityId > 0 ? cityId : storedCity;
    if (m_cityId == stored)
        m_map = defaults.dictionary(PreferenceKeys::CityMapList);
}
