#include "ContentService.h"

#include "identification/DeviceState.h"

#include "store/ScheduleStore.h"

#include "platform/Json.h"

#include <QLocale>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

bool isAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

const QVariant NoData = 1;

QVariantMap noData()
{
    return {{QStringLiteral("nodata"), NoData}};
}

// An integer parameter: none when absent; set *bad when present and not an integer.
std::optional<int> integer(const HttpRequest& request, const QString& name, bool* bad)
{
    if (!request.has(name))
        return std::nullopt;
    bool ok = false;
    const int value = request.value(name).trimmed().toInt(&ok);
    if (!ok) {
        *bad = true;
        return std::nullopt;
    }
    return value;
}

HttpResponse missing(const QString& name)
{
    return HttpResponse::error(400,
                               QStringLiteral("The parameter \"%1\" is missing or not a number.").arg(name));
}

// A moment written by the application as "yyyy-MM-dd HH:mm:ss.SSSSSS" (its zone is the
// server's in a deployment on one machine; the fraction is ignored).
std::optional<qint64> timestamp(const QString& text)
{
    const QDateTime moment = QDateTime::fromString(text.left(19), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!moment.isValid())
        return std::nullopt;
    return moment.toSecsSinceEpoch();
}

// A show's picture path under gfx/: the one stored with it, else the one the server draws.
QString pictureOf(const StoreProgramme& p, bool big)
{
    const QString& stored = big ? p.imageBig : p.image;
    if (!stored.isEmpty())
        return stored;
    return QStringLiteral("shows/%1%2.png").arg(p.id).arg(big ? QStringLiteral("_big") : QString());
}

// The address the client loads a show's picture from: the gfx/ folder of this server as the
// request reached it ("Host"), or the path alone when the request names no usable host.
QString pictureAddress(const QString& base, const StoreProgramme& p, bool big)
{
    const QString path = pictureOf(p, big);
    if (base.isEmpty() || path.startsWith(u"http://") || path.startsWith(u"https://"))
        return path;
    return base + (path.startsWith(u'/') ? path.mid(1) : path);
}

QVariantMap tweetOf(const StoreMessage& m)
{
    QVariantMap message{{u"text"_s, m.text}, {u"id_str"_s, QString::number(m.id)}, {u"source"_s, m.source}};
    if (!m.mediaUrl.isEmpty())
        message.insert(u"entities"_s,
                       QVariantMap{{u"media"_s, QVariantList{QVariantMap{{u"type"_s, u"photo"_s},
                                                                         {u"media_url"_s, m.mediaUrl}}}}});
    QVariantMap status{{u"favorited"_s, false}};
    status.insert(u"in_reply_to_status_id_str"_s,
                  m.replyToId.isEmpty() ? Json::null() : QVariant(m.replyToId));
    status.insert(u"in_reply_to_screen_name"_s,
                  m.replyToScreenName.isEmpty() ? Json::null() : QVariant(m.replyToScreenName));
    const QString time =
        QLocale::c().toString(QDateTime::fromSecsSinceEpoch(m.time), u"yyyy-MM-dd HH:mm:ss") +
        QStringLiteral(".000000");
    return {{u"message"_s, message},
            {u"sender_info"_s, QVariantMap{{u"name"_s, m.senderName},
                                           {u"screen_name"_s, m.screenName},
                                           {u"id_str"_s, m.senderId},
                                           {u"profile_image_url"_s, m.profileImageUrl}}},
            {u"status"_s, status},
            {u"time"_s, time}};
}

} // namespace

ContentService::ContentService(ScheduleStore& store) : m_store(store)
{
    const QTimeZone zone(store.timeZone().toUtf8());
    m_days = ProgrammeDay(zone.isValid() ? zone : QTimeZone::systemTimeZone());
}

std::optional<HttpResponse> ContentService::answer(const QString& page, const HttpRequest& request)
{
    if (page == u"messages/now.php")
        return serverTime();
    if (page == u"get_channel_info.php")
        return channelInfo(request);
    if (page == u"get_program_info.php")
        return programInfo(request);
    if (page == u"content_listview.php")
        return contentListview(request);
    if (page == u"get_search_program_info.php")
        return search(request);
    if (page == u"messages/twitterjsonlimit.php")
        return tweets(request, true);
    if (page == u"messages/twitterjson.php")
        return tweets(request, false);
    if (page == u"get_suggested_cities_list.php")
        return cities(request);
    if (page == u"get_channel_rating.php")
        return ratings(request);
    if (page == u"get_channel_city_map_list.php")
        return mapList(request);
    if (page == u"get_service_status.php")
        return serviceStatus();
    if (page.startsWith(u"special/"))
        return specialPage(page);
    return std::nullopt;
}

