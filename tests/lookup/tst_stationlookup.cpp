// One station's lookup reads from its own copy of the page: what the lookup component loads
// during HamCall's pause does not reach the station's fields or its stored record.

#include "lookup/LookupControl.h"
#include "lookup/StationLookup.h"
#include "support/TestWebServer.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace torvane;

namespace {

const QByteArray kHamCallPage = R"(<html><body><div>Welcome to the HamCall callsign database!</div>
<div>US HIRAM PERCY MAXIM, W1AW</div>
<div>225 MAIN ST</div><div>NEWINGTON, CT 06111 US</div><div>USA</div>
<div>Latitude: 41.714775 N, Longitude: 72.727260 W, Grid: FN31pr</div>
<div>License Class: Club</div><div>Birth Date: 08/02/1869</div>
<div>Copyright HamCall.net Log Out</div></body></html>)";

// The maker's page, with a position and a class of its own that must not be read.
const QByteArray kUpdatePage = "<html><body><p>Torvane ver 4.12</p><p>Latitude: 10 N, "
                               "Longitude: 20 E,</p><p>License Class: Other</p></body></html>";

}  // namespace

class TestStationLookup : public QObject {
    Q_OBJECT

private slots:
    void pageLoadedDuringThePauseIsNotRead()
    {
        TestWebServer server;
        QVERIFY(server.listen());
        server.setPage("/call", kHamCallPage);
        server.setPage("/", kUpdatePage);
        QTemporaryDir folder;
        ProgramValues values;
        values.DataFolder = folder.path();
        values.CurrentSource = 4;
        HostTable hosts;
        hosts.setHost("hamcall", server.baseUrl());
        hosts.setHost("maker", server.baseUrl());
        LookupControl control(values, hosts);
        control.setDatabase(5);
        StationLookup lookup("W1AW", 4, QString(), folder.path(), nullptr);
        bool named = false;
        connect(&control, &LookupControl::GotPage, this, [&] {
            named = lookup.readPage(control);
            control.CheckUpdates();
        });
        QSignalSpy updated(&control, &LookupControl::UpdateFound);
        QSignalSpy resolved(&lookup, &StationLookup::resolved);
        control.GetPage("W1AW2");
        QVERIFY(resolved.wait(5000));
        QVERIFY(named);
        QCOMPARE(updated.count(), 1);  // arrived while the lookup paused
        QCOMPARE(lookup.station().Name, QStringLiteral("HIRAM PERCY MAXIM"));
        QCOMPARE(lookup.latitude(), 41.714775);
        QCOMPARE(lookup.longitude(), -72.72726);
        QCOMPARE(lookup.station().Class, QStringLiteral("Club"));

        QString error;
        QCOMPARE(lookup.store(&error), DbStatus::Ok);
        CallDatabase db(folder.path());
        QCOMPARE(db.FindCall(u"W1AW"), 1);
        QCOMPARE(db.CurrentRecord.trimmed(CallRecord::Lon), QStringLiteral("-72.72726"));
    }
};

QTEST_GUILESS_MAIN(TestStationLookup)
#include "tst_stationlookup.moc"
