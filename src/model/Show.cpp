#include "Show.h"

#include "KeyedArchive.h"

#include "platform/JsonValue.h"
#include "platform/Printf.h"
#include "platform/StringTable.h"

namespace {

// A text entry that is none when missing or empty.
QString nonEmpty(const QVariantMap& dictionary, const char* key)
{
    const QString text = JsonValue::text(dictionary.value(QLatin1String(key)));
    return text.isEmpty() ? QString() : text;
}

// A text entry as sent (empty when missing).
QString asSent(const QVariantMap& dictionary, const char* key)
{
    const QVariant value = dictionary.value(QLatin1String(key));
    return value.isValid() ? JsonValue::text(value) : QString();
}

QDateTime moment(const QVariant& seconds)
{
    if (!JsonValue::isNumber(seconds) && !JsonValue::isText(seconds))
        return {};
    return QDateTime::fromMSecsSinceEpoch(qint64(JsonValue::number(seconds) * 1000.0));
}

QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

QString participantName(const QVariant& participant)
{
    return JsonValue::text(JsonValue::map(participant).value(QStringLiteral("name")));
}

// One paragraph of people: "<p><b>Label:</b>" separator, then names or links, comma-separated.
QString peopleParagraph(const char* labelKey, const QVariantList& people, const QString& separator)
{
    QString html = QStringLiteral("<p") + QStringLiteral("><b>") + StringTable::localized(labelKey) +
                   QStringLiteral(":</b>") + separator;
    bool first = true;
    for (const QVariant& participant : people) {
        if (!first)
            html += QStringLiteral(", ");
        first = false;
        const QVariantMap person = JsonValue::map(participant);
        const QString name = escaped(participantName(person));
        if (person.contains(QStringLiteral("url")))
            html += Printf::format(QStringLiteral("<a href=\"%@\">%@</a>"),
                                   {escaped(JsonValue::text(person.value(QStringLiteral("url")))), name});
        else
            html += name;
    }
    return html + QStringLiteral("</p>");
}

// One line of people in the brief: two newlines, the label, " name," each, last comma dropped.
QString peopleBrief(const char* labelKey, const QVariantList& people, bool forPad)
{
    QString text = QStringLiteral("\n\n") + StringTable::localized(labelKey) + u':';
    for (const QVariant& participant : people)
        text += u' ' + participantName(participant) + u',';
    text.chop(1);
    if (forPad)
        text += u'\n';
    return text;
}

} // namespace

std::shared_ptr<Show> Show::initWithDictionary(const QVariantMap& dictionary)
{
    return initWithDictionary(dictionary, false);
}

std::shared_ptr<Show> Show::initWithDictionary(const QVariantMap& d, bool forPad)
{
    auto show = std::make_shared<Show>();
    show->showId = asSent(d, "ev");
    show->name = nonEmpty(d, "title");
    show->description = nonEmpty(d, "info");
    show->pictureName = asSent(d, "image");
    show->bigPicture = asSent(d, "image_s");
    show->startTime = moment(d.value(QStringLiteral("start_ts")));
    show->endTime = moment(d.value(QStringLiteral("finish_ts")));
    show->subTitle = nonEmpty(d, "subtitle");
    show->country = nonEmpty(d, "country");
    show->year = JsonValue::integer(d.value(QStringLiteral("year")));
    show->showCategory = JsonValue::integer(d.value(QStringLiteral("flag")));
    show->genre = nonEmpty(d, "type_str");
    const QVariantList rating = JsonValue::list(d.value(QStringLiteral("rating")));
    if (!rating.isEmpty())
        show->rating = JsonValue::map(rating.first());
    if (d.contains(QStringLiteral("pd")))
        show->pDate = asSent(d, "pd");
    show->productCompany = asSent(d, "company");
    const QVariantList humans = JsonValue::list(d.value(QStringLiteral("humans")));
    if (!humans.isEmpty())
        show->prepareParticipants(humans);
    show->briefInfo = show->composeBriefInfoForPad(forPad);
    show->channelId = asSent(d, "ch");
    show->composedTitle = show->name.isNull() ? QStringLiteral("") : show->name;
    if (!show->subTitle.isEmpty())
        show->composedTitle += Printf::format(QStringLiteral(" (%@)"), {show->subTitle});
    return show;
}

