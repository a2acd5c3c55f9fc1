#include "Pages.h"

#include "ContentService.h"

#include "store/ScheduleStore.h"

#include <QDateTime>
#include <QLocale>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

const QString Style = QStringLiteral(
    "<style>body{font-family:'DejaVu Sans',Helvetica,sans-serif;margin:0;background:#eef0f6;color:#222;}"
    "h1{font-size:19px;color:#fff;background:#5b66ab;margin:0;padding:10px 12px;}"
    "h2{font-size:17px;margin:6px 0;color:#2c3570;}"
    "table.list{width:100%;border-collapse:collapse;background:#fff;}"
    "table.list td{padding:7px 8px;border-bottom:1px solid #dde0ea;vertical-align:top;}"
    "td.logo{width:52px;} td.time{color:#5b66ab;font-weight:bold;white-space:nowrap;}"
    "a{color:#2c3570;text-decoration:none;} a.show{font-weight:bold;}"
    "p.next{color:#666;font-size:13px;margin:3px 0 0 0;} p.note{color:#666;font-size:13px;padding:0 12px;}"
    "div.box{background:#fff;margin:8px;padding:10px;} .live{color:#b02020;font-weight:bold;}</style>");

QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

QString hhmm(qint64 seconds)
{
    return QLocale::c().toString(QDateTime::fromSecsSinceEpoch(seconds).time(), u"HH:mm");
}

// A bar of the part of a show that has passed, as a two-cell table.
QString progressBar(const StoreProgramme& p, qint64 now)
{
    const double part =
        p.stop > p.start ? std::clamp(double(now - p.start) / double(p.stop - p.start), 0.0, 1.0) : 0;
    const int done = int(part * 100);
    return QStringLiteral(
               "<table width=\"100%\" cellspacing=\"0\" cellpadding=\"0\" style=\"margin-top:4px\"><tr>"
               "<td width=\"%1%\" style=\"background:#5b66ab;height:4px\"></td>"
               "<td style=\"background:#d5d8e6;height:4px\"></td></tr></table>")
        .arg(std::max(done, 1));
}

QString page(const QString& title, const QString& body)
{
    return QStringLiteral(
               "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title>%2</head><body>"
               "<h1>%1</h1>%3</body></html>")
        .arg(escaped(title), Style, body);
}

QString deviceFromCookie(const HttpRequest& request)
{
    for (const QByteArray& part : request.header("cookie").split(';')) {
        const QByteArray item = part.trimmed();
        if (item.startsWith(QByteArray(Pages::DeviceCookie + '=')))
            return QString::fromUtf8(item.mid(Pages::DeviceCookie.size() + 1)).left(64);
    }
    return {};
}

} // namespace

Pages::Pages(ScheduleStore& store, const ContentService& content) : m_store(store), m_content(content) {}

std::optional<HttpResponse> Pages::answer(const QString& page, const HttpRequest& request)
{
    if (page == u"now.php")
        return now(request);
    if (page == u"get_screenshot_urls.php")
        return screenshots(request);
    if (page == u"get_user_stats.php")
        return statistics(request);
    return std::nullopt;
}

QString Pages::showLink(const StoreProgramme& p) const
{
    return QStringLiteral("orvane://progdetails/%1/%2/%3")
        .arg(m_content.days().dayOf(p.start))
        .arg(p.channelId)
        .arg(p.id);
}

QString Pages::nowQuery(const QString& device, int cityId, int channelId) const
{
    QString query =
        QStringLiteral("now.php?v=2&d=%1").arg(QString::fromUtf8(QUrl::toPercentEncoding(device)));
    if (channelId > 0)
        query += QStringLiteral("&m=1&i=%1").arg(channelId);
    if (cityId >= 1)
        query += QStringLiteral("&city=%1").arg(cityId);
    return query;
}

