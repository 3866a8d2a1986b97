// The main window's lookup workflow against the local test server: what reaches the server,
// what the panel shows, and what is stored.

#include "app/CallCompleter.h"
#include "app/EntityLine.h"
#include "calldb/CallDatabase.h"
#include "windows/StationSetup.h"
#include "lookup/LookupControl.h"
#include "support/AppFixture.h"
#include "ui/Beep.h"
#include "ui/DropDownMenu.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalSpy>

using namespace torvane;

namespace {

// The site page is also the maker's home page: it announces a newer version.
const QByteArray kSite = "<html><body><a href=\"/\">eHam.net</a> - Ham Radio Community<p>Torvane ver 9.99</p></body></html>";

/// eHam's page of a station, with its position when lat is given.
void serveEham(TestWebServer &server, const QString &call, const QString &name, const QString &add2,
               const QString &lat = QString(), const QString &lon = QString())
{
    const QString position = QStringLiteral("<tr><td>Latitude</td><td>%1</td></tr><tr><td>Longitude</td><td>%2</td></tr>");
    const QString page = QStringLiteral("<html><body><div><a href=\"/\">eHam.net</a></div><h3>Search Results</h3><table>"
                                        "<tr><td><b>%1</b></td></tr><tr><td>%2</td></tr><tr><td>225 MAIN ST</td></tr><tr><td>"
                                        "%3</td></tr><tr><td>United States</td></tr></table><table><tr><td>License Class</td>"
                                        "<td>Extra</td></tr><tr><td>Country</td><td>United States</td></tr>%4</table><div>"
                                        "Privacy Policy</div></body></html>");
    server.setPage(QStringLiteral("/src0/callbook/") + call,
                   page.arg(call, name, add2, lat.isEmpty() ? QString() : position.arg(lat, lon)).toUtf8());
}

const QByteArray kQrzCqPage = "<html><body><div>Logged in as AA1XX | <b>QRZCQ.com</b></div><div>HIRAM PERCY MAXIM</div>"
                              "<div>225 MAIN ST</div><div>NEWINGTON, CT 06111</div><div>USA</div><table><tr><td>Latitude"
                              "</td><td>41.714775</td></tr><tr><td>Longitude</td><td>-72.727260</td></tr></table>"
                              "<div>W1AW</div><div>Copyright QRZCQ.com</div></body></html>";

}  // namespace

class TestLookupFlow : public QObject {
    Q_OBJECT
    AppFixture m_app;
    QList<int> m_beeps;
    QStringList m_boxes;
    int m_storedWhenAsked = -1;  ///< records stored when the update offer was shown
    std::unique_ptr<ScopedMessageHook> m_hook;

    int requests(const QString &path) const { return m_app.server.requestCount(path); }
    QString stored(const QString &call, CallRecord::Field field = CallRecord::Lat) const
    {
        CallDatabase db(m_app.folder());
        return db.FindCall(call) > 0 ? db.CurrentRecord.trimmed(field) : QStringLiteral("missing");
    }

    /// W1AW in the local database, as an earlier lookup left it.
    void storeW1aw()
    {
        CallDatabase db(m_app.folder());
        db.FindCall(QStringLiteral("W1AW"));
        db.ClearRecord();
        const QStringList texts = {"W1AW", "HIRAM", "OLD STREET 1", "", "", "41.7", "-72.7"};
        for (int field = 0; field < texts.size(); ++field)
            db.CurrentRecord.setText(CallRecord::Field(field), texts.at(field));
        QCOMPARE(db.AppendRecord(), DbStatus::Ok);
    }

