#pragma once

#include "ChannSelectorLists.h"

#include "ui/ListTable.h"
#include "ui/SegmentedControl.h"

#include <QPointer>
#include <QWidget>

class PaintedImages;
class QToolButton;

class PopoverChannSelector_iPad;

// Told when the widget-channel list closes: done (the choice is to be kept) or cancelled.
class PopoverChannSelectorDelegate
{
public:
    virtual ~PopoverChannSelectorDelegate() = default;
    virtual void popoverChannSelectorDidFinish(PopoverChannSelector_iPad* selector, bool done) = 0;
};

// The list in which the user ticks the channels of the root pane's strip: categories that
// open and close, TV or radio, each ticked channel added to (or removed from) the
// application's widget channels at once; the delegate keeps or drops the choice on Done or
// Cancel. Without a connection it shows and asks for nothing.
class PopoverChannSelector_iPad : public QWidget, public ListTableSource, public ListTable::Delegate
{
    Q_OBJECT

public:
    static constexpr int RowHeight = 44;
    enum Segment
    {
        TV = 0,
        Radio = 1
    };

    explicit PopoverChannSelector_iPad(PopoverChannSelectorDelegate* delegate, QWidget* parent = nullptr);

    void getChannelInfo();
    void onGetChannelInfoDone(const QVariant& answer);
    void segmentChanged(int segment);
    void done();
    void cancel();
    const ChannelGroups& displayedResponse() const { return m_displayed; }
    int getWidgetChannCountInSection(int section) const;
    ListTable* table() const { return m_table; }
    SegmentedControl* segment() const { return m_segment; }
    bool isLoading() const { return m_loading; }
    // The text of the header's count ("%d", empty for none).
    QString headerCountText(int section) const;

    // ListTableSource
    int numberOfSections() const override;
    int numberOfRowsInSection(int section) const override;
    int heightForRow(const IndexPath& path) const override;
    void paintRow(QPainter* painter, const QRect& rect, const IndexPath& path, RowState state) override;
    // ListTable::Delegate: a header opens or closes its category; a channel is ticked or not.
    void didSelectRowAtIndexPath(const IndexPath& path) override;

private:
    void prepareDisplayedResponse();

    PopoverChannSelectorDelegate* m_delegate;
    ChannelGroups m_adjusted;
    ChannelGroups m_displayed;
    bool m_loading = false;
    QPointer<ListTable> m_table;
    QPointer<SegmentedControl> m_segment;
    PaintedImages* m_images;
};
