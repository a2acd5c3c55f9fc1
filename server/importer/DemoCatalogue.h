#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The fixed material the demo data set is generated from: channels and their kinds, the
// shows each kind of channel airs, people, and texts.
namespace DemoCatalogue {

enum class Format
{
    General,
    News,
    Sport,
    Movies,
    Series,
    Kids,
    Knowledge,
    Radio
};

struct Channel
{
    int id;
    QString name;
    int category; // index into categories()
    Format format;
    QString slogan;
    bool autoDetection; // known to the identification server's demo audio
};

struct Show
{
    QString title;
    int flag;    // the application's show category
    int minutes; // usual length
    QString genre;
};

struct City
{
    int id;
    QString name;
    int utcOffsetMinutes;
    double latitude;
    double longitude;
};

const QList<City>& cities();
// Category names in their order; a channel's category is its index + 1.
struct Category
{
    QString name;
    int order;
};
const QList<Category>& categories();
const QList<Channel>& channels();
// Regional variants: (city, channel) -> the variant's channel id, named after the city.
struct Variant
{
    int cityId;
    int channelId;
    int variantId;
    QString suffix;
};
const QList<Variant>& variants();

const QList<Show>& shows(Format format);
// The newscast of a format that has newscasts on the hour; an empty title otherwise.
Show newscast(Format format);
const QStringList& actors();
const QStringList& directors();
const QStringList& presenters();
const QStringList& countries();
const QStringList& companies();
// Sentences describing a show of this category; "%1" is the title.
const QStringList& descriptions(int flag);
const QStringList& messages();
const QStringList& viewers();

} // namespace DemoCatalogue
