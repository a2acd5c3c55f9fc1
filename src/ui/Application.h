#pragma once

#include <QObject>

// Application-wide interface state: the network activity indicator and whether the
// application is active (its window has the focus), inactive or in the background.
class Application : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Active,
        Inactive,
        Background
    };

    static Application& shared();

    bool isNetworkActivityIndicatorVisible() const { return m_networkActivity; }
    void setNetworkActivityIndicatorVisible(bool visible);

    static State applicationState();

Q_SIGNALS:
    void networkActivityIndicatorChanged(bool visible);

private:
    Application() = default;
    bool m_networkActivity = false;
};
