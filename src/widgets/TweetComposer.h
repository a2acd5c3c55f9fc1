#pragma once

#include <QImage>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The composer the sharer opens before posting (also the tweet sheet of the tablet's account
// service): the text to edit, the characters left of 140, Send and Cancel, and optionally the
// account that posts and a picture. Send is enabled while the text is 1 to 140 characters long.
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
    // Shows who posts ("@name").
    void setAccountName(const QString& name);
    QString accountName() const;
    // The picture offered with the text, shown as a thumbnail.
    void setImage(const QImage& image);
    const QImage& image() const { return m_image; }
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
    QLabel* m_account;
    QLabel* m_picture;
    QImage m_image;
};
