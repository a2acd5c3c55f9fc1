#include "TestHome.h"

#include "platform/Preferences.h"

TestHome::TestHome() : m_previous(qgetenv("ORVANE_HOME"))
{
    qputenv("ORVANE_HOME", m_dir.path().toUtf8());
    Preferences::resetStandard();
}

TestHome::~TestHome()
{
    Preferences::resetStandard();
    if (m_previous.isEmpty())
        qunsetenv("ORVANE_HOME");
    else
        qputenv("ORVANE_HOME", m_previous);
}
