#include "Application.h"

#include <QGuiApplication>

Application& Application::shared()
{
    static Application* instance = new Application;
    return *instance;
}

void Application::setNetworkActivityIndicatorVisible(bool visible)
{
    if (m_networkActivity == visible)
        return;
    m_networkActivity = visible;
    Q_EMIT networkActivityIndicatorChanged(visible);
}

Application::State Application::applicationState()
{
    switch (QGuiApplication::applicationState()) {
    case Qt::ApplicationActive:
        return State::Active;
    case Qt::ApplicationInactive:
        return State::Inactive;
    default:
        return State::Background;
    }
}
