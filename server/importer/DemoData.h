#pragma once

#include <QDate>
#include <QString>

#include <functional>

class ScheduleStore;

// The built-in demo data set: three cities (Москва with id 1, one with regional variants of
// some channels), TV and radio channels in several categories, a full programme for the
// seven programme days around a given day with descriptions, participants and ratings,
// channel ratings per city, channel talk and the service status. The programme is the same
// for the same day each time (generated from fixed seeds), so running it again keeps the
// ids of shows already stored and only fills what is missing.
class DemoData
{
public:
    struct Summary
    {
        bool ok = false;
        int cities = 0;
        int channels = 0;
        qint64 programmes = 0;
        int messages = 0;
    };
    // channels done so far, channels in all
    using Progress = std::function<void(int done, int total)>;

    explicit DemoData(ScheduleStore& store);
    Summary generate(const QDate& today, const Progress& progress = {});

private:
    ScheduleStore& m_store;
};
