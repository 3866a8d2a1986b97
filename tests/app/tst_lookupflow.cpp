// The main window's lookup workflow against the local test server: what reaches the server,
// what the panel shows, and what is stored.

#include "app/MainWindow.h"
#include "calldb/CallDatabase.h"
#include "lookup/LookupControl.h"
#include "support/AppFixture.h"
#include "ui/Beep.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>

using namespace torvane;

namespace {

// The site page is also the maker's home page: it announces a newer version.
const QByteArray kSite = "<html><body><a href=\"/\">eHam.net</a> - Ham Radio Community"
                         "<p>Torvane ver 9.99</p></body></html>";

QByteArray ehamPage(const QString &call, const QString &name, const QString &add2, const QString &lat = QString(),
                    const QString &lon = QString())
{
    const QString position = QStringLiteral("<tr><td>Latitude</td><td>%1</td></tr><tr><td>Longitude</td><td>%2</td></tr>");
    return QStringLiteral("<html><body><div><a href=\"/\">eHam.net</a></div><h3>Search Results</h3><table><tr><td><b>%1"
                          "</b></td></tr><tr><td>%2</td></tr><tr><td>225 MAIN ST</td></tr><tr><td>%3</td></tr><tr><td>"
                          "United States</td></tr></table><table><tr><td>License Class</td><td>Extra</td></tr><tr><td>Country</td><td>"
                          "United States</td></tr>%4"
                          "</table><div>Privacy Policy</div></body></html>")
        .arg(call, name, add2, lat.isEmpty() ? QString() : position.arg(lat, lon))
        .toUtf8();
}

const QByteArray kQrzCqPage = "<html><body><div>Logged in as AA1XX | <b>QRZCQ.com</b></div>"
                              "<div>HIRAM PERCY MAXIM</div><div>225 MAIN ST</div>"
                              "<div>NEWINGTON, CT 06111</div><div>USA</div><table>"
                              "<tr><td>Latitude</td><td>41.714775</td></tr>"
                              "<tr><td>Longitude</td><td>-72.727260</td></tr></table>"
                              "<div>W1AW</div><div>Copyright QRZCQ.com</div></body></html>";

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
    AppFixture m_app;
    QList<int> m_beeps;
    QStringList m_boxes;
    int m_storedWhenAsked = -1;  ///< records stored when the update offer was shown
    std::unique_ptr<ScopedMessageHook> m_hook;

    int requests(const QString &path) const { return m_app.server.requestCount(path); }

    /// A station in the local database, as an earlier lookup left it.
    void storeRecord(const QString &call, const QString &name, const QString &add1, const QString &lat,
                     const QString &lon)
    {
        CallDatabase db(m_app.folder());
        db.FindCall(call);
        db.ClearRecord();
        const QStringList texts = {call, name, add1, QString(), QString(), lat, lon, QString(), QStringLiteral("1961")};
        for (int field = CallRecord::Call; field <= CallRecord::YearBorn; ++field)
            db.CurrentRecord.setText(CallRecord::Field(field), texts.at(field));
        QCOMPARE(db.AppendRecord(), DbStatus::Ok);
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
        QVERIFY(m_app.begin());
        setBeepHook([this](int frequency, int) { m_beeps << frequency; });
        m_hook = std::make_unique<ScopedMessageHook>([this](const MessageRequest &r) {
            m_boxes << r.prompt;
            if (r.prompt.contains(QStringLiteral("Torvane 9.99")))
                m_storedWhenAsked = CallDatabase(m_app.folder()).CountRecords();
            return 7;
        });
        TestWebServer &s = m_app.server;
        s.setPage(QStringLiteral("/"), kSite);
        s.setPage(QStringLiteral("/src0/"), kSite);
        s.setPage(QStringLiteral("/src0/callbook/W1AW"),
                  ehamPage("W1AW", "HIRAM PERCY MAXIM", "NEWINGTON, CT 06111", "41.714775", "-72.727260"));
        s.setRoute(QStringLiteral("/w/w1aw/w1aw.jpg"), WebRoute::page(jpeg(200, 100), "image/jpeg"));
        s.setPage(QStringLiteral("/src0/callbook/K0ABC"), ehamPage("K0ABC", "JANE DOE", "DENVER, CO 80202", "39.75", "-104.99"));
        s.setPage(QStringLiteral("/src0/callbook/N1ZIP"),
                  ehamPage("N1ZIP", "ZIP ONLY", "NEWINGTON, CT 06111"));
        s.setRoute(QStringLiteral("/c/k0abc/k0abc.jpg"), WebRoute::page("not a picture", "image/jpeg"));
        s.setPage(QStringLiteral("/src2/"), kQrzCqPage);
        s.setPage(QStringLiteral("/src2/call/W1AW"), kQrzCqPage);
    }

