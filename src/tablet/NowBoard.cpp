#include "NowBoard.h"

#include "model/ShowsAnswer.h"
#include "platform/JsonValue.h"

#include <algorithm>

namespace {

constexpr qint64 Day = 86400;

// How far into a show t is, as a share of its length; 0 for a show without length.
double progressAt(const Show& show, const QDateTime& t)
{
    const qint64 length = show.startTime.msecsTo(show.endTime);
    return length > 0 ? double(show.startTime.msecsTo(t)) / double(length) : 0.0;
}

} // namespace

bool NowBoard::dropsOnUpdate(const QString& channid)
{
    return channid == u"16" || channid == u"17" || channid == u"20";
}

int NowBoard::currentIndex(const QList<std::shared_ptr<Show>>& shows, const QDateTime& now)
{
    if (!shows.isEmpty() && shows.first()->startTime.isValid() && shows.first()->startTime > now)
        return NowBoardEntry::StartsLater;
    for (int i = 0; i < shows.size(); ++i) {
        if (shows[i]->endTime > now && shows[i]->startTime <= now)
            return i;
    }
    return NowBoardEntry::NoShowOnAir;
}

std::optional<NowBoardEntry> NowBoard::entryFromAnswer(const QVariant& answer, double serverTimeDifference,
                                                       const QDateTime& now, bool update)
{
    if (!JsonValue::isMap(answer))
        return std::nullopt;
    const QVariantMap map = answer.toMap();
    if (map.contains(QStringLiteral("nodata")))
        return std::nullopt;
    NowBoardEntry entry;
    entry.channid = JsonValue::text(map.value(QStringLiteral("id")));
    // The request's own channel id, which the client layer adds, stands in for a missing "id".
    if (entry.channid.isEmpty())
        entry.channid = JsonValue::text(map.value(QStringLiteral("channid")));
    if (entry.channid.isEmpty())
        return std::nullopt; // an answer that names no channel belongs to no row
    entry.showsarr = ShowsAnswer::showsFromAnswer(map, serverTimeDifference);
    for (const auto& show : std::as_const(entry.showsarr))
        show->channelId = entry.channid;
    entry.channtitle = JsonValue::text(map.value(QStringLiteral("t")));
    entry.istvsign = JsonValue::integer(map.value(QStringLiteral("ct"))) != 0;
    entry.channscr = JsonValue::integer(map.value(QStringLiteral("oim"))) != 0;
    entry.channimg = JsonValue::text(map.value(QStringLiteral("i")));
    entry.currind = update && dropsOnUpdate(entry.channid) ? NowBoardEntry::NoShowOnAir
                                                           : currentIndex(entry.showsarr, now);
    return entry;
}

QDateTime NowBoard::nextProgrammeDate(const QDateTime& firstShowStart, const QDateTime& now)
{
    const qint64 days = now.secsTo(firstShowStart) / Day;
    return firstShowStart.addSecs((days < 3 ? 1 : days - 2) * Day);
}

int NowBoard::lineIndexAt(const NowBoardEntry& entry, const QDateTime& t, bool* forward)
{
    const Show* show = entry.current();
    if (!show || entry.showsarr.size() < 2)
        return -1;
    if (t > show->startTime) {
        const double ratio = progressAt(*show, t);
        if (ratio > 1.01) {
            for (int i = entry.currind + 1; i < entry.showsarr.size(); ++i) {
                if (progressAt(*entry.showsarr[i], t) < 1.01) {
                    if (forward)
                        *forward = true;
                    return i;
                }
            }
            return -1; // the channel ran out before t
        }
        if (ratio >= 0.999 && entry.currind + 1 < entry.showsarr.size()) {
            if (forward)
                *forward = true;
            return entry.currind + 1;
        }
        return -1;
    }
    // Back in the day: the latest show that had started by t and not yet ended.
    for (int i = entry.currind; i >= 0; --i) {
        const Show& earlier = *entry.showsarr[i];
        if (earlier.startTime.msecsTo(t) > 100 && progressAt(earlier, t) < 1.01) {
            if (forward)
                *forward = false;
            return i;
        }
    }
    return -1;
}

