#include "TableViewCellProgram.h"

#include "ui/Images.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

const QColor Ink(0x20, 0x22, 0x2e);
const QColor Muted(0x6b, 0x70, 0x85);
const QColor Disabled(0xad, 0xb0, 0xbb);
// Width of the time, duration and day column, in points.
constexpr int LeftColumn = 72;

QFont font(int pixelSize, bool bold)
{
    QFont f;
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

// Draws text wrapped into rect, at most lines lines, the last one elided.
void drawLines(QPainter* painter, const QRect& rect, const QString& text, int lines)
{
    const QFontMetrics metrics(painter->font());
    // No line holds more than a few hundred characters: longer texts are cut before measuring.
    QString rest = text.left(lines * 300).simplified();
    int y = rect.top();
    for (int line = 0; line < lines && !rest.isEmpty(); ++line) {
        QString piece;
        if (line == lines - 1 || metrics.horizontalAdvance(rest) <= rect.width()) {
            piece = metrics.elidedText(rest, Qt::ElideRight, rect.width());
            rest.clear();
        } else {
            // The longest run of whole words that fits; a word longer than the line is cut.
            int cut = 0;
            for (int i = 0; i <= rest.size(); ++i) {
                if (i == rest.size() || rest.at(i) == u' ') {
                    if (metrics.horizontalAdvance(rest.left(i)) > rect.width())
                        break;
                    cut = i;
                }
            }
            if (cut == 0) {
                cut = 1;
                while (cut < rest.size() && metrics.horizontalAdvance(rest.left(cut + 1)) <= rect.width())
                    ++cut;
            }
            piece = rest.left(cut);
            rest = rest.mid(cut).trimmed();
        }
        painter->drawText(QRect(rect.left(), y, rect.width(), metrics.height()),
                          Qt::AlignLeft | Qt::AlignVCenter, piece);
        y += metrics.height();
    }
}

} // namespace

void TableViewCellProgram::paint(QPainter* painter, const QRect& rect, ListTableSource::RowState state) const
{
    painter->setRenderHint(QPainter::Antialiasing);
    const QRectF panel = QRectF(rect).adjusted(8, 3, -8, -3);
    QPainterPath path;
    path.addRoundedRect(panel, CornerRadius, CornerRadius);
    painter->fillPath(path, state.highlighted ? QColor(0xdd, 0xe3, 0xf7) : QColor(Qt::white));
    painter->setPen(QPen(QColor(0xd9, 0xdc, 0xe8), 1));
    painter->drawPath(path);

    const QColor ink = enabled ? Ink : Disabled;
    const QColor muted = enabled ? Muted : Disabled;
    const int left = int(panel.left()) + 10;
    const int top = int(panel.top()) + 8;

    // Left column: time, duration, day.
    painter->setFont(font(17, true));
    painter->setPen(ink);
    painter->drawText(QRect(left, top, LeftColumn, 22), Qt::AlignLeft | Qt::AlignVCenter, labelTime);
    painter->setFont(font(12, false));
    painter->setPen(muted);
    painter->drawText(QRect(left, top + 24, LeftColumn, 16), Qt::AlignLeft | Qt::AlignVCenter, labelDuration);
    int dayLeft = left;
    if (!categoryIconName.isEmpty() && Images::exists(categoryIconName)) {
        painter->setOpacity(enabled ? 1.0 : 0.45);
        painter->drawPixmap(QRect(left, top + 45, 14, 14), Images::named(categoryIconName));
        painter->setOpacity(1.0);
        dayLeft += 18;
    }
    painter->drawText(QRect(dayLeft, top + 44, LeftColumn - (dayLeft - left), 16),
                      Qt::AlignLeft | Qt::AlignVCenter, labelDay);

    // Right: the picture, centred vertically.
    const int right = int(panel.right()) - 10;
    int textRight = right;
    if (!imageViewRight.isNull()) {
        const QRect image(right - imageSize, int(panel.center().y()) - imageSize / 2, imageSize, imageSize);
        const QImage scaled = imageViewRight.scaled(image.size() * painter->device()->devicePixelRatio(),
                                                    Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QRect target(QPoint(0, 0), scaled.size() / painter->device()->devicePixelRatio());
        target.moveCenter(image.center());
        painter->setOpacity(enabled ? 1.0 : 0.45);
        painter->drawImage(target, scaled);
        painter->setOpacity(1.0);
        textRight = image.left() - 8;
    }

    // Middle: name on one line, description on two.
    const int textLeft = left + LeftColumn + 8;
    const int width = std::max(10, textRight - textLeft);
    painter->setFont(font(15, true));
    painter->setPen(ink);
    drawLines(painter, QRect(textLeft, top, width, 22), labelShowName, 1);
    painter->setFont(font(12, false));
    painter->setPen(muted);
    drawLines(painter, QRect(textLeft, top + 24, width, 36), labelShowDescription, 2);
}
