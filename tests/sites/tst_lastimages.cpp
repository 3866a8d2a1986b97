// The site list from the maker's text, the trailer of a received picture and its sender, the
// viewer's rules, and the keyed downloads against a local server.

#include "sites/ImageDownloads.h"
#include "sites/LastImages.h"
#include "sites/SiteList.h"
#include "support/TestWebServer.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace torvane;

class TestLastImages : public QObject {
    Q_OBJECT

private slots:
    void siteList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");      // sites announced
        QTest::addColumn<QString>("call");   // looked up
        QTest::addColumn<QString>("url");    // found, empty: none

        const QString head = "Torvane ver 4.11\r\nnews\r\n/////5";
        const QString list = head + "\r\nG4ABC* Leeds\r\nhttp://g4abc.example/last/image1\r\n"
                                    "k1abc*\r\nhttps://k1abc.example/image1\r\nVK2DEF*\r\nftp://vk2def.example/image1";
        QTest::newRow("found, case ignored") << list << 3 << "K1ABC" << "https://k1abc.example/image1";
        QTest::newRow("first record") << list << 3 << "g4abc" << "http://g4abc.example/last/image1";
        QTest::newRow("ftp address left out") << list << 3 << "VK2DEF" << "";
        QTest::newRow("no marker: no sites") << "G4ABC*\r\nhttp://g4abc.example/image1" << 0 << "G4ABC" << "";
        QTest::newRow("call cut to 6") << head + "\r\nPA3XYZA*\r\nhttp://p.example/image1" << 1 << "PA3XYZ"
                                       << "http://p.example/image1";
        const QString longUrl = "http://p.example/" + QString(60, u'a');
        QTest::newRow("address cut to 60") << head + "\r\nPA3XYZ*\r\n" + longUrl << 1 << "PA3XYZ" << longUrl.left(60);
        QTest::newRow("call line without address") << head + "\r\nPA3XYZ*" << 0 << "PA3XYZ" << "";
    }

    void siteList()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        QFETCH(QString, call);
        QFETCH(QString, url);
        QTemporaryDir dir;
        const QString file = dir.filePath("dsstvSites.dat");
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));  // an old list is replaced
        QCOMPARE(RebuildSiteList(text, file), count);
        QCOMPARE(FindSite(file, call).url, url);
    }

    void trailer_data()
    {
        QTest::addColumn<QByteArray>("download");
        QTest::addColumn<int>("pictureBytes");
        QTest::addColumn<QString>("sender");

        const QByteArray picture(1460, 'p');
        const QByteArray trailer37 = "de K1ABC JT65 x*2026-12-07 12:34 UTC.";
        QTest::newRow("marker 40 bytes from the end") << picture + "***" + trailer37 << 1460 << "K1ABC";
        QTest::newRow("marker over 2,000 bytes back") << "***de K1ABC 12:00" + QByteArray(2000, 'p') << 2017 << "";
        QTest::newRow("no colon: no sender") << picture + "***de K1ABC" << 1460 << "";
        QTest::newRow("de inside a call stays") << picture + "***de VK2DEF*12:00" << 1460 << "VK2DEF";
        QTest::newRow("DE word, slashed zero") << picture + "***DE G\xD8XGT Sat 16:36 UTC" << 1460 << "G0XGT";
        QTest::newRow("last of several markers") << QByteArray("ab***cd***de W1AW 1:2") << 7 << "W1AW";
        QTest::newRow("too short for a marker") << QByteArray("**") << 2 << "";
    }

    void trailer()
    {
        QFETCH(QByteArray, download);
        QFETCH(int, pictureBytes);
        QFETCH(QString, sender);
        const ReceivedImage image = splitReceivedImage(download);
        QCOMPARE(image.picture, download.left(pictureBytes));
        QCOMPARE(image.marked ? senderFromTrailer(image.trailer) : QString(), sender);
    }

    void viewerRules()
    {
        QCOMPARE(lastImageAddress("http://s.example/rx/image1", 1), QString("http://s.example/rx/image1"));
        QCOMPARE(lastImageAddress("http://s.example/rx/image1", 30), QString("http://s.example/rx/image30"));
        for (const auto &[key, slot] : {std::pair{"0-", 0}, {"29-", 29}, {"7", 7}, {"100-", -1}, {"x-", -1}})
            QCOMPARE(slotOfKey(key), slot);

        // Six notches from the first three rows to the last three, and no further either way.
        double top = 0;
        QCOMPARE(scrolledStripTop(top, true), 0.0);
        for (int notch = 0; notch < 7; ++notch)
            top = scrolledStripTop(top, false);
        QCOMPARE(top, -357.0);
        for (int notch = 0; notch < 7; ++notch)
            top = scrolledStripTop(top, true);
        QCOMPARE(top, 0.0);

        const QString caption = lastImagesCaption("K1ABC");
        QCOMPARE(caption, QString("Images 1-30 on K1ABC's site  --- Use Scroll Wheel ---"));
        // 53 characters with blanks: 74 units of 212 in 864 pixels
        QCOMPARE(centeredCaption(caption, 15 * 864), QString(69, u' ') + caption);
        QCOMPARE(centeredCaption("  " + caption, 15 * 200), caption);  // wider than the window
    }

    void fullSize_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("window");
        QTest::newRow("350 x 250 enlarged to 700 wide") << QSize(350, 250) << QSize(700, 500);
        QTest::newRow("100 x 100 to 500 high") << QSize(100, 100) << QSize(500, 500);
        QTest::newRow("wide and low") << QSize(400, 100) << QSize(700, 175);
        QTest::newRow("wide enough keeps its size") << QSize(800, 400) << QSize(800, 400);
        QTest::newRow("larger than the screen") << QSize(3000, 800) << QSize(1920, 800);
        QTest::newRow("no size") << QSize(0, 300) << QSize();
    }

    void fullSize()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, window);
        QCOMPARE(fullSizeWindowSize(picture, QSize(1920, 1040)), window);
    }

    void downloads()
    {
        TestWebServer server;
        QVERIFY(server.listen());
        server.setRoute("/slow", [] { WebRoute r = WebRoute::page("old", "image/jpeg"); r.delayMs = 3000; return r; }());
        server.setPage("/img", "picture bytes", "image/jpeg");
        server.setPage("/gone", "no", "text/html", 404);
        server.setRoute("/stalled", [] { WebRoute r = WebRoute::page("late"); r.delayMs = 60000; return r; }());

        ImageDownloads downloads;
        downloads.setTimeLimit(1500);
        QSignalSpy ready(&downloads, &ImageDownloads::PictureReady);
        QSignalSpy missing(&downloads, &ImageDownloads::NoImage);
        QStringList pendingWhileReady;
        connect(&downloads, &ImageDownloads::PictureReady, this,
                [&](const QString &key) { pendingWhileReady << (downloads.isPending(key) ? key : QString()); });

        // The same key again: the older download is cancelled and raises nothing.
        downloads.DownloadFile(server.baseUrl() + "/slow", "0-");
        QTRY_COMPARE_WITH_TIMEOUT(server.requestCount("/slow"), 1, 5000);
        downloads.DownloadFile(server.baseUrl() + "/img", "0-");
        downloads.DownloadFile(server.baseUrl() + "/gone", "1-");
        downloads.DownloadFile(server.baseUrl() + "/stalled", "2-");
        downloads.DownloadFile("file:///etc/passwd", "3-");
        QTRY_COMPARE_WITH_TIMEOUT(missing.size() + ready.size(), 4, 10000);
        QCOMPARE(ready.size(), 1);
        QCOMPARE(ready.at(0).at(1).toByteArray(), QByteArray("picture bytes"));
        QCOMPARE(pendingWhileReady, QStringList{"0-"});
        QStringList failed;
        for (const auto &event : missing)
            failed << event.at(0).toString();
        failed.sort();
        QCOMPARE(failed, (QStringList{"1-", "2-", "3-"}));
        QVERIFY(!downloads.isPending("0-") && !downloads.isPending("2-"));
        QCOMPARE(downloads.downloadsUnderWay(), 0);
    }
};

QTEST_GUILESS_MAIN(TestLastImages)
#include "tst_lastimages.moc"