    void init()
    {
        m_beeps.clear();
        m_boxes.clear();
        m_storedWhenAsked = -1;
    }

    void webLookupFillsThePanelAndStoresTheStation()
    {
        m_app.prepare();
        // The site list of the first result is slow to come: nothing waits for it.
        WebRoute slowList = WebRoute::page("/////5");
        slowList.delayMs = 3000;
        m_app.server.setRoute(QStringLiteral("/updates/updates.txt"), slowList);
        ProgramValues values;
        MainWindow form(values);
        QVERIFY(AppFixture::start(form));
        lookup(form, QStringLiteral("w1aw"), true);
        QCOMPARE(form.lblName->text(), QStringLiteral("HIRAM PERCY MAXIM"));
        QVERIFY(form.lblGrid->text().endsWith(QStringLiteral("FN31pr")));
        QVERIFY(form.lblDx->text().startsWith(QStringLiteral("Dx: 5,7")));
        QVERIFY(m_beeps.contains(400));

        CallDatabase db(m_app.folder());
        QCOMPARE(db.FindCall(QStringLiteral("W1AW")), 1);
        QCOMPARE(db.CurrentRecord.trimmed(CallRecord::Lat), QStringLiteral("41.714775"));
        // The update offer comes after the station was stored, and holds nothing up.
        QTRY_COMPARE(m_storedWhenAsked, 1);
        QVERIFY(QFile::exists(m_app.path(QStringLiteral("qrzimages/W1AW.jpg"))));
        QVERIFY(QFile::exists(m_app.path(QStringLiteral("Ham.bmp"))));
        // The first lookup of the run asks the maker's site once; the next does not.
        QCOMPARE(requests(QStringLiteral("/updates/updates.txt")), 1);
        lookup(form, QStringLiteral("w1aw"), true);
        QCOMPARE(requests(QStringLiteral("/updates/updates.txt")), 1);
        QCOMPARE(db.CountRecords(), 1);
        // The call history reaches Torvane.cfg when the window closes.
        form.close();
        QCOMPARE(m_app.read(QStringLiteral("Torvane.cfg")).split('\n').mid(12),
                 (QList<QByteArray>{"W1AW\r", ""}));
    }

    void slashedZeroIsLookedUpAsZero()
    {
        m_app.prepare(AppFixture::config(0, true, 0));
        ProgramValues values;
        MainWindow form(values);
        QVERIFY(AppFixture::start(form));
        type(form, QStringLiteral("k0abc"));
        QCOMPARE(form.cboCall->currentText(), QStringLiteral("K\u00D8ABC"));
        lookup(form, QStringLiteral("k0abc"));
        QCOMPARE(requests(QStringLiteral("/src0/callbook/K0ABC")), 1);
        QTRY_COMPARE(requests(QStringLiteral("/c/k0abc/k0abc.jpg")), 1);
        // A picture that is not an image is cached but not shown, and no Ham.bmp is written.
        QTRY_VERIFY(QFile::exists(m_app.path(QStringLiteral("qrzimages/K0ABC.jpg"))));
        QVERIFY(form.Image1->pixmap().isNull());
        QVERIFY(!QFile::exists(m_app.path(QStringLiteral("Ham.bmp"))));
        QCOMPARE(form.cboCall->itemText(0), QStringLiteral("K\u00D8ABC"));
    }