QString ContentService::pictureBase(const HttpRequest& request)
{
    // Only a host name or address with an optional port: anything else (a header made up to
    // inject text into the answers) gives relative names. Checked by hand: this runs for
    // every programme day asked for.
    const QByteArray host = request.header("host");
    qsizetype end = host.size();
    const qsizetype colon = host.lastIndexOf(':');
    if (colon >= 0 && !host.endsWith(']')) {
        const qsizetype digits = host.size() - colon - 1;
        if (digits < 1 || digits > 5)
            return {};
        for (qsizetype i = colon + 1; i < host.size(); ++i) {
            if (!isAsciiDigit(host[i]))
                return {};
        }
        end = colon;
    }
    const QByteArrayView name(host.constData(), end);
    const bool bracketed = name.size() >= 2 && name.front() == '[' && name.back() == ']';
    if (name.isEmpty() || name.size() > (bracketed ? 47 : 253))
        return {};
    for (qsizetype i = bracketed ? 1 : 0; i < name.size() - (bracketed ? 1 : 0); ++i) {
        const char c = name[i];
        const bool ok = bracketed ? (isAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') ||
                                     c == ':' || c == '.')
                                  : (isAsciiDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                     c == '.' || c == '-');
        if (!ok)
            return {};
    }
    return u"http://"_s + QString::fromLatin1(host) + u"/searchcontent/gfx/"_s;
}

QVariantMap ContentService::showDictionary(const StoreProgramme& p, bool details,
                                           const QString& pictures) const
{
    QVariantMap show{{u"ev"_s, double(p.id)},
                     {u"title"_s, p.title},
                     {u"image"_s, pictureAddress(pictures, p, false)},
                     {u"image_s"_s, pictureAddress(pictures, p, true)},
                     {u"start_ts"_s, double(p.start)},
                     {u"finish_ts"_s, double(p.stop)},
                     {u"flag"_s, p.category},
                     {u"pd"_s, m_days.dayOf(p.start).toDouble()},
                     {u"ch"_s, QString::number(p.channelId)}};
    if (!p.subTitle.isEmpty())
        show.insert(u"subtitle"_s, p.subTitle);
    if (!p.genre.isEmpty())
        show.insert(u"type_str"_s, p.genre);
    if (!p.country.isEmpty())
        show.insert(u"country"_s, p.country);
    if (p.year > 0)
        show.insert(u"year"_s, p.year);
    if (!p.company.isEmpty())
        show.insert(u"company"_s, p.company);
    if (p.imdbRating > 0 || p.kpRating > 0) {
        QVariantMap rating;
        if (p.imdbRating > 0) {
            rating.insert(u"imdb_rating"_s, p.imdbRating);
            rating.insert(u"imdb_votes"_s, p.imdbVotes);
        }
        if (p.kpRating > 0) {
            rating.insert(u"kp_rating"_s, p.kpRating);
            rating.insert(u"kp_votes"_s, p.kpVotes);
            rating.insert(u"kp_index"_s, p.kpIndex);
        }
        show.insert(u"rating"_s, QVariantList{rating});
    }
    if (details) {
        if (!p.description.isEmpty())
            show.insert(u"info"_s, p.description);
        QVariantList humans;
        for (const StoreParticipant& person : p.participants) {
            QVariantMap human{{u"amp"_s, person.role}, {u"name"_s, person.name}};
            if (!person.url.isEmpty())
                human.insert(u"url"_s, person.url);
            humans.append(human);
        }
        if (!humans.isEmpty())
            show.insert(u"humans"_s, humans);
        QVariantList gallery;
        for (const QString& path : p.gallery)
            gallery.append(path);
        show.insert(u"image_g"_s, gallery);
    }
    return show;
}

QVariantMap ContentService::nowEntry(const StoreProgramme& p) const
{
    QVariantMap entry{{u"t"_s, p.title},
                      {u"ts"_s, double(p.start)},
                      {u"tf"_s, double(p.stop)},
                      {u"pid"_s, QString::number(p.id)},
                      {u"pd"_s, m_days.dayOf(p.start)},
                      {u"pim"_s, pictureOf(p, false)},
                      {u"piml"_s, pictureOf(p, true)}};
    // Sport has a page of its own (content code 0), relative to this server's address; other
    // shows carry no "aact" at all, which tells the client there is nothing more.
    if (p.category == SportCategory) {
        entry.insert(u"aact"_s, 0);
        entry.insert(u"aurl"_s, QString(u"special/"_s + QString::number(p.id) + u".html"_s));
    }
    return entry;
}

