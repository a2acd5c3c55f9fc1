#pragma once

#include "store/StoreRecords.h"

#include <QDir>
#include <QHash>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

class QIODevice;
class QXmlStreamReader;
class ScheduleStore;

// Reads an XMLTV listing into the store: its channels (display name, icon) join a city, its
// programmes (times with their zones, title, sub-title, description, credits, categories,
// country, date, icon, star ratings, age rating) replace what the store holds for the same
// channel and start. Importing the same file again changes nothing; importing a newer
// listing removes the old programmes its time span no longer lists, keeping the ids of
// the programmes that stayed. Icons that are local files are stored with the data; icons on
// other hosts are not fetched (the server draws a picture instead).
class XmltvImporter
{
public:
    struct Summary
    {
        bool ok = false;
        QString error;
        int channels = 0;
        qint64 programmes = 0;
        qint64 skipped = 0; // programmes without a usable channel, start or title
        int remoteIcons = 0;
        qint64 capped = 0; // texts cut, lists shortened, years and icons refused
    };
    // Limits on what one programme or channel may store; each one applied is logged.
    static constexpr qsizetype MaxTitleBytes = 1024; // titles, sub-titles, channel names
    static constexpr qsizetype MaxDescriptionBytes = 16 * 1024;
    static constexpr qsizetype MaxShortTextBytes = 256; // a category, country, person, rating
    static constexpr int MaxCategories = 16;
    static constexpr int MaxCountries = 8;
    static constexpr int MaxParticipants = 100;
    static constexpr int FirstYear = 1888; // the first films
    static constexpr int LastYear = 2100;
    using Log = std::function<void(const QString& line)>;
    // bytes read so far, total bytes (0 when unknown), programmes imported so far
    using Progress = std::function<void(qint64 read, qint64 total, qint64 programmes)>;

    XmltvImporter(ScheduleStore& store, int cityId);
    // The city to create when the store has none of that id; it is stored only if the
    // import succeeds.
    void setCityIfMissing(const StoreCity& city) { m_newCity = city; }
    // Where the limits applied are told; by default nowhere.
    void setLog(Log log) { m_log = std::move(log); }

    Summary importFile(const QString& path, const Progress& progress = {});
    // iconBase: the folder relative icon paths are read from.
    Summary import(QIODevice& input, const QDir& iconBase, const Progress& progress = {});

    // "YYYYMMDDhhmmss +HHMM" (seconds, minutes and the zone optional; no zone is UTC) as
    // seconds since 1970.
    static std::optional<qint64> parseTime(const QString& text);
    // The application's show category for XMLTV categories (English or Russian words).
    static int categoryFlag(const QStringList& categories);
    // The participant code of a credits element: actor 1, director 2, presenter 12.
    static int roleOf(const QString& element);

private:
    struct Span
    {
        qint64 from = 0;
        qint64 to = 0;
        QSet<qint64> kept;
    };

    void readChannel(QXmlStreamReader& xml);
    void readProgramme(QXmlStreamReader& xml, Summary& summary);
    void readCredits(QXmlStreamReader& xml, StoreProgramme& programme, int* dropped);
    void readRating(QXmlStreamReader& xml, StoreProgramme& programme, QString* ageRating);
    // Programmes listed without an end last until the next one of their channel.
    void closeOpenEnds();
    QString storeIcon(const QString& source, const QString& path, int* remote, const QString& where);
    // Cuts text to maxBytes, logging it as what of where.
    void cap(QString& text, qsizetype maxBytes, const QString& where, const char* what);
    void noteCap(const QString& where, const QString& what);

    ScheduleStore& m_store;
    int m_cityId;
    std::optional<StoreCity> m_newCity;
    QDir m_iconBase;
    QHash<QString, int> m_channelIds; // XMLTV id -> store id
    QHash<int, Span> m_spans;         // store channel id -> what this import covered
    QList<qint64> m_openEnds;
    int m_position = 0;
    int m_remoteIcons = 0;
    qint64 m_capped = 0;
    Log m_log;
};
