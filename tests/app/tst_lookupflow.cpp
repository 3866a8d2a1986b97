// The main window's lookup workflow against the local test server: what reaches the server,
// what the panel shows, and what is stored.

#include "app/MainWindow.h"
#include "calldb/CallDatabase.h"
#include "lookup/LookupControl.h"
#include "support/TestWebServer.h"
#include "ui/Beep.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace torvane;

namespace {

// The site page is also the maker's home page: it announces a newer version.
const QByteArray kSite = "<html><body><a href=\"/\">eHam.net</a> - Ham Radio Community"
                         "<p>Torvane ver 9.99</p></body></html>";

QByteArray ehamPage(const QString &call, const QString &name, const QString &add2,
                    const QString &lat, const QString &lon)
{
    QString page = QStringLiteral(
        "<html><body><div><a href=\"/\">eHam.net</a></div><h3>Search Results</h3>"
        "<table><tr><td><b>%1</b></td></tr><tr><td>%2</td></tr><tr><td>225 MAIN ST</td></tr>"
        "<tr><td>%3</td></tr><tr><td>United States</td></tr></table>"
        "<table><tr><td>License Class</td><td>Extra</td></tr>"
        "<tr><td>Country</td><td>United States</td></tr>")
                       .arg(call, name, add2);
    if (!lat.isEmpty())
        page += QStringLiteral("<tr><td>Latitude</td><td>%1</td></tr><tr><td>Longitude</td><td>%2</td></tr>")
                    .arg(lat, lon);
    page += QStringLiteral("</table><div>Privacy Policy</div></body></html>");
    return page.toUtf8();
}

QByteArray jpeg(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 100);
    return bytes;
}

}  // namespace

class TestLookupFlow : public QObject {
    Q_OBJECT
    QTemporaryDir m_home;
    TestWebServer m_server;
    QList<int> m_beeps;
    QStringList m_boxes;
    int m_storedWhenAsked = -1;  ///< records stored when the update offer was shown
    std::unique_ptr<ScopedMessageHook> m_hook;

    QString folder() const { return m_home.filePath(QStringLiteral("Torvane")); }

    /// A fresh data folder with the shipped languages and zip table, and hosts on the server.
    void prepare(bool webMode, int plainZero = 1)
    {
        QDir(folder()).removeRecursively();
        QDir().mkpath(folder() + QStringLiteral("/Languages"));
        const QString data = QStringLiteral(TORVANE_SOURCE_DIR "/data");
        for (const QString &f : QDir(data + QStringLiteral("/Languages")).entryList(QDir::Files))
            QFile::copy(data + QStringLiteral("/Languages/") + f, folder() + QStringLiteral("/Languages/") + f);
        QFile::copy(data + QStringLiteral("/ZIPS.RAN"), folder() + QStringLiteral("/ZIPS.RAN"));
        const QString base = m_server.baseUrl();
        QFile hosts(folder() + QStringLiteral("/Hosts.cfg"));
        hosts.open(QIODevice::WriteOnly);
        for (const char *name : {"eham", "qrz", "qrzcq", "callook", "hamcall", "qrzpictures", "geocoder", "maker"})
            hosts.write(QByteArray(name) + '=' + base.toUtf8() + "\r\n");
        hosts.close();
        QFile cfg(folder() + QStringLiteral("/Torvane.cfg"));
        cfg.open(QIODevice::WriteOnly);
        cfg.write("52.1\r\n5.1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n5200\r\n0\r\nPA3XYZ\r\n"
                  + QByteArray::number(plainZero) + "\r\n" + (webMode ? "1" : "0") + "\r\n");
        m_server.clearRequests();
    }

    /// Start-up, and the connection's answer and Timer3 run out before the test types.
    void start(MainWindow &form)
    {
        form.startUp();
        QTRY_VERIFY(form.lblStatus->text() != form.item(33));
        QTRY_VERIFY(!form.Timer3->isActive());
    }

    void type(MainWindow &form, const QString &keys)
    {
        form.cboCall->lineEdit()->clear();
        QTest::keyClicks(form.cboCall->lineEdit(), keys);
    }

