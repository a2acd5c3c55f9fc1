#pragma once

#include "CSelectorViewController.h"
#include "ORVCalendar.h"
#include "SearchViewController.h"

#include "ui/ListTable.h"
#include "ui/ViewController.h"

#include <QPointer>

#include <memory>

class ActivityOverlay;
class Show;
struct Error;

// The second tab: the current channel's shows of one day under the day strip, scrolled to
// the show on air; a tap opens the show's details. Reloads when the channel changes, the
// clock changes, the city changes or the channel is forgotten.
class ProgramViewController : public ViewController,
                              public ListTableSource,
                              public ListTable::Delegate,
                              public ORVCalendarDelegate,
                              public SearchViewControllerDelegate,
                              public CSelectorViewControllerDelegate
{
    Q_OBJECT

public:
    static constexpr int NoChannel = -4;
    static constexpr int RowHeight = 90;
    static constexpr int SectionGap = 6;

    explicit ProgramViewController(QObject* parent = nullptr);
    ~ProgramViewController() override;

    ListTable* table() const { return m_table; }
    ORVCalendar* calendar() const { return m_calendar; }
    const QList<std::shared_ptr<Show>>& arrayShows() const { return m_arrayShows; }
    bool emptyProgramFlag() const { return m_emptyProgramFlag; }
    int currentShowIndex() const { return m_currentShowIndex; }
    int lastFoundChannelId() const { return m_lastFoundChannelId; }
    ShowDetailsViewController* showDetailsViewController() const { return m_showDetailsViewController; }
    SearchViewController* searchViewController() const { return m_searchViewController; }
    bool isLoading() const;

    void loadProgram();
    void showToday();
    void onGetProgramForDayWithChannelIdDone(const QVariant& answer);
    void onGetProgramForDayWithChannelIdFailed(const Error& error);
    void channelChanged();
    void programUpdate();
    void clearProgram();
    void addChannelNameToCalendarTitle();
    void showSearch();
    void showCSelector();
    // The message of the empty list for the current channel.
    QString emptyMessage() const;

    // The show's cell as the list paints it (name, times, picture, enabled against now).
    static class TableViewCellProgram cellForShow(const Show& show, const QDateTime& now);

    // ListTableSource
    int numberOfSections() const override;
    int numberOfRowsInSection(int section) const override;
    int heightForRow(const IndexPath& path) const override;
    int heightForHeaderInSection(int section) const override;
    void paintRow(QPainter* painter, const QRect& rect, const IndexPath& path, RowState state) override;
    // ListTable::Delegate
    void didSelectRowAtIndexPath(const IndexPath& path) override;
    // ORVCalendarDelegate
    void dateSelected(const QDateTime& date) override;
    // SearchViewControllerDelegate
    void searchViewControllerDidFinish(SearchViewController* controller) override;
    // CSelectorViewControllerDelegate
    void cSelectorViewControllerDidFinish(CSelectorViewController* controller) override;

    int supportedInterfaceOrientations() const override;

protected:
    void loadView() override;
    void viewDidLoad() override;

private:
    bool showsShows() const;

    QPointer<ListTable> m_table;
    QPointer<ORVCalendar> m_calendar;
    QPointer<ActivityOverlay> m_overlay;
    QList<std::shared_ptr<Show>> m_arrayShows;
    bool m_emptyProgramFlag = true;
    int m_currentShowIndex = 0;
    int m_lastFoundChannelId = NoChannel;
    int m_loadGeneration = 0; // the newest programme request; older answers are dropped
    QPointer<ShowDetailsViewController> m_showDetailsViewController;
    QPointer<SearchViewController> m_searchViewController;
};
