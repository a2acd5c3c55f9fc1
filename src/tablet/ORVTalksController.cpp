#include "ORVTalksController.h"

#include "ORVTweetDetailsController.h"

#include "platform/JsonValue.h"
#include "social/ORVTwitterService.h"
#include "social/TwitterRefusal.h"
#include "ui/Images.h"
#include "ui/NavigationController.h"
#include "ui/NavigationItem.h"
#include "widgets/PaintedImages.h"

#include <QFontMetrics>
#include <QLoggingCategory>
#include <QPainter>
#include <QPainterPath>

Q_LOGGING_CATEGORY(lcTalks, "orvane.twitter.conversation")

namespace {

constexpr qint64 PictureBytes = 8 * 1024 * 1024;
constexpr int PhotoSize = 40;

QFont bubbleFont()
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(17);
    return font;
}

// A speech bubble with its tail on the author's side ("left_bubble.png", "right_bubble.png").
void paintBubble(QPainter* painter, const QRect& rect, bool left)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(rect), 14, 14);
    const qreal tailY = rect.top() + 18;
    QPolygonF tail;
    if (left)
        tail << QPointF(rect.left() + 2, tailY) << QPointF(rect.left() - 8, tailY + 6)
             << QPointF(rect.left() + 2, tailY + 12);
    else
        tail << QPointF(rect.right() - 2, tailY) << QPointF(rect.right() + 8, tailY + 6)
             << QPointF(rect.right() - 2, tailY + 12);
    path.addPolygon(tail);
    path.setFillRule(Qt::WindingFill);
    painter->setPen(Qt::NoPen);
    painter->setBrush(left ? QColor(0xe5, 0xe5, 0xea) : QColor(0xc8, 0xe1, 0xfc));
    painter->drawPath(path.simplified());
}

} // namespace

ORVTalksController::ORVTalksController(const Tweet& first, const QImage& firstPersonImg, QObject* parent)
    : ViewController(QStringLiteral("ORVTalksController"), parent), m_firstId(first.senderId()),
      m_firstPersonImg(firstPersonImg), m_pictures(new PaintedImages(PictureBytes, this))
{
    m_tweets.append(first);
    setTitle(QStringLiteral("Переписка"));
    navigationItem()->setTitle(title());
    connect(m_pictures, &PaintedImages::arrived, this, [this] {
        if (m_table)
            m_table->viewport()->update();
    });
}

void ORVTalksController::loadView()
{
    m_table = new ListTable(this, this);
    m_table->setObjectName(nibName());
    setView(m_table);
}

void ORVTalksController::viewDidLoad()
{
    m_table->reloadData();
    fetchNext();
}

QString ORVTalksController::nextReplyId() const
{
    const QVariant& reply = m_tweets.last().replyId();
    if (!reply.isValid() || reply.isNull())
        return {};
    return reply.toString();
}

void ORVTalksController::fetchNext()
{
    const QString replyId = nextReplyId();
    if (replyId.isEmpty())
        return;
    // A chain that comes back to a tweet already shown would go round for ever.
    for (const Tweet& tweet : std::as_const(m_tweets)) {
        if (tweet.tweetId() == replyId) {
            qCInfo(lcTalks).noquote() << "the conversation loops back to" << replyId << "; it ends here";
            return;
        }
    }
    if (m_tweets.size() >= m_tweetsLimit) {
        m_isToBeContinue = true;
        if (m_table)
            m_table->reloadData();
        return;
    }
    m_fetching = true;
    ORVTwitterService::sharedManager().tweetWithId(
        replyId, this,
        [this](const QVariant& answer) {
            m_fetching = false;
            const QVariantMap status = JsonValue::map(answer);
            if (TwitterRefusal::isRefusal(answer) || status.isEmpty()) {
                qCInfo(lcTalks).noquote() << "TWEET CONVERSATION ERROR =" << TwitterRefusal::message(answer);
                return;
            }
            m_tweets.append(Tweet::initWithDictionaryFromTwitter(status));
            if (m_table)
                m_table->reloadData();
            fetchNext();
        },
        [this](const Error& error) {
            m_fetching = false;
            qCInfo(lcTalks).noquote() << "Error get tweet =" << error.localizedDescription();
        });
}

int ORVTalksController::numberOfSections() const
{
    return int(m_tweets.size()) + (m_isToBeContinue ? 1 : 0);
}

