#pragma once

#include "CSelectorSections.h"

#include "ui/ListTable.h"
#include "ui/SegmentedControl.h"
#include "ui/ViewController.h"

#include <QPointer>
#include <QSet>

#include <memory>

class ActivityOverlay;
class ChannelsRepository;
class CSelectorViewController;
struct Error;

class CSelectorViewControllerDelegate
{
public:
    virtual ~CSelectorViewControllerDelegate() = default;
    // With the selector after a channel was made current; with none after Cancel.
    virtual void cSelectorViewControllerDidFinish(CSelectorViewController* controller) = 0;
};

// The channel selector: favourites, TV and radio channels in sections that open and close;
// a tap makes a channel current (chosen by hand), a long press adds it to the favourites or
// removes it. Made once by the application controller and kept between presentations.
class CSelectorViewController : public ViewController, public ListTableSource, public ListTable::Delegate
{
    Q_OBJECT
    // The object told when the selector finishes (a CSelectorViewControllerDelegate); not owned.
    Q_PROPERTY(QObject* delegate READ delegate WRITE setDelegate)

public:
    static constexpr int RowHeight = 44;
    static constexpr int LogoSize = 48;

    explicit CSelectorViewController(QObject* parent = nullptr);
    ~CSelectorViewController() override;

    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }

    const CSelectorSections& sections() const { return m_sections; }
    SegmentedControl* segment() const { return m_segment; }
    ListTable* table() const { return m_table; }
    bool updateOnAppearCheck() const { return m_updateOnAppearCheck; }
    int selectedChannelId() const { return m_selectedChannelId; }
    bool isLoading() const;
    // The text of a row as the list shows it (a category, "TV"/"Radio" or a channel name).
    QString rowText(const IndexPath& path) const;
    // The channel of a dynamic channel-info answer, chosen by hand, with its show on air;
    // none for an answer that is not a dictionary.
    static std::shared_ptr<Channel> channelFromDynamicInfo(const QVariant& answer, int channelId);

    void getChannelInfo();
    void onGetChannelInfoDone(const QVariant& answer);
    void onGetChannelInfoFailed(const Error& error);
    void onGetDynamicChannelInfoDone(const QVariant& answer);
    void onGetDynamicChannelInfoFailed(const Error& error);
    void setUpdateOnAppear() { m_updateOnAppearCheck = true; }
    void segmentChanged(int index);
    void prepareDisplayedResponse();
    void addToFavorites();
    void removeFromFavorites();
    void cancel();

    // ListTableSource
    int numberOfSections() const override;
    int numberOfRowsInSection(int section) const override;
    int heightForRow(const IndexPath& path) const override;
    int heightForHeaderInSection(int section) const override;
    void paintRow(QPainter* painter, const QRect& rect, const IndexPath& path, RowState state) override;
    // ListTable::Delegate
    void didSelectRowAtIndexPath(const IndexPath& path) override;
    void didLongPressRowAtIndexPath(const IndexPath& path, const QPoint& globalPosition) override;

    int supportedInterfaceOrientations() const override;

protected:
    void loadView() override;
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;

private:
    void handleImage(const QImage& image, const QVariantMap& params);
    void requestLogo(const std::shared_ptr<Channel>& channel, const IndexPath& path);
    void showError(const Error& error);
    ChannelList storedFavorites() const;
    ChannelsRepository repository() const;

    QPointer<QObject> m_delegate;
    CSelectorSections m_sections;
    QPointer<SegmentedControl> m_segment;
    QPointer<ListTable> m_table;
    QPointer<QWidget> m_toolBar;
    QPointer<ActivityOverlay> m_overlay;
    int m_selectedChannelId = 0;
    bool m_updateOnAppearCheck = false;
    // Logo addresses asked for since the list was last built.
    QSet<QString> m_logosRequested;
};
