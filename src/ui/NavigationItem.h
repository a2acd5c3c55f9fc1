#pragma once

#include "BarButtonItem.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

// What a screen shows in the navigation bar while it is on top: a title or a title view,
// and bar buttons. Changes are announced so that the bar can redraw.
class NavigationItem : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~NavigationItem() override;

    QString title() const { return m_title; }
    void setTitle(const QString& title);
    // The item owns its title view (the bar only shows it): a replaced one and the last one
    // are deleted.
    QWidget* titleView() const { return m_titleView; }
    void setTitleView(QWidget* view);
    QList<BarButtonItem> leftBarButtonItems() const { return m_left; }
    void setLeftBarButtonItem(const BarButtonItem& item) { setLeftBarButtonItems({item}); }
    void setLeftBarButtonItems(const QList<BarButtonItem>& items);
    QList<BarButtonItem> rightBarButtonItems() const { return m_right; }
    void setRightBarButtonItem(const BarButtonItem& item) { setRightBarButtonItems({item}); }
    void setRightBarButtonItems(const QList<BarButtonItem>& items);
    bool hidesBackButton() const { return m_hidesBackButton; }
    void setHidesBackButton(bool hides);

Q_SIGNALS:
    void changed();

private:
    QString m_title;
    QPointer<QWidget> m_titleView;
    QList<BarButtonItem> m_left;
    QList<BarButtonItem> m_right;
    bool m_hidesBackButton = false;
};
