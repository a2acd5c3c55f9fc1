#pragma once

#include "ui/ActionSheet.h"
#include "ui/DatePickerOverlay.h"
#include "ui/TableView.h"
#include "ui/ViewController.h"

#include <QPointer>

#include <memory>
#include <optional>

class ActivityOverlay;
class Channel;
class QLabel;
class QTextBrowser;
class Show;
struct Error;

// One show: its channel, time, picture, facts, ratings and description, from a show link
// ("orvane://progdetails/DAY/CHANNEL/SHOW"); a menu shares it and adds it to (or removes it
// from) the calendar, with an alarm chosen in a picker.
class ShowDetailsViewController : public ViewController, public TableView::DataSource
{
    Q_OBJECT

public:
    explicit ShowDetailsViewController(QObject* parent = nullptr);
    ~ShowDetailsViewController() override;

    // A different address reloads a loaded screen.
    void setShowUrl(const QString& showUrl);
    const QString& showUrl() const { return m_showUrl; }

    std::shared_ptr<Channel> currentShowChannel() const { return m_channel; }
    std::shared_ptr<Show> show() const { return m_show; }
    bool isListShown() const;
    QWidget* ratingPanel(int tag) const; // 1 the movie site, 2 IMDb
    QStringList sectionHeaders() const;
    ActionSheet* sheet() const { return m_sheet; }
    DatePickerOverlay* datePicker() const { return m_picker; }

    // Upright only while the application controller blocks turning (the alarm picker, no
    // connection); otherwise every way but upside down.
    int supportedInterfaceOrientations() const override;

    // The list: channel, show, info (rating row, facts), description.
    int numberOfSections() const override;
    int numberOfRowsInSection(int section) const override;
    QWidget* cellForRow(int section, int row) override;
    int heightForRow(int section, int row) const override;
    QWidget* viewForHeaderInSection(int section) override;
    int heightForHeaderInSection(int section) const override;

    void showMenu();
    void showMenuWithCalendar(bool calendar);
    // The sheet's choice: 0 share, 1 the calendar entry, the last one cancel.
    void actionSheetClickedButtonAtIndex(int index);
    void disappearSheet(const QString& notificationName);

protected:
    void loadView() override;
    void viewDidLoad() override;
    void viewDidDisappear(bool animated) override;

private:
    void loadShowInfo();
    void onGetShowInfoDone(const QVariant& answer);
    void onGetShowInfoFailed(const Error& error);
    void fill();
    QWidget* channelCell();
    QWidget* showCell();
    QWidget* ratingCell(const QVariantMap& rating);
    QWidget* factsCell();
    int factsWidth() const;
    QLabel* header(const QString& text);
    void loadPicture(const QString& path, int width, int height, bool logo);
    void callDatePicker();
    void addShowToCalendarWithAlarmDate(const std::optional<QDateTime>& alarm);
    void deleteShowFromCalendar();
    void closeDatePicker();

    QString m_showUrl;
    std::shared_ptr<Channel> m_channel;
    std::shared_ptr<Show> m_show;
    QPointer<TableView> m_table;
    QPointer<ActivityOverlay> m_overlay;
    QPointer<QLabel> m_logo;
    QPointer<QLabel> m_picture;
    QPointer<QTextBrowser> m_brief;
    QPointer<ActionSheet> m_sheet;
    QPointer<DatePickerOverlay> m_picker;
    bool m_sheetHasCalendar = false;
    int m_generation = 0; // answers of an earlier address are dropped
};