HttpResponse Pages::now(const HttpRequest& request)
{
    const QString device = request.value(u"d"_s).left(64);
    bool ok = true;
    const int cityId = request.has(u"city"_s) ? request.value(u"city"_s).toInt(&ok) : 1;
    if (!ok)
        return HttpResponse::error(400, QStringLiteral("The parameter \"city\" is not a number."));
    HttpResponse response;
    if (request.has(u"i"_s)) {
        const int channelId = request.value(u"i"_s).toInt(&ok);
        if (!ok)
            return HttpResponse::error(400, QStringLiteral("The parameter \"i\" is not a number."));
        const std::optional<StoreChannel> channel = m_store.channel(channelId);
        if (!channel)
            response = HttpResponse::html(page(QStringLiteral("Сейчас в эфире"),
                                               QStringLiteral("<p class=\"note\">Канал не найден.</p>")));
        else
            response = channelPage(*channel, device, cityId, !request.has(u"d"_s));
        m_store.deviceSeen(device, channel ? channel->id : 0);
    } else {
        response = generalPage(cityId, device);
        m_store.deviceSeen(device);
    }
    if (!device.isEmpty())
        response.headers.append(QPair<QByteArray, QByteArray>(
            "Set-Cookie", DeviceCookie + '=' + QUrl::toPercentEncoding(device) + "; Path=/"));
    return response;
}

HttpResponse Pages::generalPage(int cityId, const QString& device)
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const QMap<int, int> map = m_store.cityMap(cityId);
    QString rows;
    for (const StoreChannel& listed : m_store.channelsOfCity(cityId)) {
        const std::optional<StoreChannel> channel = m_store.channel(map.value(listed.id, listed.id));
        if (!channel)
            continue;
        const std::optional<StoreProgramme> onAir = m_store.programmeAt(channel->id, now);
        QString show = QStringLiteral("<span class=\"next\">Нет данных</span>");
        if (onAir) {
            show = QStringLiteral("<a class=\"show\" href=\"%1\">%2</a>%3")
                       .arg(showLink(*onAir), escaped(onAir->title), progressBar(*onAir, now));
            const QList<StoreProgramme> next =
                m_store.programmes(channel->id, onAir->stop, onAir->stop + 1, false);
            if (!next.isEmpty())
                show += QStringLiteral("<p class=\"next\">Далее в %1: %2</p>")
                            .arg(hhmm(next.first().start), escaped(next.first().title));
        }
        rows +=
            QStringLiteral("<tr><td class=\"logo\"><img src=\"gfx/48/48%1\" width=\"40\" height=\"40\"></td>"
                           "<td><a href=\"%2\">%3</a><br>%4</td><td class=\"time\">%5</td></tr>")
                .arg(channel->logo, nowQuery(device, cityId, channel->id), escaped(channel->name), show,
                     onAir ? hhmm(onAir->start) + u'–' + hhmm(onAir->stop) : QString());
    }
    const std::optional<StoreCity> city = m_store.city(cityId);
    const QString heading =
        QStringLiteral("Сейчас в эфире") + (city ? QStringLiteral(" · ") + city->name : QString());
    if (rows.isEmpty())
        return HttpResponse::html(
            page(heading, QStringLiteral("<p class=\"note\">Для этого города программы нет.</p>")));
    return HttpResponse::html(page(heading, QStringLiteral("<table class=\"list\">%1</table>").arg(rows)));
}

