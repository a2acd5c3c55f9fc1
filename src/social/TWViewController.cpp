#include "TWViewController.h"

#include "TWTalkViewController.h"
#include "TWTimelineViewController.h"

#include "core/AppDelegate.h"
#include "model/Channel.h"
#include "model/Show.h"
#include "platform/NotificationCenter.h"
#include "platform/Printf.h"
#include "platform/StringTable.h"
#include "ui/AlertView.h"
#include "ui/BarButtonItem.h"
#include "ui/Images.h"
#include "ui/NavigationItem.h"
#include "ui/ScreenView.h"
#include "widgets/SHKTwitter.h"

#include <QLabel>
#include <QStackedLayout>
#include <QVBoxLayout>

TWViewController::TWViewController(QObject* parent)
    : ViewController(QStringLiteral("TWViewController_iPhone"), parent)
{
    setTitle(StringTable::localized("Twitter"));
    tabBarItem().title = title();
    tabBarItem().imageName = QStringLiteral("twitter_tab");
}

TWViewController::~TWViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

void TWViewController::loadView()
{
    m_tollBar = new QWidget;
    auto* bar = new QVBoxLayout(m_tollBar);
    bar->setContentsMargins(10, 6, 10, 6);
    m_segment = new SegmentedControl({StringTable::localized("TV/Radio"), StringTable::localized("Channel"),
                                      StringTable::localized("OnAIR"), StringTable::localized("Friends")});
    m_segment->setSelectedSegmentIndex(0);
    bar->addWidget(m_segment);
    m_viewContent = new QWidget;
    new QStackedLayout(m_viewContent);
    QWidget* view = ScreenView::column(nibName(), {m_tollBar, m_viewContent});
    m_noConnectionImgView = new QLabel(view);
    m_noConnectionImgView->setPixmap(Images::named(QStringLiteral("backgrerrscreen.png")));
    m_noConnectionImgView->setScaledContents(true);
    m_noConnectionImgView->hide();
    setView(view);
}

void TWViewController::viewDidLoad()
{
    navigationItem()->setLeftBarButtonItems(
        {BarButtonItem::withImage(QStringLiteral("tweet"), [this] { tweet(); })});
    connect(m_segment, &SegmentedControl::valueChanged, this, &TWViewController::segmentChanged);
    NotificationCenter::defaultCenter().observeOnMain(
        this, Notifications::InternetConnectionAvailable, [this](const Notification& n) {
            internetAvailable(n.userInfo.value(QStringLiteral("isAvailable")).toBool());
        });
    const AppDelegate* app = AppDelegate::shared();
    internetAvailable(app && app->isConnectionAvailable());
}

int TWViewController::supportedInterfaceOrientations() const
{
    return Portrait | LandscapeLeft | LandscapeRight;
}

TWListViewController* TWViewController::listAt(int index) const
{
    return index >= 0 && index < 4 ? m_lists[index].data() : nullptr;
}

TWListViewController* TWViewController::currentList() const
{
    return m_segment ? listAt(m_segment->selectedSegmentIndex()) : nullptr;
}

bool TWViewController::isShowingNoConnection() const
{
    return m_noConnectionImgView && !m_noConnectionImgView->isHidden();
}

void TWViewController::segmentChanged(int index)
{
    if (index < 0 || index >= 4)
        return;
    auto* pages = static_cast<QStackedLayout*>(m_viewContent->layout());
    if (!m_lists[index]) {
        TWListViewController* list = nullptr;
        switch (index) {
        case 0:
            list = new TWCommonViewController(this);
            break;
        case 1:
            list = new TWChannelViewController(this);
            break;
        case 2:
            list = new TWUserMentionsViewController(this);
            break;
        default:
            list = new TWUserTweetsViewController(this);
            break;
        }
        list->setDelegate(this);
        m_lists[index] = list;
        pages->addWidget(list->view());
    }
    pages->setCurrentWidget(m_lists[index]->view());
}

void TWViewController::internetAvailable(bool available)
{
    if (!m_noConnectionImgView)
        return;
    if (available) {
        m_noConnectionImgView->hide();
        m_tollBar->show();
        segmentChanged(m_segment->selectedSegmentIndex());
        return;
    }
    // The picture covers the view (less 80 points, as the tab and bars take them).
    m_noConnectionImgView->setGeometry(0, 0, view()->width(), std::max(0, view()->height() - 80));
    m_noConnectionImgView->show();
    m_noConnectionImgView->raise();
    m_tollBar->hide();
}

QString TWViewController::watchingText()
{
    const AppDelegate* app = AppDelegate::shared();
    const std::shared_ptr<Channel> channel = app ? app->selectedChannel() : nullptr;
    if (!channel)
        return {};
    return Printf::format(
        StringTable::localized("I'm watching %@ - %@"),
        {channel->name(), channel->currentShow() ? channel->currentShow()->name : QString()});
}

void TWViewController::tweet()
{
    const AppDelegate* app = AppDelegate::shared();
    if (!app || !app->isConnectionAvailable()) {
        (new AlertView(StringTable::localized("Connection Error"),
                       StringTable::localized("Cannot connect to Orvane services. Check the connection."),
                       nullptr, {}, StringTable::localized("OK")))
            ->show();
        return;
    }
    SHKTwitter::shareItem(SHKItem::itemWithText(watchingText()));
}