void Show::prepareParticipants(const QVariantList& participants)
{
    for (const QVariant& participant : participants) {
        if (!JsonValue::isMap(participant))
            continue;
        switch (JsonValue::integer(participant.toMap().value(QStringLiteral("amp")))) {
        case ActorRole:
            actors.append(participant);
            break;
        case DirectorRole:
            directors.append(participant);
            break;
        case AnchorRole:
            anchorpersons.append(participant);
            break;
        default:
            break;
        }
    }
}

// Labels are followed by a colon, as in the HTML body: the labels' texts carry none.
QString Show::composeBriefInfoForPad(bool forPad) const
{
    QString text;
    if (!genre.isNull()) {
        text += QStringLiteral("\n\n") + StringTable::localized("Genre") + QStringLiteral(": ") + genre;
        if (forPad)
            text += u'\n';
    }
    if (!actors.isEmpty())
        text += peopleBrief(QT_TRANSLATE_NOOP("orv_localizable", "Actors"), actors, forPad);
    if (!anchorpersons.isEmpty())
        text += peopleBrief(QT_TRANSLATE_NOOP("orv_localizable", "Anchors"), anchorpersons, forPad);
    if (!directors.isEmpty())
        text += peopleBrief(QT_TRANSLATE_NOOP("orv_localizable", "Director"), directors, forPad);
    if (!country.isNull()) {
        text += QStringLiteral("\n\n") + StringTable::localized("Production") + QStringLiteral(": ") + country;
        if (!productCompany.isEmpty())
            text += u' ' + productCompany;
        if (year != 0)
            text += QStringLiteral(", ") + QString::number(year);
        if (forPad)
            text += u'\n';
    }
    return text;
}

QString Show::getHTMLBodyInfo(bool forPad, bool details) const
{
    QString bodyStyle;
    QString extraStyle;
    QString separator;
    if (forPad && details) {
        bodyStyle = Printf::format(QStringLiteral("text-align:left; %@"),
                                   {QStringLiteral("color:#555555; font-size:95%;")});
        extraStyle = Printf::format(QStringLiteral("p{color:#444444} %@"), {QStringLiteral(" ")});
        separator = QStringLiteral(" ");
    } else if (forPad) {
        bodyStyle = Printf::format(QStringLiteral("text-align:left; %@"),
                                   {QStringLiteral("color:#333333; font-size:80%;")});
        extraStyle = Printf::format(QStringLiteral("p{color:#444444} %@"),
                                    {QStringLiteral("a{color:black; text-decoration:none}")});
        separator = QStringLiteral("<br>");
    } else {
        bodyStyle = QStringLiteral("font-size: 100%; text-align: left;");
        extraStyle = QStringLiteral("a{color:#3333AA;}");
        separator = QStringLiteral(" ");
    }

    QString body;
    if (!genre.isNull()) {
        body += QStringLiteral("<p") + QStringLiteral("><b>") + StringTable::localized("Genre") +
                QStringLiteral(":</b>") + separator + escaped(genre) + QStringLiteral("</p>");
    }
    if (!actors.isEmpty())
        body += peopleParagraph(QT_TRANSLATE_NOOP("orv_localizable", "Actors"), actors, separator);
    if (!anchorpersons.isEmpty())
        body += peopleParagraph(QT_TRANSLATE_NOOP("orv_localizable", "Anchors"), anchorpersons, separator);
    if (!directors.isEmpty())
        body += peopleParagraph(QT_TRANSLATE_NOOP("orv_localizable", "Director"), directors, separator);
    if (!country.isNull()) {
        body += QStringLiteral("<p") + QStringLiteral("><b>") + StringTable::localized("Production") +
                QStringLiteral(":</b>") + separator + escaped(country);
        if (!productCompany.isEmpty())
            body += Printf::format(QStringLiteral(", %@"), {escaped(productCompany)});
        if (year != 0)
            body += Printf::format(QStringLiteral(", %d %@"), {year, StringTable::localized("Year")});
        body += QStringLiteral("</p>");
    }

    static const QString document = QStringLiteral(
        "<html><head><style>html{-webkit-text-size-adjust: none; /* Never autoresize text */} "
        "p{line-height:120%%; padding-bottom:8px; padding-top: 6px;margin: 0px;} b{color:#444444;} "
        "a{color:#334499} %@ </style></head><body style=\"font-family: Helvetica; margin:0px; %@ "
        "background-color: transparent;\">%@</body></html>");
    return Printf::format(document, {extraStyle, bodyStyle, body});
}

