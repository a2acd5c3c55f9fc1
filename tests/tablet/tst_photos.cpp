// The photo data source against the real content server: download addresses (time stamp,
// captions, thumbnails), the captions the server draws, the time stamp's reset, index bounds
// and the cap on the pictures held.
#include "ServerFixture.h"
#include "TestHome.h"

#include "platform/ServerConfig.h"
#include "tablet/KTPhotoScrollViewController.h"
#include "tablet/Photos.h"
#include "tablet/ThumbnailStrip.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

class TestPhotos : public QObject
{
    Q_OBJECT

    std::unique_ptr<ServerFixture> server;

    QString liveUrl(int channel, int minutesAgo) const
    {
        return QStringLiteral("http://%1/searchcontent/get_tv_image.php?i=%2&d=%3")
            .arg(server->hostWithPort())
            .arg(channel)
            .arg(minutesAgo);
    }

    QImage downloaded(Photos& photos, int index, bool thumb)
    {
        QSignalSpy spy(&photos, thumb ? &Photos::finishAsyncThumbImg : &Photos::finishAsyncImg);
        thumb ? photos.thumbImageAtIndex(index) : photos.imageAtIndex(index);
        if (!spy.wait(10000))
            return {};
        return spy.first().at(0).value<QImage>();
    }

private Q_SLOTS:
    void initTestCase() { server = std::make_unique<ServerFixture>(true); }

    void addresses()
    {
        Photos gallery;
        gallery.pushPhotoUrl("http://h/gfx/a.jpg");
        QCOMPARE(gallery.timeStamp(), -1);
        QVERIFY(!gallery.isScreensPhotos());
        QCOMPARE(gallery.imageAddress(0), QStringLiteral("http://h/gfx/a.jpg"));
        QCOMPARE(gallery.thumbAddress(0), QStringLiteral("http://h/gfx/a.jpg"));

        std::unique_ptr<Photos> live(Photos::initWithTimeStamp(1765100000));
        live->pushPhotoUrl("http://h/get_tv_image.php?i=5&d=3");
        QCOMPARE(live->imageAddress(0), QStringLiteral("http://h/get_tv_image.php?i=5&d=3&ts=1765100000"));
        QCOMPARE(live->thumbAddress(0),
                 QStringLiteral("http://h/get_tv_image.php?i=5&d=3&ts=1765100000&r=1"));
        // Captions in their order; a caption's own "&", "=" and "#" cannot break the query.
        live->modifyImageWithIndex(0, QStringLiteral("Мы & они"), QStringLiteral("a=b #1"));
        QCOMPARE(live->imageAddress(0),
                 QStringLiteral("http://h/get_tv_image.php?i=5&d=3&tt=%D0%9C%D1%8B%20%26%20%D0%BE%D0%BD%D0%B8"
                                "&bt=a%3Db%20%231&fn=impact&ts=1765100000"));
        QCOMPARE(live->thumbAddress(0),
                 QStringLiteral("http://h/get_tv_image.php?i=5&d=3&ts=1765100000&r=1"));
        live->modifyImageWithIndex(0, QString(), QStringLiteral("низ"));
        QCOMPARE(live->imageAddress(0),
                 QStringLiteral(
                     "http://h/get_tv_image.php?i=5&d=3&bt=%D0%BD%D0%B8%D0%B7&fn=impact&ts=1765100000"));
        // An empty caption is kept but reported as none; indexes beyond the list are ignored.
        live->modifyImageWithIndex(0, QLatin1String(""), QStringLiteral("низ"));
        QVERIFY(live->getTopCommentAtIndex(0).isNull());
        QCOMPARE(live->getBottomCommentAtIndex(0), QStringLiteral("низ"));
        QVERIFY(live->imageAddress(0).contains("&tt=&bt="));
        live->modifyImageWithIndex(1, QStringLiteral("x"), QStringLiteral("y"));
        QCOMPARE(live->numberOfPhotos(), 1);
        QVERIFY(live->getTopCommentAtIndex(5).isNull());

        std::unique_ptr<Photos> now(Photos::initAsScreens(true));
        QVERIFY(qAbs(now->timeStamp() - QDateTime::currentSecsSinceEpoch()) <= 2);
        std::unique_ptr<Photos> notScreens(Photos::initAsScreens(false));
        QCOMPARE(notScreens->timeStamp(), -1);
    }

