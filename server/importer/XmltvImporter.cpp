#include "XmltvImporter.h"

#include "IconFile.h"
#include "TextCap.h"

#include "content/PictureRenderer.h"
#include "store/ScheduleStore.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTimeZone>
#include <QUrl>
#include <QXmlStreamReader>

namespace {

// The text of the element the reader is on, with any child elements' text left out.
QString ownText(QXmlStreamReader& xml)
{
    return xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
}

// Of several language variants, Russian first, then one without a language, then the first.
void preferLanguage(QXmlStreamReader& xml, QString& value, bool& chosenRussian)
{
    const QString lang = xml.attributes().value(QStringLiteral("lang")).toString();
    const QString text = ownText(xml);
    if (text.isEmpty() || chosenRussian)
        return;
    if (lang == u"ru") {
        value = text;
        chosenRussian = true;
    } else if (value.isEmpty()) {
        value = text;
    }
}

// "7.5/10", "4/5", "8": the rating on a ten-point scale; 0 when unreadable.
double tenPointScale(const QString& text)
{
    const QStringList parts = text.split(u'/');
    bool ok = false;
    const double value = parts.value(0).trimmed().replace(u',', u'.').toDouble(&ok);
    if (!ok || value < 0)
        return 0;
    double scale = 10;
    if (parts.size() > 1) {
        scale = parts[1].trimmed().toDouble(&ok);
        if (!ok || scale <= 0)
            return 0;
    }
    return std::min(10.0, value * 10.0 / scale);
}

} // namespace

XmltvImporter::XmltvImporter(ScheduleStore& store, int cityId) : m_store(store), m_cityId(cityId) {}

std::optional<qint64> XmltvImporter::parseTime(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*(\\d{4})(\\d{2})(\\d{2})(\\d{2})(\\d{2})(\\d{2})?\\s*(?:([+-])(\\d{2}):?(\\d{2})"
                       "|Z|UTC|GMT)?\\s*$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(),
                     m.captured(6).isEmpty() ? 0 : m.captured(6).toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    qint64 seconds = QDateTime(date, time, Qt::UTC).toSecsSinceEpoch();
    if (!m.captured(7).isEmpty()) {
        const int hours = m.captured(8).toInt();
        const int minutes = m.captured(9).toInt();
        if (hours > 14 || minutes > 59)
            return std::nullopt;
        const qint64 offset = hours * 3600 + minutes * 60;
        seconds -= m.captured(7) == u"+" ? offset : -offset;
    }
    return seconds;
}

int XmltvImporter::categoryFlag(const QStringList& categories)
{
    // The first category that names one of the application's kinds decides.
    static const QList<std::pair<QRegularExpression, int>> kinds = {
        {QRegularExpression(QStringLiteral("чемпионат|championship|матч|match|турнир|tournament")), 30},
        {QRegularExpression(QStringLiteral("сериал|series|serial|sitcom|ситком")), 2},
        {QRegularExpression(
             QStringLiteral("фильм|кино|movie|film|drama|драма|комедия|comedy|thriller|триллер|боевик")),
         1},
        {QRegularExpression(QStringLiteral("спорт|sport|футбол|football|хоккей|hockey|теннис|tennis")), 3},
        {QRegularExpression(QStringLiteral("новост|news|информацион|погода|weather")), 4},
        {QRegularExpression(QStringLiteral("дет|мульт|child|kids|animation|cartoon")), 5},
        {QRegularExpression(QStringLiteral("развлека|досуг|leisure|entertainment|шоу|show|музык|music|юмор")),
         10},
        {QRegularExpression(
             QStringLiteral("познава|образова|документ|education|documentary|science|наук|истори")),
         20},
        {QRegularExpression(QStringLiteral("радио|radio")), 143},
    };
    for (const QString& category : categories) {
        const QString folded = category.toCaseFolded();
        for (const auto& [pattern, flag] : kinds) {
            if (pattern.match(folded).hasMatch())
                return flag;
        }
    }
    return 0;
}

int XmltvImporter::roleOf(const QString& element)
{
    if (element == u"actor" || element == u"guest")
        return 1;
    if (element == u"director")
        return 2;
    if (element == u"presenter" || element == u"commentator")
        return 12;
    return 0;
}

XmltvImporter::Summary XmltvImporter::importFile(const QString& path, const Progress& progress)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Summary summary;
        summary.error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return summary;
    }
    return import(file, QFileInfo(path).absoluteDir(), progress);
}

