#pragma once

#include <QImage>
#include <QString>

#include <atomic>

// The cached texts of one now-board cell.
struct ShowCellParams
{
    QString programName;
    QString startTime;
    QString endTime;
    QString channName;
    QImage bgImage;
    std::atomic<float> progress{0};

    // Clears the texts and the picture; the progress stays.
    void erase()
    {
        programName.clear();
        startTime.clear();
        endTime.clear();
        channName.clear();
        bgImage = QImage();
    }
};
