// Geocoding: the request address, the reading of the XML answer, and the service on the local
// test server (answers, errors, silence).

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
    void requestAddress_data();
    void requestAddress();
    void resultFromXml_data();
    void resultFromXml();
    void service_data();
    void service();
    void noGeocoderHost();
};

void TestGeocoder::requestAddress_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("expected");

    const QString base = "http://h/maps/api/geocode/xml?sensor=false&address=";
    QTest::newRow("blanks become plus") << "225 Main St Newington CT" << base + "225+Main+St+Newington+CT";
    QTest::newRow("blanks in a row stay many") << "225  Main   St" << base + "225++Main+++St";
    QTest::newRow("commas kept") << "Newington, CT 06111" << base + "Newington,+CT+06111";
    QTest::newRow("query breakers encoded") << "Apt #4 & Co=1" << base + "Apt+%234+%26+Co%3D1";
    QTest::newRow("letters outside ASCII as UTF-8") << QString("M\u00FCnchen") << base + "M%C3%BCnchen";
    QTest::newRow("empty") << "" << base;
}

void TestGeocoder::requestAddress()
{
    QFETCH(QString, address);
    QFETCH(QString, expected);
    QCOMPARE(Geocoder::requestAddress("http://h", address), expected);
}

void TestGeocoder::resultFromXml_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("expected");

    const QByteArray one = result("41.7147750", "-72.7272600");
    QTest::newRow("OK") << answer("OK", one) << "41.7147750*,-72.7272600*";
    QTest::newRow("ok in lower case") << answer("ok", one) << "41.7147750*,-72.7272600*";
    QTest::newRow("first of two results") << answer("OK", one + result("1", "2")) << "41.7147750*,-72.7272600*";
    QTest::newRow("ZERO_RESULTS") << answer("ZERO_RESULTS", QByteArray()) << "";
    QTest::newRow("OVER_QUERY_LIMIT with a stale result") << answer("OVER_QUERY_LIMIT", one) << "";
    QTest::newRow("OK without a location") << answer("OK", " <result><type>x</type></result>\n") << "";
    QTest::newRow("OK with an empty lat") << answer("OK", result("", "-72.7")) << "";
    QTest::newRow("status found anywhere") << QByteArray("<x><y><status>OK</status></y></x>") << "";
    QTest::newRow("broken XML") << QByteArray("<GeocodeResponse><status>OK</status><result>") << "";
    QTest::newRow("not XML") << QByteArray("<html><body>Error 502</body>") << "";
    QTest::newRow("empty") << QByteArray() << "";
}

void TestGeocoder::resultFromXml()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, expected);
    QCOMPARE(Geocoder::resultFromXml(xml), expected);
}

void TestGeocoder::service_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<QString>("expected");

    const QByteArray ok = answer("OK", result("41.71", "-72.72"));
    QTest::newRow("answer") << 200 << ok << 0 << "41.71*,-72.72*";
    QTest::newRow("zero results") << 200 << answer("ZERO_RESULTS", QByteArray()) << 0 << "";
    QTest::newRow("server error") << 500 << ok << 0 << "";
    QTest::newRow("broken answer") << 200 << QByteArray("<GeocodeResponse><status>OK") << 0 << "";
    QTest::newRow("no answer within the limit") << 200 << ok << 3000 << "";
}

void TestGeocoder::service()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(int, delayMs);
    QFETCH(QString, expected);
    TestWebServer server;
    QVERIFY(server.listen());
    WebRoute route = WebRoute::page(body, "application/xml; charset=UTF-8", status);
    route.delayMs = delayMs;
    server.setRoute("/maps/api/geocode/xml", route);
    HostTable hosts;
    hosts.setHost("geocoder", server.baseUrl());
    Geocoder geocoder(hosts);
    geocoder.setTimeLimitMs(200);
    QCOMPARE(geocoder.GeocodeAddress("225 Main St Newington CT"), expected);
    QCOMPARE(server.requests().size(), 1);
    QCOMPARE(server.requests().first().target,
             QString("/maps/api/geocode/xml?sensor=false&address=225+Main+St+Newington+CT"));
}

void TestGeocoder::noGeocoderHost()
{
    HostTable hosts;
    hosts.setHost("geocoder", QString());
    Geocoder geocoder(hosts);
    QCOMPARE(geocoder.GeocodeAddress("225 Main St"), QString());
    hosts.setHost("geocoder", "ftp://127.0.0.1");
    Geocoder ftp(hosts);
    QCOMPARE(ftp.GeocodeAddress("225 Main St"), QString());
}

QTEST_GUILESS_MAIN(TestGeocoder)
#include "tst_geocoder.moc"
