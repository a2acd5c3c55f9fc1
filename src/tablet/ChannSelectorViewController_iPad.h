#pragma once

#include "ChannSelectorLists.h"
#include "ORVViewController_iPad.h"

#include "ui/SegmentedControl.h"
#include "widgets/GridView.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPointer>

class PaintedImages;
class QLabel;
class QToolButton;
struct Error;

// The tablet's channel selector ("Каналы"): a strip of categories above a grid of channel
// tiles, with a TV/radio filter, a favourites-only filter and a search by name. A tap opens
// the channel's programme; a long press makes it a favourite or not (the now board hears of
// it when the screen is left).
class ChannSelectorViewController_iPad : public ORVViewController_iPad, public GridView::DataSource
{
    Q_OBJECT

public:
    static constexpr int TileWidth = 160;
    static constexpr int TileHeight = 150;

    explicit ChannSelectorViewController_iPad(QObject* parent = nullptr);
    ~ChannSelectorViewController_iPad() override;

    const ChannSelectorLists& lists() const { return m_lists; }
    GridView* grid() const { return m_grid; }
    QListWidget* carousel() const { return m_carousel; }
    SegmentedControl* segmentCategory() const { return m_segment; }
    QLineEdit* searchBar() const { return m_searchBar; }
    QLineEdit* bigSearchBar() const { return m_bigSearchBar; }
    int currentCarouselIndex() const;
    ChannelList gridChannels() const;
    bool isLoading() const { return m_loading; }
    bool isNoDataState() const;
    bool isFavoritesChange() const { return m_isFavoritesChange; }
    QString favoritesButtonTitle() const;

    void getChannelInfo();
    void onGetChannelInfoDone(const QVariant& answer);
    void updateRespones();
    void setCarouselIndex(int index);
    void pressFavorBtn();
    void segmentChanged(int segment);
    // Search mode on for a text, off for none; a search from the small bar moves its text to
    // the big one.
    void searchMode(bool on, const QString& text);
    void didTapOnItemAtIndex(int index);
    void didLongPressAtIndex(int index);
    void presentInfo();

    // GridView::DataSource
    int numberOfItemsInGridView(const GridView* grid) const override;
    QSize cellSize() const override;
    void paintCell(QPainter* painter, const QRect& rect, int index, bool pressed) override;

protected:
    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;

private:
    void readCache();
    void setNoDataState(bool noData);
    void reloadCarousel();

    ChannSelectorLists m_lists;
    ChannelList m_gridChannels;
    bool m_loaded = false;
    bool m_loading = false;
    bool m_isFavoritesChange = false;
    int m_generation = 0;
    QPointer<GridView> m_grid;
    QPointer<QListWidget> m_carousel;
    QPointer<SegmentedControl> m_segment;
    QPointer<QLineEdit> m_searchBar;
    QPointer<QLineEdit> m_bigSearchBar;
    QPointer<QWidget> m_searchToolbar;
    QPointer<QToolButton> m_favouritesButton;
    QPointer<QLabel> m_noDataLabel;
    PaintedImages* m_images;
};
