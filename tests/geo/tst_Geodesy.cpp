#include "app/ProgramValues.h"
#include "geo/Geodesy.h"

#include <QtTest>
#include <cmath>

using namespace torvane;

namespace {
constexpr double kPi = geodesy::kPi;
constexpr double kDR = geodesy::kDegToRad;
}  // namespace

class tst_Geodesy : public QObject {
    Q_OBJECT

private slots:
    void atanQuad_data();
    void atanQuad();

    void distanceAzimuth_data();
    void distanceAzimuth();
    void ownPositionUnknown();
    void samePlaceNeverNaN_data();
    void samePlaceNeverNaN();
    void milesAreWholeAndFloored();
    void programValuesOverload();

    void distanceLine_data();
    void distanceLine();
    void distanceLineLocale_data();
    void distanceLineLocale();

    void grid_data();
    void grid();
};

void tst_Geodesy::atanQuad_data()
{
    QTest::addColumn<double>("s");
    QTest::addColumn<double>("c");
    QTest::addColumn<double>("expected");
    QTest::newRow("both zero is pi/2") << 0.0 << 0.0 << kPi / 2;
    QTest::newRow("first quadrant, S smaller") << 1.0 << 2.0 << std::atan(0.5);
    QTest::newRow("first quadrant, S larger") << 2.0 << 1.0 << kPi / 2 - std::atan(0.5);
    QTest::newRow("second quadrant") << 1.0 << -1.0 << kPi - kPi / 4 + (kPi / 4 - std::atan(1.0));
    QTest::newRow("third quadrant") << -1.0 << -2.0 << -(kPi - std::atan(0.5));
    QTest::newRow("fourth quadrant") << -2.0 << 1.0 << -(kPi / 2 - std::atan(0.5));
    QTest::newRow("negative x axis is the program's pi") << 0.0 << -1.0 << kPi;
    QTest::newRow("positive y axis") << 3.0 << 0.0 << kPi / 2;
    QTest::newRow("negative y axis") << -3.0 << 0.0 << -kPi / 2;
}

void tst_Geodesy::atanQuad()
{
    QFETCH(double, s);
    QFETCH(double, c);
    QFETCH(double, expected);
    QCOMPARE(AtanQuad(s, c), expected);
}

void tst_Geodesy::distanceAzimuth_data()
{
    QTest::addColumn<double>("ownLat");
    QTest::addColumn<double>("ownLon");
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lon");
    QTest::addColumn<double>("km");
    QTest::addColumn<double>("kmTolerance");
    QTest::addColumn<int>("azimuth");

    // On the equator the ellipsoid terms vanish: A times the central angle, heading due east.
    QTest::newRow("equator pair") << 0.0 << 10.0 << 0.0 << 20.0 << 6378 * 10 * kDR << 1e-6 << 90;
    QTest::newRow("equator pair westwards") << 0.0 << 20.0 << 0.0 << 10.0 << 6378 * 10 * kDR << 1e-6
                                            << 270;
    QTest::newRow("due north") << 10.0 << 20.0 << 30.0 << 20.0 << 2213.0 << 5.0 << 0;
    QTest::newRow("due south is exactly 180") << 30.0 << 20.0 << 10.0 << 20.0 << 2213.0 << 5.0 << 180;
    QTest::newRow("just west of north wraps to 359") << 10.0 << 20.0 << 30.0 << 19.999 << 2213.0 << 5.0
                                                     << 359;
    // Antipodes: C = -1 and D is the program's pi; about half a meridian.
    QTest::newRow("antipodes") << 10.0 << 20.0 << -10.0 << -160.0 << 20000.0 << 40.0 << -1;
    // Well-known pairs against WGS-84 geodesics (Vincenty): the sphere-corrected formula keeps
    // within 0.2 % and a degree of heading.
    QTest::newRow("New York to London") << 40.7128 << -74.006 << 51.5074 << -0.1278 << 5585.2 << 11.0
                                        << 51;
    QTest::newRow("London to Tokyo") << 51.5074 << -0.1278 << 35.6895 << 139.6917 << 9582.3 << 19.0
                                     << 31;
    QTest::newRow("Sydney to Los Angeles") << -33.8688 << 151.2093 << 34.0522 << -118.2437 << 12063.1
                                           << 24.0 << 61;
    QTest::newRow("Newington to Amsterdam") << 41.7148 << -72.7273 << 52.3676 << 4.9041 << 5725.3
                                            << 11.0 << 49;
    QTest::newRow("New York to Tokyo, heading west of north") << 40.7128 << -74.006 << 35.6895
                                                              << 139.6917 << 10872.8 << 22.0 << 332;
}

