#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QTimer;
class QWidget;

// Renders a window to a PNG once start-up has settled (no request in flight for a moment,
// or at most after a time limit), then quits the application with 0 (1 if it cannot write).
class ScreenshotTaker : public QObject
{
    Q_OBJECT

public:
    ScreenshotTaker(QWidget* window, const QString& file, QObject* parent = nullptr);
    void start(int minimumDelayMs = 300, int maximumDelayMs = 5000);

private:
    void check();
    void take();

    QPointer<QWidget> m_window;
    QString m_file;
    QTimer* m_poll;
    qint64 m_startedMs = 0;
    int m_minimumMs = 0;
    int m_maximumMs = 0;
    int m_quietChecks = 0;
};