const Tweet* ORVTalksController::tweetInSection(int section) const
{
    if (isMoreSection(section))
        return nullptr;
    const int index = int(m_tweets.size()) - 1 - (section - (m_isToBeContinue ? 1 : 0));
    return index >= 0 && index < m_tweets.size() ? &m_tweets[index] : nullptr;
}

int ORVTalksController::bubbleWidth() const
{
    return std::max(100, (m_table ? m_table->viewport()->width() : 540) - 80);
}

int ORVTalksController::heightForRow(const IndexPath& path) const
{
    if (isMoreSection(path.section))
        return MoreRowHeight;
    const Tweet* tweet = tweetInSection(path.section);
    if (!tweet || tweet->text().isEmpty())
        return 55;
    const QRect bounds = QFontMetrics(bubbleFont())
                             .boundingRect(QRect(0, 0, bubbleWidth(), 999), Qt::TextWordWrap, tweet->text());
    return std::min(bounds.height(), 999) + 55;
}

void ORVTalksController::paintRow(QPainter* painter, const QRect& rect, const IndexPath& path, RowState state)
{
    painter->save();
    painter->fillRect(rect, QColor(0xf4, 0xf6, 0xf8));
    if (isMoreSection(path.section)) {
        painter->setPen(state.highlighted ? QColor(0x1a, 0x5f, 0xc8) : QColor(0x2f, 0x7c, 0xf6));
        painter->drawText(rect, Qt::AlignCenter, QStringLiteral("Ещё..."));
        painter->restore();
        return;
    }
    const Tweet* tweet = tweetInSection(path.section);
    if (!tweet) {
        painter->restore();
        return;
    }
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    const bool left = tweet->senderId() == m_firstId;
    const QRect photo(left ? rect.left() + 8 : rect.right() - 8 - PhotoSize, rect.top() + 8, PhotoSize,
                      PhotoSize);
    QImage picture = left && !m_firstPersonImg.isNull() ? m_firstPersonImg
                                                        : m_pictures->image(QUrl(tweet->profileImageUrl()));
    if (picture.isNull())
        painter->drawPixmap(photo, Images::named(QStringLiteral("no_photo.png")));
    else
        painter->drawImage(photo, picture);
    const int width = bubbleWidth();
    const QRect bubble(left ? photo.right() + 14 : photo.left() - 14 - (width - 40 + 16), rect.top() + 6,
                       width - 40 + 16, rect.height() - 12);
    paintBubble(painter, bubble, left);
    QFont name = painter->font();
    name.setPixelSize(13);
    name.setBold(true);
    painter->setFont(name);
    painter->setPen(QColor(0x44, 0x44, 0x4c));
    painter->drawText(bubble.adjusted(12, 6, -12, 0), Qt::AlignLeft | Qt::AlignTop,
                      tweet->senderName() + QStringLiteral("  ") + tweet->tweetTimeDisplay());
    painter->setFont(bubbleFont());
    painter->setPen(QColor(0x1d, 0x1d, 0x1f));
    painter->drawText(bubble.adjusted(12, 26, -12, -6), Qt::TextWordWrap, tweet->text());
    painter->restore();
}

void ORVTalksController::didSelectRowAtIndexPath(const IndexPath& path)
{
    m_table->deselectRow(path);
    if (isMoreSection(path.section)) {
        m_tweetsLimit += FirstLimit;
        m_isToBeContinue = false;
        m_table->reloadData();
        fetchNext();
        return;
    }
    const Tweet* tweet = tweetInSection(path.section);
    if (!tweet)
        return;
    m_openedTweetId = tweet->tweetId();
    auto* details = new ORVTweetDetailsController(this);
    details->setDelegate(this);
    details->setCurrentTweet(*tweet);
    details->setIsDisableConversation(true);
    if (NavigationController* navigation = navigationController())
        navigation->pushViewController(details, true);
}

void ORVTalksController::twitterDidFinish()
{
    twitterDidFinishWithOp(0);
}

void ORVTalksController::twitterDidFinishWithOp(int op)
{
    if (op == OpDeleted) {
        for (Tweet& tweet : m_tweets) {
            if (tweet.tweetId() == m_openedTweetId)
                tweet.setIsDeleted(true);
        }
    }
    if (NavigationController* navigation = navigationController())
        navigation->popToViewController(this, true);
}