void tst_Geodesy::distanceAzimuth()
{
    QFETCH(double, ownLat);
    QFETCH(double, ownLon);
    QFETCH(double, lat);
    QFETCH(double, lon);
    QFETCH(double, km);
    QFETCH(double, kmTolerance);
    QFETCH(int, azimuth);

    const auto result = CalcDistanceAzimuth(ownLat, ownLon, lat, lon, false);
    QVERIFY(result);
    QVERIFY2(std::fabs(result->distance - km) <= kmTolerance,
             qPrintable(QString::number(result->distance, 'f', 6)));
    QVERIFY(result->azimuth >= 0 && result->azimuth <= 359);
    if (azimuth >= 0)  // whole degrees, floored
        QCOMPARE(result->azimuth, azimuth);
}

void tst_Geodesy::ownPositionUnknown()
{
    QVERIFY(!CalcDistanceAzimuth(0, 0, 51.5, -0.1, false));
    QVERIFY(!CalcDistanceAzimuth(0, 0, 51.5, -0.1, true));
    // Only both coordinates 0 mean unknown.
    QVERIFY(CalcDistanceAzimuth(0, 10, 51.5, -0.1, false));
}

void tst_Geodesy::samePlaceNeverNaN_data()
{
    QTest::addColumn<double>("ownLat");
    QTest::addColumn<double>("ownLon");
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lon");
    QTest::newRow("identical mid-latitude") << 52.37 << 4.9 << 52.37 << 4.9;
    QTest::newRow("identical awkward values") << 41.714775 << -72.72726 << 41.714775 << -72.72726;
    QTest::newRow("identical on the equator") << 0.0 << 33.3 << 0.0 << 33.3;
    QTest::newRow("identical near the pole") << 89.99 << 120.0 << 89.99 << 120.0;
    QTest::newRow("last bit of latitude apart") << 41.714775 << -72.72726
                                                << std::nextafter(41.714775, 90.0) << -72.72726;
    QTest::newRow("last bit of longitude apart") << -33.8688 << 151.2093 << -33.8688
                                                 << std::nextafter(151.2093, 180.0);
}

void tst_Geodesy::samePlaceNeverNaN()
{
    QFETCH(double, ownLat);
    QFETCH(double, ownLon);
    QFETCH(double, lat);
    QFETCH(double, lon);
    for (bool miles : {false, true}) {
        const auto result = CalcDistanceAzimuth(ownLat, ownLon, lat, lon, miles);
        QVERIFY(result);
        QCOMPARE(result->distance, 0.0);
        QCOMPARE(result->azimuth, 0);
    }
}

void tst_Geodesy::milesAreWholeAndFloored()
{
    // 45 N: one degree of longitude is about 78.8 km.
    const auto km = CalcDistanceAzimuth(45, 10, 45, 10.5, false);
    const auto mi = CalcDistanceAzimuth(45, 10, 45, 10.5, true);
    QVERIFY(km && mi);
    QCOMPARE(mi->distance, std::floor(km->distance / 1.609));
    QCOMPARE(mi->azimuth, km->azimuth);
}

void tst_Geodesy::programValuesOverload()
{
    ProgramValues values;
    values.OwnLatitude = 40.7128;
    values.OwnLongitude = -74.006;
    values.UseMiles = 1;
    const auto viaValues = CalcDistanceAzimuth(values, 51.5074, -0.1278);
    const auto direct = CalcDistanceAzimuth(40.7128, -74.006, 51.5074, -0.1278, true);
    QVERIFY(viaValues && direct);
    QCOMPARE(viaValues->distance, direct->distance);
    // Any UseMiles other than 1 means kilometres.
    values.UseMiles = 2;
    QCOMPARE(CalcDistanceAzimuth(values, 51.5074, -0.1278)->distance,
             CalcDistanceAzimuth(40.7128, -74.006, 51.5074, -0.1278, false)->distance);
}

void tst_Geodesy::distanceLine_data()
{
    QTest::addColumn<double>("ownLat");
    QTest::addColumn<double>("ownLon");
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lon");
    QTest::addColumn<bool>("miles");
    QTest::addColumn<QString>("expected");  // null: the label keeps its text

    const QString keep;
    QTest::newRow("station on the equator keeps the label")
        << 52.0 << 5.0 << 0.0 << 30.0 << false << keep;
    QTest::newRow("station on the prime meridian keeps the label")
        << 52.0 << 5.0 << 51.4779 << 0.0 << false << keep;
    QTest::newRow("own position unknown keeps the label")
        << 0.0 << 0.0 << 51.5 << -0.1 << true << keep;
    QTest::newRow("identical positions, miles")
        << 52.37 << 4.9 << 52.37 << 4.9 << true << QStringLiteral("Dx: 0 mi  Az: 0°");
    QTest::newRow("identical positions, km")
        << 52.37 << 4.9 << 52.37 << 4.9 << false << QStringLiteral("Dx: 0 km  Az: 0°");
    // About 1.6 km due east: 0 whole miles, so the heading is dropped to 0.
    QTest::newRow("under one mile gives Az 0")
        << 45.0 << 10.0 << 45.0 << 10.0203 << true << QStringLiteral("Dx: 0 mi  Az: 0°");
    QTest::newRow("same 1.6 km in km keeps the heading")
        << 45.0 << 10.0 << 45.0 << 10.0203 << false << QStringLiteral("Dx: 2 km  Az: 89°");
    QTest::newRow("thousands grouped, miles")
        << 40.7128 << -74.006 << 35.6895 << 139.6917 << true << QStringLiteral("Dx: 6,751 mi  Az: 332°");
    QTest::newRow("New York to London in km")
        << 40.7128 << -74.006 << 51.5074 << -0.1278 << false << QStringLiteral("Dx: 5,580 km  Az: 51°");
}

