#pragma once

#include "ExpandedViewCell_iPad.h"
#include "KTPhotoScrollViewController.h"
#include "NowBoard.h"
#include "ORVViewController_iPad.h"

#include "ui/ListTable.h"

#include <QDateTime>
#include <QLineEdit>
#include <QPointer>
#include <QSet>
#include <QSlider>

class PaintedImages;
class QLabel;
class QProgressBar;
class QTimer;
struct Error;

// The tablet's now board, the first screen of the navigation pane: one section per channel
// with the show on air (picture, progress, time left, what comes next). The channels and
// their order come from the city's ratings, the favourites and the user's own viewing, by the
// user's priorities. A tap expands a channel into the details row with its next shows. Every
// 20 s each channel moves to the show on air and channels whose day ran out load the next
// one; every 900 s channels without a show on air are tried again. A time line shows another
// time of today; the search bar opens the search results.
class ORVNowViewController : public ORVViewController_iPad, public ListTableSource, public ListTable::Delegate
{
    Q_OBJECT

public:
    static constexpr int CheckSeconds = 20;
    static constexpr int DisabledSeconds = 900;
    static constexpr int ChannelRowHeight = 150;
    static constexpr int NextRowHeight = 70;
    static constexpr int GapHeight = 2;
    static constexpr int LivePictures = 15;

    explicit ORVNowViewController(QObject* parent = nullptr);
    ~ORVNowViewController() override;

    NowBoard& board() { return m_board; }
    ListTable* table() const { return m_table; }
    ExpandedViewCell_iPad* expandedViewCell() const { return m_expandedViewCell; }
    bool isLoadingComplete() const { return m_isLoadingComplete; }
    bool isUpdateComplete() const { return m_isUpdateComplete; }
    bool isAutoUpdating() const;
    bool isNoDataState() const;
    QString loadingText() const;
    int loadingProgress() const;
    QDateTime currentDate() const { return m_currentDate; }
    KTPhotoScrollViewController* photoController() const { return m_photoController; }
    QLineEdit* searchBar() const { return m_searchBar; }
    bool timeLineIsShow() const { return m_timeLineIsShow; }
    QSlider* timeSlider() const { return m_slider; }

    void setChannelsWithRating();
    void getChannelsRatingDone(const QVariant& answer);
    void updateNowPriority();
    void reloadChannels();
    void resortChannels();
    void setIsAutoUpdating(bool on);
    void checkShowBounds(const QDateTime& now = QDateTime::currentDateTime());
    void checkDisabledChannels(const QDateTime& now = QDateTime::currentDateTime());
    void addChannelWithId(int channelId);
    void disableChannelsWithIds(const QSet<int>& ids);
    // Row 0 of a section: expand it (or, expanded, collapse it); another row: the show's details.
    void didSelectRowAtIndexPath(const IndexPath& path) override;
    void expandNextShows();
    void collapseShowDetails();
    void showProgramForChannId(const QString& channelId);
    void showProgramForExpandedChannel();
    void showScreensForExpandedChannel();
    void openDetailsControllerWithShow(const Show& show);
    void searchBarSearchButtonClicked();
    // The time line: shown or hidden; a time of today chosen by minutes after 05:00.
    void clickTimeLine();
    void timeTouchCancel();
    void syncProgramWithDate(const QDateTime& t);
    static QDateTime timeLineReference(const QDateTime& now = QDateTime::currentDateTime());

    // ListTableSource
    int numberOfSections() const override;
    int numberOfRowsInSection(int section) const override;
    int heightForRow(const IndexPath& path) const override;
    int heightForHeaderInSection(int section) const override;
    void paintRow(QPainter* painter, const QRect& rect, const IndexPath& path, RowState state) override;

protected:
    void loadView() override;
    void viewDidLoad() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadCachedRatings(const std::function<void(const QVariant&)>& then);
    QList<int> composePriority(const QVariantMap& ratings) const;
    void updateChannelsRatingDone(const QVariant& answer);
    void requestProgram(const QString& channelId, const QDateTime& date, bool update);
    void onGetProgramDone(const QVariant& answer);
    void onGetProgramFail();
    void loadProgramsDidFinish();
    void onGetNewProgramDone(const QVariant& answer);
    void onGetNewProgramFail();
    void programsUpdateDidFinish();
    void updateShowWithIndexes(const QList<int>& sections, bool updateExpand, int oldIndex);
    void updateProgramsWithIndexes(const QList<int>& sections, const QDateTime& now);
    void expandSection(int section);
    void fillExpandedRow(const NowBoardEntry& entry);
    void placeExpandedCell();
    void addActivityIndicator();
    void removeActivityIndicator();
    void setNoDataState(bool noData);
    void reloadTable();
    QUrl logoUrl(const NowBoardEntry& entry) const;
    void timeValueChanged(int minutes);

    NowBoard m_board;
    QDateTime m_currentDate = QDateTime::currentDateTime();
    QPointer<ListTable> m_table;
    QPointer<ExpandedViewCell_iPad> m_expandedViewCell;
    bool m_expandingCellReady = false;
    PaintedImages* m_images;
    // Loading
    bool m_isLoadingComplete = true;
    int m_channelsCount = 0;
    int m_channelsLimit = 0;
    int m_loadGeneration = 0;
    // Updating
    bool m_isUpdateComplete = true;
    int m_channelsForUpdateCount = 0;
    int m_channelsForUpdateLimit = 0;
    QList<QString> m_updateProgramIds;
    QSet<int> m_disabledChannsId;
    bool m_isUpdateExpandedProgram = false;
    // Refreshing
    QPointer<QTimer> m_autoUpdateTimer;
    QPointer<QTimer> m_checkDisabledTimer;
    // Indicator and no-data message
    QPointer<QWidget> m_indicator;
    QPointer<QLabel> m_indicatorLabel;
    QPointer<QProgressBar> m_indicatorProgress;
    QPointer<QLabel> m_noDataLabel;
    // Time line
    QPointer<QWidget> m_timeLineView;
    QPointer<QSlider> m_slider;
    QPointer<QLabel> m_timeLabel;
    QPointer<QLabel> m_timeLineLabel;
    bool m_timeLineIsShow = false;
    QPointer<QLineEdit> m_searchBar;
    QPointer<KTPhotoScrollViewController> m_photoController;
};
