// Draws the application's interface images into a folder (resources/images), at twice
// their size in points. Run after changing a drawing; the PNGs are committed.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

QString folder;

void save(const QString& name, int widthPt, int heightPt, const std::function<void(QPainter&)>& draw)
{
    QImage image(widthPt * 2, heightPt * 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(2, 2);
    draw(painter);
    painter.end();
    image.save(folder + u'/' + name + QStringLiteral(".png"));
}

// A white shape on a transparent square of this many points: tab icons are 30, navigation
// bar button images 22.
void shapeIcon(const QString& name, int sizePt, const std::function<void(QPainterPath&)>& shape)
{
    save(name, sizePt, sizePt, [&](QPainter& p) {
        QPainterPath path;
        path.setFillRule(Qt::OddEvenFill);
        shape(path);
        p.fillPath(path, Qt::white);
    });
}

void barIcon(const QString& name, const std::function<void(QPainterPath&)>& shape)
{
    shapeIcon(name, 22, shape);
}

QPainterPath stroked(const QPainterPath& line, double width)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(line);
}

void tabIcon(const QString& name, const std::function<void(QPainterPath&)>& shape)
{
    shapeIcon(name, 30, shape);
}

QPainterPath gear(QPointF c, double outer, double inner, int teeth)
{
    QPainterPath path;
    for (int i = 0; i < teeth * 2; ++i) {
        const double a0 = M_PI * i / teeth;
        const double a1 = M_PI * (i + 1) / teeth;
        const double r = i % 2 == 0 ? outer : inner;
        const QPointF p0(c.x() + r * std::cos(a0), c.y() + r * std::sin(a0));
        const QPointF p1(c.x() + r * std::cos(a1), c.y() + r * std::sin(a1));
        if (i == 0)
            path.moveTo(p0);
        else
            path.lineTo(p0);
        path.lineTo(p1);
    }
    path.closeSubpath();
    return path;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources/images");
    QDir().mkpath(folder);

    tabIcon(QStringLiteral("now_tab"), [](QPainterPath& path) {
        path.addRoundedRect(QRectF(3, 8, 24, 17), 3, 3);
        path.addRoundedRect(QRectF(5.5, 10.5, 19, 12), 1.5, 1.5);
        QPolygonF play({QPointF(13, 13), QPointF(13, 20), QPointF(19, 16.5)});
        path.addPolygon(play);
        path.closeSubpath();
        QPainterPath antenna;
        antenna.moveTo(10, 3);
        antenna.lineTo(15, 8);
        antenna.lineTo(20, 3);
        QPainterPathStroker stroker;
        stroker.setWidth(1.8);
        stroker.setCapStyle(Qt::RoundCap);
        path.addPath(stroker.createStroke(antenna));
        path.addRect(QRectF(9, 25, 12, 2));
    });
    tabIcon(QStringLiteral("program_tab"), [](QPainterPath& path) {
        path.addRoundedRect(QRectF(4, 5, 22, 21), 3, 3);
        path.addRect(QRectF(6, 11, 18, 13));
        for (int row = 0; row < 3; ++row) {
            path.addRect(QRectF(8, 13 + row * 4, 3, 2));
            path.addRect(QRectF(13, 13 + row * 4, 9, 2));
        }
        path.addRoundedRect(QRectF(8, 2.5, 2.5, 5), 1, 1);
        path.addRoundedRect(QRectF(19.5, 2.5, 2.5, 5), 1, 1);
    });
    tabIcon(QStringLiteral("twitter_tab"), [](QPainterPath& path) {
        QPainterPath bubble;
        bubble.addRoundedRect(QRectF(3, 5, 24, 16), 7, 7);
        QPolygonF tail({QPointF(8, 19), QPointF(6, 27), QPointF(15, 20)});
        QPainterPath tailPath;
        tailPath.addPolygon(tail);
        path.addPath(bubble.united(tailPath));
        for (int i = 0; i < 3; ++i)
            path.addEllipse(QPointF(9.5 + i * 5.5, 13), 1.8, 1.8);
    });
    tabIcon(QStringLiteral("profile_tab"), [](QPainterPath& path) {
        path.addEllipse(QPointF(15, 10), 5.5, 5.5);
        QPainterPath body;
        body.moveTo(4, 27);
        body.cubicTo(4, 17, 26, 17, 26, 27);
        body.closeSubpath();
        path.addPath(body);
    });
    tabIcon(QStringLiteral("settings_tab"), [](QPainterPath& path) {
        path.addPath(gear(QPointF(15, 15), 12, 9, 8));
        path.addEllipse(QPointF(15, 15), 4, 4);
    });

    barIcon(QStringLiteral("search_nav_bar_icon"), [](QPainterPath& path) {
        QPainterPath ring;
        ring.addEllipse(QPointF(9, 9), 6, 6);
        QPainterPath handle;
        handle.moveTo(13.5, 13.5);
        handle.lineTo(19.5, 19.5);
        path.addPath(stroked(ring, 2.2).united(stroked(handle, 3)));
    });
    barIcon(QStringLiteral("tweet"), [](QPainterPath& path) {
        QPainterPath bubble;
        bubble.addRoundedRect(QRectF(2, 3, 18, 12), 5, 5);
        QPainterPath tail;
        tail.addPolygon(QPolygonF({QPointF(6, 13), QPointF(5, 20), QPointF(12, 14)}));
        QPainterPath arrow;
        arrow.moveTo(7, 9);
        arrow.lineTo(15, 9);
        arrow.moveTo(12, 6);
        arrow.lineTo(15, 9);
        arrow.lineTo(12, 12);
        path.addPath(bubble.united(tail).subtracted(stroked(arrow, 1.8)));
    });
    barIcon(QStringLiteral("ch_manual"), [](QPainterPath& path) {
        // A remote control.
        path.addRoundedRect(QRectF(6, 1.5, 10, 19), 3, 3);
        path.addEllipse(QPointF(11, 6), 2.2, 2.2);
        for (int row = 0; row < 3; ++row) {
            path.addEllipse(QPointF(9, 11 + row * 3), 1, 1);
            path.addEllipse(QPointF(13, 11 + row * 3), 1, 1);
        }
    });
    barIcon(QStringLiteral("refresh"), [](QPainterPath& path) {
        QPainterPath arc;
        arc.arcMoveTo(QRectF(4, 4, 14, 14), 60);
        arc.arcTo(QRectF(4, 4, 14, 14), 60, 270);
        path.addPath(stroked(arc, 2.4));
        path.addPolygon(QPolygonF({QPointF(12, 1.5), QPointF(18.5, 4.5), QPointF(13, 9)}));
        path.closeSubpath();
    });
    save(QStringLiteral("backgrerrscreen"), 320, 400, [](QPainter& p) {
        // No connection: a television with a broken signal.
        p.fillRect(QRectF(0, 0, 320, 400), QColor(236, 238, 244));
        QPainterPath tv;
        tv.addRoundedRect(QRectF(85, 120, 150, 105), 14, 14);
        tv.addRoundedRect(QRectF(97, 132, 126, 81), 6, 6);
        QPainterPath antenna;
        antenna.moveTo(130, 92);
        antenna.lineTo(160, 120);
        antenna.lineTo(190, 92);
        tv.addPath(stroked(antenna, 5));
        tv.addRect(QRectF(135, 228, 50, 6));
        p.fillPath(tv, QColor(160, 166, 200));
        QPainterPath cross;
        cross.moveTo(140, 152);
        cross.lineTo(180, 192);
        cross.moveTo(180, 152);
        cross.lineTo(140, 192);
        p.fillPath(stroked(cross, 8), QColor(214, 88, 88));
    });

    // Rating stars, 12 x 12 points: solid, half and empty.
    const auto star = [](double cx, double cy, double outer) {
        QPolygonF points;
        for (int i = 0; i < 10; ++i) {
            const double r = i % 2 == 0 ? outer : outer * 0.45;
            const double a = -M_PI / 2 + i * M_PI / 5;
            points << QPointF(cx + r * std::cos(a), cy + r * std::sin(a));
        }
        QPainterPath path;
        path.addPolygon(points);
        path.closeSubpath();
        return path;
    };
    const QColor gold(245, 176, 35);
    save(QStringLiteral("star_solid"), 12, 12, [&](QPainter& p) { p.fillPath(star(6, 6.4, 5.8), gold); });
    save(QStringLiteral("star_empty"), 12, 12, [&](QPainter& p) {
        p.setPen(QPen(gold, 0.9));
        p.drawPath(star(6, 6.4, 5.3));
    });
    save(QStringLiteral("star_half"), 12, 12, [&](QPainter& p) {
        p.setPen(QPen(gold, 0.9));
        p.drawPath(star(6, 6.4, 5.3));
        p.setClipRect(QRectF(0, 0, 6, 12));
        p.fillPath(star(6, 6.4, 5.8), gold);
    });
    // Placeholders while pictures load: a square for logos, 4:3 for shows.
    const auto placeholder = [](QPainter& p, QRectF r) {
        p.fillRect(r, QColor(226, 229, 238));
        p.setPen(QPen(QColor(176, 182, 204), 2));
        const QPointF c = r.center();
        const double s = std::min(r.width(), r.height()) / 4;
        p.drawRoundedRect(QRectF(c.x() - s, c.y() - s * 0.7, 2 * s, 1.4 * s), 3, 3);
        p.drawEllipse(c, s * 0.35, s * 0.35);
    };
    save(QStringLiteral("no_photo"), 48, 48, [&](QPainter& p) { placeholder(p, QRectF(0, 0, 48, 48)); });
    save(QStringLiteral("no_photo_rect"), 100, 75,
         [&](QPainter& p) { placeholder(p, QRectF(0, 0, 100, 75)); });
    barIcon(QStringLiteral("actions"), [](QPainterPath& path) {
        // A box with an arrow leaving it.
        QPainterPath box;
        box.moveTo(7, 8);
        box.lineTo(4, 8);
        box.lineTo(4, 20);
        box.lineTo(18, 20);
        box.lineTo(18, 8);
        box.lineTo(15, 8);
        QPainterPath arrow;
        arrow.moveTo(11, 14);
        arrow.lineTo(11, 2.5);
        arrow.moveTo(7.5, 6);
        arrow.lineTo(11, 2.5);
        arrow.lineTo(14.5, 6);
        path.addPath(stroked(box, 1.8).united(stroked(arrow, 1.8)));
    });

    save(QStringLiteral("logo"), 120, 30, [](QPainter& p) {
        // A small screen with a sound wave, then the name.
        QPainterPath screen;
        screen.addRoundedRect(QRectF(2, 5, 24, 18), 4, 4);
        screen.addRoundedRect(QRectF(4.5, 7.5, 19, 13), 2.5, 2.5);
        p.fillPath(screen, Qt::white);
        p.setPen(QPen(QColor(255, 196, 64), 1.8, Qt::SolidLine, Qt::RoundCap));
        QPainterPath wave;
        wave.moveTo(6.5, 14);
        for (int i = 0; i <= 16; ++i)
            wave.lineTo(6.5 + i, 14 - 3.5 * std::sin(i * 0.9) * (1 - std::abs(i - 8) / 10.0));
        p.drawPath(wave);
        p.fillRect(QRectF(10, 24, 8, 2), Qt::white);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(19);
        font.setBold(true);
        font.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
        p.setFont(font);
        p.setPen(QColor(0, 0, 0, 90));
        p.drawText(QRectF(31, 1, 90, 28), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Orvane"));
        p.setPen(Qt::white);
        p.drawText(QRectF(30, 0, 90, 28), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Orvane"));
    });
    // Category icons "type_001" ... "type_017": a coloured tile of 20 points with a white
    // pictogram, one colour and sign for each kind of show or channel group.
    struct Category
    {
        int number;
        QColor colour;
        const char16_t* sign;
    };
    const Category categories[] = {
        {1, QColor(0x8e, 0x44, 0xad), u"\u2630"},  // serial: episodes
        {2, QColor(0x27, 0xae, 0x60), u"\u263A"},  // leisure
        {3, QColor(0x7f, 0x8c, 0x8d), u"\u25CF"},  // general
        {4, QColor(0xd3, 0x54, 0x00), u"\u266B"},  // radio
        {5, QColor(0x16, 0xa0, 0x85), u"\u2302"},  // home and life
        {6, QColor(0xc0, 0x39, 0x2b), u"\u25A3"},  // film
        {7, QColor(0x29, 0x80, 0xb9), u"\u270E"},  // education
        {8, QColor(0x2c, 0x3e, 0x50), u"\u2605"},  // stars
        {9, QColor(0x34, 0x49, 0x5e), u"\u2139"},  // news
        {10, QColor(0xf3, 0x9c, 0x12), u"\u2665"}, // children
        {11, QColor(0x1a, 0xbc, 0x9c), u"\u266A"}, // music
        {12, QColor(0x9b, 0x59, 0xb6), u"\u2691"}, // regional
        {13, QColor(0x6d, 0x4c, 0x41), u"\u2708"}, // travel
        {14, QColor(0x2e, 0xcc, 0x71), u"\u25CE"}, // sport
        {15, QColor(0xe6, 0x7e, 0x22), u"\u2615"}, // cooking
        {16, QColor(0x3d, 0x5a, 0xfe), u"\u2604"}, // science
        {17, QColor(0xe9, 0x1e, 0x63), u"\u2606"}, // entertainment
    };
    for (const Category& category : categories) {
        save(QStringLiteral("type_%1").arg(category.number, 3, 10, QLatin1Char('0')), 20, 20,
             [&](QPainter& p) {
                 p.setPen(Qt::NoPen);
                 p.setBrush(category.colour);
                 p.drawRoundedRect(QRectF(0.5, 0.5, 19, 19), 4, 4);
                 QFont font(QStringLiteral("DejaVu Sans"));
                 font.setPixelSize(13);
                 p.setFont(font);
                 p.setPen(Qt::white);
                 p.drawText(QRectF(0, 0, 20, 20), Qt::AlignCenter, QString::fromUtf16(category.sign));
             });
    }
    // Day strip arrows: a chevron in the bar's tint on a transparent 20-point square.
    for (const bool left : {true, false}) {
        save(left ? QStringLiteral("left") : QStringLiteral("right"), 20, 20, [left](QPainter& p) {
            QPainterPath chevron;
            const double x = left ? 12.5 : 7.5, tip = left ? 6.5 : 13.5;
            chevron.moveTo(x, 4);
            chevron.lineTo(tip, 10);
            chevron.lineTo(x, 16);
            p.fillPath(stroked(chevron, 2.4), QColor(91, 102, 171));
        });
    }
    // The mark of channels the audio identification can find: a small microphone in a disc.
    save(QStringLiteral("avto"), 25, 25, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2e, 0xcc, 0x71));
        p.drawEllipse(QRectF(1, 1, 23, 23));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(10, 5.5, 5, 9), 2.5, 2.5);
        QPainterPath stand;
        stand.moveTo(7.5, 11.5);
        stand.cubicTo(7.5, 17, 17.5, 17, 17.5, 11.5);
        stand.moveTo(12.5, 16);
        stand.lineTo(12.5, 19);
        p.fillPath(stroked(stand, 1.6), Qt::white);
    });
    // The about button: a question mark in a ring, in the bar's tint.
    save(QStringLiteral("quest"), 25, 25, [](QPainter& p) {
        p.setPen(QPen(QColor(91, 102, 171), 2));
        p.drawEllipse(QRectF(2, 2, 21, 21));
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(15);
        font.setBold(true);
        p.setFont(font);
        p.drawText(QRectF(0, 0, 25, 25), Qt::AlignCenter, QStringLiteral("?"));
    });
    // The Twitter row's icon: a white bird-like speech mark on a sky-blue tile.
    save(QStringLiteral("tw_icon"), 30, 30, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1d, 0xa1, 0xf2));
        p.drawRoundedRect(QRectF(0, 0, 30, 30), 7, 7);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(19);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(0, 0, 30, 30), Qt::AlignCenter, QStringLiteral("t"));
    });
    // The city chooser's locate button: a map pin, grey until a city was found by it.
    for (const bool selected : {false, true}) {
        save(selected ? QStringLiteral("location_icon_selected") : QStringLiteral("location_icon"), 22, 22,
             [selected](QPainter& p) {
                 QPainterPath pin;
                 pin.moveTo(11, 21);
                 pin.cubicTo(4, 13, 3, 10, 3, 8.5);
                 pin.arcTo(QRectF(3, 1, 16, 16), 180, -180);
                 pin.cubicTo(19, 10, 18, 13, 11, 21);
                 pin.addEllipse(QPointF(11, 8.5), 3, 3);
                 pin.setFillRule(Qt::OddEvenFill);
                 p.fillPath(pin, selected ? QColor(0x2e, 0xcc, 0x71) : QColor(0x8a, 0x8f, 0xa3));
             });
    }
    std::printf("images written to %s\n", qPrintable(folder));
    return 0;
}