HttpResponse ContentService::specialPage(const QString& page)
{
    // "special/ID.html": the extra page of a show that has one.
    static const QRegularExpression name(QStringLiteral("^special/(\\d{1,18})\\.html$"));
    const QRegularExpressionMatch match = name.match(page);
    const std::optional<StoreProgramme> show =
        match.hasMatch() ? m_store.programme(match.captured(1).toLongLong(), true) : std::nullopt;
    if (!show || show->category != SportCategory)
        return HttpResponse::error(404, QStringLiteral("No such page."));
    const QString title = show->title.toHtmlEscaped();
    return HttpResponse::html(
        QString(u"<html><head><meta charset=\"utf-8\"><title>"_s + title + u"</title></head><body><h1>"_s +
                title + u"</h1><p><img src=\"../gfx/"_s + pictureOf(*show, true).toHtmlEscaped() +
                u"\" width=\"480\"></p><p>"_s + show->description.toHtmlEscaped() + u"</p><p>"_s +
                show->genre.toHtmlEscaped() + u"</p></body></html>"_s));
}

HttpResponse ContentService::serverTime()
{
    return HttpResponse::json(QVariantMap{{u"timestamp_gmt"_s, double(QDateTime::currentSecsSinceEpoch())}});
}

QVariantList ContentService::channelArray(const StoreChannel& channel, int categoryIndex) const
{
    return {channel.name,  channel.logo, channel.isTv ? 1 : 0, categoryIndex, channel.autoDetection ? 1 : 0,
            channel.slogan};
}

QVariantMap ContentService::dynamicInfo(const StoreChannel& channel, qint64 now)
{
    QVariantMap info{{u"ch"_s, channel.name},
                     {u"icon"_s, channel.logo},
                     {u"t"_s, channel.isTv ? 1 : 0},
                     {u"slogan"_s, channel.slogan}};
    if (const auto onAir = m_store.programmeAt(channel.id, now)) {
        info.insert(u"ev"_s, double(onAir->id));
        info.insert(u"prg"_s, onAir->title);
        info.insert(u"pdate"_s, m_days.dayOf(onAir->start));
        info.insert(u"0"_s, QVariantMap{{u"flag"_s, onAir->category}});
    } else {
        info.insert(u"0"_s, QVariantMap{{u"flag"_s, 0}});
    }
    return info;
}

HttpResponse ContentService::channelInfo(const HttpRequest& request)
{
    bool bad = false;
    const std::optional<int> id = integer(request, u"i"_s, &bad);
    const std::optional<int> city = integer(request, u"city"_s, &bad);
    if (!id)
        return missing(u"i"_s);
    if (bad)
        return missing(u"city"_s);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const bool dynamic = request.has(u"p"_s);

    if (*id == -4) {
        if (!city)
            return missing(u"city"_s);
        const QList<StoreChannel> channels = m_store.channelsOfCity(*city);
        if (channels.isEmpty())
            return HttpResponse::json(noData());
        QVariantMap answer;
        if (dynamic) {
            const QMap<int, int> map = m_store.cityMap(*city);
            for (const StoreChannel& channel : channels) {
                const auto local = m_store.channel(map.value(channel.id, channel.id));
                answer.insert(QString::number(channel.id), dynamicInfo(local ? *local : channel, now));
            }
            return HttpResponse::json(answer);
        }
        QVariantList cc{QVariantList{QString(), 0}};
        QMap<int, int> indexOfCategory;
        for (const StoreCategory& category : m_store.categories()) {
            indexOfCategory.insert(category.id, int(cc.size()));
            cc.append(QVariant(QVariantList{category.name, category.order}));
        }
        for (const StoreChannel& channel : channels)
            answer.insert(QString::number(channel.id),
                          channelArray(channel, indexOfCategory.value(channel.categoryId)));
        answer.insert(u"cc"_s, cc);
        return HttpResponse::json(answer);
    }

    const std::optional<StoreChannel> channel = m_store.channel(*id);
    if (!channel)
        return HttpResponse::json(noData());
    if (dynamic)
        return HttpResponse::json(dynamicInfo(*channel, now));
    QVariantList cc{QVariantList{QString(), 0}};
    int index = 0;
    for (const StoreCategory& category : m_store.categories()) {
        if (category.id == channel->categoryId)
            index = int(cc.size());
        cc.append(QVariant(QVariantList{category.name, category.order}));
    }
    return HttpResponse::json(
        QVariantMap{{u"cc"_s, cc}, {QString::number(channel->id), channelArray(*channel, index)}});
}

