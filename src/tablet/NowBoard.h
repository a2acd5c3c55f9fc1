#pragma once

#include "NowBoardEntry.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QSet>
#include <QVariant>

#include <optional>

// The state of the tablet's now board apart from its screen: the channel ids to show in
// their order, the channels on the board (one section each) and those taken off it for want
// of a show on air, the expanded channel, and the decisions of the periodic checks (which
// channel moves to its next show, which needs its next day loaded, which comes back).
// Times are the device's; "now" is always passed in.
class NowBoard
{
public:
    // Channels that never keep a show when their programme is updated.
    static bool dropsOnUpdate(const QString& channid);

    // The index of the show on air (start <= now < end); StartsLater when the first show starts
    // after now, NoShowOnAir when none is on air.
    static int currentIndex(const QList<std::shared_ptr<Show>>& shows, const QDateTime& now);
    // The entry of a programme answer; none for an answer that is not a dictionary or has
    // "nodata". An update answer of a channel that drops on update is NoShowOnAir.
    static std::optional<NowBoardEntry> entryFromAnswer(const QVariant& answer, double serverTimeDifference,
                                                        const QDateTime& now, bool update);
    // The day to load after a channel's programme ran out, from its loaded first show.
    static QDateTime nextProgrammeDate(const QDateTime& firstShowStart, const QDateTime& now);
    // The show of the entry to draw at time t of the time line (with forward set when the search
    // went forward); -1 when the entry's show stays.
    static int lineIndexAt(const NowBoardEntry& entry, const QDateTime& t, bool* forward = nullptr);

    const QList<int>& channelsId() const { return m_channelsId; }
    bool hasChannelsId() const { return m_hasChannelsId; }
    void setChannelsId(const QList<int>& ids);
    QList<NowBoardEntry>& entries() { return m_entries; }
    const QList<NowBoardEntry>& entries() const { return m_entries; }
    QMap<QString, NowBoardEntry>& disabledChannels() { return m_disabled; }
    const QMap<QString, NowBoardEntry>& disabledChannels() const { return m_disabled; }
    int indexOfChannel(const QString& channid) const;
    void clear();

    // A loaded channel: on the board when a show is on air, else among the disabled.
    // Returns the entry's section, or -1 when it went to the disabled.
    int addLoaded(NowBoardEntry entry);
    // Orders the board by the channel ids (channels not listed go last, in their order).
    void resort();

    int expandedSection() const { return m_expanded; }
    void setExpandedSection(int section) { m_expanded = section; }

    struct Check
    {
        QList<int> showUpdates;    // sections whose channel moved to another show
        QList<int> programUpdates; // sections whose loaded programme ran out
        bool expandedChanged = false;
        int expandedOldIndex = -1;
    };
    // Moves each channel whose show ended to the next show that has not ended.
    Check checkShowBounds(const QDateTime& now);

    // Takes the channels with these ids off the board (they become disabled); returns the
    // sections removed, in ascending order. The expanded channel among them is collapsed.
    QList<int> disableChannels(const QSet<int>& ids);

    struct Retry
    {
        QList<QString> reinstated;   // back on the board
        QList<NowBoardEntry> reload; // had no show: their next day is to be asked for
    };
    // Disabled channels with a show of their loaded day on air come back; those whose day is
    // over (or that never keep a show) are handed back for reloading, staying disabled until
    // their answer; those whose day still has shows to come wait without a request.
    Retry checkDisabled(const QDateTime& now);

private:
    QList<int> m_channelsId;
    bool m_hasChannelsId = false;
    QList<NowBoardEntry> m_entries;
    QMap<QString, NowBoardEntry> m_disabled;
    int m_expanded = -1;
};
