// The last-images viewer offscreen against a local server: every slot's outcome (still picture
// with a sender, animated picture, missing, not a picture), the wheel, the info panel setting,
// the main window disabled while it is open, and the full-size window.

#include "sites/ImageDownloads.h"
#include "support/TestWebServer.h"
#include "windows/FullSizeWindow.h"
#include "windows/LastImagesWindow.h"
#include "windows/ThumbnailCell.h"

#include <QBuffer>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

using namespace torvane;

namespace {

QByteArray encoded(const QSize &size, const char *format)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return buffer.data();
}

// Two frames of one pixel, black then white, repeated for ever.
const QByteArray kAnimatedGif = QByteArray::fromHex(
    "474946383961010001008000000000" "00ffffff"
    "21ff0b4e45545343415045322e300301000000"
    "21f90400" "0a000000" "2c000000000100010000" "0202440100"
    "21f90400" "0a000000" "2c000000000100010000" "02024c0100" "3b");
// The same two frames on a canvas of 2000 x 2000 pixels.
const QByteArray kLargeCanvasGif = QByteArray("GIF89a\xd0\x07\xd0\x07", 10) + kAnimatedGif.mid(10);

void turnWheel(QWidget *over, int delta)
{
    const QPointF at(over->width() / 2.0, over->height() / 2.0);
    QWheelEvent wheel(at, over->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(over, &wheel);
}

}  // namespace

class TestLastImagesViewer : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    TestWebServer m_server;
    ProgramValues m_values;
    QWidget m_main;
    const QByteArray m_still = encoded(QSize(350, 250), "JPEG");

    LastImagesWindow *openViewer()
    {
        auto *viewer = LastImagesWindow::open(m_values, &m_main);
        for (int slot = 0; slot < 30; ++slot)
            [&] { QTRY_VERIFY_WITH_TIMEOUT(!viewer->cell(slot)->downloading(), 10000); }();
        return viewer;
    }

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.filePath("settings"));
        QVERIFY(m_server.listen());
        m_server.setPage("/rx/image1", m_still + "***de K1ABC JT65 x*12:34", "image/jpeg");
        m_server.setPage("/rx/image2", kAnimatedGif, "image/gif");
        m_server.setPage("/rx/image3", "gone", "text/html", 404);
        m_server.setPage("/rx/image4", "<html>not a picture</html>", "image/jpeg");
        m_server.setPage("/rx/image5", kLargeCanvasGif, "image/gif");
        for (int n = 6; n <= 30; ++n)
            m_server.setPage(QString("/rx/image%1").arg(n), encoded(QSize(64, 48), "PNG"), "image/png");
        m_values.DataFolder = m_home.filePath("data");
        m_values.CurrentCall = "G4XYZ";
        m_values.DsstvSiteUrl = m_server.baseUrl() + "/rx/image1";
        m_values.DsstvSiteCount = 42;
        m_main.show();
    }

    void slotsAndPanel()
    {
        LastImagesWindow *viewer = openViewer();
        QVERIFY(!m_main.isEnabled());
        QCOMPARE(viewer->windowTitle().trimmed(), QString("Images 1-30 on G4XYZ's site  --- Use Scroll Wheel ---"));

        QFile stored(m_values.DataFolder + "/images/Last15/0");
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QCOMPARE(stored.readAll(), m_still);
        QCOMPARE(viewer->cell(0)->lblFrom15->text(), QString("From K1ABC"));
        QCOMPARE(viewer->cell(0)->pictureSize(), QSize(350, 250));
        QVERIFY(!viewer->cell(0)->animated() && viewer->cell(1)->animated());
        QCOMPARE(viewer->cell(2)->errorText(), QString("not found"));
        QCOMPARE(viewer->cell(3)->errorText(), QString("corrupt"));
        QVERIFY(!viewer->cell(4)->animated());  // too large a canvas to play
        QCOMPARE(viewer->cell(4)->pictureSize(), QSize(2000, 2000));
        QCOMPARE(viewer->cell(29)->pictureSize(), QSize(64, 48));

        // The info panel on first use; a wheel turned over it scrolls nothing.
        QVERIFY(viewer->Frame1->isVisible());
        QVERIFY(viewer->Label1->text().contains("G4XYZ is one of about 42 stations"));
        turnWheel(viewer->Frame1, -120);
        QCOMPARE(viewer->stripTop(), 0.0);
        turnWheel(viewer->cell(7)->img15, -120);
        turnWheel(viewer->pic15, -60);
        turnWheel(viewer->pic15, -60);
        QCOMPARE(viewer->stripTop(), -119.0);
        turnWheel(viewer->pic15, 120);
        QCOMPARE(viewer->stripTop(), -59.5);

        viewer->chkLoadTipsAtStartup->setChecked(true);
        viewer->close();
        QVERIFY(m_main.isEnabled());
        QCOMPARE(QSettings("torvane", "torvane").value(LastImagesWindow::kInfoSettingKey).toString(), QString("True"));

        viewer = openViewer();
        QVERIFY(viewer->Frame1->isHidden());
        viewer->close();  // kept away at the next opening too
        viewer = openViewer();
        QVERIFY(viewer->Frame1->isHidden());
        viewer->close();
    }

    void fullSize_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("animated");
        QTest::newRow("still 350 x 250") << 0 << QSize(700, 500) << false;
        QTest::newRow("animated 1 x 1") << 1 << QSize(500, 500) << true;
    }

    void fullSize()
    {
        QFETCH(int, slot);
        QFETCH(QSize, size);
        QFETCH(bool, animated);
        LastImagesWindow *viewer = openViewer();
        QTest::mousePress(viewer->cell(slot), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(viewer->fullSizeWindow(), 5000);
        FullSizeWindow *full = viewer->fullSizeWindow();
        QCOMPARE(full->size(), size);
        QCOMPARE(full->AniGIF1->isVisible(), animated);
        QCOMPARE(full->Image1->isVisible(), !animated);
        QTest::keyClick(full, Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(!viewer->fullSizeWindow(), 5000);
        viewer->close();
    }

    void nothingOpensWhileDownloadingOrCorrupt()
    {
        m_server.setDelay("/rx/image5", 20000);
        auto *viewer = LastImagesWindow::open(m_values, &m_main);
        QTRY_COMPARE_WITH_TIMEOUT(viewer->cell(3)->errorText(), QString("corrupt"), 10000);
        QVERIFY(viewer->cell(4)->downloading());
        // All bytes in, the picture not yet written: still nothing to open.
        viewer->cell(4)->showProgress(100, 100);
        QVERIFY(viewer->cell(4)->downloading());
        QTest::mousePress(viewer->cell(4), Qt::LeftButton);
        QTest::mousePress(viewer->cell(3), Qt::LeftButton);
        QCoreApplication::processEvents();  // where the window would be built
        QVERIFY(!viewer->fullSizeWindow());
        viewer->close();
        QCOMPARE(viewer->ucLast15->downloadsUnderWay(), 0);
        m_server.setDelay("/rx/image5", 0);
    }
};

QTEST_MAIN(TestLastImagesViewer)
#include "tst_lastimagesviewer.moc"
