#pragma once

#include "model/Show.h"

#include <QList>
#include <QString>

#include <memory>

// One channel of the tablet's now board: its loaded day of shows (device clock, start order)
// and which of them is on air.
struct NowBoardEntry
{
    // currind values that are not a show index.
    static constexpr int NoShowOnAir = -1;
    static constexpr int StartsLater = -2;

    QString channid;
    QList<std::shared_ptr<Show>> showsarr;
    int currind = NoShowOnAir;
    QString channtitle;
    bool istvsign = false;
    bool channscr = false;
    QString channimg;
    // Next-show rows open under the expanded channel; 0 when its list is closed.
    int expandedCells = 0;
    // The show the time line chose to draw instead of the one on air; -1 for none.
    int lineIndex = -1;

    int channelId() const { return channid.toInt(); }
    const Show* current() const
    {
        return currind >= 0 && currind < showsarr.size() ? showsarr.at(currind).get() : nullptr;
    }
    // The show drawn in the channel's row: the time line's choice, else the one on air.
    int shownIndex() const { return lineIndex >= 0 && lineIndex < showsarr.size() ? lineIndex : currind; }
    const Show* shown() const
    {
        const int index = shownIndex();
        return index >= 0 && index < showsarr.size() ? showsarr.at(index).get() : nullptr;
    }
    const Show* next() const
    {
        return currind >= 0 && currind + 1 < showsarr.size() ? showsarr.at(currind + 1).get() : nullptr;
    }
    // Shows after the one on air, at most 6: the next-show rows an expansion opens.
    int nextShowRows() const
    {
        return currind < 0 ? 0 : int(std::min<qsizetype>(6, showsarr.size() - currind - 1));
    }
};