    // Special and empty calls ask nothing and stay out of the history; an unknown call is asked
    // for and told, and nothing is stored.
    void callsWithoutAStation_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("asked");
        QTest::newRow("NOCALL") << "nocall" << false;
        QTest::newRow("blanks") << "   " << false;
        QTest::newRow("unknown call shows the timeout text") << "g4non" << true;
    }
    void callsWithoutAStation()
    {
        QFETCH(QString, typed);
        QFETCH(bool, asked);
        m_app.prepare();
        m_app.server.setPage(QStringLiteral("/src0/callbook/G4NON"), "<html><body>eHam.net G4NON Search Results</body></html>");
        ProgramValues values;
        MainWindow form(values);
        QVERIFY(AppFixture::start(form));
        m_app.server.clearRequests();
        lookup(form, typed);
        QCOMPARE(form.cboCall->count(), asked ? 1 : 0);
        QCOMPARE(m_app.server.requests().isEmpty(), !asked);
        if (asked) {
            QCOMPARE(requests(QStringLiteral("/src0/callbook/G4NON")), 1);
            QCOMPARE(form.lblNot->text(), typed.toUpper() + form.item(38));
            QCOMPARE(values.LookupFailed, int16_t(-1));
        }
        QCOMPARE(CallDatabase(m_app.folder()).CountRecords(), 0);
    }

    void zipCodeGivesThePositionWhenTheGeocoderFindsNothing()
    {
        m_app.prepare();
        ProgramValues values;
        MainWindow form(values);
        QVERIFY(AppFixture::start(form));
        lookup(form, QStringLiteral("n1zip"));
        QCOMPARE(requests(QStringLiteral("/maps/api/geocode/xml")), 1);
        QVERIFY2(qAbs(values.StationLatitude - 41.69) < 0.1, qPrintable(QString::number(values.StationLatitude)));
        QVERIFY(qAbs(values.StationLongitude + 72.73) < 0.1);
        QVERIFY(form.lblGrid->text().contains(QStringLiteral("FN31")));
        // The stored record keeps the page's texts.
        CallDatabase db(m_app.folder());
        QVERIFY(db.FindCall(QStringLiteral("N1ZIP")) > 0);
        QCOMPARE(db.CurrentRecord.trimmed(CallRecord::Lat), QStringLiteral("0"));
    }

    // A lookup typed while another waits for its geocoder: each station is stored with its own
    // position, and the panel shows the newer one.
    void lookupWhileAnotherWaitsKeepsEachStationsPosition()
    {
        m_app.prepare();
        const QByteArray xml = "<GeocodeResponse><status>OK</status><result><geometry><location>"
                               "<lat>41.71</lat><lng>-72.72</lng></location></geometry></result></GeocodeResponse>";
        WebRoute slowGeocoder = WebRoute::page(xml, "application/xml");
        slowGeocoder.delayMs = 500;
        m_app.server.setRoute(QStringLiteral("/maps/api/geocode/xml"), slowGeocoder);
        ProgramValues values;
        MainWindow form(values);
        QVERIFY(AppFixture::start(form));
        type(form, QStringLiteral("n1zip"));
        QTest::keyClick(form.cboCall->lineEdit(), Qt::Key_Return);
        QTRY_COMPARE(requests(QStringLiteral("/maps/api/geocode/xml")), 1);
        lookup(form, QStringLiteral("k0abc"));
        CallDatabase db(m_app.folder());
        QTRY_VERIFY(db.FindCall(QStringLiteral("N1ZIP")) > 0);
        QCOMPARE(db.CurrentRecord.trimmed(CallRecord::Lat), QStringLiteral("41.71*"));
        QVERIFY(db.FindCall(QStringLiteral("K0ABC")) > 0);
        QCOMPARE(db.CurrentRecord.trimmed(CallRecord::Lat), QStringLiteral("39.75"));
        QCOMPARE(form.lblName->text(), QStringLiteral("JANE DOE"));
        QCOMPARE(values.StationLatitude, 39.75);
    }

    // QRZCQ's first address line is not stored over the one the database holds.
    void storedFirstAddressLine_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<QString>("add1");
        QTest::newRow("eHam stores the page's line") << 0 << "225 MAIN ST";
        QTest::newRow("QRZCQ keeps the stored line") << 2 << "OLD STREET 1";
    }
    void storedFirstAddressLine()
    {
        QFETCH(int, source);
        QFETCH(QString, add1);
        m_app.prepare(AppFixture::config(source));
        storeRecord(QStringLiteral("W1AW"), QStringLiteral("HIRAM"), QStringLiteral("OLD STREET 1"),
                    QStringLiteral("41.7"), QStringLiteral("-72.7"));
        ProgramValues values;
        MainWindow form(values);
        QVERIFY(AppFixture::start(form));
        lookup(form, QStringLiteral("w1aw"));
        QCOMPARE(form.lblName->text(), QStringLiteral("HIRAM PERCY MAXIM"));
        CallDatabase db(m_app.folder());
        QTRY_VERIFY(db.FindCall(QStringLiteral("W1AW")) > 0
                    && db.CurrentRecord.trimmed(CallRecord::Name) == QStringLiteral("HIRAM PERCY MAXIM"));
        QCOMPARE(db.CurrentRecord.trimmed(CallRecord::Add1), add1);
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
        m_app.prepare(AppFixture::config(0, false));
        storeRecord(QStringLiteral("W1AW"), QStringLiteral("HIRAM"), QString(), QStringLiteral("41.7"),
                    QStringLiteral("-72.7"));
        m_app.write(QStringLiteral("qrzimages/W1AW.jpg"), jpeg(400, 300).left(size));  // cut short, still decodes
        ProgramValues values;
        MainWindow form(values);
        QVERIFY(AppFixture::start(form));
        QVERIFY(form.optFrom[0]->isChecked());
        m_app.server.clearRequests();
        lookup(form, QStringLiteral("w1aw/p"));
        // The request, if any, was made before the result showed.
        QCOMPARE(form.lookUp->PendingRequests().contains(QStringLiteral("W1AW5"))
                     || requests(QStringLiteral("/w/w1aw/w1aw.jpg")) > 0,
                 fetched);
        // The stored record, and not the web, gave the result.
        QCOMPARE(requests(QStringLiteral("/src0/callbook/W1AW")), 0);
        QCOMPARE(form.lblName->text(), QStringLiteral("HIRAM"));
        QVERIFY(form.lblDOB->text().contains(QStringLiteral("1961")));
        QVERIFY(form.optFrom[0]->font().underline());
        // A call missing from the database goes to the web.
        lookup(form, QStringLiteral("k0abc"));
        QCOMPARE(requests(QStringLiteral("/src0/callbook/K0ABC")), 1);
    }

    void f8PastesASpottedCall()
    {
        m_app.prepare();
        ProgramValues values;
        MainWindow form(values);
        QVERIFY(AppFixture::start(form));
        QApplication::clipboard()->setText(QStringLiteral("DE W1AW 599 TU"));
        QSignalSpy settled(&form, &MainWindow::lookupSettled);
        QTest::keyClick(form.cboCall->lineEdit(), Qt::Key_F8);
        QVERIFY(settled.count() > 0 || settled.wait(5000));
        QCOMPARE(form.cboCall->currentText(), QStringLiteral("W1AW"));
        QCOMPARE(form.lblName->text(), QStringLiteral("HIRAM PERCY MAXIM"));
        // A second F8 within three seconds is ignored.
        m_app.server.clearRequests();
        QTest::keyClick(form.cboCall->lineEdit(), Qt::Key_F8);
        QCOMPARE(requests(QStringLiteral("/src0/callbook/W1AW")), 0);
    }

    void openMapWindowFollowsEachLookup()
    {
        m_app.prepare();
        ProgramValues values;
        MainWindow form(values);
        QVERIFY(AppFixture::start(form));
        lookup(form, QStringLiteral("w1aw"));
        QVERIFY(!form.mapWindow());  // no map window until the operator opens one
        form.plotStationMap(true, false);
        QVERIFY(form.mapWindow());
        QCOMPARE(values.MapList.value(values.CurrentMapIndex), QStringLiteral("North America Map.jpg"));
        // A station in Europe moves the open window to the Europe map.
        m_app.server.setPage(QStringLiteral("/src0/callbook/DL1ABC"), ehamPage("DL1ABC", "KARL", "10115 BERLIN", "52.52", "13.40"));
        lookup(form, QStringLiteral("dl1abc"));
        QCOMPARE(values.MapList.value(values.CurrentMapIndex), QStringLiteral("Europe Map.jpg"));
        // With no map file for the station the operator is told, and the map stays.
        values.MapList.removeAll(QStringLiteral("World Map.jpg"));
        m_app.server.setPage(QStringLiteral("/src0/callbook/ZS1ABC"), ehamPage("ZS1ABC", "PIET", "CAPE TOWN", "-33.9", "18.4"));
        lookup(form, QStringLiteral("zs1abc"));
        QVERIFY(m_boxes.contains(QStringLiteral("World Map not found")));
        QCOMPARE(values.MapList.value(values.CurrentMapIndex), QStringLiteral("Europe Map.jpg"));
    }

    void unwritableDatabaseIsToldOnceAndTheLookupGoesOn()
    {
        m_app.prepare();
        // A folder where the database file should be: it can be neither opened nor replaced.
        QDir().mkpath(m_app.path(QStringLiteral("CallData.db")));
        ProgramValues values;
        MainWindow form(values);
        QVERIFY(AppFixture::start(form));
        lookup(form, QStringLiteral("w1aw"));
        QCOMPARE(form.lblName->text(), QStringLiteral("HIRAM PERCY MAXIM"));
        lookup(form, QStringLiteral("k0abc"));
        QCOMPARE(form.lblName->text(), QStringLiteral("JANE DOE"));
        QCOMPARE(m_boxes.filter(QStringLiteral("local database")).size(), 1);
    }
};

QTEST_MAIN(TestLookupFlow)
#include "tst_lookupflow.moc"