HttpResponse ContentService::programInfo(const HttpRequest& request)
{
    bool bad = false;
    const std::optional<int> id = integer(request, u"i"_s, &bad);
    const std::optional<int> type = integer(request, u"w"_s, &bad);
    const std::optional<int> max = integer(request, u"max"_s, &bad);
    if (bad || !id || !type)
        return missing(!id ? u"i"_s : !type ? u"w"_s : u"max"_s);
    const qint64 nowMs = QDateTime::currentMSecsSinceEpoch();
    const qint64 now = nowMs / 1000;
    const QString key = QStringLiteral("now %1 %2 %3 %4 %5")
                            .arg(*id)
                            .arg(*type)
                            .arg(request.has(u"f"_s) ? 1 : 0)
                            .arg(max ? QString::number(*max) : QString(), request.value(u"pref"_s));
    if (auto cached = m_answers.find(key, nowMs))
        return *cached;
    // The list changes when the first show of one of its channels ends.
    qint64 changesMs = nowMs + ResponseCache::MaxAgeMs;
    const auto keep = [&](const HttpResponse& response) {
        // An answer read while the store failed is not kept.
        if (!ScheduleStore::failedSinceBegin())
            m_answers.insert(key, response, nowMs, changesMs);
        return response;
    };

    if (*type == 1) {
        const std::optional<StoreChannel> channel = m_store.channel(*id);
        if (!channel)
            return HttpResponse::json(noData());
        QVariantList shows;
        for (const StoreProgramme& p : m_store.programmes(channel->id, now, now + 12 * 3600, false)) {
            shows.append(nowEntry(p));
            if (shows.size() == 8)
                break;
        }
        const QVariantMap about{
            {u"ch"_s, channel->name}, {u"icon"_s, channel->logo}, {u"t"_s, channel->isTv ? 1 : 0}};
        QVariantMap answer{{u"a"_s, QString()}, {u"s"_s, channel->slogan}};
        if (request.has(u"f"_s))
            answer.insert(u"chann"_s, about);
        answer.insert(u"c"_s, about);
        if (shows.isEmpty()) {
            answer.insert(u"p"_s, noData());
            answer.insert(u"shows"_s, 0);
        } else {
            answer.insert(u"p"_s, shows);
            answer.insert(u"shows"_s, shows.size());
            changesMs = std::min(changesMs, qint64(shows.first().toMap().value(u"tf"_s).toDouble()) * 1000);
        }
        return keep(HttpResponse::json(answer));
    }
    if (*type != 2)
        return HttpResponse::error(400, QStringLiteral("The view type \"w\" must be 1 or 2."));

    // View type 2: the preferred channels (or the best rated of city 1), each with what is
    // on now and the next three.
    QList<int> ids;
    for (const QString& text : request.value(u"pref"_s).split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int value = text.trimmed().toInt(&ok);
        if (ok && !ids.contains(value))
            ids.append(value);
    }
    const int count = std::clamp(max.value_or(int(ids.size())), 0, 200);
    if (ids.isEmpty()) {
        const QMap<int, double> rated = m_store.ratings(1);
        QList<std::pair<double, int>> order;
        for (auto it = rated.begin(); it != rated.end(); ++it)
            order.append({it.value(), it.key()});
        std::sort(order.begin(), order.end(), std::greater<>());
        for (const auto& [rating, channelId] : order)
            ids.append(channelId);
    }
    QVariantMap answer;
    int listed = 0;
    for (int channelId : ids) {
        if (listed >= count)
            break;
        const std::optional<StoreChannel> channel = m_store.channel(channelId);
        if (!channel)
            continue;
        QVariantList entries;
        for (const StoreProgramme& p : m_store.programmes(channel->id, now, now + 12 * 3600, false)) {
            entries.append(nowEntry(p));
            if (entries.size() == 4)
                break;
        }
        if (entries.isEmpty())
            continue;
        QVariantMap first = entries.first().toMap();
        changesMs = std::min(changesMs, qint64(first.value(u"tf"_s).toDouble()) * 1000);
        first.insert(u"i"_s, channel->logo);
        first.insert(u"cl"_s, channel->name);
        first.insert(u"oim"_s, channel->livePictures ? 1 : 0);
        first.insert(u"ct"_s, channel->isTv ? 1 : 0);
        entries[0] = first;
        answer.insert(QString::number(channel->id), entries);
        ++listed;
    }
    if (answer.isEmpty())
        return keep(HttpResponse::json(noData()));
    answer.insert(u"c"_s, listed);
    return keep(HttpResponse::json(answer));
}

