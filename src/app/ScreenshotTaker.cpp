#include "ScreenshotTaker.h"

#include "platform/HttpFetcher.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <cstdio>

ScreenshotTaker::ScreenshotTaker(QWidget* window, const QString& file, QObject* parent)
    : QObject(parent), m_window(window), m_file(file), m_poll(new QTimer(this))
{
    m_poll->setInterval(50);
    connect(m_poll, &QTimer::timeout, this, &ScreenshotTaker::check);
}

void ScreenshotTaker::start(int minimumDelayMs, int maximumDelayMs)
{
    m_minimumMs = minimumDelayMs;
    m_maximumMs = maximumDelayMs;
    m_startedMs = QDateTime::currentMSecsSinceEpoch();
    m_poll->start();
}

void ScreenshotTaker::check()
{
    const qint64 elapsed = QDateTime::currentMSecsSinceEpoch() - m_startedMs;
    m_quietChecks = HttpFetcher::fetchesInFlight() == 0 ? m_quietChecks + 1 : 0;
    if ((elapsed >= m_minimumMs && m_quietChecks >= 3) || elapsed >= m_maximumMs)
        take();
}

void ScreenshotTaker::take()
{
    m_poll->stop();
    const bool saved = m_window && m_window->grab().save(m_file, "PNG");
    if (!saved)
        std::fprintf(stderr, "orvane: cannot write the screenshot to %s\n", qPrintable(m_file));
    QCoreApplication::exit(saved ? 0 : 1);
}
