#pragma once

#include <QDateTime>
#include <QPointer>
#include <QVariantList>
#include <QVariantMap>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

// What the logo view asks of the root pane.
class ORVLogoViewDelegate
{
public:
    virtual ~ORVLogoViewDelegate() = default;
    virtual void logoViewDidAnimateStartDetectionStateWithDuration(double seconds) = 0;
    virtual void logoViewWillAnimateFinishDetectionStateWithDuration(double seconds) = 0;
    virtual void logoViewCurrentShowDidChange() = 0;
    // The shows ran out: new now-data is wanted.
    virtual void getUpdateToLogoView() = 0;
};

// The root pane's top panel: the channel the identification detected with its show on air
// (times, progress, what comes next), the service status with the people online, and the
// Twitter buttons. Idle (no channel) until the root gives it a channel's now-data; walks its
// show list as shows end; back to idle when the identification goes idle.
class ORVLogoView_iPad : public QWidget
{
    Q_OBJECT

public:
    static constexpr double FadeInSeconds = 0.5;
    static constexpr double FadeOutSeconds = 1.0;

    explicit ORVLogoView_iPad(QWidget* parent = nullptr);
    void setDelegate(ORVLogoViewDelegate* delegate) { m_delegate = delegate; }

    // A now-data answer (view type 1): "p", the shows; "c", the channel; "s", the radio's songs.
    void setDetectedChannWithData(const QVariantMap& answer);
    // Redraws the current show; when it has ended, moves to the next show still to end (true),
    // or, with none left, asks the delegate for new data (false).
    bool checkShowBounds(const QDateTime& now = QDateTime::currentDateTime());
    QVariantMap getCurrentShowData() const;
    QString getCurrentShowId() const;
    QString getCurrentShowDate() const;
    QDateTime getCurrentShowTime() const;
    bool isDetected() const { return m_detected; }
    bool isHaveSpecialContent() const { return m_hasSpecialContent; }
    int specialContentCode() const { return m_specialContentCode; }
    QString specialContentUrl() const { return m_specialContentUrl; }

    void setOnlineStatus(const QString& text, int peoplesOnline);
    void setOfflineStatus(const QString& text);
    // Identification in progress: a pulse while idle.
    void animateDetected();
    void idle();
    void setTwitterLogin(bool loggedIn, const QString& loginName);

    QString channelText() const;
    QString staticText() const;
    QString showText() const;
    QString nextText() const;
    QString statusText() const;
    QString peopleText() const;
    QString twitterText() const;
    int progressPercent() const;
    QPushButton* programButton() const { return m_programButton; }
    QPushButton* shareButton() const { return m_shareButton; }
    QPushButton* loginButton() const { return m_loginButton; }
    QPushButton* logoutButton() const { return m_logoutButton; }
    bool isPulsing() const { return m_pulsing; }

private:
    void updateInterfaceWithShow(const QVariantMap& show, const QVariantMap& nextShow,
                                 const QDateTime& now = QDateTime::currentDateTime());

    ORVLogoViewDelegate* m_delegate = nullptr;
    QVariantList m_shows;
    int m_current = 0;
    bool m_detected = false;
    bool m_hasData = false;
    bool m_pulsing = false;
    int m_specialContentCode = 0;
    bool m_hasSpecialContent = false;
    QString m_specialContentUrl;
    QLabel* m_picture;
    QLabel* m_static;
    QLabel* m_channel;
    QLabel* m_show;
    QLabel* m_times;
    QLabel* m_next;
    QLabel* m_status;
    QLabel* m_people;
    QLabel* m_microphone;
    QLabel* m_twitterName;
    QProgressBar* m_progress;
    QPushButton* m_programButton;
    QPushButton* m_shareButton;
    QPushButton* m_loginButton;
    QPushButton* m_logoutButton;
};
