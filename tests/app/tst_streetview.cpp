// The satellite-view address of the shown station.

#include "app/StreetView.h"

#include <QLocale>
#include <QTest>

using namespace torvane;

class TestStreetView : public QObject {
    Q_OBJECT

private slots:
    // Address rows ask for the station at 1 N 2 E; the title is the call box's text.
    void streetViewUrl_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("add1");
        QTest::addColumn<QString>("add2");
        QTest::addColumn<QString>("country");
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<bool>("byPosition");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("place");
        const auto address = [](const char *tag, const char *call, const char *add1, const char *add2,
                                const char *country, const char *place) {
            QTest::newRow(tag) << QString(call) << QString::fromUtf8(add1) << QString(add2) << QString(country)
                               << 1.0 << 2.0 << false << QString(call) << QString(place) + "/@1,2";
        };
        address("W call loses the zip and the blank before it", "W1AW", "225 Main St", "Newington, CT 06111",
                "United States", "225+Main+St,+Newington,+CT,+United+States");
        address("zip+4 with its dash goes too", "K5ABC", "1 Elm St", "Austin, TX 78701-1234", "USA", "1+Elm+St,+Austin,+TX,+USA");
        address("lower-case n call counts as N", "n1xyz", "2 Oak Rd", "Salem, MA 01970", "USA", "2+Oak+Rd,+Salem,+MA,+USA");
        address("a second line of digits only goes", "W2AB", "4 Bay Rd", "12345", "USA", "4+Bay+Rd,+,+USA");
        address("trailing comma and blanks go with the zip", "W4XY", "1 A St", "Dover, DE , ", "USA", "1+A+St,+Dover,+DE,+USA");
        address("G call keeps its postcode", "G4XYZ", "10 High St", "Bristol 12345", "England",
                "10+High+St,+Bristol+12345,+England");
        address("captions are trimmed first", "JA1ABC", "  1-2-3 Chiyoda  ", " Tokyo ", " Japan ", "1-2-3+Chiyoda,+Tokyo,+Japan");
        address("a # in the address does not cut the rest off", "W3XY", "12 Main St #4", "Dover, DE 19901", "USA",
                "12+Main+St+%234,+Dover,+DE,+USA");
        address("slash and question mark kept inside the place", "G0ABC", "1/2 Mill Lane?", "Leeds", "UK",
                "1%2F2+Mill+Lane%3F,+Leeds,+UK");
        address("empty call box keeps the zip", "", "5 Elm", "Boise 83702", "USA", "5+Elm,+Boise+83702,+USA");
        // The viewer splits title and address at the first "*".
        QTest::newRow("star stays out of the title") << "W1*AW" << "A*B" << "" << "" << 1.0 << 2.0 << false << "W1AW" << "A%2AB,+,+/@1,2";
        // The position form ignores the address.
        QTest::newRow("position south east") << "W1AW" << "ignored" << "" << "" << -33.865 << 151.2094 << true << "W1AW"
                                             << "-33.865+151.2094/@-33.865,151.2094";
        QTest::newRow("position in whole degrees") << "W1AW" << "ignored" << "" << "" << 52.0 << 5.0 << true << "W1AW" << "52+5/@52,5";
    }
    void streetViewUrl()
    {
        QFETCH(QString, call);
        QFETCH(QString, add1);
        QFETCH(QString, add2);
        QFETCH(QString, country);
        QFETCH(double, lat);
        QFETCH(double, lon);
        QFETCH(bool, byPosition);
        QFETCH(QString, title);
        QFETCH(QString, place);
        // A locale that writes decimal commas must not reach the address.
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString url = StreetViewUrl(call, QStringLiteral("https://maps.example.org"), add1, add2, country, lat,
                                          lon, byPosition ? StreetViewForm::Position : StreetViewForm::Address);
        QLocale::setDefault(previous);
        QCOMPARE(url, title + QStringLiteral("*https://maps.example.org/maps/place/") + place
                          + QStringLiteral(",19z/data=!3m1!1e3"));
    }
};

QTEST_APPLESS_MAIN(TestStreetView)
#include "tst_streetview.moc"
