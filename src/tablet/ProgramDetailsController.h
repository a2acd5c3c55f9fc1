#pragma once

#include "MovieRatingView.h"
#include "ORVViewController_iPad.h"
#include "TVScreensThumbsView.h"

#include "model/ShowInfo.h"
#include "ui/DatePickerOverlay.h"
#include "widgets/Popover.h"

#include <QDateTime>
#include <QPointer>
#include <QPushButton>
#include <QVariant>

class ActivityOverlay;
class QLabel;
class QTextBrowser;
class QVBoxLayout;
struct Error;

// The details of one show on the tablet: its channel, name and times, picture, ratings and
// brief facts, the live screens while it is on air or its gallery, the description, a
// reminder in the calendar and a tweet. Filled once per show opened.
class ProgramDetailsController : public ORVViewController_iPad
{
    Q_OBJECT

public:
    static constexpr int MinimumWidth = 700;
    static constexpr int LivePictures = 15;

    explicit ProgramDetailsController(QObject* parent = nullptr);

    // startTime: a moment (its programme day is used) or the day as "yyyyMMdd".
    void openShowWithId(const QString& showId, const QString& channId, const QVariant& startTime);
    void onGetShowInfoDone(const QVariant& answer);
    void onGetShowInfoFailed(const Error& error);

    QString currentShowId() const { return m_currentShowId; }
    QString requestLink() const { return m_link; }
    const std::optional<ShowInfo>& channelInfo() const { return m_info; }
    int tableSections() const { return m_tableSections; }
    bool cellExists(const QString& key) const { return m_cellsExist.value(key).toBool(); }
    bool isActualShow() const { return m_isActualShow; }
    bool isHaveGallery() const { return m_isHaveGallery; }
    bool isLoading() const;
    TVScreensThumbsView* screensView() const { return m_screens; }
    QPushButton* calendarButton() const { return m_calendarButton; }
    bool isCalendarChecked() const;
    MovieRatingView* ratingView() const { return m_rating; }
    QString headerText() const;

    // The tweet offered for the show, by whether it is to come, on air or over.
    QString tweetText(const QDateTime& now = QDateTime::currentDateTime()) const;
    void twTouch();
    void calendarTouch();
    // With calendar access: removes the reminder, refuses a started show, adds a show starting
    // within 600 s at once, or asks for the alarm time first.
    void calendarChangeAccessGranted(const QDateTime& now = QDateTime::currentDateTime());
    DatePickerOverlay* alarmPicker() const { return m_picker; }
    // A link of the facts: opened in a web popover only with a connection; true when opened.
    bool openInfoLink(const QUrl& link);
    Popover* webPopover() const { return m_webPopover; }

protected:
    void loadView() override;

private:
    void build();
    void checkCalendarForCurrentShow();
    void addToCalendar(const std::optional<QDateTime>& alarm);
    void showAlert(const QString& title, const QString& message);

    QString m_currentShowId;
    QString m_link;
    std::optional<ShowInfo> m_info;
    int m_tableSections = 0;
    QVariantMap m_cellsExist;
    bool m_isTVsign = true;
    bool m_isActualShow = false;
    bool m_isHaveGallery = false;
    int m_generation = 0;
    QPointer<ActivityOverlay> m_overlay;
    QPointer<QWidget> m_content;
    QPointer<QVBoxLayout> m_sections;
    QPointer<TVScreensThumbsView> m_screens;
    QPointer<MovieRatingView> m_rating;
    QPointer<QPushButton> m_calendarButton;
    QPointer<QLabel> m_calendarCheck;
    QPointer<QLabel> m_header;
    QPointer<DatePickerOverlay> m_picker;
    QPointer<Popover> m_webPopover;
};
