#include "PictureRenderer.h"

#include "store/ScheduleStore.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

constexpr int MaxSide = 1024;

// A steady colour for a name.
QColor colourOf(const QString& name, int saturation = 150, int value = 170)
{
    const QByteArray hash = QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Md5);
    return QColor::fromHsv((uchar(hash[0]) * 256 + uchar(hash[1])) % 360, saturation, value);
}

QString initials(const QString& name)
{
    const QStringList words = name.split(u' ', Qt::SkipEmptyParts);
    QString letters;
    for (const QString& word : words) {
        if (word.at(0).isLetterOrNumber())
            letters += word.at(0).toUpper();
        if (letters.size() == 3)
            break;
    }
    if (letters.size() == 1 && !words.isEmpty())
        letters = words.first().left(3);
    return letters.isEmpty() ? QStringLiteral("TV") : letters;
}

// Text as drawn: laying text out costs time with its length, and a picture shows a few
// lines at most, so what is stored is cut short first, whatever its size.
QString shown(const QString& text)
{
    constexpr qsizetype MaxChars = 160;
    if (text.size() <= MaxChars)
        return text;
    qsizetype cut = MaxChars;
    if (text.at(cut - 1).isHighSurrogate())
        --cut;
    return text.left(cut) + u'…';
}

QFont font(int pixels, bool bold = true)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(std::max(pixels, 6));
    f.setBold(bold);
    return f;
}

} // namespace

PictureRenderer::PictureRenderer(ScheduleStore& store) : m_store(store) {}

std::optional<HttpResponse> PictureRenderer::answer(const QString& page, const HttpRequest& request)
{
    if (page.startsWith(QStringLiteral("gfx/"))) {
        return m_drawn.findOrMake(page, QDateTime::currentMSecsSinceEpoch(), ResponseCache::MaxAgeMs,
                                  [this, &page] { return graphics(page.mid(4)); });
    }
    if (page == u"get_tv_image.php")
        return tvImage(request);
    return std::nullopt;
}

QByteArray PictureRenderer::png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QImage PictureRenderer::logo(const StoreChannel& channel, int width, int height) const
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0.5, 0.5, width - 1.0, height - 1.0);
    QLinearGradient fill(0, 0, 0, height);
    const QColor colour = colourOf(channel.name);
    fill.setColorAt(0, colour.lighter(125));
    fill.setColorAt(1, colour.darker(120));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    const qreal radius = std::min(width, height) * 0.18;
    painter.drawRoundedRect(box, radius, radius);
    painter.setPen(Qt::white);
    const QString text = initials(channel.name);
    painter.setFont(font(int(std::min(height * 0.42, width * 0.9 / std::max<qsizetype>(text.size(), 1)))));
    painter.drawText(box, Qt::AlignCenter, text);
    if (!channel.isTv) {
        painter.setFont(font(std::max(6, height / 7), false));
        painter.drawText(box.adjusted(0, 0, 0, -height * 0.06), Qt::AlignHCenter | Qt::AlignBottom,
                         QStringLiteral("радио"));
    }
    return image;
}

QImage PictureRenderer::showPicture(const StoreProgramme& programme, const QString& channelName, int width,
                                    int height) const
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, width, height);
    const QColor colour = colourOf(programme.title, 110, 120);
    fill.setColorAt(0, colour.darker(160));
    fill.setColorAt(1, colour.lighter(140));
    painter.fillRect(image.rect(), fill);
    // A few soft circles, placed by the title, so that every show has its own picture.
    const QByteArray hash = QCryptographicHash::hash(programme.title.toUtf8(), QCryptographicHash::Sha1);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i + 2 < hash.size(); i += 3) {
        painter.setBrush(QColor(255, 255, 255, 18 + uchar(hash[i]) % 30));
        const qreal r = (0.1 + (uchar(hash[i + 2]) % 40) / 100.0) * std::min(width, height);
        painter.drawEllipse(QPointF(uchar(hash[i]) * width / 255.0, uchar(hash[i + 1]) * height / 255.0), r,
                            r);
    }
    const QRectF text(width * 0.06, height * 0.08, width * 0.88, height * 0.84);
    painter.setPen(QColor(255, 255, 255, 230));
    painter.setFont(font(std::max(8, height / 10), false));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignTop, shown(channelName));
    painter.setPen(Qt::white);
    painter.setFont(font(std::max(9, height / 7)));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap, shown(programme.title));
    return image;
}

