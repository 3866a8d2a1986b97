// The satellite-view address of the shown station.

#include "app/StreetView.h"

#include <QLocale>
#include <QTest>

using namespace torvane;

class TestStreetView : public QObject {
    Q_OBJECT

private slots:
    // The station is at 33.865 S 151.2094 E; captions are trimmed; the title is the call box's
    // text. Calls of the United States (K, A, N, W) lose the zip code and whatever ends the second
    // line with it.
    void streetViewUrl_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("add1");
        QTest::addColumn<QString>("add2");
        QTest::addColumn<bool>("byPosition");
        QTest::addColumn<QString>("expected");
        QTest::newRow("W call loses the zip and the blank before it")
            << "W1AW" << "225 Main St" << "Newington, CT 06111" << false << "W1AW*225+Main+St,+Newington,+CT,+USA";
        QTest::newRow("zip+4, trailing comma and blanks go too")
            << "K5ABC" << "1 Elm St" << "Austin, TX , 78701-1234" << false << "K5ABC*1+Elm+St,+Austin,+TX,+USA";
        QTest::newRow("lower-case n call counts as N") << "n1xyz" << "2 Oak Rd" << "Salem, MA 01970" << false
                                                       << "n1xyz*2+Oak+Rd,+Salem,+MA,+USA";
        QTest::newRow("G call keeps its postcode") << "G4XYZ" << " 10 High St " << "Bristol 12345" << false
                                                   << "G4XYZ*10+High+St,+Bristol+12345,+USA";
        QTest::newRow("empty call box keeps the zip") << "" << "5 Elm" << "Boise 83702" << false << "*5+Elm,+Boise+83702,+USA";
        // "#", "?" and "/" would cut the place short; the viewer splits the title off at the first "*".
        QTest::newRow("characters that end a path are encoded") << "G0*ABC" << "1/2 Mill #4?" << "A*B" << false
                                                                << "G0ABC*1%2F2+Mill+%234%3F,+A%2AB,+USA";
        QTest::newRow("position form ignores the address") << "W1AW" << "ignored" << "" << true
                                                           << "W1AW*-33.865+151.2094";
    }
    void streetViewUrl()
    {
        QFETCH(QString, call);
        QFETCH(QString, add1);
        QFETCH(QString, add2);
        QFETCH(bool, byPosition);
        QFETCH(QString, expected);
        // A locale that writes decimal commas must not reach the address.
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString url = StreetViewUrl(call, QStringLiteral("https://maps.example.org"), add1, add2, QStringLiteral(" USA "),
                                          -33.865, 151.2094, byPosition ? StreetViewForm::Position : StreetViewForm::Address);
        QLocale::setDefault(previous);
        QCOMPARE(url, expected.section(u'*', 0, 0) + QStringLiteral("*https://maps.example.org/maps/place/")
                          + expected.section(u'*', 1) + QStringLiteral("/@-33.865,151.2094,19z/data=!3m1!1e3"));
    }
};

QTEST_APPLESS_MAIN(TestStreetView)
#include "tst_streetview.moc"
