#pragma once

#include "ui/AlertView.h"

#include <QPixmap>
#include <QVariantMap>

// An alert with rows of a picture and a description under its message: the legend of the
// marks on the channel tiles.
class ORVAlertView : public AlertView
{
    Q_OBJECT

public:
    ORVAlertView(const QString& title, const QString& message, const QString& cancelButtonTitle);

    // Appends a row: the picture, then its description (white, 16 points), 22 points high.
    void addImage(const QPixmap& image, const QString& description);
    // The rows, each {"img": picture, "desc": text}.
    const QList<QVariantMap>& descrImgs() const { return m_descrImgs; }

private:
    QList<QVariantMap> m_descrImgs;
};