QString Show::iconName() const
{
    switch (showCategory) {
    case 1:
        return QStringLiteral("type_006");
    case 2:
        return QStringLiteral("type_001");
    case 3:
    case 30:
        return QStringLiteral("type_014");
    case 4:
        return QStringLiteral("type_009");
    case 5:
        return QStringLiteral("type_010");
    case 10:
        return QStringLiteral("type_002");
    case 20:
        return QStringLiteral("type_007");
    case 143:
        return QStringLiteral("type_004");
    default:
        return QStringLiteral("type_003");
    }
}

QString Show::showCategoryString() const
{
    switch (showCategory) {
    case 1:
        return StringTable::localized("Movie");
    case 2:
        return StringTable::localized("Serial");
    case 3:
        return StringTable::localized("Sport");
    case 4:
        return StringTable::localized("News");
    case 5:
        return StringTable::localized("Children");
    case 10:
        return StringTable::localized("Leisure");
    case 20:
        return StringTable::localized("Education");
    case 30:
        return StringTable::localized("Championship");
    case 143:
        return StringTable::localized("Radio");
    default:
        return StringTable::localized("General");
    }
}

QByteArray Show::encodeWithCoder() const
{
    return KeyedArchive::archive(QStringLiteral("Show"),
                                 {{QStringLiteral("showId"), showId},
                                  {QStringLiteral("name"), name},
                                  {QStringLiteral("subTitle"), subTitle},
                                  {QStringLiteral("pictureName"), pictureName},
                                  {QStringLiteral("description"), description},
                                  {QStringLiteral("country"), country},
                                  {QStringLiteral("genre"), genre},
                                  {QStringLiteral("briefInfo"), briefInfo},
                                  {QStringLiteral("thumbnail"), thumbnail},
                                  {QStringLiteral("startTime"), startTime},
                                  {QStringLiteral("endTime"), endTime},
                                  {QStringLiteral("actors"), actors},
                                  {QStringLiteral("directors"), directors},
                                  {QStringLiteral("anchorpersons"), anchorpersons},
                                  {QStringLiteral("year"), year},
                                  {QStringLiteral("rating"), rating},
                                  {QStringLiteral("showCategory"), showCategory},
                                  {QStringLiteral("channelId"), channelId},
                                  {QStringLiteral("showCategoryString"), showCategoryString()}});
}

std::shared_ptr<Show> Show::initWithCoder(const QByteArray& archive, QString* error)
{
    const std::optional<KeyedArchive::Contents> contents = KeyedArchive::unarchive(archive, error);
    if (!contents)
        return nullptr;
    if (contents->className != u"Show") {
        if (error)
            *error = QStringLiteral("an archived %1, not a Show").arg(contents->className);
        return nullptr;
    }
    const QVariantMap& v = contents->values;
    auto text = [&v](const char* key) {
        const QVariant value = v.value(QLatin1String(key));
        return value.isValid() ? JsonValue::text(value) : QString();
    };
    auto show = std::make_shared<Show>();
    show->showId = text("showId");
    show->name = text("name");
    show->subTitle = text("subTitle");
    show->pictureName = text("pictureName");
    show->description = text("description");
    show->country = text("country");
    show->genre = text("genre");
    show->briefInfo = text("briefInfo");
    show->thumbnail = v.value(QStringLiteral("thumbnail")).value<QImage>();
    show->startTime = v.value(QStringLiteral("startTime")).toDateTime();
    show->endTime = v.value(QStringLiteral("endTime")).toDateTime();
    show->actors = JsonValue::list(v.value(QStringLiteral("actors")));
    show->directors = JsonValue::list(v.value(QStringLiteral("directors")));
    show->anchorpersons = JsonValue::list(v.value(QStringLiteral("anchorpersons")));
    show->year = JsonValue::integer(v.value(QStringLiteral("year")));
    show->rating = JsonValue::map(v.value(QStringLiteral("rating")));
    show->showCategory = JsonValue::integer(v.value(QStringLiteral("showCategory")));
    show->channelId = text("channelId");
    show->m_showCategoryString = text("showCategoryString");
    return show;
}