void NowBoard::setChannelsId(const QList<int>& ids)
{
    m_channelsId = ids;
    m_hasChannelsId = true;
}

int NowBoard::indexOfChannel(const QString& channid) const
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].channid == channid)
            return i;
    }
    return -1;
}

void NowBoard::clear()
{
    m_entries.clear();
    m_disabled.clear();
    m_expanded = -1;
}

int NowBoard::addLoaded(NowBoardEntry entry)
{
    const QString id = entry.channid;
    const int existing = indexOfChannel(id);
    if (entry.currind < 0) {
        m_disabled.insert(id, std::move(entry));
        return -1;
    }
    m_disabled.remove(id);
    if (existing >= 0) {
        m_entries[existing] = std::move(entry);
        return existing;
    }
    m_entries.append(std::move(entry));
    return int(m_entries.size()) - 1;
}

void NowBoard::resort()
{
    const QString expanded =
        m_expanded >= 0 && m_expanded < m_entries.size() ? m_entries[m_expanded].channid : QString();
    QHash<QString, int> position;
    for (int i = 0; i < m_channelsId.size(); ++i)
        position.insert(QString::number(m_channelsId[i]), i);
    std::stable_sort(m_entries.begin(), m_entries.end(), [&position](const auto& a, const auto& b) {
        return position.value(a.channid, INT_MAX) < position.value(b.channid, INT_MAX);
    });
    m_expanded = expanded.isEmpty() ? -1 : indexOfChannel(expanded);
}

NowBoard::Check NowBoard::checkShowBounds(const QDateTime& now)
{
    Check check;
    for (int a = 0; a < m_entries.size(); ++a) {
        NowBoardEntry& entry = m_entries[a];
        entry.lineIndex = -1;
        const Show* show = entry.current();
        if (!show || show->endTime >= now)
            continue;
        int next = entry.currind + 1;
        while (next < entry.showsarr.size() && entry.showsarr[next]->endTime <= now)
            ++next;
        if (next >= entry.showsarr.size()) {
            check.programUpdates.append(a);
            continue;
        }
        if (a == m_expanded) {
            check.expandedChanged = true;
            check.expandedOldIndex = entry.currind;
        }
        entry.currind = next;
        check.showUpdates.append(a);
    }
    return check;
}

QList<int> NowBoard::disableChannels(const QSet<int>& ids)
{
    QList<int> removed;
    for (int a = 0; a < m_entries.size(); ++a) {
        if (ids.contains(m_entries[a].channelId()))
            removed.append(a);
    }
    int expandedShift = 0;
    for (int i = int(removed.size()) - 1; i >= 0; --i) {
        const int a = removed[i];
        if (a == m_expanded)
            m_expanded = -1;
        else if (m_expanded > a)
            ++expandedShift;
        NowBoardEntry entry = m_entries.takeAt(a);
        entry.expandedCells = 0;
        m_disabled.insert(entry.channid, std::move(entry));
    }
    if (m_expanded >= 0)
        m_expanded -= expandedShift;
    return removed;
}

NowBoard::Retry NowBoard::checkDisabled(const QDateTime& now)
{
    Retry retry;
    for (auto it = m_disabled.begin(); it != m_disabled.end();) {
        NowBoardEntry& entry = it.value();
        // A show of the loaded day on air now brings the channel back; a day that still has
        // shows to come (it starts later, or has a gap now) is waited for; a day that is over
        // is loaded anew.
        const int onAir = currentIndex(entry.showsarr, now);
        if (onAir >= 0) {
            entry.currind = onAir;
            retry.reinstated.append(entry.channid);
            m_entries.append(std::move(entry));
            it = m_disabled.erase(it);
            continue;
        }
        const bool dayGoesOn = !entry.showsarr.isEmpty() && entry.showsarr.last()->endTime > now &&
                               !dropsOnUpdate(entry.channid);
        if (!dayGoesOn)
            retry.reload.append(entry);
        ++it;
    }
    if (!retry.reinstated.isEmpty())
        resort();
    return retry;
}
