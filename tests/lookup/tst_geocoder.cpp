// Geocoding: the reading of the XML answer, and the service on the local test server (the
// address as sent, answers, errors, silence).

#include "lookup/Geocoder.h"
#include "support/TestWebServer.h"

#include <QtTest>

using namespace torvane;

namespace {

QByteArray answer(const QByteArray &status, const QByteArray &results)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<GeocodeResponse>\n <status>" + status
           + "</status>\n" + results + "</GeocodeResponse>\n";
}

QByteArray result(const QByteArray &lat, const QByteArray &lng)
{
    return " <result>\n  <type>street_address</type>\n  <geometry>\n   <location>\n    <lat>" + lat
           + "</lat>\n    <lng>" + lng + "</lng>\n   </location>\n  </geometry>\n </result>\n";
}

}  // namespace

class TestGeocoder : public QObject {
    Q_OBJECT

private slots:
    void resultFromXml_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("expected");

        const QByteArray one = result("41.7147750", "-72.7272600");
        QTest::newRow("OK") << answer("OK", one) << "41.7147750*,-72.7272600*";
        QTest::newRow("ok in lower case") << answer("ok", one) << "41.7147750*,-72.7272600*";
        QTest::newRow("first of two results") << answer("OK", one + result("1", "2")) << "41.7147750*,-72.7272600*";
        QTest::newRow("OVER_QUERY_LIMIT with a stale result") << answer("OVER_QUERY_LIMIT", one) << "";
        QTest::newRow("OK without a location") << answer("OK", " <result><type>x</type></result>\n") << "";
        QTest::newRow("OK with an empty lat") << answer("OK", result("", "-72.7")) << "";
        QTest::newRow("broken XML") << QByteArray("<GeocodeResponse><status>OK</status><result>") << "";
    }

    void resultFromXml()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, expected);
        QCOMPARE(Geocoder::resultFromXml(xml), expected);
    }

    void service_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<QString>("query");  // as the server received it
        QTest::addColumn<QString>("expected");

        QTest::newRow("blanks become plus") << "225 Main St Newington CT" << 200 << 0 << "225+Main+St+Newington+CT" << "41.71*,-72.72*";
        QTest::newRow("commas kept") << "Newington, CT 06111" << 200 << 0 << "Newington,+CT+06111" << "41.71*,-72.72*";
        QTest::newRow("query breakers encoded") << "Apt #4 & Co=1" << 200 << 0 << "Apt+%234+%26+Co%3D1" << "41.71*,-72.72*";
        QTest::newRow("letters outside ASCII as UTF-8") << QString("M\u00FCnchen") << 200 << 0 << "M%C3%BCnchen" << "41.71*,-72.72*";
        QTest::newRow("server error") << "225 Main St" << 500 << 0 << "225+Main+St" << "";
        QTest::newRow("no answer within the limit") << "225 Main St" << 200 << 3000 << "225+Main+St" << "";
        // Nothing is asked: the answer is there at once.
        QTest::newRow("no geocoder host") << "225 Main St" << 0 << 0 << "" << "";
        QTest::newRow("host not a web address") << "225 Main St" << -1 << 0 << "" << "";
    }

    void service()
    {
        QFETCH(QString, address);
        QFETCH(int, status);
        QFETCH(int, delayMs);
        QFETCH(QString, query);
        QFETCH(QString, expected);
        TestWebServer server;
        QVERIFY(server.listen());
        WebRoute route = WebRoute::page(answer("OK", result("41.71", "-72.72")), "application/xml; charset=UTF-8", status);
        route.delayMs = delayMs;
        server.setRoute("/maps/api/geocode/xml", route);
        HostTable hosts;
        hosts.setHost("geocoder", status == 0 ? QString() : status < 0 ? "ftp://127.0.0.1" : server.baseUrl());
        Geocoder geocoder(hosts);
        geocoder.setTimeLimitMs(200);
        std::optional<QString> found;
        geocoder.GeocodeAddress(address, this, [&found](const QString &text) { found = text; });
        QCOMPARE(found.has_value(), status <= 0);  // a request's answer comes later
        QTRY_VERIFY_WITH_TIMEOUT(found.has_value(), 5000);
        QCOMPARE(*found, expected);
        QCOMPARE(server.requests().size(), status <= 0 ? 0 : 1);
        if (status <= 0)
            return;
        QCOMPARE(server.requests().first().target, "/maps/api/geocode/xml?sensor=false&address=" + query);
    }
};

QTEST_GUILESS_MAIN(TestGeocoder)
#include "tst_geocoder.moc"