    /// Types the keys into the call box and presses the key; waits until the panel shows the outcome.
    void lookup(MainWindow &form, const QString &keys, Qt::Key key = Qt::Key_Return)
    {
        form.cboCall->lineEdit()->clear();
        QTest::keyClicks(form.cboCall->lineEdit(), keys);
        QSignalSpy settled(&form, &MainWindow::lookupSettled);
        QTest::keyClick(form.cboCall->lineEdit(), key);
        QVERIFY(settled.count() > 0 || settled.wait(5000));
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
        serveEham(s, "W1AW", "HIRAM PERCY MAXIM", "NEWINGTON, CT 06111", "41.714775", "-72.727260");
        serveEham(s, "K0ABC", "JANE DOE", "DENVER, CO 80202", "39.75", "-104.99");
        serveEham(s, "N1ZIP", "ZIP ONLY", "NEWINGTON, CT 06111");
        serveEham(s, "DL1ABC", "KARL", "10115 BERLIN", "52.52", "13.40");
        serveEham(s, "ZS1ABC", "PIET", "CAPE TOWN", "-33.9", "18.4");
        serveEham(s, "VK2NOP", "NO POSITION", "SYDNEY");
        s.setPage(QStringLiteral("/src0/callbook/G4NON"), "<html><body>eHam.net G4NON Search Results</body></html>");
        s.setPage(QStringLiteral("/src2/"), kQrzCqPage);
        s.setPage(QStringLiteral("/src2/call/W1AW"), kQrzCqPage);
    }

    void init()
    {
        m_beeps.clear();
        m_boxes.clear();
        m_storedWhenAsked = -1;
        m_app.server.setRoute(QStringLiteral("/maps/api/geocode/xml"), WebRoute::page("", "application/xml", 404));
        m_app.server.setRoute(QStringLiteral("/updates/updates.txt"), WebRoute::page("", "text/plain", 404));
        m_app.prepare();
    }

    void webLookupFillsThePanelAndStoresTheStation()
    {
        StartedWindow w;
        lookup(w.form, QStringLiteral("w1aw"));
        QCOMPARE(w.form.lblName->text(), QStringLiteral("HIRAM PERCY MAXIM"));
        QVERIFY(w.form.lblDx->text().startsWith(QStringLiteral("Dx: 5,7")));
        QVERIFY(m_beeps.contains(400));
        // The update offer comes after the station was stored.
        QTRY_COMPARE(m_storedWhenAsked, 1);
        // The first lookup of the run asks the maker's site once; the next does not.
        QCOMPARE(requests(QStringLiteral("/updates/updates.txt")), 1);
        lookup(w.form, QStringLiteral("w1aw"));
        QCOMPARE(requests(QStringLiteral("/updates/updates.txt")), 1);
        QCOMPARE(CallDatabase(m_app.folder()).CountRecords(), 1);
    }

    // The site list is rebuilt after the run's first result: a station of the list gets its
    // link when the list arrives.
    void siteLinkOfTheFirstLookup()
    {
        const QByteArray list = "Torvane ver 4.11\r\n/////5\r\nK0ABC* Denver\r\n" + m_app.server.baseUrl().toUtf8()
                                + "/rx/image1\r\n";
        m_app.server.setPage(QStringLiteral("/updates/updates.txt"), list, "text/plain");
        StartedWindow w;
        lookup(w.form, QStringLiteral("k0abc"));
        QTRY_VERIFY(!w.form.lblEmail->isHidden());
    }

    // A special call asks nothing and stays out of the history; an unknown call is asked for and
    // told. Neither is stored.
    void callsWithoutAStation()
    {
        StartedWindow w;
        m_app.server.clearRequests();
        lookup(w.form, QStringLiteral("nocall"));
        QVERIFY(m_app.server.requests().isEmpty() && w.form.cboCall->count() == 0);
        lookup(w.form, QStringLiteral("g4non"));
        QCOMPARE(w.form.lblNot->text(), QStringLiteral("G4NON") + w.form.item(38));
        QCOMPARE(CallDatabase(m_app.folder()).CountRecords(), 0);
    }

