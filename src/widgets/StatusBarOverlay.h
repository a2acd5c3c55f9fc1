#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class QTimer;

// A thin bar over the bottom right corner of the window that tells of background work in a few
// words: a message with a spinner while the work lasts, then a finished or an error mark for
// a moment. Messages posted while a timed one shows wait their turn; a message replaces an
// untimed one at once (waiting or shown). A tap shrinks the bar to its mark alone,
// or widens it again; the state is kept in the preferences ("kMTStatusBarOverlayStateShrinked").
// Main thread only.
class StatusBarOverlay : public QWidget
{
    Q_OBJECT

public:
    enum class Kind
    {
        Activity,
        Finished,
        Error
    };

    static constexpr int Height = 20;
    static constexpr int Width = 280;
    static constexpr int ShrunkWidth = 26;
    static constexpr int SpinnerMs = 80;
    static inline const QString ShrinkedKey = QStringLiteral("kMTStatusBarOverlayStateShrinked");

    // The overlay of the key window, made on first use; null while there is no window.
    static StatusBarOverlay* sharedOverlay();

    explicit StatusBarOverlay(QWidget* window);

    // Work under way, shown until replaced, finished or hidden.
    void postMessage(const QString& text);
    // Shown for the given time after the messages queued before it.
    void postFinishMessage(const QString& text, double seconds);
    void postErrorMessage(const QString& text, double seconds);
    // Drops the message shown and those waiting, and hides the bar.
    void hideOverlay();

    QString message() const { return m_text; }
    Kind kind() const { return m_kind; }
    bool isShowing() const { return m_showing; }
    int queuedCount() const { return int(m_queue.size()); }
    bool isShrinked() const { return m_shrinked; }
    void setShrinked(bool shrinked);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Message
    {
        QString text;
        Kind kind;
        int ms;
    };

    void post(const Message& message);
    void present(const Message& message);
    void showNext();
    void place();

    QString m_text;
    Kind m_kind = Kind::Activity;
    bool m_showing = false;
    bool m_shrinked = false;
    int m_spin = 0;
    QList<Message> m_queue;
    QTimer* m_dwell;
    QTimer* m_spinner;
};