QImage PictureRenderer::liveFrame(const StoreChannel& channel, const StoreProgramme* programme,
                                  qint64 moment) const
{
    QImage image =
        programme ? showPicture(*programme, channel.name, 320, 240) : QImage(320, 240, QImage::Format_RGB32);
    if (!programme)
        image.fill(QColor(30, 32, 40));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawImage(QPoint(244, 10), logo(channel, 66, 40));
    painter.fillRect(QRect(0, 206, 320, 34), QColor(0, 0, 0, 150));
    painter.setPen(Qt::white);
    painter.setFont(font(14));
    const QString time = QLocale::c().toString(QDateTime::fromSecsSinceEpoch(moment).time(), u"HH:mm:ss");
    painter.drawText(QRect(10, 206, 300, 34), Qt::AlignVCenter | Qt::AlignLeft,
                     programme ? QString(time + QStringLiteral("  ") + shown(programme->title))
                               : QString(time + QStringLiteral("  нет данных")));
    painter.setPen(QColor(255, 80, 80));
    painter.drawText(QRect(10, 10, 100, 20), Qt::AlignLeft, QStringLiteral("● ЭФИР"));
    return image;
}

QImage PictureRenderer::fitted(const QImage& picture, int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QImage scaled = picture.scaled(width, height, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&image);
    painter.drawImage((width - scaled.width()) / 2, (height - scaled.height()) / 2, scaled);
    return image;
}

HttpResponse PictureRenderer::graphics(const QString& path)
{
    // gfx/W/H/LOGO: a channel logo of that size.
    static const QRegularExpression sized(QStringLiteral("^(\\d{1,4})/(\\d{1,4})(/.+)$"));
    const QRegularExpressionMatch match = sized.match(path);
    if (match.hasMatch()) {
        const int width = match.captured(1).toInt();
        const int height = match.captured(2).toInt();
        if (width < 1 || height < 1 || width > MaxSide || height > MaxSide)
            return HttpResponse::error(
                400, QStringLiteral("A picture is 1 to %1 points wide and high.").arg(MaxSide));
        const QImage stored = QImage::fromData(m_store.picture(match.captured(3)), "PNG");
        if (!stored.isNull())
            return HttpResponse::png(png(fitted(stored, width, height)));
        const std::optional<StoreChannel> channel = m_store.channelByLogo(match.captured(3));
        if (!channel)
            return HttpResponse::error(404, QStringLiteral("No such logo."));
        return HttpResponse::png(png(logo(*channel, width, height)));
    }
    // Pictures brought in with the data, as they were stored.
    for (const QString& stored : {path, QString(u'/' + path)}) {
        const QByteArray bytes = m_store.picture(stored);
        if (!bytes.isEmpty())
            return HttpResponse::png(bytes);
    }
    // gfx/LOGO at a standard size.
    if (const std::optional<StoreChannel> channel = m_store.channelByLogo(u'/' + path))
        return HttpResponse::png(png(logo(*channel, 96, 96)));
    // gfx/shows/ID.png, gfx/shows/ID_big.png, gfx/gallery/ID_N.png: pictures of a show.
    static const QRegularExpression show(QStringLiteral("^(shows|gallery)/(\\d+)(_big|_\\d+)?\\.png$"));
    const QRegularExpressionMatch showMatch = show.match(path);
    if (showMatch.hasMatch()) {
        const std::optional<StoreProgramme> programme =
            m_store.programme(showMatch.captured(2).toLongLong(), false);
        if (!programme)
            return HttpResponse::error(404, QStringLiteral("No such picture."));
        const auto channel = m_store.channel(programme->channelId);
        const bool big = showMatch.captured(3) == u"_big" || showMatch.captured(1) == u"gallery";
        return HttpResponse::png(png(
            showPicture(*programme, channel ? channel->name : QString(), big ? 640 : 320, big ? 360 : 180)));
    }
    return HttpResponse::error(404, QStringLiteral("No such picture."));
}