HttpResponse Pages::channelPage(const StoreChannel& channel, const QString& device, int cityId, bool tablet)
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    QString body;
    const std::optional<StoreProgramme> onAir = m_store.programmeAt(channel.id, now);
    if (onAir) {
        QString description = onAir->description;
        if (description.size() > 300)
            description = description.left(300) + u'…';
        body += QStringLiteral("<div class=\"box\"><span class=\"live\">● В эфире %1–%2</span>"
                               "<h2><a href=\"%3\">%4</a></h2>%5<p>%6</p>"
                               "<p><a href=\"%3\">Подробнее о передаче</a> · "
                               "<a href=\"get_screenshot_urls.php?i=%7\">Кадры эфира</a></p></div>")
                    .arg(hhmm(onAir->start), hhmm(onAir->stop), showLink(*onAir), escaped(onAir->title),
                         onAir->image.isEmpty()
                             ? QString()
                             : QStringLiteral("<img src=\"gfx/%1\" width=\"280\">").arg(onAir->image),
                         escaped(description))
                    .arg(channel.id);
    } else {
        body += QStringLiteral("<p class=\"note\">Сейчас нет данных о передаче.</p>");
    }
    QString rows;
    for (const StoreProgramme& p : m_store.programmes(channel.id, now + 1, now + 12 * 3600, false)) {
        if (onAir && p.id == onAir->id)
            continue;
        rows += QStringLiteral("<tr><td class=\"time\">%1</td><td><a href=\"%2\">%3</a></td></tr>")
                    .arg(hhmm(p.start), showLink(p), escaped(p.title));
        if (rows.count(QStringLiteral("<tr>")) == 8)
            break;
    }
    if (!rows.isEmpty())
        body += QStringLiteral("<h2 style=\"padding:0 12px\">Далее</h2><table class=\"list\">%1</table>")
                    .arg(rows);
    if (!tablet) {
        body +=
            QStringLiteral("<p class=\"note\"><a href=\"%1\">Все каналы</a> · <a "
                           "href=\"https://ru.wikipedia.org/wiki/%2\">"
                           "О канале в Википедии</a></p>")
                .arg(nowQuery(device, cityId, 0), QString::fromUtf8(QUrl::toPercentEncoding(channel.name)));
    }
    return HttpResponse::html(page(channel.name, body));
}

HttpResponse Pages::screenshots(const HttpRequest& request)
{
    bool ok = false;
    const int channelId = request.value(u"i"_s).toInt(&ok);
    if (!ok)
        return HttpResponse::error(400, QStringLiteral("The parameter \"i\" is missing or not a number."));
    const std::optional<StoreChannel> channel = m_store.channel(channelId);
    if (!channel)
        return HttpResponse::html(
            page(QStringLiteral("Кадры эфира"), QStringLiteral("<p class=\"note\">Канал не найден.</p>")));
    QString cells;
    for (int d = 0; d < 15; ++d) {
        cells +=
            QStringLiteral(
                "<div class=\"box\"><img src=\"get_tv_image.php?i=%1&amp;d=%2\" width=\"320\" height=\"240\">"
                "<p class=\"next\">%3 мин назад</p></div>")
                .arg(channelId)
                .arg(d)
                .arg(d);
    }
    return HttpResponse::html(page(QStringLiteral("Кадры эфира · ") + channel->name, cells));
}

HttpResponse Pages::statistics(const HttpRequest& request)
{
    QString device = request.value(u"d"_s).left(64);
    if (device.isEmpty())
        device = deviceFromCookie(request);
    const QMap<int, int> views = device.isEmpty() ? QMap<int, int>() : m_store.viewsOfDevice(device);
    if (views.isEmpty()) {
        return HttpResponse::html(
            page(QStringLiteral("Статистика"),
                 QStringLiteral("<p class=\"note\">Пока нет данных о ваших просмотрах. Смотрите "
                                "телевизор с Orvane — статистика появится здесь.</p>")));
    }
    QList<std::pair<int, int>> order;
    int total = 0;
    for (auto it = views.begin(); it != views.end(); ++it) {
        order.append({it.value(), it.key()});
        total += it.value();
    }
    std::sort(order.begin(), order.end(), std::greater<>());
    QString rows;
    for (const auto& [count, channelId] : order) {
        const auto channel = m_store.channel(channelId);
        const int percent = total ? count * 100 / total : 0;
        rows += QStringLiteral(
                    "<tr><td>%1</td><td class=\"time\">%2%</td><td width=\"45%\"><table width=\"100%\" "
                    "cellspacing=\"0\"><tr><td width=\"%2%\" style=\"background:#5b66ab;height:8px\"></td>"
                    "<td></td></tr></table></td></tr>")
                    .arg(escaped(channel ? channel->name : QString::number(channelId)))
                    .arg(std::max(percent, 1));
    }
    return HttpResponse::html(page(
        QStringLiteral("Статистика"),
        QStringLiteral(
            "<p class=\"note\">Каналы, которые вы смотрели (%1 отметок):</p><table class=\"list\">%2</table>")
            .arg(total)
            .arg(rows)));
}