    void indexBounds()
    {
        Photos photos;
        const QImage placeholder = Photos::placeholder();
        QVERIFY(!placeholder.isNull());
        QCOMPARE(photos.imageAtIndex(0), placeholder);
        QCOMPARE(photos.thumbImageAtIndex(-1), placeholder);
        photos.pushPhotoUrl(liveUrl(13, 0));
        QCOMPARE(photos.imageAtIndex(1), placeholder);
        QVERIFY(photos.imageAddress(7).isEmpty());
    }

    void picturesAndCaptionsFromTheServer()
    {
        std::unique_ptr<Photos> photos(Photos::initAsScreens(true));
        photos->pushPhotoUrl(liveUrl(13, 0));
        photos->pushPhotoUrl(liveUrl(13, 5));
        // The thumbnail: the placeholder at once, then the server's small picture.
        QCOMPARE(photos->thumbImageAtIndex(0), Photos::placeholder());
        const QImage thumb = downloaded(*photos, 0, true);
        QCOMPARE(thumb.size(), QSize(160, 120));
        QCOMPARE(photos->thumbImageAtIndex(0), thumb);
        // The picture: none at once, then the full one, kept.
        QVERIFY(photos->imageAtIndex(0).isNull());
        const QImage plain = downloaded(*photos, 0, false);
        QCOMPARE(plain.size(), QSize(320, 240));
        QCOMPARE(photos->imageAtIndex(0), plain);
        // Captions drop the picture; the next one has them drawn in by the server.
        photos->modifyImageWithIndex(0, QStringLiteral("Смотрите все"), QStringLiteral("Лучший фильм"));
        QVERIFY(photos->imageAtIndex(0).isNull());
        const QImage captioned = downloaded(*photos, 0, false);
        QCOMPARE(captioned.size(), QSize(320, 240));
        QVERIFY(captioned.copy(0, 0, 320, 60) != plain.copy(0, 0, 320, 60));
        QVERIFY(captioned.copy(0, 180, 320, 60) != plain.copy(0, 180, 320, 60));

        // The same stamp keeps everything; a new one drops pictures, thumbnails and captions.
        photos->setTimeStamp(photos->timeStamp());
        QCOMPARE(photos->imageAtIndex(0), captioned);
        photos->setTimeStamp(photos->timeStamp() - 60);
        QVERIFY(photos->getTopCommentAtIndex(0).isNull());
        QCOMPARE(photos->imagesHeld(), 0);
        QCOMPARE(photos->thumbImageAtIndex(0), Photos::placeholder());
    }

    void heldPicturesAreCapped()
    {
        std::unique_ptr<Photos> photos(Photos::initAsScreens(true));
        for (int d = 0; d < 3; ++d)
            photos->pushPhotoUrl(liveUrl(13, d));
        const QImage first = downloaded(*photos, 0, false);
        QVERIFY(!first.isNull());
        photos->setMaxImageBytes(first.sizeInBytes() * 2);
        QVERIFY(!downloaded(*photos, 1, false).isNull());
        QCOMPARE(photos->imagesHeld(), 2);
        photos->imageAtIndex(0); // shown again: now the least recent is 1
        QVERIFY(!downloaded(*photos, 2, false).isNull());
        QCOMPARE(photos->imagesHeld(), 2);
        QVERIFY(!photos->imageAtIndex(0).isNull());
        QVERIFY(photos->imageAtIndex(1).isNull()); // dropped; asked for again
    }

    void whatIsNotAPictureStaysThePlaceholder()
    {
        Photos photos;
        photos.pushPhotoUrl(
            QStringLiteral("http://%1/searchcontent/get_server_time.php").arg(server->hostWithPort()));
        photos.pushPhotoUrl(liveUrl(99999, 0)); // no such channel: 404
        QSignalSpy pictures(&photos, &Photos::finishAsyncImg);
        QVERIFY(photos.imageAtIndex(0).isNull());
        QVERIFY(photos.imageAtIndex(1).isNull());
        QVERIFY(!pictures.wait(1500));
        QVERIFY(photos.imageAtIndex(0).isNull()); // asked again, still nothing
        QCOMPARE(photos.imagesHeld(), 0);
    }