XmltvImporter::Summary XmltvImporter::import(QIODevice& input, const QDir& iconBase, const Progress& progress)
{
    Summary summary;
    m_iconBase = iconBase;
    m_channelIds.clear();
    m_spans.clear();
    m_openEnds.clear();
    m_remoteIcons = 0;
    m_capped = 0;
    m_store.transaction();
    // A new city comes with the import, so a failed import leaves none behind.
    if (!m_store.city(m_cityId) && m_newCity && m_newCity->id == m_cityId)
        m_store.upsertCity(*m_newCity);
    if (!m_store.city(m_cityId)) {
        m_store.rollback();
        summary.error =
            QStringLiteral("the store has no city %1 (run demo-data, or add the city first)").arg(m_cityId);
        return summary;
    }
    m_position = int(m_store.channelsOfCity(m_cityId).size());
    const qint64 total = input.isSequential() ? 0 : input.size();

    QXmlStreamReader xml(&input);
    bool inTv = false;
    qint64 lastReport = -1;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (!inTv) {
            if (xml.name() != u"tv") {
                xml.raiseError(QStringLiteral("the document is not an XMLTV listing (no <tv> element)"));
                break;
            }
            inTv = true;
        } else if (xml.name() == u"channel") {
            readChannel(xml);
        } else if (xml.name() == u"programme") {
            readProgramme(xml, summary);
        } else {
            xml.skipCurrentElement();
        }
        if (progress && summary.programmes / 500 != lastReport) {
            lastReport = summary.programmes / 500;
            progress(input.pos(), total, summary.programmes); // bytes: the offset counts characters
        }
    }
    if (xml.hasError()) {
        m_store.rollback();
        summary.error = QStringLiteral("line %1, column %2: %3")
                            .arg(xml.lineNumber())
                            .arg(xml.columnNumber())
                            .arg(xml.errorString());
        summary.programmes = 0;
        return summary;
    }
    for (auto it = m_spans.cbegin(); it != m_spans.cend(); ++it)
        m_store.pruneProgrammes(it.key(), it->from, it->to, it->kept);
    closeOpenEnds();
    if (!m_store.commit()) {
        m_store.rollback();
        summary.error = QStringLiteral("the store could not save the import");
        return summary;
    }
    if (progress)
        progress(total, total, summary.programmes);
    summary.ok = true;
    summary.channels = int(m_channelIds.size());
    summary.remoteIcons = m_remoteIcons;
    summary.capped = m_capped;
    return summary;
}

void XmltvImporter::readChannel(QXmlStreamReader& xml)
{
    const QString xmltvId = xml.attributes().value(QStringLiteral("id")).toString().trimmed();
    QString name;
    bool russian = false;
    QString icon;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"display-name") {
            preferLanguage(xml, name, russian);
        } else if (xml.name() == u"icon") {
            icon = xml.attributes().value(QStringLiteral("src")).toString();
            xml.skipCurrentElement();
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xmltvId.isEmpty() || m_channelIds.contains(xmltvId))
        return;
    const QString where = QStringLiteral("channel %1").arg(xmltvId.left(100));
    cap(name, MaxTitleBytes, where, "display name");

    StoreChannel channel;
    const std::optional<int> existing = m_store.channelIdByXmltv(xmltvId);
    if (existing) {
        if (const auto stored = m_store.channel(*existing))
            channel = *stored; // keeps what an operator set: category, slogan, kind
    } else {
        QList<StoreCategory> categories = m_store.categories();
        if (categories.isEmpty()) {
            m_store.upsertCategory({1, QStringLiteral("Эфирные"), 1});
            categories = m_store.categories();
        }
        channel.categoryId = categories.first().id;
        channel.xmltvId = xmltvId;
    }
    channel.name = name.isEmpty() ? xmltvId : name;
    const int id = m_store.upsertChannel(channel);
    if (id == 0)
        return;
    channel.id = id;
    const QString logoPath = QStringLiteral("/logos/%1.png").arg(id);
    const QString storedIcon = icon.isEmpty() ? QString() : storeIcon(icon, logoPath, &m_remoteIcons, where);
    if (!storedIcon.isEmpty() || channel.logo.isEmpty()) {
        channel.logo = logoPath; // the stored icon, or the logo the server draws
        m_store.upsertChannel(channel);
    }
    m_channelIds.insert(xmltvId, id);
    const QMap<int, int> map = m_store.cityMap(m_cityId);
    m_store.addChannelToCity(m_cityId, id, m_position++, map.value(id, 0));
}

