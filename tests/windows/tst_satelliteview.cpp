// The web map: its addresses, and the satellite view under X with the embedded browser on a
// page of the local server: caption, capture, save, paste to a stand-in "EasyPal" window, and
// a browser that keeps failing.

#include "support/BrowserTestMain.h"
#include "support/TestWebServer.h"
#include "ui/MessageBox.h"
#include "windows/SatelliteView.h"
#include "windows/WebMapEntry.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebEngineView>
#include <QtTest>


using namespace torvane;

namespace {

// A window of another program, as far as the view can tell: it only counts its F7 keys.
class StandIn : public QWidget {
public:
    int f7 = 0;

protected:
    void keyPressEvent(QKeyEvent *event) override { f7 += event->key() == Qt::Key_F7; }
};

}  // namespace

class TestSatelliteView : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    TestWebServer m_server;
    ProgramValues m_values;
    QStringList m_prompts;
    ScopedMessageHook m_hook{[this](const MessageRequest &box) {
        m_prompts << box.prompt;
        return 1;
    }};

    SatelliteView *openOnPage()
    {
        auto *view = SatelliteView::open(m_values, "W1AW*" + m_server.baseUrl() + "/maps/place/W1AW");
        QSignalSpy loaded(view, &SatelliteView::pageLoaded);
        if (!loaded.wait(30000) || !loaded.at(0).at(0).toBool())
            return nullptr;
        return view;
    }

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != "xcb")
            QSKIP("needs an X display (test.sh runs the tests under Xvfb)");
        QVERIFY(m_server.listen());
        m_server.setPage("/maps/place/W1AW", "<html><body style='margin:0;background:#20a060'></body></html>");
        m_values.DataFolder = m_home.path();
        m_values.LanguageText = QStringList(73);
        m_values.LanguageText[50] = "Satellite view of ***";
    }

    void addresses_data()
    {
        QTest::addColumn<QString>("built");
        QTest::addColumn<QString>("expected");
        const QString host = "https://maps.example";
        QTest::newRow("position, decimal commas")
            << webMapByPosition(host, "41,7", "-72,6")
            << "https://maps.example/maps/place/41.7+-72.6/@41.7,-72.6,19z/data=!3m1!1e3";
        QTest::newRow("address keeps its blanks")
            << webMapByAddress(host, "225 Main St", "Newington", "USA")
            << "https://maps.example/maps/place/225 Main St+Newington+USA/@225 Main St+Newington+USA,19z/data=!3m1!1e3";
        QTest::newRow("title and address") << splitViewerAddress("W1AW*https://m/x").title + "|" + splitViewerAddress("W1AW*https://m/x").address
                                           << "W1AW|https://m/x";
        QTest::newRow("no star: no title") << splitViewerAddress("https://m/x").title + "|" + splitViewerAddress("https://m/x").address
                                           << "|https://m/x";
    }

    void addresses()
    {
        QFETCH(QString, built);
        QFETCH(QString, expected);
        QCOMPARE(built, expected);
    }

    void entryKeepsWhatWasTyped()
    {
        QStringList entries;
        QStringList opened;
        auto *entry = new WebMapEntry(m_values, entries, "https://maps.example", [&](const QString &a) { opened << a; });
        entry->txtLat->setText("41,7");
        entry->cmdAdd->click();  // no address: nothing
        QVERIFY(opened.isEmpty());
        entry->txtLon->setText("-72,6");
        entry->cmdLat->click();
        QCOMPARE(opened, QStringList{webMapByPosition("https://maps.example", "41.7", "-72.6")});
        QCOMPARE(entries, (QStringList{"", "", "", "41,7", "-72,6"}));
    }

    void showsCapturesAndSaves()
    {
        QPointer<SatelliteView> view = openOnPage();
        QVERIFY(view);
        QCOMPARE(view->windowTitle(), QString("Torvane   Satellite view of W1AW"));
        QImage picture;
        QTRY_VERIFY_WITH_TIMEOUT((picture = view->capture()).pixelColor(picture.rect().center()) == QColor("#20a060"), 10000);
        QCOMPARE(picture.size(), view->browser()->size() * view->devicePixelRatioF());

        QString asked;
        view->askSaveFileName = [&](QWidget *, const QString &start, const std::function<void(const QString &)> &chosen) {
            asked = start;
            chosen(m_home.filePath("copy.bmp"));
        };
        view->savePicture();
        QCOMPARE(asked, m_home.filePath("Map.bmp"));
        for (const QString &file : {m_home.filePath("Map.bmp"), m_home.filePath("copy.bmp")})
            QCOMPARE(QImage(file, "BMP").size(), picture.size());

        // Paste: nothing anywhere without EasyPal; F7 to EasyPal's window when it is there.
        m_prompts.clear();
        view->pastePicture();
        QVERIFY(m_prompts.value(0).contains("EasyPal is not running"));
        StandIn easyPal;
        easyPal.setWindowTitle("EasyPal");
        easyPal.show();
        QVERIFY(QTest::qWaitForWindowExposed(&easyPal));
        QSignalSpy pasted(view, &SatelliteView::pasted);
        view->pastePicture();
        QVERIFY(pasted.wait(5000));
        QTRY_COMPARE_WITH_TIMEOUT(easyPal.f7, 1, 5000);
        view->close();
    }

    void failingBrowserClosesTheView()
    {
        // Nothing listens on port 1: every load fails.
        QPointer<SatelliteView> view = SatelliteView::open(m_values, "X*http://127.0.0.1:1/maps");
        m_prompts.clear();
        QTRY_VERIFY_WITH_TIMEOUT(!view, 60000);
        QCOMPARE(m_prompts.size(), 2);  // before the last try, and as it gives up
        QVERIFY(m_prompts.at(1).contains("closes the view"));

        // Real boxes: the last replaces the first rather than stacking on it.
        ScopedMessageHook realBoxes{nullptr};
        view = SatelliteView::open(m_values, "X*http://127.0.0.1:1/maps");
        QTRY_VERIFY_WITH_TIMEOUT(!view, 60000);
        QList<QMessageBox *> shown;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
                shown << box;
        }
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown.at(0)->text().contains("closes the view"));
        shown.at(0)->close();
    }
};

TORVANE_BROWSER_TEST_MAIN(TestSatelliteView)

#include "tst_satelliteview.moc"
