#pragma once

#include "ORVViewController_iPad.h"

#include "ui/ListTable.h"

#include <QDateTime>
#include <QList>
#include <QPointer>

#include <memory>

class ActivityOverlay;
class PaintedImages;
class QButtonGroup;
class QLabel;
class QPushButton;
class Show;
struct Error;

// A channel's programme on the tablet: the shows of one day of a week, chosen on a strip of
// the week's seven days with buttons for the week before and after, scrolled to the show on
// air. Shows that have ended are drawn disabled; a tap opens the show's details.
class ORVProgramView_iPad : public ORVViewController_iPad, public ListTableSource, public ListTable::Delegate
{
    Q_OBJECT

public:
    static constexpr int RowHeight = 70;
    static constexpr int EmptyCellTag = -66;

    explicit ORVProgramView_iPad(QObject* parent = nullptr);

    void setChannelId(const QString& channelId) { m_channelId = channelId; }
    QString channelId() const { return m_channelId; }
    // The day of carousel item i (0 = Monday of the shown week), at the reference time of day.
    QDateTime dateOfItem(int item) const;
    int currentItem() const { return m_currentItem; }
    int weekOffset() const { return m_weekOffset; }
    QString weekLabelText() const;
    QString itemText(int item) const;
    const QList<std::shared_ptr<Show>>& arrayShows() const { return m_arrayShows; }
    bool emptyProgramFlag() const { return m_emptyProgramFlag; }
    int currentShowIndex() const { return m_currentShowIndex; }
    QDateTime loadedDate() const { return m_loadedDate; }
    ListTable* table() const { return m_table; }
    bool isLoading() const;

    void selectItem(int item);
    void prevWeekTouch();
    void nextWeekTouch();
    void loadProgram(const QDateTime& date);
    void onGetProgramForDayWithChannelIdDone(const QVariant& answer);
    void onGetProgramForDayWithChannelIdFailed(const Error& error);

    // ListTableSource
    int numberOfSections() const override;
    int numberOfRowsInSection(int section) const override;
    int heightForRow(const IndexPath& path) const override;
    int heightForHeaderInSection(int section) const override;
    void paintRow(QPainter* painter, const QRect& rect, const IndexPath& path, RowState state) override;
    // ListTable::Delegate
    void didSelectRowAtIndexPath(const IndexPath& path) override;

protected:
    void loadView() override;
    void viewDidLoad() override;

private:
    void refreshCarousel();

    QString m_channelId;
    QDateTime m_caroDate = QDateTime::currentDateTime();
    int m_weekOffset = 0;
    int m_currentItem = 0;
    QList<std::shared_ptr<Show>> m_arrayShows;
    int m_currentShowIndex = 0;
    bool m_emptyProgramFlag = false;
    QDateTime m_loadedDate;
    int m_generation = 0;
    QPointer<ListTable> m_table;
    QPointer<ActivityOverlay> m_overlay;
    QPointer<QLabel> m_weekLabel;
    QList<QPushButton*> m_items;
    PaintedImages* m_images;
};