HttpResponse ContentService::contentListview(const HttpRequest& request)
{
    bool bad = false;
    const std::optional<int> id = integer(request, u"i"_s, &bad);
    if (bad || !id)
        return missing(u"i"_s);
    const QString day = request.value(u"t"_s);
    // A programme day is answered from the cache before anything is looked up: the store is
    // not touched for the thousands of devices asking for the same day.
    const bool brief = request.has(u"s"_s);
    const bool oneShow = request.has(u"ev"_s);
    const qint64 nowMs = QDateTime::currentMSecsSinceEpoch();
    // The pictures' addresses name the host the request used: answers are kept per host.
    const QString pictures = pictureBase(request);
    const QString key =
        u"day "_s + QString::number(*id) + u' ' + day + (brief ? u" 1 "_s : u" 0 "_s) + pictures;
    const QString device = request.value(u"d"_s);
    m_store.deviceSeen(device);
    if (m_devices && !device.isEmpty() && device.size() <= 64)
        m_devices->heard(device.toUtf8(), nowMs);
    if (!oneShow) {
        if (auto cached = m_answers.find(key, nowMs))
            return *cached;
    }
    qint64 from = 0;
    qint64 to = 0;
    if (!m_days.window(day, &from, &to))
        return HttpResponse::error(400, QStringLiteral("The day \"t\" must be written yyyyMMdd."));
    const std::optional<StoreChannel> channel = m_store.channel(*id);
    if (!channel)
        return HttpResponse::json(noData());

    if (oneShow) {
        bool ok = false;
        const qint64 showId = request.value(u"ev"_s).toLongLong(&ok);
        if (!ok)
            return missing(u"ev"_s);
        const std::optional<StoreProgramme> show = m_store.programme(showId, true);
        if (!show || show->channelId != channel->id)
            return HttpResponse::json(noData());
        return HttpResponse::json(QVariantMap{{u"title"_s, channel->name},
                                              {u"i"_s, channel->logo},
                                              {u"t"_s, channel->isTv ? 1 : 0},
                                              {u"ct"_s, channel->isTv ? 1 : 0},
                                              {u"slogan"_s, channel->slogan},
                                              {u"id"_s, channel->id},
                                              {u"oim"_s, channel->livePictures ? 1 : 0},
                                              {u"0"_s, showDictionary(*show, true, pictures)}});
    }

    QVariantMap answer{{u"t"_s, channel->name},
                       {u"i"_s, channel->logo},
                       {u"ct"_s, channel->isTv ? 1 : 0},
                       {u"slogan"_s, channel->slogan},
                       {u"id"_s, QString::number(channel->id)},
                       {u"oim"_s, channel->livePictures ? 1 : 0}};
    int number = 1;
    for (const StoreProgramme& p : m_store.programmes(channel->id, from, to, !brief)) {
        if (p.start < from)
            continue; // begun on the day before
        answer.insert(QString::number(number++), showDictionary(p, !brief, pictures));
    }
    if (number == 1)
        answer.insert(u"nodata"_s, NoData);
    const HttpResponse response = HttpResponse::json(answer);
    if (!ScheduleStore::failedSinceBegin())
        m_answers.insert(key, response, nowMs, nowMs + ResponseCache::MaxAgeMs);
    return response;
}

HttpResponse ContentService::search(const HttpRequest& request)
{
    bool bad = false;
    const std::optional<int> city = integer(request, u"city"_s, &bad);
    if (bad || !city)
        return missing(u"city"_s);
    const QString text = request.value(u"s"_s).trimmed();
    if (text.size() > 200)
        return HttpResponse::error(400, QStringLiteral("The search text is too long."));
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    QVariantMap answer{{u"s"_s, text}};
    if (text.isEmpty()) {
        answer.insert(u"nodata"_s, NoData);
        return HttpResponse::json(answer);
    }
    int key = 1;
    for (const StoreProgramme& p : m_store.search(*city, text, now - 3 * 3600, now + 8 * 86400, 200)) {
        QVariantMap show = showDictionary(p, false, pictureBase(request));
        if (const auto channel = m_store.channel(p.channelId))
            show.insert(u"icon"_s, channel->logo);
        answer.insert(QString::number(key++), show);
    }
    if (key == 1)
        answer.insert(u"nodata"_s, NoData);
    return HttpResponse::json(answer);
}

