#include "ShowDetailsLogic.h"

#include "model/DateAdditions.h"
#include "model/DateHelper.h"
#include "model/Show.h"
#include "platform/Printf.h"
#include "platform/StringTable.h"

#include <QLocale>

#include <cmath>

namespace ShowDetailsLogic {

bool hasRating(const QVariantMap& rating)
{
    return rating.contains(QStringLiteral("kp_rating")) || rating.contains(QStringLiteral("imdb_rating"));
}

QList<int> rowsPerSection(const Show& show)
{
    QList<int> rows{1, 1, hasRating(show.rating) ? 2 : 1};
    if (!show.description.isEmpty())
        rows.append(1);
    return rows;
}

int ratingRowHeight(const QVariantMap& rating)
{
    const int databases = (rating.contains(QStringLiteral("kp_rating")) ? 1 : 0) +
                          (rating.contains(QStringLiteral("imdb_rating")) ? 1 : 0);
    return std::max(44, 26 * databases);
}

QStringList starImages(double rating)
{
    QStringList stars;
    const double whole = std::floor(rating);
    const bool half = rating > whole;
    for (int k = 0; k < 10; ++k) {
        if (k + 1 <= rating)
            stars << QStringLiteral("star_solid.png");
        else if (k == int(whole) && half)
            stars << QStringLiteral("star_half.png");
        else
            stars << QStringLiteral("star_empty.png");
    }
    return stars;
}

QString headerText(int section, const Show& show)
{
    switch (section) {
    case ShowSection:
        return show.subTitle.isEmpty() ? show.name : show.name + QStringLiteral(" (%1)").arg(show.subTitle);
    case InfoSection:
        return StringTable::localized("Info");
    case DescriptionSection:
        return StringTable::localized("Description");
    default:
        return {};
    }
}

QStringList menuButtons(bool calendarAllowed, bool hasEvent)
{
    QStringList buttons{QStringLiteral("Share a tweet")};
    if (calendarAllowed)
        buttons << (hasEvent ? QStringLiteral("Delete from Calendar") : QStringLiteral("Add to Calendar"));
    buttons << QStringLiteral("Cancel");
    return buttons;
}

bool offersCalendar(const QDateTime& start, const QDateTime& now)
{
    return now.secsTo(start) > 300;
}

QString shareText(const QString& channelName, const Show& show, const QDateTime& now)
{
    if (show.startTime > now) {
        return Printf::format(StringTable::localized("Do not miss \"%@\" - \"%@\" at %@"),
                              {channelName, show.name, DateAdditions::getTime(show.startTime)});
    }
    if (show.startTime < now && show.endTime > now) {
        return Printf::format(StringTable::localized("I'm watching \"%@\" - \"%@\""),
                              {channelName, show.name});
    }
    if (show.endTime < now) {
        return Printf::format(
            StringTable::localized("\"%@\" - \"%@\" at %@"),
            {channelName, show.name,
             DateHelper::displayLocale().toString(show.startTime, QStringLiteral("MMM dd, HH:mm"))});
    }
    return {};
}

CalendarAction calendarAction(bool hasEvent, const QDateTime& start, const QDateTime& now, bool portrait)
{
    if (hasEvent)
        return CalendarAction::Delete;
    return now.secsTo(start) > 600 && portrait ? CalendarAction::PickAlarm : CalendarAction::AddNow;
}

QString movieSiteDomain()
{
    return QStringLiteral(".kinopoisk.ru");
}

QUrl movieSitePage(const QString& index)
{
    return QUrl(QStringLiteral("https://www.kinopoisk.ru/film/%1/")
                    .arg(QString::fromUtf8(QUrl::toPercentEncoding(index))));
}

QDateTime alarmEarliest(const QDateTime& now)
{
    return now.addSecs(300);
}

QDateTime alarmLatest(const QDateTime& start)
{
    return start.addSecs(-300);
}

} // namespace ShowDetailsLogic
