#include "core/ProgramValues.h"
#include "geo/Geodesy.h"

#include <QtTest>
#include <cmath>

using namespace torvane;

class tst_Geodesy : public QObject {
    Q_OBJECT

private slots:
    void distanceAzimuth_data()
    {
        QTest::addColumn<double>("ownLat");
        QTest::addColumn<double>("ownLon");
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<double>("km");  // negative: no result
        QTest::addColumn<double>("kmTolerance");
        QTest::addColumn<int>("azimuth");  // negative: not checked

        // On the equator the ellipsoid terms vanish: 6378 km times the central angle, due east.
        // Own latitude 0 alone is a known position.
        QTest::newRow("equator pair") << 0.0 << 10.0 << 0.0 << 20.0 << 1113.171 << 1e-3 << 90;
        QTest::newRow("due south is exactly 180") << 30.0 << 20.0 << 10.0 << 20.0 << 2213.0 << 5.0 << 180;
        QTest::newRow("just west of north wraps to 359") << 10.0 << 20.0 << 30.0 << 19.999 << 2213.0 << 5.0 << 359;
        QTest::newRow("antipodes, about half a meridian") << 10.0 << 20.0 << -10.0 << -160.0 << 20000.0 << 40.0 << -1;
        // Against WGS-84 geodesics (Vincenty): within 0.2 % and a degree of heading.
        QTest::newRow("New York to London") << 40.7128 << -74.006 << 51.5074 << -0.1278 << 5585.2 << 11.0 << 51;
        QTest::newRow("New York to Tokyo, heading west of north")
            << 40.7128 << -74.006 << 35.6895 << 139.6917 << 10872.8 << 22.0 << 332;
        QTest::newRow("own position 0/0 is unknown") << 0.0 << 0.0 << 51.5 << -0.1 << -1.0 << 0.0 << -1;
        // Identical or nearly identical positions: 0 and 0, never not-a-number.
        QTest::newRow("identical awkward values")
            << 41.714775 << -72.72726 << 41.714775 << -72.72726 << 0.0 << 0.0 << 0;
        QTest::newRow("last bit of latitude apart")
            << 41.714775 << -72.72726 << std::nextafter(41.714775, 90.0) << -72.72726 << 0.0 << 0.0 << 0;
    }
    void distanceAzimuth()
    {
        QFETCH(double, ownLat);
        QFETCH(double, ownLon);
        QFETCH(double, lat);
        QFETCH(double, lon);
        QFETCH(double, km);
        QFETCH(double, kmTolerance);
        QFETCH(int, azimuth);
        const auto result = CalcDistanceAzimuth(ownLat, ownLon, lat, lon, false);
        QCOMPARE(bool(result), km >= 0);
        if (!result)
            return;
        QVERIFY2(std::fabs(result->distance - km) <= kmTolerance, qPrintable(QString::number(result->distance, 'f', 6)));
        QVERIFY(result->azimuth >= 0 && result->azimuth <= 359);
        if (azimuth >= 0)  // whole degrees, floored
            QCOMPARE(result->azimuth, azimuth);
    }

    void unitFromProgramValues()
    {
        ProgramValues values;
        values.OwnLatitude = 40.7128;
        values.OwnLongitude = -74.006;
        values.UseMiles = 1;
        QCOMPARE(CalcDistanceAzimuth(values, 51.5074, -0.1278)->distance, 3468.0);
        values.UseMiles = 2;  // anything but 1 means kilometres
        QVERIFY(std::fabs(CalcDistanceAzimuth(values, 51.5074, -0.1278)->distance - 5585.2) < 11);
    }

    void distanceLine_data()
    {
        QTest::addColumn<double>("ownLat");
        QTest::addColumn<double>("ownLon");
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<bool>("miles");
        QTest::addColumn<QString>("expected");  // null: the label keeps its text

        const QString keep;
        QTest::newRow("station on the equator keeps the label") << 52.0 << 5.0 << 0.0 << 30.0 << false << keep;
        QTest::newRow("station on the prime meridian keeps the label")
            << 52.0 << 5.0 << 51.4779 << 0.0 << false << keep;
        QTest::newRow("own position unknown keeps the label") << 0.0 << 0.0 << 51.5 << -0.1 << true << keep;
        // About 1.6 km due east: 0 whole miles (floored), so the heading is dropped to 0.
        QTest::newRow("under one mile gives Az 0")
            << 45.0 << 10.0 << 45.0 << 10.0203 << true << QStringLiteral("Dx: 0 mi  Az: 0°");
        QTest::newRow("same 1.6 km in km keeps the heading")
            << 45.0 << 10.0 << 45.0 << 10.0203 << false << QStringLiteral("Dx: 2 km  Az: 89°");
        QTest::newRow("thousands grouped, miles")
            << 40.7128 << -74.006 << 35.6895 << 139.6917 << true << QStringLiteral("Dx: 6,751 mi  Az: 332°");
    }
    void distanceLine()
    {
        QFETCH(double, ownLat);
        QFETCH(double, ownLon);
        QFETCH(double, lat);
        QFETCH(double, lon);
        QFETCH(bool, miles);
        QFETCH(QString, expected);
        const auto line = FormatDistanceLine(ownLat, ownLon, lat, lon, miles,
                                             QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(line.value_or(QString()), expected);
    }

    void wholeDistance_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("distance");
        QTest::addColumn<QString>("expected");
        QTest::newRow("C locale still groups") << "C" << 1234567.0 << "1,234,567";
        QTest::newRow("half goes to even, down") << "en_US" << 4214.5 << "4,214";
        QTest::newRow("half goes to even, up") << "en_US" << 4215.5 << "4,216";
    }
    void wholeDistance()
    {
        QFETCH(QString, locale);
        QFETCH(double, distance);
        QFETCH(QString, expected);
        QCOMPARE(formatWholeDistance(distance, QLocale(locale)), expected);
    }

    void grid_data()
    {
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Greenwich, just west of 0") << 51.4779 << -0.0015 << "IO91xl";
        QTest::newRow("Rio de Janeiro, south and west") << -22.9068 << -43.1729 << "GG87jc";
        // Boundaries south and west fall into the cell farther from the equator or meridian.
        QTest::newRow("latitude exactly -33 gives square 6") << -33.0 << 151.5 << "QF56sx";
        QTest::newRow("longitude exactly -77.5 gives subsquare f") << 38.9 << -77.5 << "FM18fv";
        QTest::newRow("longitude 180 gives field S") << 10.0 << 180.0 << "SK00aa";
        QTest::newRow("longitude -180 starts the first field") << 10.0 << -180.0 << "AK00aa";
        QTest::newRow("latitude above 90 is empty") << 90.0001 << 10.0 << "";
        QTest::newRow("longitude below -180 is empty") << 10.0 << -181.0 << "";
        QTest::newRow("not a number is empty") << std::nan("") << 10.0 << "";
    }
    void grid()
    {
        QFETCH(double, lat);
        QFETCH(double, lon);
        QFETCH(QString, expected);
        QCOMPARE(LatLonToGrid(lat, lon), expected);
    }
};

QTEST_APPLESS_MAIN(tst_Geodesy)
#include "tst_Geodesy.moc"
