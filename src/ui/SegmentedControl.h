#pragma once

#include <QStringList>
#include <QWidget>

class QButtonGroup;
class QHBoxLayout;

// A row of joined buttons of which one is selected. valueChanged is emitted when the user
// picks a segment (also the selected one again), not when the program selects one.
class SegmentedControl : public QWidget
{
    Q_OBJECT

public:
    explicit SegmentedControl(const QStringList& titles = {}, QWidget* parent = nullptr);

    int numberOfSegments() const;
    void setTitles(const QStringList& titles);
    QString titleForSegmentAtIndex(int index) const;
    void setTitleForSegmentAtIndex(const QString& title, int index);
    // -1: none selected.
    int selectedSegmentIndex() const { return m_selected; }
    void setSelectedSegmentIndex(int index);
    void setTintColor(const QColor& color);
    // A segment that is not enabled cannot be picked.
    void setSegmentEnabled(int index, bool enabled);
    bool isSegmentEnabled(int index) const;

    // Acts as a user would.
    void tapSegment(int index);

Q_SIGNALS:
    void valueChanged(int index);

private:
    void restyle();

    QButtonGroup* m_group;
    QHBoxLayout* m_layout;
    QColor m_tint;
    int m_selected = -1;
};
