#include "DemoData.h"

#include "DemoCatalogue.h"

#include "content/ProgrammeDay.h"
#include "store/ScheduleStore.h"

#include <QTimeZone>

#include <random>

using namespace DemoCatalogue;

namespace {

constexpr int DaysBefore = 3;
constexpr int DaysAfter = 3;

template <typename List> const auto& pick(const List& list, std::mt19937& rng)
{
    return list[int(rng() % quint32(list.size()))];
}

QList<StoreParticipant> people(const QStringList& pool, int role, int count, std::mt19937& rng)
{
    QList<StoreParticipant> list;
    QStringList taken;
    while (list.size() < count && taken.size() < pool.size()) {
        const QString& name = pick(pool, rng);
        if (taken.contains(name))
            continue;
        taken << name;
        list.append({role, name, QString()});
    }
    return list;
}

// A show of the catalogue made into a programme with its details.
StoreProgramme programmeOf(const Show& show, int channelId, qint64 start, qint64 stop, int episode,
                           std::mt19937& rng)
{
    StoreProgramme p;
    p.channelId = channelId;
    p.start = start;
    p.stop = stop;
    p.title = show.title;
    p.genre = show.genre;
    p.category = show.flag;
    if (!descriptions(show.flag).isEmpty())
        p.description = pick(descriptions(show.flag), rng).arg(show.title);
    switch (show.flag) {
    case 1:
        p.year = 1975 + int(rng() % 50);
        p.country = pick(countries(), rng);
        p.company = pick(companies(), rng);
        p.participants = people(directors(), 2, 1, rng) + people(actors(), 1, 3 + int(rng() % 3), rng);
        p.imdbRating = 5.5 + double(rng() % 35) / 10.0;
        p.imdbVotes = 1000 + int(rng() % 90000);
        p.kpRating = std::min(9.5, p.imdbRating + double(int(rng() % 9) - 4) / 10.0);
        p.kpVotes = 500 + int(rng() % 60000);
        p.kpIndex = 100000 + int(rng() % 900000);
        break;
    case 2:
        p.subTitle = QStringLiteral("%1-я серия").arg(episode);
        p.year = 2015 + int(rng() % 11);
        p.country = QStringLiteral("Россия");
        p.participants = people(directors(), 2, 1, rng) + people(actors(), 1, 3, rng);
        break;
    case 4:
    case 10:
    case 143:
        p.participants = people(presenters(), 12, 1 + int(rng() % 2), rng);
        break;
    case 3:
    case 30:
        p.participants = people(presenters(), 12, 1, rng);
        break;
    default:
        break;
    }
    return p;
}

} // namespace

DemoData::DemoData(ScheduleStore& store) : m_store(store) {}

DemoData::Summary DemoData::generate(const QDate& today, const Progress& progress)
{
    Summary summary;
    const QTimeZone zone(m_store.timeZone().toUtf8());
    const ProgrammeDay days(zone.isValid() ? zone : QTimeZone::systemTimeZone());
    if (!m_store.transaction())
        return summary;

    for (const City& city : cities())
        m_store.upsertCity({city.id, city.name, city.utcOffsetMinutes, city.latitude, city.longitude});
    for (int i = 0; i < categories().size(); ++i)
        m_store.upsertCategory({i + 1, categories()[i].name, categories()[i].order});

    // Channels, their regional variants, and the channels of each city.
    QList<Channel> all = channels();
    for (const Variant& variant : variants()) {
        for (const Channel& channel : channels()) {
            if (channel.id == variant.channelId)
                all.append({variant.variantId, channel.name + variant.suffix, channel.category,
                            channel.format, channel.slogan, channel.autoDetection});
        }
    }
    for (const Channel& c : all) {
        StoreChannel channel;
        channel.id = c.id;
        channel.xmltvId = QStringLiteral("%1.demo.orvane").arg(c.id);
        channel.name = c.name;
        channel.logo = QStringLiteral("/logos/%1.png").arg(c.id);
        channel.isTv = c.format != Format::Radio;
        channel.categoryId = c.category;
        channel.autoDetection = c.autoDetection;
        channel.slogan = c.slogan;
        channel.livePictures = channel.isTv;
        m_store.upsertChannel(channel);
    }
    for (const City& city : cities()) {
        int position = 0;
        for (const Channel& channel : channels()) {
            int local = 0;
            for (const Variant& variant : variants()) {
                if (variant.cityId == city.id && variant.channelId == channel.id)
                    local = variant.variantId;
            }
            m_store.addChannelToCity(city.id, channel.id, position++, local);
            // Ratings: a fixed spread, a little different in each city.
            const double rating = 1.0 + double((channel.id * 37 + city.id * 11) % 90) / 10.0;
            m_store.setRating(city.id, channel.id, rating);
        }
    }

    // A full programme for each day of the week around today.
    int done = 0;
    for (const Channel& channel : all) {
        const Show news = newscast(channel.format);
        for (int offset = -DaysBefore; offset <= DaysAfter; ++offset) {
            const QDate date = today.addDays(offset);
            qint64 from = 0;
            qint64 to = 0;
            days.window(date.toString(u"yyyyMMdd"), &from, &to);
            std::mt19937 rng(quint32(channel.id * 100003 + date.toJulianDay()));
            QSet<qint64> kept;
            QHash<QString, int> episodes;
            int lastNewsHour = -1;
            for (qint64 t = from; t < to;) {
                const int hour = QDateTime::fromSecsSinceEpoch(t, days.zone()).time().hour();
                const bool newsTime = !news.title.isEmpty() && hour != lastNewsHour &&
                                      (channel.format != Format::General || hour % 3 == 0) && hour >= 6;
                const Show& show = newsTime ? news : pick(shows(channel.format), rng);
                if (newsTime)
                    lastNewsHour = hour;
                const qint64 length = qint64(show.minutes) * 60;
                const qint64 stop = std::min(to, t + length);
                const int episode = (date.toJulianDay() % 40) + ++episodes[show.title];
                const qint64 id =
                    m_store.upsertProgramme(programmeOf(show, channel.id, t, stop, episode, rng));
                if (id != 0) {
                    kept.insert(id);
                    ++summary.programmes;
                }
                t = stop;
            }
            m_store.pruneProgrammes(channel.id, from, to, kept);
        }
        if (progress)
            progress(++done, int(all.size()));
    }

    // Channel talk: recent messages on the first channels of each kind.
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    std::mt19937 rng(quint32(today.toJulianDay()));
    for (int channelId : {1, 2, 3, 7, 10, 13}) {
        if (!m_store.messages(channelId, now - 6 * 3600, now, 1).isEmpty())
            continue; // talk generated earlier today stays as it is
        for (int i = 0; i < 12; ++i) {
            StoreMessage message;
            message.channelId = channelId;
            message.time = now - qint64(i) * 1500 - qint64(rng() % 600);
            message.senderName = pick(viewers(), rng);
            message.screenName = QStringLiteral("viewer%1").arg(rng() % 1000);
            message.senderId = QString::number(10000 + rng() % 90000);
            message.text = pick(messages(), rng);
            message.source = QStringLiteral("Orvane");
            if (m_store.addMessage(message))
                ++summary.messages;
        }
    }
    m_store.setStatus(QStringLiteral("ss_status"), QStringLiteral("1"));
    if (!m_store.commit()) {
        m_store.rollback();
        return summary;
    }
    summary.ok = true;
    summary.cities = int(cities().size());
    summary.channels = int(all.size());
    return summary;
}
