#include "PopoverChannSelector_iPad.h"

#include "core/AppDelegate.h"
#include "platform/JsonValue.h"
#include "platform/StringTable.h"
#include "service/ContentAddresses.h"
#include "service/ServiceCalls.h"
#include "ui/Images.h"
#include "widgets/PaintedImages.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr qint64 PictureMemory = 4 * 1024 * 1024;

AppDelegate* app()
{
    return AppDelegate::shared();
}

} // namespace

PopoverChannSelector_iPad::PopoverChannSelector_iPad(PopoverChannSelectorDelegate* delegate, QWidget* parent)
    : QWidget(parent), m_delegate(delegate), m_images(new PaintedImages(PictureMemory, this))
{
    setObjectName(QStringLiteral("PopoverChannSelector_iPad"));
    resize(320, 480);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 6, 6, 6);
    auto* cancelButton = new QToolButton;
    cancelButton->setObjectName(QStringLiteral("barButtonCancel"));
    cancelButton->setText(StringTable::localized("Cancel"));
    auto* doneButton = new QToolButton;
    doneButton->setObjectName(QStringLiteral("barButtonDone"));
    doneButton->setText(StringTable::localized("Done"));
    m_segment = new SegmentedControl({StringTable::localized("TV"), StringTable::localized("Radio")});
    m_segment->setSelectedSegmentIndex(TV);
    bar->addWidget(cancelButton);
    bar->addWidget(m_segment, 1);
    bar->addWidget(doneButton);
    column->addLayout(bar);
    m_table = new ListTable(this, this);
    column->addWidget(m_table, 1);
    connect(cancelButton, &QToolButton::clicked, this, &PopoverChannSelector_iPad::cancel);
    connect(doneButton, &QToolButton::clicked, this, &PopoverChannSelector_iPad::done);
    connect(m_segment, &SegmentedControl::valueChanged, this, &PopoverChannSelector_iPad::segmentChanged);
    connect(m_images, &PaintedImages::arrived, m_table->viewport(),
            [this] { m_table->viewport()->update(); });
    getChannelInfo();
}

void PopoverChannSelector_iPad::getChannelInfo()
{
    if (!app() || !app()->isConnectionAvailable())
        return;
    m_loading = true;
    ServiceCalls::sharedManager().getChannelInfoWithChannelId(
        AppDelegate::NoChannel, Reply(
                                    this, [this](const QVariant& answer) { onGetChannelInfoDone(answer); },
                                    [this](const Error&) { m_loading = false; }));
}

void PopoverChannSelector_iPad::onGetChannelInfoDone(const QVariant& answer)
{
    m_loading = false;
    if (!JsonValue::isMap(answer))
        return;
    m_adjusted = ORVChannelsArray::groupsFromChannelList(answer.toMap());
    const QList<int> widgets = app() ? app()->widgetChannels() : QList<int>{};
    for (ChannelGroup& group : m_adjusted) {
        group.isExpanded = false;
        for (const auto& channel : group.channels)
            channel->setIsWidgetChann(widgets.contains(channel->channelId().toInt()));
    }
    prepareDisplayedResponse();
}

void PopoverChannSelector_iPad::prepareDisplayedResponse()
{
    const bool tv = !m_segment || m_segment->selectedSegmentIndex() != Radio;
    m_displayed.clear();
    for (const ChannelGroup& group : std::as_const(m_adjusted)) {
        ChannelGroup kept{group.category, {}, false};
        for (const auto& channel : group.channels) {
            if (channel->isTV() == tv)
                kept.channels.append(channel);
        }
        if (!kept.channels.isEmpty())
            m_displayed.append(kept);
    }
    if (m_table)
        m_table->reloadData();
}

void PopoverChannSelector_iPad::segmentChanged(int)
{
    prepareDisplayedResponse();
}

void PopoverChannSelector_iPad::done()
{
    if (m_delegate)
        m_delegate->popoverChannSelectorDidFinish(this, true);
}

void PopoverChannSelector_iPad::cancel()
{
    if (m_delegate)
        m_delegate->popoverChannSelectorDidFinish(this, false);
}

int PopoverChannSelector_iPad::getWidgetChannCountInSection(int section) const
{
    if (section < 0 || section >= m_displayed.size())
        return 0;
    return int(std::count_if(m_displayed[section].channels.begin(), m_displayed[section].channels.end(),
                             [](const auto& channel) { return channel->isWidgetChann(); }));
}