    // The country shows as soon as Enter is pressed. A station without a position, or no
    // station at all, is placed at its country's position, marked, and that is never stored.
    void countryFillsInWhatTheCallBookLacks_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("country");
        QTest::addColumn<QString>("stored");  // its latitude field
        QTest::newRow("found without a position") << "vk2nop" << "Australia" << "0";
        QTest::newRow("not found") << "g4non" << "England" << "missing";
    }

    void countryFillsInWhatTheCallBookLacks()
    {
        QFETCH(QString, call);
        QFETCH(QString, country);
        QFETCH(QString, stored);
        StartedWindow w;
        QTRY_VERIFY(w.form.entityLine()->ready());
        QTest::keyClicks(w.form.cboCall->lineEdit(), call);
        QSignalSpy settled(&w.form, &MainWindow::lookupSettled);
        QTest::keyClick(w.form.cboCall->lineEdit(), Qt::Key_Return);
        QVERIFY(w.form.lblEntity->text().startsWith(country + QStringLiteral(" \u00B7 ")));
        QVERIFY(settled.wait(5000));
        QVERIFY2(w.form.lblDx->text().startsWith(QStringLiteral("\u2248 Dx: ")), qPrintable(w.form.lblDx->text()));
        QVERIFY(w.form.lblDx->toolTip().startsWith(QStringLiteral("LP ")));
        QCOMPARE(this->stored(call.toUpper()), stored);
    }

    // A change of unit in the station setup shows in the station's distance line at once.
    void setupChangeShowsInTheDistanceLine()
    {
        StartedWindow w;
        lookup(w.form, QStringLiteral("w1aw"));
        w.form.openStationSetup();
        StationSetup *setup = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets())
            setup = setup ? setup : qobject_cast<StationSetup *>(top);
        QVERIFY(setup);
        setup->optMi->click();
        setup->close();
        QVERIFY2(w.form.lblDx->text().contains(QStringLiteral(" mi ")), qPrintable(w.form.lblDx->text()));
    }

    // The completion list follows the typing from the second character, local calls first;
    // Escape closes it, Down and Enter look up the chosen call, and the stored call is offered
    // with the local ones afterwards.
    void completionListTakesACall()
    {
        StartedWindow w;
        auto completion = std::make_shared<CallCompletion>();
        completion->setActiveCalls("K0ABC\nW1AW\nW1AWX\n");
        completion->setLocalCalls({"KW1A"});
        w.form.completer()->setCompletion(completion);
        QListWidget *list = w.form.completer()->list();
        QLineEdit *edit = w.form.cboCall->lineEdit();
        QTest::keyClicks(edit, QStringLiteral("w"));
        QVERIFY(list->isHidden());
        QTest::keyClicks(edit, QStringLiteral("1a"));
        QVERIFY(list->isVisible());
        const QStringList offered{"KW1A", "W1AW", "W1AWX"};
        for (int row = 0; row < offered.size(); ++row)
            QCOMPARE(list->item(row)->text(), offered.at(row));
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(list->isHidden());
        QCOMPARE(edit->text(), QStringLiteral("W1A"));
        QTest::keyClicks(edit, QStringLiteral("w"));
        QSignalSpy settled(&w.form, &MainWindow::lookupSettled);
        QTest::keyClick(edit, Qt::Key_Down);
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(settled.wait(5000));
        QCOMPARE(w.form.lblName->text(), QStringLiteral("HIRAM PERCY MAXIM"));
        QVERIFY(list->isHidden());
        QCOMPARE(completion->complete(QStringLiteral("1AW")).first(), QStringLiteral("W1AW"));
    }

    // A page without a position, and the geocoder finds nothing: the zip code gives it; the
    // stored record keeps the page's texts.
    void zipCodeGivesThePositionWhenTheGeocoderFindsNothing()
    {
        StartedWindow w;
        lookup(w.form, QStringLiteral("n1zip"));
        QCOMPARE(requests(QStringLiteral("/maps/api/geocode/xml")), 1);
        QVERIFY(qAbs(w.values.StationLatitude - 41.69) < 0.1 && qAbs(w.values.StationLongitude + 72.73) < 0.1);
        QCOMPARE(stored(QStringLiteral("N1ZIP")), QStringLiteral("0"));
    }

    // A lookup typed while another waits for its geocoder: each station is stored with its own
    // position, and the panel shows the newer one.
    void lookupWhileAnotherWaitsKeepsEachStationsPosition()
    {
        WebRoute slowGeocoder = WebRoute::page("<GeocodeResponse><status>OK</status><result><geometry><location><lat>41.71"
                                               "</lat><lng>-72.72</lng></location></geometry></result></GeocodeResponse>",
                                               "application/xml");
        slowGeocoder.delayMs = 500;
        m_app.server.setRoute(QStringLiteral("/maps/api/geocode/xml"), slowGeocoder);
        StartedWindow w;
        w.form.cboCall->lineEdit()->setText(QStringLiteral("n1zip"));
        QTest::keyClick(w.form.cboCall->lineEdit(), Qt::Key_Return);
        QTRY_COMPARE(requests(QStringLiteral("/maps/api/geocode/xml")), 1);
        lookup(w.form, QStringLiteral("k0abc"));
        QTRY_COMPARE(stored(QStringLiteral("N1ZIP")), QStringLiteral("41.71*"));
        QCOMPARE(stored(QStringLiteral("K0ABC")), QStringLiteral("39.75"));
        QCOMPARE(w.form.lblName->text(), QStringLiteral("JANE DOE"));
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
        storeW1aw();
        StartedWindow w;
        lookup(w.form, QStringLiteral("w1aw"));
        QCOMPARE(stored(QStringLiteral("W1AW"), CallRecord::Name), QStringLiteral("HIRAM PERCY MAXIM"));
        QCOMPARE(stored(QStringLiteral("W1AW"), CallRecord::Add1), add1);
    }

    // Local mode, a stored station without a position and a web lookup that finds nothing:
    // the stored record shows with the line that says so.
    void storedRecordShownWhenTheWebFails_data()
    {
        QTest::addColumn<QString>("position");
        QTest::newRow("stored as 0") << "0";
        QTest::newRow("stored empty") << "";
    }
    void storedRecordShownWhenTheWebFails()
    {
        QFETCH(QString, position);
        m_app.prepare(AppFixture::config(0, false));
        CallDatabase db(m_app.folder());
        db.FindCall(QStringLiteral("G4NON"));
        db.ClearRecord();
        const QStringList texts = {"G4NON", "STORED NAME", "1 HIGH ST", "", "England", position, position, "Full"};
        for (int field = 0; field < texts.size(); ++field)
            db.CurrentRecord.setText(CallRecord::Field(field), texts.at(field));
        QCOMPARE(db.AppendRecord(), DbStatus::Ok);
        StartedWindow w;
        lookup(w.form, QStringLiteral("g4non"));
        QCOMPARE(w.form.lblNot->text(), QStringLiteral("G4NON") + w.form.item(38));
        QCOMPARE(w.form.lblName->text(), QStringLiteral("STORED NAME"));
        QCOMPARE(w.form.lblClass->text(), QStringLiteral("Full "));
        QCOMPARE(w.form.lblGrid->text(), QString());
    }

    // A site that gives no answer is told as such, not as a station not found.
    void siteWithoutAnswer_data()
    {
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<int>("cutAfter");  // bytes of the body sent before the connection closes
        QTest::addColumn<QString>("status");
        QTest::newRow("time-out") << 3000 << -1 << "eHam.net did not answer (time-out)";
        QTest::newRow("connection cut") << 0 << 5 << "eHam.net did not answer (no connection)";
    }

    void siteWithoutAnswer()
    {
        QFETCH(int, delayMs);
        QFETCH(int, cutAfter);
        QFETCH(QString, status);
        WebRoute route = WebRoute::page("<html><body>eHam.net G4DED Search Results</body></html>");
        route.delayMs = delayMs;
        route.closeAfterBytes = cutAfter;
        m_app.server.setRoute(QStringLiteral("/src0/callbook/G4DED"), route);
        StartedWindow w;
        w.form.lookUp->setPageTimeLimitMs(300);
        lookup(w.form, QStringLiteral("g4ded"));
        QCOMPARE(w.form.lblStatus->text(), status);
        QCOMPARE(w.form.lblNot->text(), QStringLiteral("Check the network or Hosts.cfg"));
    }

    // QRZ's site page says "Logout", then a station's page asks for a login: the status line
    // follows the page, not the site.
    void loginAskedForIsNotCalledLoggedIn()
    {
        m_app.prepare(AppFixture::config(1));
        m_app.server.setPage(QStringLiteral("/src1/"), "<html><body>QRZ <a>Logout</a></body></html>");
        m_app.server.setPage(QStringLiteral("/src1/db/K0ABC"), "<html><body>QRZ K0ABC please log in</body></html>");
        StartedWindow w;
        QTRY_VERIFY(w.form.lblStatus->text().contains(QStringLiteral("(logged in)")));
        lookup(w.form, QStringLiteral("k0abc"));
        QVERIFY2(!w.form.lblStatus->text().contains(QStringLiteral("(logged in)")), qPrintable(w.form.lblStatus->text()));
    }

    // Local lookups: a stored station is shown without asking the web, its cached picture
    // fetched again when it is no bigger than a placeholder; a call not stored goes to the web.
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
        storeW1aw();
        m_app.write(QStringLiteral("qrzimages/W1AW.jpg"), QByteArray(size, 'x'));
        StartedWindow w;
        lookup(w.form, QStringLiteral("w1aw"));
        QCOMPARE(w.form.lblName->text(), QStringLiteral("HIRAM"));
        // The request, if any, was made before the result showed.
        QCOMPARE(w.form.lookUp->PendingRequests().contains(QStringLiteral("W1AW5"))
                     || requests(QStringLiteral("/w/w1aw/w1aw.jpg")) > 0,
                 fetched);
        QCOMPARE(requests(QStringLiteral("/src0/callbook/W1AW")), 0);
        lookup(w.form, QStringLiteral("k0abc"));
        QCOMPARE(requests(QStringLiteral("/src0/callbook/K0ABC")), 1);
    }

    // F8 looks up the call of a spotted line on the clipboard; a second F8 within three seconds
    // is ignored.
    void f8PastesASpottedCall()
    {
        StartedWindow w;
        QApplication::clipboard()->setText(QStringLiteral("DE W1AW 599 TU"));
        lookup(w.form, QString(), Qt::Key_F8);
        QCOMPARE(w.form.cboCall->currentText(), QStringLiteral("W1AW"));
        QCOMPARE(w.form.lblName->text(), QStringLiteral("HIRAM PERCY MAXIM"));
        QApplication::clipboard()->setText(QStringLiteral("K0ABC"));
        QTest::keyClick(w.form.cboCall->lineEdit(), Qt::Key_F8);
        QCOMPARE(w.form.cboCall->currentText(), QStringLiteral("W1AW"));
    }

    // Without a map file for the station the Maps menu opens nothing and tells so. Once opened,
    // the map window follows each lookup; with no map file for the station the operator is told,
    // and the map stays.
    void mapWindowFollowsEachLookup()
    {
        StartedWindow w;
        w.values.MapList.removeAll(QStringLiteral("World Map.jpg"));
        lookup(w.form, QStringLiteral("zs1abc"));
        emit w.form.ucMnuMaps->Click(0, QString());
        QVERIFY(!w.form.mapWindow());
        QCOMPARE(m_boxes.filter(QStringLiteral("World Map not found")).size(), 1);
        lookup(w.form, QStringLiteral("w1aw"));
        QVERIFY(!w.form.mapWindow());
        emit w.form.ucMnuMaps->Click(0, QString());
        QCOMPARE(w.values.MapList.value(w.values.CurrentMapIndex), QStringLiteral("North America Map.jpg"));
        lookup(w.form, QStringLiteral("dl1abc"));
        QCOMPARE(w.values.MapList.value(w.values.CurrentMapIndex), QStringLiteral("Europe Map.jpg"));
        lookup(w.form, QStringLiteral("zs1abc"));
        QCOMPARE(m_boxes.filter(QStringLiteral("World Map not found")).size(), 2);
        QCOMPARE(w.values.MapList.value(w.values.CurrentMapIndex), QStringLiteral("Europe Map.jpg"));
    }

    void unwritableDatabaseIsToldOnceAndTheLookupGoesOn()
    {
        QDir().mkpath(m_app.path(QStringLiteral("CallData.db")));  // a folder: neither opened nor replaced
        StartedWindow w;
        lookup(w.form, QStringLiteral("w1aw"));
        lookup(w.form, QStringLiteral("k0abc"));
        QCOMPARE(w.form.lblName->text(), QStringLiteral("JANE DOE"));
        QCOMPARE(m_boxes.filter(QStringLiteral("local database")).size(), 1);
    }
};

QTEST_MAIN(TestLookupFlow)
#include "tst_lookupflow.moc"
