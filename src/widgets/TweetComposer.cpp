#include "TweetComposer.h"

#include "platform/StringTable.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TweetComposer::TweetComposer(const QString& text, QWidget* parent)
    : QWidget(parent, Qt::Dialog), m_edit(new QPlainTextEdit(this)), m_left(new QLabel(this)),
      m_send(new QPushButton(StringTable::localized("Send"), this)),
      m_cancel(new QPushButton(StringTable::localized("Cancel"), this)), m_account(new QLabel(this)),
      m_picture(new QLabel(this))
{
    setObjectName(QStringLiteral("TweetComposer"));
    setWindowTitle(QStringLiteral("Twitter"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(360, 220);
    m_edit->setPlainText(text);
    m_edit->moveCursor(QTextCursor::End);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_left);
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_send);
    auto* layout = new QVBoxLayout(this);
    m_account->hide();
    m_picture->hide();
    layout->addWidget(m_account);
    auto* body = new QHBoxLayout;
    body->addWidget(m_edit, 1);
    body->addWidget(m_picture, 0, Qt::AlignTop);
    layout->addLayout(body);
    layout->addLayout(buttons);
    m_send->setDefault(true);
    connect(m_edit, &QPlainTextEdit::textChanged, this, &TweetComposer::update_);
    connect(m_send, &QPushButton::clicked, this, [this] { Q_EMIT sendRequested(this->text()); });
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        Q_EMIT cancelled();
        close();
    });
    update_();
}

QString TweetComposer::text() const
{
    return m_edit->toPlainText();
}

void TweetComposer::setText(const QString& text)
{
    m_edit->setPlainText(text);
}

int TweetComposer::charactersLeft() const
{
    return MaxLength - int(text().size());
}

void TweetComposer::setSending(bool sending)
{
    m_edit->setReadOnly(sending);
    m_send->setEnabled(!sending && charactersLeft() >= 0 && !text().trimmed().isEmpty());
}

void TweetComposer::setAccountName(const QString& name)
{
    m_account->setText(name);
    m_account->setVisible(!name.isEmpty());
}

QString TweetComposer::accountName() const
{
    return m_account->text();
}

void TweetComposer::setImage(const QImage& image)
{
    m_image = image;
    m_picture->setPixmap(image.isNull() ? QPixmap()
                                        : QPixmap::fromImage(image.scaled(96, 96, Qt::KeepAspectRatio,
                                                                          Qt::SmoothTransformation)));
    m_picture->setVisible(!image.isNull());
}

void TweetComposer::clickSend()
{
    m_send->click();
}

void TweetComposer::clickCancel()
{
    m_cancel->click();
}

void TweetComposer::update_()
{
    const int left = charactersLeft();
    m_left->setText(QString::number(left));
    m_left->setStyleSheet(left < 0 ? QStringLiteral("color: #c00") : QString());
    m_send->setEnabled(left >= 0 && !text().trimmed().isEmpty());
}
