#include "ProfileHistoryViewController.h"

#include "ShowDetailsLink.h"
#include "ShowDetailsViewController.h"

#include "core/AppDelegate.h"
#include "model/Channel.h"
#include "model/DateHelper.h"
#include "model/HistoryRepository.h"
#include "model/Show.h"
#include "platform/NotificationCenter.h"
#include "platform/Printf.h"
#include "platform/StringTable.h"
#include "ui/AlertView.h"
#include "ui/Images.h"
#include "ui/ScreenView.h"

#include <QPainter>

ProfileHistoryViewController::ProfileHistoryViewController(QObject* parent)
    : ViewController(QStringLiteral("ProfileHistoryViewController_iPhone"), parent)
{}

ProfileHistoryViewController::~ProfileHistoryViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

void ProfileHistoryViewController::loadView()
{
    m_table = new ListTable(this, this);
    m_table->hide(); // until there is history
    setView(ScreenView::column(nibName(), {m_table}));
}

void ProfileHistoryViewController::viewDidLoad()
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.observeOnMain(this, Notifications::ChannelChanged,
                         [this](const Notification&) { getHistoryFromDB(); });
    center.observeOnMain(this, Notifications::HistoryCleared,
                         [this](const Notification&) { historyCleared(); });
    getHistoryFromDB();
}

void ProfileHistoryViewController::getHistoryFromDB()
{
    AppDelegate* app = AppDelegate::shared();
    if (!app || !app->dbContext() || !m_table)
        return;
    m_arrayHistory = HistoryRepository(app->dbContext()).getAllShows();
    if (!m_arrayHistory.isEmpty())
        m_table->show();
    m_table->reloadData();
}

void ProfileHistoryViewController::historyCleared()
{
    m_arrayHistory.clear();
    if (m_table) {
        m_table->reloadData();
        m_table->hide();
    }
}

QString ProfileHistoryViewController::rowDescription(int row) const
{
    if (row < 0 || row >= m_arrayHistory.size())
        return {};
    const History& record = *m_arrayHistory[row];
    return Printf::format(QStringLiteral("%@ (%@)"),
                          {record.show_object() ? record.show_object()->name : QString(),
                           record.channel_object() ? record.channel_object()->name() : QString()});
}

QString ProfileHistoryViewController::rowTime(int row) const
{
    if (row < 0 || row >= m_arrayHistory.size())
        return {};
    return DateHelper::stringWithDateAndTimeFromDate(m_arrayHistory[row]->detected_time());
}

void ProfileHistoryViewController::paintRow(QPainter* painter, const QRect& rect, const IndexPath& path,
                                            RowState state)
{
    if (path.row >= m_arrayHistory.size())
        return;
    painter->fillRect(rect, state.highlighted ? QColor(0xdd, 0xe3, 0xf7) : QColor(Qt::white));
    painter->setPen(QColor(0xe2, 0xe4, 0xec));
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    const std::shared_ptr<Channel> channel = m_arrayHistory[path.row]->channel_object();
    QImage photo = channel ? channel->thumbnail() : QImage();
    if (photo.isNull())
        photo = Images::named(QStringLiteral("no_photo.png")).toImage();
    const QRect image(rect.left() + 10, rect.center().y() - 20, 40, 40);
    painter->drawImage(image, photo.scaled(80, 80, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    const QRect text(image.right() + 10, rect.top() + 8, rect.width() - image.width() - 50,
                     rect.height() - 16);
    QFont font;
    font.setPixelSize(12);
    painter->setFont(font);
    painter->setPen(QColor(0x6b, 0x70, 0x85));
    painter->drawText(text, Qt::AlignLeft | Qt::AlignTop, rowTime(path.row));
    font.setPixelSize(15);
    font.setBold(true);
    painter->setFont(font);
    painter->setPen(QColor(0x20, 0x22, 0x2e));
    painter->drawText(
        text, Qt::AlignLeft | Qt::AlignBottom,
        painter->fontMetrics().elidedText(rowDescription(path.row), Qt::ElideRight, text.width()));
    painter->setPen(QColor(0xa0, 0xa4, 0xb4));
    painter->drawText(QRect(rect.right() - 24, rect.top(), 16, rect.height()), Qt::AlignCenter,
                      QStringLiteral("›"));
}

void ProfileHistoryViewController::didSelectRowAtIndexPath(const IndexPath& path)
{
    m_table->deselectRow(path);
    if (path.row >= m_arrayHistory.size())
        return;
    AppDelegate* app = AppDelegate::shared();
    if (!app || !app->isConnectionAvailable()) {
        (new AlertView(StringTable::localized("Connection Error"),
                       StringTable::localized("Cannot connect to Orvane services. Check the connection."),
                       nullptr, {}, StringTable::localized("OK")))
            ->show();
        return;
    }
    const History& record = *m_arrayHistory[path.row];
    if (!record.show_object() || !record.channel_object())
        return;
    ShowDetailsLink::openKept(m_showDetailsViewController, this,
                              m_delegate ? m_delegate->navigationController() : navigationController(),
                              ShowDetailsLink::make(record.detected_time(),
                                                    record.channel_object()->channelId(),
                                                    record.show_object()->showId));
}