void XmltvImporter::readProgramme(QXmlStreamReader& xml, Summary& summary)
{
    const QXmlStreamAttributes attributes = xml.attributes();
    const QString channelAttribute = attributes.value(QStringLiteral("channel")).toString().trimmed();
    const int channelId = m_channelIds.value(channelAttribute, 0);
    const std::optional<qint64> start = parseTime(attributes.value(QStringLiteral("start")).toString());
    std::optional<qint64> stop = parseTime(attributes.value(QStringLiteral("stop")).toString());

    StoreProgramme programme;
    bool russianTitle = false;
    bool russianSubTitle = false;
    bool russianDescription = false;
    QStringList categories;
    QString ageRating;
    QString icon;
    int droppedCategories = 0;
    int droppedCountries = 0;
    int droppedPeople = 0;
    QStringList countries;
    while (xml.readNextStartElement()) {
        const QStringView name = xml.name();
        if (name == u"title") {
            preferLanguage(xml, programme.title, russianTitle);
        } else if (name == u"sub-title") {
            preferLanguage(xml, programme.subTitle, russianSubTitle);
        } else if (name == u"desc") {
            preferLanguage(xml, programme.description, russianDescription);
        } else if (name == u"credits") {
            readCredits(xml, programme, &droppedPeople);
        } else if (name == u"category") {
            QString category = ownText(xml);
            TextCap::cut(category, MaxShortTextBytes);
            if (categories.size() >= MaxCategories)
                ++droppedCategories;
            else if (!category.isEmpty() && !categories.contains(category))
                categories << category;
        } else if (name == u"country") {
            QString country = ownText(xml);
            TextCap::cut(country, MaxShortTextBytes);
            if (countries.size() >= MaxCountries)
                ++droppedCountries;
            else if (!country.isEmpty())
                countries << country;
        } else if (name == u"date") {
            programme.year = ownText(xml).left(4).toInt();
        } else if (name == u"icon") {
            icon = xml.attributes().value(QStringLiteral("src")).toString();
            xml.skipCurrentElement();
        } else if (name == u"star-rating" || name == u"rating") {
            readRating(xml, programme, name == u"rating" ? &ageRating : nullptr);
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError())
        return;
    if (channelId == 0 || !start || programme.title.isEmpty()) {
        ++summary.skipped;
        return;
    }
    const QString where =
        QStringLiteral("programme of %1 at %2")
            .arg(channelAttribute.left(100), attributes.value(QStringLiteral("start")).left(40));
    cap(programme.title, MaxTitleBytes, where, "title");
    cap(programme.subTitle, MaxTitleBytes, where, "sub-title");
    cap(programme.description, MaxDescriptionBytes, where, "description");
    cap(ageRating, MaxShortTextBytes, where, "age rating");
    programme.country = countries.join(QStringLiteral(", "));
    if (droppedCategories > 0)
        noteCap(where, QStringLiteral("%1 categories beyond the first %2 left out")
                           .arg(droppedCategories)
                           .arg(MaxCategories));
    if (droppedCountries > 0)
        noteCap(where, QStringLiteral("%1 countries beyond the first %2 left out")
                           .arg(droppedCountries)
                           .arg(MaxCountries));
    if (droppedPeople > 0)
        noteCap(
            where,
            QStringLiteral("%1 people beyond the first %2 left out").arg(droppedPeople).arg(MaxParticipants));
    if (programme.year != 0 && (programme.year < FirstYear || programme.year > LastYear)) {
        noteCap(where, QStringLiteral("year %1 outside %2–%3 left out")
                           .arg(programme.year)
                           .arg(FirstYear)
                           .arg(LastYear));
        programme.year = 0;
    }
    const bool open = !stop || *stop <= *start;
    if (open)
        stop = *start + 60; // until the next programme of the channel is known (closeOpenEnds)
    programme.channelId = channelId;
    programme.start = *start;
    programme.stop = *stop;
    programme.category = categoryFlag(categories);
    programme.genre = categories.join(QStringLiteral(", "));
    if (!ageRating.isEmpty())
        programme.genre =
            programme.genre.isEmpty() ? ageRating : programme.genre + QStringLiteral(", ") + ageRating;
    if (!icon.isEmpty()) {
        const QString hash = QString::fromLatin1(
            QCryptographicHash::hash(icon.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
        const QString path = QStringLiteral("pictures/%1.png").arg(hash);
        if (!m_store.picture(path).isEmpty() || !storeIcon(icon, path, &m_remoteIcons, where).isEmpty())
            programme.image = programme.imageBig = path;
    }
    const qint64 id = m_store.upsertProgramme(programme);
    if (id == 0) {
        ++summary.skipped;
        return;
    }
    Span& span = m_spans[channelId];
    span.from = span.kept.isEmpty() ? programme.start : std::min(span.from, programme.start);
    span.to = std::max(span.to, programme.start + 1);
    span.kept.insert(id);
    if (open)
        m_openEnds.append(id);
    ++summary.programmes;
}

void XmltvImporter::closeOpenEnds()
{
    constexpr qint64 LongestGap = 12 * 3600;
    for (const qint64 id : std::as_const(m_openEnds)) {
        std::optional<StoreProgramme> programme = m_store.programme(id, true);
        if (!programme)
            continue;
        for (const StoreProgramme& next : m_store.programmes(programme->channelId, programme->start + 1,
                                                             programme->start + LongestGap, false)) {
            if (next.start > programme->start) {
                programme->stop = next.start;
                m_store.upsertProgramme(*programme);
                break;
            }
        }
    }
    m_openEnds.clear();
}

void XmltvImporter::readCredits(QXmlStreamReader& xml, StoreProgramme& programme, int* dropped)
{
    while (xml.readNextStartElement()) {
        const int role = roleOf(xml.name().toString());
        if (role == 0) {
            xml.skipCurrentElement();
            continue;
        }
        // A person is text, possibly with <url> and <image> children (newer listings).
        StoreParticipant person;
        person.role = role;
        while (!xml.atEnd()) {
            const QXmlStreamReader::TokenType token = xml.readNext();
            if (token == QXmlStreamReader::Characters) {
                person.name += xml.text();
            } else if (token == QXmlStreamReader::StartElement) {
                if (xml.name() == u"url") {
                    person.url = ownText(xml);
                    TextCap::cut(person.url, MaxTitleBytes);
                } else
                    xml.skipCurrentElement();
            } else if (token == QXmlStreamReader::EndElement) {
                break;
            }
        }
        person.name = person.name.simplified();
        TextCap::cut(person.name, MaxShortTextBytes);
        if (person.name.isEmpty())
            continue;
        if (programme.participants.size() >= MaxParticipants)
            ++*dropped;
        else
            programme.participants.append(person);
    }
}

void XmltvImporter::readRating(QXmlStreamReader& xml, StoreProgramme& programme, QString* ageRating)
{
    const QString system = xml.attributes().value(QStringLiteral("system")).toString().toCaseFolded();
    QString value;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"value")
            value = ownText(xml);
        else
            xml.skipCurrentElement();
    }
    if (value.isEmpty())
        return;
    if (ageRating) {
        *ageRating = value;
        return;
    }
    const double rating = tenPointScale(value);
    if (rating <= 0)
        return;
    if (system.contains(QStringLiteral("kinopoisk")) || system.contains(QStringLiteral("кинопоиск")))
        programme.kpRating = rating;
    else if (programme.imdbRating == 0)
        programme.imdbRating = rating;
}

QString XmltvImporter::storeIcon(const QString& source, const QString& path, int* remote,
                                 const QString& where)
{
    const QUrl url(source);
    QString file;
    if (url.isLocalFile())
        file = url.toLocalFile();
    else if (url.scheme().isEmpty() || url.scheme().size() == 1) // a path (a drive letter is no scheme)
        file = m_iconBase.absoluteFilePath(source);
    else {
        ++*remote;
        return {};
    }
    QString why;
    QImage image = IconFile::read(file, &why);
    if (image.isNull()) {
        noteCap(where, QStringLiteral("icon %1 %2: left out").arg(source.left(200), why));
        return {};
    }
    if (image.width() > 1024 || image.height() > 1024)
        image = image.scaled(1024, 1024, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return m_store.setPicture(path, PictureRenderer::png(image)) ? path : QString();
}

void XmltvImporter::cap(QString& text, qsizetype maxBytes, const QString& where, const char* what)
{
    const qsizetype bytes = TextCap::cut(text, maxBytes);
    if (bytes >= 0)
        noteCap(where,
                QStringLiteral("%1 of %2 bytes cut to %3").arg(QLatin1String(what)).arg(bytes).arg(maxBytes));
}

void XmltvImporter::noteCap(const QString& where, const QString& what)
{
    ++m_capped;
    if (m_log)
        m_log(where + QStringLiteral(": ") + what);
}