    /// Runs a lookup and waits until its outcome reached the panel.
    void lookup(MainWindow &form, const QString &keys, bool waitForPicture = false)
    {
        type(form, keys);
        QSignalSpy settled(&form, &MainWindow::lookupSettled);
        QTest::keyClick(form.cboCall->lineEdit(), Qt::Key_Return);
        QVERIFY(settled.count() > 0 || settled.wait(5000));
        if (waitForPicture)
            QTRY_VERIFY_WITH_TIMEOUT(!form.Image1->pixmap().isNull(), 5000);
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_DATA_HOME", m_home.path().toLocal8Bit());
        QVERIFY(m_server.listen());
        setBeepHook([this](int frequency, int) { m_beeps << frequency; });
        m_hook = std::make_unique<ScopedMessageHook>([this](const MessageRequest &r) {
            m_boxes << r.prompt;
            if (r.prompt.contains(QStringLiteral("Torvane 9.99")))
                m_storedWhenAsked = CallDatabase(folder()).CountRecords();
            return 7;
        });
        m_server.setPage(QStringLiteral("/"), kSite);
        m_server.setPage(QStringLiteral("/callbook/W1AW"),
                         ehamPage("W1AW", "HIRAM PERCY MAXIM", "NEWINGTON, CT 06111", "41.714775", "-72.727260"));
        m_server.setRoute(QStringLiteral("/w/w1aw/w1aw.jpg"), WebRoute::page(jpeg(200, 100), "image/jpeg"));
        m_server.setPage(QStringLiteral("/callbook/K0ABC"),
                         ehamPage("K0ABC", "JANE DOE", "DENVER, CO 80202", "39.75", "-104.99"));
        m_server.setPage(QStringLiteral("/callbook/N1ZIP"),
                         ehamPage("N1ZIP", "ZIP ONLY", "NEWINGTON, CT 06111", QString(), QString()));
        m_server.setRoute(QStringLiteral("/c/k0abc/k0abc.jpg"), WebRoute::page("not a picture", "image/jpeg"));
    }

    void init()
    {
        m_beeps.clear();
        m_boxes.clear();
        m_storedWhenAsked = -1;
    }

    void webLookupFillsThePanelAndStoresTheStation()
    {
        prepare(true);
        // The site list of the first result is slow to come: nothing waits for it.
        WebRoute slowList = WebRoute::page("/////5");
        slowList.delayMs = 3000;
        m_server.setRoute(QStringLiteral("/updates/updates.txt"), slowList);
        ProgramValues values;
        MainWindow form(values);
        start(form);
        QCOMPARE(form.lblStatus->text(), QStringLiteral("eHam.net  (Logged in)").replace(
                                             QStringLiteral("Logged in"), form.item(66)));
        lookup(form, QStringLiteral("w1aw"), true);
        QCOMPARE(form.cboCall->currentText(), QStringLiteral("W1AW"));
        QCOMPARE(form.lblName->text(), QStringLiteral("HIRAM PERCY MAXIM"));
        QCOMPARE(form.lblAdd2->text(), QStringLiteral("NEWINGTON, CT 06111"));
        QVERIFY(form.lblGrid->text().endsWith(QStringLiteral("FN31pr")));
        QVERIFY(form.lblDx->text().startsWith(QStringLiteral("Dx: 5,7")));
        QVERIFY(m_beeps.contains(400));

        CallDatabase db(folder());
        QCOMPARE(db.FindCall(QStringLiteral("W1AW")), 1);
        QCOMPARE(db.CurrentRecord.trimmed(CallRecord::Name), QStringLiteral("HIRAM PERCY MAXIM"));
        // The update offer comes after the station was stored, and holds nothing up.
        QTRY_COMPARE(m_storedWhenAsked, 1);
        QCOMPARE(db.CurrentRecord.trimmed(CallRecord::Lat), QStringLiteral("41.714775"));
        QVERIFY(QFile::exists(folder() + QStringLiteral("/qrzimages/W1AW.jpg")));
        QVERIFY(QFile::exists(folder() + QStringLiteral("/Ham.bmp")));
        // A 200 x 100 picture fills the box's width.
        QVERIFY(qAbs(form.pictureRect().width() - 87.98) < 1e-6);
        QCOMPARE(form.values().CallHistory.size(), 0);  // persisted only at close
        QCOMPARE(form.cboCall->count(), 1);
        // The first lookup of the run asks the maker's site once; the next does not.
        QCOMPARE(m_server.requestCount(QStringLiteral("/updates/updates.txt")), 1);
        lookup(form, QStringLiteral("w1aw"), true);
        QCOMPARE(m_server.requestCount(QStringLiteral("/updates/updates.txt")), 1);
        QCOMPARE(db.CountRecords(), 1);
    }