HttpResponse ContentService::tweets(const HttpRequest& request, bool window)
{
    bool bad = false;
    const std::optional<int> channel = integer(request, u"channel"_s, &bad);
    if (bad || !channel)
        return missing(u"channel"_s);
    qint64 from = 0;
    qint64 to = QDateTime::currentSecsSinceEpoch();
    int limit = 50;
    if (window) {
        const std::optional<qint64> start = timestamp(request.value(u"StartTimestamp"_s));
        const std::optional<qint64> end = timestamp(request.value(u"EndTimestamp"_s));
        const std::optional<int> wanted = integer(request, u"Limit"_s, &bad);
        if (!start || !end)
            return HttpResponse::error(
                400, QStringLiteral("The time window must be written yyyy-MM-dd HH:mm:ss."));
        if (bad || !wanted)
            return missing(u"Limit"_s);
        from = *start;
        to = *end;
        limit = std::clamp(*wanted, 0, 500);
    }
    QVariantList result;
    for (const StoreMessage& message : m_store.messages(*channel, from, to, limit))
        result.append(tweetOf(message));
    return HttpResponse::json(QVariantMap{{u"Result"_s, result}});
}

HttpResponse ContentService::cities(const HttpRequest& request)
{
    bool bad = false;
    integer(request, u"tz"_s, &bad);
    if (bad)
        return missing(u"tz"_s);
    QVariantMap cities;
    for (const StoreCity& city : m_store.cities()) {
        // [id, name, UTC offset in hours, latitude, longitude]: the place when it is known.
        QVariantList record{city.id, city.name, city.utcOffsetMinutes / 60};
        if (city.latitude && city.longitude)
            record << *city.latitude << *city.longitude;
        cities.insert(QString::number(city.id), record);
    }
    cities.insert(u"c"_s, int(cities.size()));
    return HttpResponse::json(QVariantMap{{u"cities"_s, cities}});
}

HttpResponse ContentService::ratings(const HttpRequest& request)
{
    bool bad = false;
    const std::optional<int> city = integer(request, u"city"_s, &bad);
    if (bad || !city)
        return missing(u"city"_s);
    const QMap<int, double> rated = m_store.ratings(*city);
    if (rated.isEmpty())
        return HttpResponse::json(noData());
    QVariantMap answer;
    for (auto it = rated.begin(); it != rated.end(); ++it) {
        // [rating, shown]: the second element marks the channels a now board may list.
        const auto channel = m_store.channel(it.key());
        answer.insert(QString::number(it.key()), QVariantList{it.value(), channel && channel->isTv ? 1 : 0});
    }
    return HttpResponse::json(answer);
}

HttpResponse ContentService::mapList(const HttpRequest& request)
{
    bool bad = false;
    const std::optional<int> city = integer(request, u"city"_s, &bad);
    if (bad || !city)
        return missing(u"city"_s);
    if (!m_store.city(*city))
        return HttpResponse::json(noData());
    QVariantMap map;
    const QMap<int, int> local = m_store.cityMap(*city);
    for (auto it = local.begin(); it != local.end(); ++it)
        map.insert(QString::number(it.key()), QString::number(it.value()));
    return HttpResponse::json(QVariantMap{{u"map"_s, map}});
}

HttpResponse ContentService::serviceStatus()
{
    int status = m_store.status(QStringLiteral("ss_status"), QStringLiteral("1")).toInt();
    if (m_identificationHealthy && !m_identificationHealthy())
        status = 0;
    std::optional<int> online;
    if (m_devices)
        online =
            m_devices->heardFrom(QDateTime::currentMSecsSinceEpoch(), ScheduleStore::DeviceWindowSeconds);
    QVariantMap body{{u"ss_status"_s, status}, {u"pon"_s, online ? *online : m_store.devicesOnline()}};
    if (m_repeating) {
        QVariantList ids;
        for (int id : m_repeating())
            ids.append(id);
        body.insert(u"repeating"_s, ids);
    }
    return HttpResponse::json(body);
}