    void browserStaysWithinTheList()
    {
        std::unique_ptr<Photos> photos(Photos::initAsScreens(true));
        for (int d = 0; d < 3; ++d)
            photos->pushPhotoUrl(liveUrl(13, d));
        KTPhotoScrollViewController browser(photos.get(), {{"channtitle", "Киноман"}}, 7);
        browser.resize(800, 600);
        QCOMPARE(browser.currentIndex(), 2);
        QCOMPARE(browser.counterText(), QStringLiteral("3 / 3"));
        browser.next();
        QCOMPARE(browser.currentIndex(), 2);
        // A swipe to the right goes back one; a short drag does nothing.
        QTest::mousePress(&browser, Qt::LeftButton, {}, QPoint(400, 300));
        QTest::mouseRelease(&browser, Qt::LeftButton, {}, QPoint(500, 300));
        QCOMPARE(browser.currentIndex(), 1);
        QTest::mousePress(&browser, Qt::LeftButton, {}, QPoint(400, 300));
        QTest::mouseRelease(&browser, Qt::LeftButton, {}, QPoint(380, 300));
        QCOMPARE(browser.currentIndex(), 1);
        browser.setCurrentIndex(-4);
        QCOMPARE(browser.currentIndex(), 0);
        browser.setZoom(10);
        QCOMPARE(browser.zoom(), KTPhotoScrollViewController::MaxZoom);
        browser.setZoom(0.1);
        QCOMPARE(browser.zoom(), 1.0);
        // Captions go to the data source and the captioned picture is asked for.
        browser.applyCaptions(QStringLiteral("  верх "), QString());
        QCOMPARE(photos->getTopCommentAtIndex(0), QStringLiteral("верх"));
        QVERIFY(photos->imageAddress(0).contains("&tt=%D0%B2%D0%B5%D1%80%D1%85&fn=impact"));
        QSignalSpy arrived(photos.get(), &Photos::finishAsyncImg);
        QVERIFY(arrived.wait(10000));

        // Comment mode: both captions, then the bottom one deleted keeps the top one.
        QVERIFY(!browser.isCommentMode());
        browser.commentTouch();
        QVERIFY(browser.isCommentMode());
        browser.applyCaptions(QStringLiteral("верх"), QStringLiteral("низ"));
        QVERIFY(photos->imageAddress(0).contains("&bt="));
        browser.deleteCommentTouch(2);
        QCOMPARE(photos->getTopCommentAtIndex(0), QStringLiteral("верх"));
        QVERIFY(photos->getBottomCommentAtIndex(0).isEmpty());
        QVERIFY(photos->imageAddress(0).contains("&tt=") && !photos->imageAddress(0).contains("&bt="));
        browser.deleteCommentTouch(2); // none left there: nothing happens
        QCOMPARE(photos->getTopCommentAtIndex(0), QStringLiteral("верх"));
        // Clearing leaves comment mode without captions.
        browser.clearCommentTouch();
        QVERIFY(!browser.isCommentMode());
        QVERIFY(photos->getTopCommentAtIndex(0).isEmpty());
        QVERIFY(!photos->imageAddress(0).contains("&tt=") && !photos->imageAddress(0).contains("&bt="));
        // Refreshing live screens leaves comment mode and asks at a new time.
        browser.commentTouch();
        photos->setTimeStamp(1000);
        browser.updateTouch();
        QVERIFY(!browser.isCommentMode());
        QVERIFY(photos->timeStamp() > 1000);
        QVERIFY(photos->imageAddress(0).endsWith(QStringLiteral("&ts=%1").arg(photos->timeStamp())));

        Photos empty;
        KTPhotoScrollViewController nothing(&empty, {}, 3);
        QCOMPARE(nothing.currentIndex(), 0);
        QVERIFY(nothing.counterText().isEmpty());
        nothing.next();
        nothing.grab(); // paints with no picture at all
    }

    void stripAsksOnlyForWhatIsOnScreen()
    {
        Photos gallery;
        for (int i = 0; i < 200; ++i)
            gallery.pushPhotoUrl(QStringLiteral("http://127.0.0.1:9/gfx/%1.png").arg(i)); // nothing listens
        ThumbnailStrip strip;
        strip.setDataSource(&gallery);
        strip.resize(4 * ThumbnailStrip::CellWidth + 20, ThumbnailStrip::CellHeight + 6);
        strip.grab();
        QVERIFY(gallery.downloadsStarted() > 0);
        QVERIFY2(gallery.downloadsStarted() <= 6, qPrintable(QString::number(gallery.downloadsStarted())));
        QCOMPARE(strip.model()->rowCount(), 200);
    }

    void liveStampsTheServerCannotHonour()
    {
        // A stamp ahead of the server's clock, or 0, is taken as now: the picture still comes.
        for (const qint32 stamp : {qint32(QDateTime::currentSecsSinceEpoch() + 86400), 0}) {
            std::unique_ptr<Photos> photos(Photos::initWithTimeStamp(stamp));
            photos->pushPhotoUrl(liveUrl(13, 0));
            QCOMPARE(downloaded(*photos, 0, false).size(), QSize(320, 240));
        }
    }
};

QTEST_MAIN(TestPhotos)
#include "tst_photos.moc"
