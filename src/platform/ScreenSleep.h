#pragma once

#include <QString>

#include <cstdint>

// Whether the display may go to sleep while the application runs: kept awake through the
// freedesktop ScreenSaver service of the session bus (Inhibit, answered with a cookie that
// UnInhibit returns). Without a session bus or the service it logs once and only remembers
// the wish. Main thread only.
class ScreenSleep
{
public:
    static ScreenSleep& shared();

    void setIdleTimerDisabled(bool disabled);
    bool isIdleTimerDisabled() const { return m_disabled; }
    // True while the desktop holds an inhibition of ours.
    bool isInhibiting() const { return m_cookie != 0; }

    static inline const QString Service = QStringLiteral("org.freedesktop.ScreenSaver");
    static inline const QString Path = QStringLiteral("/org/freedesktop/ScreenSaver");

private:
    bool m_disabled = false;
    uint32_t m_cookie = 0;
    bool m_warned = false;
};
