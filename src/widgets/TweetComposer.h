#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The composer the sharer opens before posting: the text to edit, the characters left of 140,
// Send and Cancel. Send is enabled while the text is 1 to 140 characters long.
class TweetComposer : public QWidget
{
    Q_OBJECT

public:
    static constexpr int MaxLength = 140;

    explicit TweetComposer(const QString& text, QWidget* parent = nullptr);
    QString text() const;
    void setText(const QString& text);
    int charactersLeft() const;
    QPushButton* sendButton() const { return m_send; }
    void setSending(bool sending);
    // As the user would press them (tests).
    void clickSend();
    void clickCancel();

Q_SIGNALS:
    void sendRequested(const QString& text);
    void cancelled();

private:
    void update_();

    QPlainTextEdit* m_edit;
    QLabel* m_left;
    QPushButton* m_send;
    QPushButton* m_cancel;
};
