#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

class QLabel;
struct Error;

// A modal alert over the key window: a title, a message and buttons. Button indices count
// the cancel button first (index 0) when there is one, then the other buttons in order.
// Pressing a button dismisses the alert and tells the delegate which index was pressed.
class AlertView : public QWidget
{
    Q_OBJECT

public:
    using DismissHandler = std::function<void(AlertView*, int buttonIndex)>;

    AlertView(const QString& title, const QString& message, QObject* delegate, DismissHandler didDismiss,
              const QString& cancelButtonTitle, const QStringList& otherButtonTitles = {});

    QString title() const { return m_title; }
    QString message() const { return m_message; }
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    int numberOfButtons() const { return int(m_buttonTitles.size()); }
    QString buttonTitleAtIndex(int index) const { return m_buttonTitles.value(index); }
    int cancelButtonIndex() const { return m_hasCancel ? 0 : -1; }

    // Shows the alert over the key window (or, without one, as a window of its own).
    void show();
    void dismissWithClickedButtonIndex(int index, bool animated);

    // A failure as screens show it: titled "Error", its description, an "OK" button.
    static AlertView* showError(const Error& error);

    // Alerts shown and not yet dismissed, oldest first.
    static QList<AlertView*> visibleAlerts();
    // The visible alert with this title (the newest), or none.
    static AlertView* visibleAlertTitled(const QString& title);

protected:
    void paintEvent(QPaintEvent* event) override;
    // Adds a widget under the message, above the buttons (alerts with more to show).
    void insertContent(QWidget* content);

private:
    QString m_title;
    QString m_message;
    QPointer<QObject> m_delegate;
    DismissHandler m_didDismiss;
    QStringList m_buttonTitles;
    bool m_hasCancel = false;
    int m_tag = 0;
    bool m_dismissed = false;
    QWidget* m_box = nullptr;
    int m_contentIndex = 0; // where content goes in the box's column
};