QString PopoverChannSelector_iPad::headerCountText(int section) const
{
    const int count = getWidgetChannCountInSection(section);
    return count > 0 ? QString::number(count) : QString();
}

int PopoverChannSelector_iPad::numberOfSections() const
{
    return int(m_displayed.size());
}

int PopoverChannSelector_iPad::numberOfRowsInSection(int section) const
{
    if (section < 0 || section >= m_displayed.size())
        return 0;
    return 1 + (m_displayed[section].isExpanded ? int(m_displayed[section].channels.size()) : 0);
}

int PopoverChannSelector_iPad::heightForRow(const IndexPath&) const
{
    return RowHeight;
}

void PopoverChannSelector_iPad::paintRow(QPainter* painter, const QRect& rect, const IndexPath& path,
                                         RowState state)
{
    if (path.section < 0 || path.section >= m_displayed.size())
        return;
    const ChannelGroup& group = m_displayed[path.section];
    QFont font = painter->font();
    font.setPixelSize(16);
    if (path.row == 0) {
        painter->fillRect(rect, state.highlighted ? QColor(0xdd, 0xe3, 0xf0) : QColor(0xee, 0xf1, 0xf7));
        font.setBold(true);
        painter->setFont(font);
        painter->setPen(QColor(0x22, 0x24, 0x2e));
        painter->drawText(rect.adjusted(12, 0, -50, 0), Qt::AlignVCenter | Qt::AlignLeft,
                          (group.isExpanded ? QStringLiteral("▾ ") : QStringLiteral("▸ ")) +
                              (group.category ? group.category->name() : QString()));
        painter->setPen(QColor(0x2f, 0x5f, 0xb3));
        painter->drawText(rect.adjusted(0, 0, -12, 0), Qt::AlignVCenter | Qt::AlignRight,
                          headerCountText(path.section));
        return;
    }
    const int index = path.row - 1;
    if (index >= group.channels.size())
        return;
    const Channel& channel = *group.channels[index];
    painter->fillRect(rect, channel.isWidgetChann() ? QColor(0xe3, 0xf1, 0xe6) : QColor(Qt::white));
    painter->setPen(QColor(0xe4, 0xe6, 0xec));
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    const QRect picture(rect.left() + 24, rect.top() + 6, 32, 32);
    QImage logo = channel.pictureName().isEmpty()
                      ? QImage()
                      : m_images->image(ContentAddresses::channelLogo(48, 48, channel.pictureName()));
    if (logo.isNull())
        logo = Images::named(QStringLiteral("no_photo.png")).toImage();
    painter->drawImage(picture, logo.scaled(picture.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    painter->setFont(font);
    painter->setPen(QColor(0x22, 0x24, 0x2e));
    painter->drawText(rect.adjusted(picture.right() - rect.left() + 10, 0, -36, 0),
                      Qt::AlignVCenter | Qt::AlignLeft, channel.name());
    if (channel.isWidgetChann()) {
        painter->setPen(QColor(0x2e, 0x9e, 0x4f));
        painter->drawText(rect.adjusted(0, 0, -12, 0), Qt::AlignVCenter | Qt::AlignRight,
                          QStringLiteral("✓"));
    }
}

void PopoverChannSelector_iPad::didSelectRowAtIndexPath(const IndexPath& path)
{
    if (path.section < 0 || path.section >= m_displayed.size())
        return;
    ChannelGroup& group = m_displayed[path.section];
    if (path.row == 0) {
        group.isExpanded = !group.isExpanded;
        if (group.isExpanded)
            m_table->insertRows(path.section, 1, int(group.channels.size()));
        else
            m_table->deleteRows(path.section, 1, int(group.channels.size()));
        m_table->reloadRow({path.section, 0});
        return;
    }
    const int index = path.row - 1;
    if (index >= group.channels.size() || !app())
        return;
    const std::shared_ptr<Channel>& channel = group.channels[index];
    channel->setIsWidgetChann(!channel->isWidgetChann());
    if (channel->isWidgetChann())
        app()->addWidgetChannel(channel->channelId().toInt());
    else
        app()->removeWidgetChannel(channel->channelId().toInt());
    m_table->reloadRow({path.section, 0});
    m_table->reloadRow(path);
}
