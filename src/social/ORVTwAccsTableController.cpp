#include "ORVTwAccsTableController.h"

#include <QPainter>

namespace {

QVariantMap accountAt(const QVariantList& accounts, int section)
{
    return accounts.value(section).toMap();
}

} // namespace

ORVTwAccsTableController::ORVTwAccsTableController(const QVariantList& twAccounts,
                                                   ORVTwitterAccDelegate* delegate, QObject* parent)
    : ViewController(QStringLiteral("ORVTwAccsTableController"), parent), m_twAccounts(twAccounts),
      m_delegate(delegate)
{}

void ORVTwAccsTableController::loadView()
{
    m_table = new ListTable(this, this);
    m_table->setObjectName(QStringLiteral("Cell"));
    m_table->reloadData();
    setView(m_table);
}

QString ORVTwAccsTableController::titleForSection(int section) const
{
    const QVariantMap account = accountAt(m_twAccounts, section);
    const QString fullName =
        account.value(QStringLiteral("properties")).toMap().value(QStringLiteral("fullName")).toString();
    return fullName.isEmpty() ? account.value(QStringLiteral("username")).toString() : fullName;
}

QString ORVTwAccsTableController::detailForSection(int section) const
{
    const QVariantMap account = accountAt(m_twAccounts, section);
    if (account.value(QStringLiteral("properties"))
            .toMap()
            .value(QStringLiteral("fullName"))
            .toString()
            .isEmpty())
        return {};
    return account.value(QStringLiteral("accountDescription")).toString();
}

void ORVTwAccsTableController::paintRow(QPainter* painter, const QRect& rect, const IndexPath& path,
                                        RowState state)
{
    painter->fillRect(rect, state.highlighted ? QColor(0x2f, 0x7c, 0xf6) : QColor(Qt::white));
    const QColor ink = state.highlighted ? QColor(Qt::white) : QColor(0x20, 0x20, 0x20);
    const QString detail = detailForSection(path.section);
    QFont font = painter->font();
    font.setPixelSize(17);
    font.setBold(true);
    painter->setFont(font);
    painter->setPen(ink);
    const QRect text = rect.adjusted(12, 4, -12, -4);
    if (detail.isEmpty()) {
        painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, titleForSection(path.section));
        return;
    }
    painter->drawText(text, Qt::AlignLeft | Qt::AlignTop, titleForSection(path.section));
    font.setPixelSize(13);
    font.setBold(false);
    painter->setFont(font);
    painter->setPen(state.highlighted ? ink : QColor(0x70, 0x70, 0x70));
    painter->drawText(text, Qt::AlignLeft | Qt::AlignBottom, detail);
}

void ORVTwAccsTableController::didSelectRowAtIndexPath(const IndexPath& path)
{
    const QVariantMap account = accountAt(m_twAccounts, path.section);
    if (account.isEmpty() || !m_delegate)
        return;
    m_delegate->accountDidSelectWithId(account.value(QStringLiteral("identifier")).toString(),
                                       account.value(QStringLiteral("username")).toString());
}