    void slashedZeroIsLookedUpAsZero()
    {
        prepare(true, 0);
        ProgramValues values;
        MainWindow form(values);
        start(form);
        type(form, QStringLiteral("k0abc"));
        QCOMPARE(form.cboCall->currentText(), QStringLiteral("K\u00D8ABC"));
        lookup(form, QStringLiteral("k0abc"));
        QCOMPARE(m_server.requestCount(QStringLiteral("/callbook/K0ABC")), 1);
        QTRY_COMPARE(m_server.requestCount(QStringLiteral("/c/k0abc/k0abc.jpg")), 1);
        // A picture that is not an image is cached but not shown, and no Ham.bmp is written.
        QTRY_VERIFY(QFile::exists(folder() + QStringLiteral("/qrzimages/K0ABC.jpg")));
        QVERIFY(form.Image1->pixmap().isNull());
        QVERIFY(!QFile::exists(folder() + QStringLiteral("/Ham.bmp")));
        QCOMPARE(form.cboCall->itemText(0), QStringLiteral("K\u00D8ABC"));
    }

    void specialAndEmptyCallsAskNothing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("NOCALL") << "nocall";
        QTest::newRow("BiteMe") << "BiteMe";
        QTest::newRow("blanks") << "   ";
    }
    void specialAndEmptyCallsAskNothing()
    {
        QFETCH(QString, typed);
        prepare(true);
        ProgramValues values;
        MainWindow form(values);
        start(form);
        m_server.clearRequests();
        lookup(form, typed);
        QCOMPARE(m_server.requests().size(), 0);
        QCOMPARE(form.cboCall->count(), 0);
    }

    void unknownCallShowsTheTimeoutText()
    {
        prepare(true);
        m_server.setPage(QStringLiteral("/callbook/G4NON"), "<html><body>eHam.net G4NON Search Results</body></html>");
        ProgramValues values;
        MainWindow form(values);
        start(form);
        lookup(form, QStringLiteral("g4non"));
        QCOMPARE(form.lblNot->text(), QStringLiteral("G4NON") + form.item(38));
        QCOMPARE(values.LookupFailed, int16_t(-1));
        QCOMPARE(CallDatabase(folder()).CountRecords(), 0);
    }

    void zipCodeGivesThePositionWhenTheGeocoderFindsNothing()
    {
        prepare(true);
        ProgramValues values;
        MainWindow form(values);
        start(form);
        lookup(form, QStringLiteral("n1zip"));
        QVERIFY(m_server.requestCount(QStringLiteral("/maps/api/geocode/xml")) == 1);
        QVERIFY2(qAbs(values.StationLatitude - 41.69) < 0.1, qPrintable(QString::number(values.StationLatitude)));
        QVERIFY(qAbs(values.StationLongitude + 72.73) < 0.1);
        QVERIFY(form.lblGrid->text().endsWith(QStringLiteral("FN31")) || form.lblGrid->text().contains(QStringLiteral("FN31")));
        // The stored record keeps the page's texts.
        CallDatabase db(folder());
        QVERIFY(db.FindCall(QStringLiteral("N1ZIP")) > 0);
        QCOMPARE(db.CurrentRecord.trimmed(CallRecord::Lat), QStringLiteral("0"));
    }

    // A lookup typed while another waits for its geocoder: each station is stored with its own
    // position, and the panel shows the newer one.
    void lookupWhileAnotherWaitsKeepsEachStationsPosition()
    {
        prepare(true);
        const QByteArray xml = "<GeocodeResponse><status>OK</status><result><geometry><location>"
                               "<lat>41.71</lat><lng>-72.72</lng></location></geometry></result></GeocodeResponse>";
        WebRoute slowGeocoder = WebRoute::page(xml, "application/xml");
        slowGeocoder.delayMs = 500;
        m_server.setRoute(QStringLiteral("/maps/api/geocode/xml"), slowGeocoder);
        ProgramValues values;
        MainWindow form(values);
        start(form);
        type(form, QStringLiteral("n1zip"));
        QTest::keyClick(form.cboCall->lineEdit(), Qt::Key_Return);
        QTRY_COMPARE(m_server.requestCount(QStringLiteral("/maps/api/geocode/xml")), 1);
        lookup(form, QStringLiteral("k0abc"));
        QCOMPARE(form.lblName->text(), QStringLiteral("JANE DOE"));
        CallDatabase db(folder());
        QTRY_VERIFY(db.FindCall(QStringLiteral("N1ZIP")) > 0);
        QCOMPARE(db.CurrentRecord.trimmed(CallRecord::Lat), QStringLiteral("41.71*"));
        QVERIFY(db.FindCall(QStringLiteral("K0ABC")) > 0);
        QCOMPARE(db.CurrentRecord.trimmed(CallRecord::Lat), QStringLiteral("39.75"));
        QCOMPARE(form.lblName->text(), QStringLiteral("JANE DOE"));
        QCOMPARE(values.StationLatitude, 39.75);
    }

    void localModeUsesTheStoredRecord()
    {
        prepare(false);
        {
            CallDatabase db(folder());
            db.FindCall(QStringLiteral("DL1XYZ"));
            db.ClearRecord();
            db.CurrentRecord.setText(CallRecord::Call, u"DL1XYZ");
            db.CurrentRecord.setText(CallRecord::Name, u"KARL MUSTER");
            db.CurrentRecord.setText(CallRecord::Lat, u"52.52");
            db.CurrentRecord.setText(CallRecord::Lon, u"13.40");
            db.CurrentRecord.setText(CallRecord::YearBorn, u"1961");
            QCOMPARE(db.AppendRecord(), DbStatus::Ok);
        }
        ProgramValues values;
        MainWindow form(values);
        start(form);
        QVERIFY(form.optFrom[0]->isChecked());
        m_server.clearRequests();
        lookup(form, QStringLiteral("dl1xyz/p"));
        QCOMPARE(m_server.requestCount(QStringLiteral("/callbook/DL1XYZ")), 0);
        QCOMPARE(form.lblName->text(), QStringLiteral("KARL MUSTER"));
        QVERIFY(form.lblDOB->text().contains(QStringLiteral("1961")));
        QVERIFY(form.optFrom[0]->font().underline());
        // A call missing from the database goes to the web.
        lookup(form, QStringLiteral("w1aw"));
        QCOMPARE(m_server.requestCount(QStringLiteral("/callbook/W1AW")), 1);
    }

    void cachedPictureRule_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("fetched");
        QTest::newRow("2000 bytes is a placeholder") << 2000 << true;
        QTest::newRow("2001 bytes is shown") << 2001 << false;
    }
    void cachedPictureRule()
    {
        QFETCH(int, size);
        QFETCH(bool, fetched);
        prepare(false);
        {
            CallDatabase db(folder());
            db.FindCall(QStringLiteral("W1AW"));
            db.ClearRecord();
            db.CurrentRecord.setText(CallRecord::Call, u"W1AW");
            db.CurrentRecord.setText(CallRecord::Name, u"HIRAM");
            db.CurrentRecord.setText(CallRecord::Lat, u"41.7");
            db.CurrentRecord.setText(CallRecord::Lon, u"-72.7");
            db.AppendRecord();
        }
        QByteArray picture = jpeg(400, 300);
        picture.resize(size);  // a JPEG cut short still decodes most of its rows
        QDir().mkpath(folder() + QStringLiteral("/qrzimages"));
        QFile cached(folder() + QStringLiteral("/qrzimages/W1AW.jpg"));
        cached.open(QIODevice::WriteOnly);
        cached.write(picture);
        cached.close();
        ProgramValues values;
        MainWindow form(values);
        start(form);
        m_server.clearRequests();
        lookup(form, QStringLiteral("w1aw"));
        // The request, if any, was made before the result showed.
        QCOMPARE(form.lookUp->PendingRequests().contains(QStringLiteral("W1AW5"))
                     || m_server.requestCount(QStringLiteral("/w/w1aw/w1aw.jpg")) > 0,
                 fetched);
        QCOMPARE(m_server.requestCount(QStringLiteral("/callbook/W1AW")), 0);
    }

    void historyKeepsEightAndIsSavedAtClose()
    {
        prepare(false);
        ProgramValues values;
        {
            MainWindow form(values);
            start(form);
            for (int i = 1; i <= 9; ++i)
                lookup(form, QStringLiteral("nocall%1").arg(i));
            QCOMPARE(form.cboCall->count(), 8);
            QCOMPARE(form.cboCall->itemText(0), QStringLiteral("NOCALL9"));
            form.close();
        }
        QFile cfg(folder() + QStringLiteral("/Torvane.cfg"));
        QVERIFY(cfg.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = cfg.readAll().split('\n');
        QCOMPARE(lines.value(12), QByteArray("NOCALL9\r"));
        QCOMPARE(lines.value(19), QByteArray("NOCALL2\r"));
    }

    void f8PastesASpottedCall()
    {
        prepare(true);
        ProgramValues values;
        MainWindow form(values);
        start(form);
        QApplication::clipboard()->setText(QStringLiteral("DE W1AW 599 TU"));
        QSignalSpy settled(&form, &MainWindow::lookupSettled);
        QTest::keyClick(form.cboCall->lineEdit(), Qt::Key_F8);
        QVERIFY(settled.count() > 0 || settled.wait(5000));
        QCOMPARE(form.cboCall->currentText(), QStringLiteral("W1AW"));
        QCOMPARE(form.lblName->text(), QStringLiteral("HIRAM PERCY MAXIM"));
        // A second F8 within three seconds is ignored.
        m_server.clearRequests();
        QTest::keyClick(form.cboCall->lineEdit(), Qt::Key_F8);
        QCOMPARE(m_server.requestCount(QStringLiteral("/callbook/W1AW")), 0);
    }

    void openMapWindowFollowsEachLookup()
    {
        prepare(true);
        QDir().mkpath(folder() + QStringLiteral("/Maps"));
        for (const char *name : {"Europe Map.jpg", "North America Map.jpg", "World Map.jpg"})
            QFile(folder() + QStringLiteral("/Maps/") + QString::fromLatin1(name)).open(QIODevice::WriteOnly);
        ProgramValues values;
        MainWindow form(values);
        start(form);
        lookup(form, QStringLiteral("w1aw"));
        QVERIFY(!form.mapWindow());  // no map window until the operator opens one
        form.plotStationMap(true, false);
        QVERIFY(form.mapWindow());
        QCOMPARE(values.MapList.value(values.CurrentMapIndex), QStringLiteral("North America Map.jpg"));
        // A station in Europe moves the open window to the Europe map.
        m_server.setPage(QStringLiteral("/callbook/DL1ABC"),
                         ehamPage("DL1ABC", "KARL", "10115 BERLIN", "52.52", "13.40"));
        lookup(form, QStringLiteral("dl1abc"));
        QCOMPARE(values.MapList.value(values.CurrentMapIndex), QStringLiteral("Europe Map.jpg"));
        // With no map file for the station the operator is told, and the map stays.
        QFile::remove(folder() + QStringLiteral("/Maps/World Map.jpg"));
        values.MapList.removeAll(QStringLiteral("World Map.jpg"));
        m_server.setPage(QStringLiteral("/callbook/ZS1ABC"),
                         ehamPage("ZS1ABC", "PIET", "CAPE TOWN", "-33.9", "18.4"));
        lookup(form, QStringLiteral("zs1abc"));
        QVERIFY(m_boxes.contains(QStringLiteral("World Map not found")));
        QCOMPARE(values.MapList.value(values.CurrentMapIndex), QStringLiteral("Europe Map.jpg"));
    }

    void unwritableDatabaseIsToldOnceAndTheLookupGoesOn()
    {
        prepare(true);
        // A folder where the database file should be: it can be neither opened nor replaced.
        QDir().mkpath(folder() + QStringLiteral("/CallData.db"));
        ProgramValues values;
        MainWindow form(values);
        start(form);
        lookup(form, QStringLiteral("w1aw"));
        QCOMPARE(form.lblName->text(), QStringLiteral("HIRAM PERCY MAXIM"));
        lookup(form, QStringLiteral("k0abc"));
        QCOMPARE(form.lblName->text(), QStringLiteral("JANE DOE"));
        int told = 0;
        for (const QString &box : std::as_const(m_boxes))
            told += box.contains(QStringLiteral("local database")) ? 1 : 0;
        QCOMPARE(told, 1);
    }
};

QTEST_MAIN(TestLookupFlow)
#include "tst_lookupflow.moc"