void tst_Geodesy::distanceLine()
{
    QFETCH(double, ownLat);
    QFETCH(double, ownLon);
    QFETCH(double, lat);
    QFETCH(double, lon);
    QFETCH(bool, miles);
    QFETCH(QString, expected);

    const auto line = FormatDistanceLine(ownLat, ownLon, lat, lon, miles, QLocale(QLocale::English,
                                                                                  QLocale::UnitedStates));
    if (expected.isNull()) {
        QVERIFY(!line);
        return;
    }
    QVERIFY(line);
    QCOMPARE(*line, expected);
}

void tst_Geodesy::distanceLineLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("distance");
    QTest::addColumn<QString>("expected");
    QTest::newRow("en_US groups with comma") << "en_US" << 4215.0 << "4,215";
    QTest::newRow("de_DE groups with dot") << "de_DE" << 4215.0 << "4.215";
    QTest::newRow("C locale still groups") << "C" << 4215.0 << "4,215";
    QTest::newRow("below a thousand") << "en_US" << 999.4 << "999";
    QTest::newRow("half goes to even, down") << "en_US" << 4214.5 << "4,214";
    QTest::newRow("half goes to even, up") << "en_US" << 4215.5 << "4,216";
    QTest::newRow("under a half is 0") << "en_US" << 0.4 << "0";
    QTest::newRow("several groups") << "en_US" << 1234567.0 << "1,234,567";
}

void tst_Geodesy::distanceLineLocale()
{
    QFETCH(QString, locale);
    QFETCH(double, distance);
    QFETCH(QString, expected);
    QCOMPARE(formatWholeDistance(distance, QLocale(locale)), expected);
}

void tst_Geodesy::grid_data()
{
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lon");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Newington CT") << 41.714775 << -72.72726 << "FN31pr";
    QTest::newRow("Greenwich, just west of 0") << 51.4779 << -0.0015 << "IO91xl";
    QTest::newRow("Sydney, south and east") << -33.8568 << 151.2153 << "QF56od";
    QTest::newRow("Rio de Janeiro, south and west") << -22.9068 << -43.1729 << "GG87jc";
    QTest::newRow("Tokyo") << 35.6895 << 139.6917 << "PM95uq";
    QTest::newRow("New York") << 40.7128 << -74.006 << "FN20xr";
    // Boundaries south and west fall into the cell farther from the equator or meridian.
    QTest::newRow("latitude exactly -33 gives square 6") << -33.0 << 151.5 << "QF56sx";
    QTest::newRow("longitude exactly -77.5 gives subsquare f") << 38.9 << -77.5 << "FM18fv";
    QTest::newRow("latitude exactly 33 stays north") << 33.0 << 151.5 << "QM53sa";
    QTest::newRow("latitude 90 gives field S") << 90.0 << 10.0 << "JS50aa";
    QTest::newRow("longitude 180 gives field S") << 10.0 << 180.0 << "SK00aa";
    QTest::newRow("longitude -180 starts the first field") << 10.0 << -180.0 << "AK00aa";
    QTest::newRow("latitude -90 starts the first field") << -90.0 << 10.0 << "JA50aa";
    QTest::newRow("origin") << 0.0 << 0.0 << "JJ00aa";
    QTest::newRow("latitude above 90 is empty") << 90.0001 << 10.0 << "";
    QTest::newRow("latitude below -90 is empty") << -91.0 << 10.0 << "";
    QTest::newRow("longitude above 180 is empty") << 10.0 << 180.5 << "";
    QTest::newRow("longitude below -180 is empty") << 10.0 << -181.0 << "";
    QTest::newRow("not a number is empty") << std::nan("") << 10.0 << "";
}

void tst_Geodesy::grid()
{
    QFETCH(double, lat);
    QFETCH(double, lon);
    QFETCH(QString, expected);
    QCOMPARE(LatLonToGrid(lat, lon), expected);
}

QTEST_APPLESS_MAIN(tst_Geodesy)
#include "tst_Geodesy.moc"
