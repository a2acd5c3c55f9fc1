#pragma once

#include "BarButtonItem.h"

#include <QColor>
#include <QPointer>
#include <QWidget>

class NavigationItem;
class QHBoxLayout;
class QLabel;

// The bar on top of a navigation stack: the top screen's title or title view in the
// middle, a back button or the screen's left items on the left, its right items on the right.
class NavigationBar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Height = 44;

    explicit NavigationBar(QWidget* parent = nullptr);

    QColor tintColor() const { return m_tint; }
    void setTintColor(const QColor& color);

    // Shows the item; backTitle non-empty adds a back button that emits backRequested().
    void showItem(NavigationItem* item, const QString& backTitle);

Q_SIGNALS:
    void backRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* makeButton(const BarButtonItem& item);
    void rebuild();
    void placeTitle();

    QColor m_tint{91, 102, 171};
    QPointer<NavigationItem> m_item;
    QString m_backTitle;
    QWidget* m_left;
    QWidget* m_right;
    QLabel* m_titleLabel;
    QPointer<QWidget> m_titleView;
};