HttpResponse PictureRenderer::tvImage(const HttpRequest& request)
{
    bool ok = false;
    const int channelId = request.value(u"i"_s).toInt(&ok);
    if (!ok)
        return HttpResponse::error(400, QStringLiteral("The parameter \"i\" is missing or not a number."));
    int minutesAgo = 0;
    if (request.has(u"d"_s)) {
        minutesAgo = request.value(u"d"_s).toInt(&ok);
        if (!ok || minutesAgo < 0 || minutesAgo > 24 * 60)
            return HttpResponse::error(400, QStringLiteral("The parameter \"d\" must be 0 to 1440 minutes."));
    }
    const std::optional<StoreChannel> channel = m_store.channel(channelId);
    if (!channel)
        return HttpResponse::error(404, QStringLiteral("No such channel."));
    // "ts": the moment the pictures of a browser are taken at (seconds since 1970), so that its
    // pictures stay one set while it is open. A stamp of 0, unreadable or ahead of the clock
    // (a device clock set wrong) means now: the air has no pictures of the future.
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    qint64 base = now;
    if (request.has(u"ts"_s)) {
        const qint64 stamp = request.value(u"ts"_s).toLongLong(&ok);
        if (ok && stamp > 0 && stamp < now)
            base = std::max(stamp, now - 7 * 86400);
    }
    const qint64 moment = base - qint64(minutesAgo) * 60;
    const std::optional<StoreProgramme> onAir = m_store.programmeAt(channel->id, moment);
    QImage frame = liveFrame(*channel, onAir ? &*onAir : nullptr, moment);
    // "r=1": the thumbnail. "tt", "bt": the viewer's captions over the top and the bottom.
    if (request.value(u"r"_s) == u"1")
        return HttpResponse::png(
            png(frame.scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    captioned(frame, request.value(u"tt"_s), request.value(u"bt"_s), request.value(u"fn"_s));
    return HttpResponse::png(png(frame));
}

void PictureRenderer::captioned(QImage& image, const QString& top, const QString& bottom,
                                const QString& fontName)
{
    if (top.isEmpty() && bottom.isEmpty())
        return;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont captionFont = font(26);
    if (fontName.compare(u"impact"_s, Qt::CaseInsensitive) == 0) {
        captionFont.setFamilies({u"Impact"_s, u"Anton"_s, u"DejaVu Sans Condensed"_s});
        captionFont.setWeight(QFont::Black);
    }
    const auto draw = [&](const QString& text, Qt::Alignment where) {
        // White with a black outline, in the top or bottom third, shrunk until it fits there.
        const QString shownText = shown(text.left(120)).toUpper();
        const QRect box = image.rect().adjusted(8, 6, -8, -6);
        const int flags = Qt::TextWordWrap | Qt::AlignHCenter;
        QFont f = captionFont;
        QRect need;
        for (int size = 26; size >= 10; size -= 2) {
            f.setPixelSize(size);
            need = QFontMetrics(f).boundingRect(box, flags, shownText);
            if (need.height() <= box.height() / 3)
                break;
        }
        QRect textBox(box.left(), where & Qt::AlignTop ? box.top() : box.bottom() - need.height(),
                      box.width(), std::min(need.height(), box.height() / 3));
        painter.setFont(f);
        painter.setPen(Qt::black);
        for (const QPoint offset : {QPoint(-2, 0), QPoint(2, 0), QPoint(0, -2), QPoint(0, 2)})
            painter.drawText(textBox.translated(offset), flags, shownText);
        painter.setPen(Qt::white);
        painter.drawText(textBox, flags, shownText);
    };
    if (!top.isEmpty())
        draw(top, Qt::AlignTop);
    if (!bottom.isEmpty())
        draw(bottom, Qt::AlignBottom);
}
