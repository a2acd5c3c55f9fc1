#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>

// A menu sliding up from the bottom of the key window: a title (optional), the buttons in
// order and the cancel button last. Indices count the buttons in that order, so the cancel
// button has the last index. Choosing a button (or tapping beside the menu, which is the
// cancel button) dismisses the sheet and tells the delegate the index.
class ActionSheet : public QWidget
{
    Q_OBJECT

public:
    using ClickHandler = std::function<void(ActionSheet*, int buttonIndex)>;

    ActionSheet(const QString& title, QObject* delegate, ClickHandler clicked, const QString& cancelButtonTitle,
                const QStringList& otherButtonTitles);

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    int numberOfButtons() const { return int(m_titles.size()); }
    QString buttonTitleAtIndex(int index) const { return m_titles.value(index); }
    int cancelButtonIndex() const { return m_hasCancel ? int(m_titles.size()) - 1 : -1; }
    bool isVisibleSheet() const { return !m_dismissed; }

    void showInView(QWidget* view);
    void dismissWithClickedButtonIndex(int index, bool animated);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<QObject> m_delegate;
    ClickHandler m_clicked;
    QStringList m_titles;
    bool m_hasCancel = false;
    int m_tag = 0;
    bool m_dismissed = false;
    QWidget* m_panel = nullptr;
};
