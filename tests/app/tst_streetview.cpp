// The satellite-view address of the shown station.

#include "app/StreetView.h"

#include <QLocale>
#include <QTest>

using namespace torvane;

namespace {
const QString kHost = QStringLiteral("https://maps.example.org");
const QString kTail = QStringLiteral(",19z/data=!3m1!1e3");
}  // namespace

class TestStreetView : public QObject {
    Q_OBJECT

private slots:
    void addressForm_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("add1");
        QTest::addColumn<QString>("add2");
        QTest::addColumn<QString>("country");
        QTest::addColumn<QString>("place");

        QTest::newRow("W call loses the zip and the blank before it")
            << "W1AW" << "225 Main St" << "Newington, CT 06111" << "United States"
            << "225+Main+St,+Newington,+CT,+United+States";
        QTest::newRow("zip+4 with its dash goes too")
            << "K5ABC" << "1 Elm St" << "Austin, TX 78701-1234" << "USA" << "1+Elm+St,+Austin,+TX,+USA";
        QTest::newRow("lower-case n call counts as N")
            << "n1xyz" << "2 Oak Rd" << "Salem, MA 01970" << "USA" << "2+Oak+Rd,+Salem,+MA,+USA";
        QTest::newRow("a second line of digits only goes")
            << "W2AB" << "4 Bay Rd" << "12345" << "USA" << "4+Bay+Rd,+,+USA";
        QTest::newRow("trailing comma and blanks go with the zip")
            << "W4XY" << "1 A St" << "Dover, DE , " << "USA" << "1+A+St,+Dover,+DE,+USA";
        QTest::newRow("G call keeps its postcode")
            << "G4XYZ" << "10 High St" << "Bristol 12345" << "England" << "10+High+St,+Bristol+12345,+England";
        QTest::newRow("captions are trimmed first")
            << "JA1ABC" << "  1-2-3 Chiyoda  " << " Tokyo " << " Japan " << "1-2-3+Chiyoda,+Tokyo,+Japan";
        QTest::newRow("a # in the address does not cut the rest off")
            << "W3XY" << "12 Main St #4" << "Dover, DE 19901" << "USA" << "12+Main+St+%234,+Dover,+DE,+USA";
        QTest::newRow("slash and question mark kept inside the place")
            << "G0ABC" << "1/2 Mill Lane?" << "Leeds" << "UK" << "1%2F2+Mill+Lane%3F,+Leeds,+UK";
        QTest::newRow("empty call box keeps the zip")
            << "" << "5 Elm" << "Boise 83702" << "USA" << "5+Elm,+Boise+83702,+USA";
    }
    void addressForm()
    {
        QFETCH(QString, call);
        QFETCH(QString, add1);
        QFETCH(QString, add2);
        QFETCH(QString, country);
        QFETCH(QString, place);
        const QString url = StreetViewUrl(call, kHost, add1, add2, country, 41.714775, -72.72726,
                                          StreetViewForm::Address);
        QCOMPARE(url, call + u'*' + kHost + QStringLiteral("/maps/place/") + place
                          + QStringLiteral("/@41.714775,-72.72726") + kTail);
    }

    void positionForm_data()
    {
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<QString>("expected");
        QTest::newRow("south east") << -33.865 << 151.2094 << "-33.865+151.2094/@-33.865,151.2094";
        QTest::newRow("whole degrees") << 52.0 << 5.0 << "52+5/@52,5";
    }
    void positionForm()
    {
        QFETCH(double, lat);
        QFETCH(double, lon);
        QFETCH(QString, expected);
        // A locale that writes decimal commas must not reach the address.
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString url = StreetViewUrl(QStringLiteral("W1AW"), kHost, QStringLiteral("ignored"),
                                          QStringLiteral("Newington, CT 06111"), QStringLiteral("USA"),
                                          lat, lon, StreetViewForm::Position);
        QLocale::setDefault(previous);
        QCOMPARE(url, QStringLiteral("W1AW*") + kHost + QStringLiteral("/maps/place/") + expected + kTail);
    }

    void starInTheCallBoxStaysOutOfTheTitle()
    {
        // The viewer splits title and address at the first "*".
        const QString url = StreetViewUrl(QStringLiteral("W1*AW"), kHost, QStringLiteral("A*B"),
                                          QString(), QString(), 1, 2, StreetViewForm::Address);
        QVERIFY(url.startsWith(QStringLiteral("W1AW*") + kHost + QStringLiteral("/maps/place/A%2AB,+,+/@1,2")));
    }

};

QTEST_APPLESS_MAIN(TestStreetView)
#include "tst_streetview.moc"
