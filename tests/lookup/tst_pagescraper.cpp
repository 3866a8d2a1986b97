// Field readers of the five call-book sources, run on small pages shaped like theirs.

#include "lookup/HtmlDecode.h"
#include "lookup/PageScraper.h"

#include <QtTest>

using namespace torvane;
using Event = PageScraper::NameEvent;
Q_DECLARE_METATYPE(PageScraper::NameEvent)

class TestPageScraper : public QObject {
    Q_OBJECT

private slots:
    void page_data();
    void page();
    void rule_data();
    void rule();
};

namespace {

// The pages as the sources lay them out; variants are made by replacing pieces of them.
const QString kEHamPage = QStringLiteral(R"(<html><body><div class="top"><a href="/">eHam.net</a> - Ham Radio Community</div>
<form>Call: <input name=c> Country: <select><option>All</option></select></form>
<h3>Search Results</h3>
<table class="results">
 <tr><td><b>W1AW</b> <img src="flag.gif"></td></tr>
 <tr><td>HIRAM PERCY MAXIM MEMORIAL STATION</td></tr>
 <tr><td>225 MAIN ST</td></tr>
 <tr><td>NEWINGTON, CT 06111</td></tr>
 <tr><td>United States</td></tr>
</table>
<table class="details">
 <tr><td>License Class</td><td>Club</td></tr>
 <tr><td>Country</td><td>United States</td></tr>
 <tr><td>Latitude</td><td>41.714775</td></tr>
 <tr><td>Longitude</td><td>-72.727260</td></tr>
</table>
<div class="footer">Privacy Policy - Terms of Use</div></body></html>)");

const QString kQrzPage = QStringLiteral(R"(<html><body><div id="hdr"><a href="/">QRZ.COM</a> Welcome AA1XX <a href="/logout">Logout</a></div>
<div id="csdata"><h1>W1AW</h1>
<div class="name">HIRAM PERCY MAXIM, ARRL HQ<br>225 MAIN ST<br>NEWINGTON, CT 06111<br>USA</div>
<table id="detail">
 <tr><th colspan="2">QRZ Record</th></tr>
 <tr><td>Latitude</td><td>41.714775 (approx)</td></tr>
 <tr><td>Longitude</td><td>-72.727260</td></tr>
 <tr><td>Grid Square</td><td>FN31pr</td></tr>
 <tr><td>Class</td><td>Club</td></tr>
 <tr><td>Born</td><td>1869</td></tr>
 <tr><td>Web Page</td><td><a href="http://www.arrl.org">http://www.arrl.org</a></td></tr>
</table></div>
<div class="footer">Copyright QRZ.com</div></body></html>)");

const QString kQrzCqPage = QStringLiteral(R"(<html><body><div class="top">Logged in as AA1XX | <b>QRZCQ.com</b></div>
<div class="name">HIRAM PERCY MAXIM</div>
<div>225 MAIN ST</div><div>NEWINGTON, CT 06111</div><div>USA</div>
<table>
 <tr><td>Latitude</td><td>41.714775</td></tr>
 <tr><td>Longitude</td><td>-72.727260</td></tr>
 <tr><td>Class</td><td>Club</td></tr>
</table>
<div>Copyright QRZCQ.com</div></body></html>)");

const QString kCallookPage = QStringLiteral(R"(<html><body><h1>W1AW</h1>
<table><tr><td><a href="/map">Show Map</a></td>
 <td>HIRAM PERCY MAXIM MEMORIAL STATION<br>225 MAIN ST<br>NEWINGTON, CT 06111</td></tr></table>
<table>
 <tr><td>Class:</td><td>CLUB</td></tr>
 <tr><td>Grid Square:</td><td>FN31pr</td></tr>
 <tr><td>Latitude:</td><td>41.714775</td></tr>
 <tr><td>Longitude:</td><td>-72.727260</td></tr>
</table>
<div>Data from the FCC ULS</div></body></html>)");

const QString kHamCallPage = QStringLiteral(R"(<html><body><div>Welcome to the HamCall callsign database!</div>
<div><img src="flag.gif">US HIRAM PERCY MAXIM, W1AW</div>
<div>225 MAIN ST</div><div>NEWINGTON, CT 06111 US</div><div>USA</div>
<div>Latitude: 41.714775 N, Longitude: 72.727260 W, Grid: FN31pr</div>
<div>License Class: Club</div>
<div>Birth Date: 08/02/1869</div>
<div>Copyright HamCall.net</div></body></html>)");

QString with(QString page, const QString &from, const QString &to)
{
    page.replace(from, to);
    return page;
}

}  // namespace

void TestPageScraper::page_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<QString>("page");  // HTML
    QTest::addColumn<QString>("name");
    QTest::addColumn<Event>("event");
    QTest::addColumn<QStringList>("address");  // Add1, Add2, Ctry
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lon");
    QTest::addColumn<QStringList>("more");  // Class, DateOfBirth, Grid, WebAddress

    auto found = [](const char *tag, int source, const QString &page, const QString &name,
                    const QStringList &address, double lat, double lon, const QStringList &more) {
        QTest::newRow(tag) << source << page << name << Event::None << address << lat << lon << more;
    };
    auto notFound = [](const char *tag, int source, const QString &page,
                       Event event = Event::CallNotFound) {
        QTest::newRow(tag) << source << page << QString() << event << QStringList() << 0.0 << 0.0 << QStringList();
    };
    const QString maxim = "HIRAM PERCY MAXIM";
    const QString station = "HIRAM PERCY MAXIM MEMORIAL STATION";
    const QStringList usa = {"225 MAIN ST", "NEWINGTON, CT 06111", "USA"};

    found("eHam", 1, kEHamPage, station, {"225 MAIN ST", "NEWINGTON, CT 06111", "United States"}, 41.714775, -72.72726, {"Club", "", "", ""});
    notFound("eHam call only before the results", 1, with(with(kEHamPage, "<b>W1AW</b>", "<b>W1AX</b>"), "<h3>", "W1AW <h3>"));
    notFound("eHam empty name line", 1, with(kEHamPage, station, "&nbsp;"));

    // QRZ values start right after their labels and so keep the cell's tab.
    found("QRZ", 2, kQrzPage, maxim, usa, 41.714775, -72.72726, {"\tClub", "\t1869", "\tFN31pr", "\thttp://www.arrl.org"});
    notFound("QRZ login is required", 2, with(kQrzPage, "Welcome AA1XX", "Login is required for more"), Event::LoginRequired);
    notFound("QRZ no results wins over login", 2, with(kQrzPage, "Welcome AA1XX", "Login is required. W1AW produced no results"));

    found("QRZCQ", 3, kQrzCqPage, maxim, usa, 41.714775, -72.72726, {"Club", "", "", ""});
    notFound("QRZCQ error page", 3, with(kQrzCqPage, maxim, "Error: no such call"));

    found("Callook", 4, kCallookPage, station, {"225 MAIN ST", "NEWINGTON, CT 06111", "U.S.A."}, 41.714775, -72.72726, {"CLUB", "", "FN31pr", ""});
    notFound("Callook name on the next line", 4, with(kCallookPage, "</a></td>\n <td>", "</a><br>"));
    notFound("Callook map link ends the page", 4, "<h1>W1AW</h1><a>Show Map</a>HIRAM");

    found("HamCall", 5, kHamCallPage, maxim, usa, 41.714775, -72.72726, {"Club", "1869", "", ""});
}

// Reads every field in the owner's order, and only when the name was found, as the owner does.
void TestPageScraper::page()
{
    QFETCH(int, source);
    QFETCH(QString, page);
    QFETCH(QString, name);
    QFETCH(Event, event);
    QFETCH(QStringList, address);
    QFETCH(double, lat);
    QFETCH(double, lon);
    QFETCH(QStringList, more);

    PageScraper scraper;
    scraper.PageText = HTMLDecode(page);
    scraper.Database = int16_t(source);
    Event got = Event::None;
    QCOMPARE(scraper.cName(u"W1AW", &got), name);
    QCOMPARE(got, event);
    if (name.isEmpty())
        return;
    const QString add1 = scraper.Add1();
    const QString add2 = scraper.Add2();
    QCOMPARE(QStringList({add1, add2, scraper.Ctry()}), address);
    QCOMPARE(scraper.Latitude(), lat);
    QCOMPARE(scraper.Longitude(), lon);
    const QString cls = scraper.Class();
    const QString dob = scraper.DateOfBirth();
    const QString grid = scraper.Grid();
    QCOMPARE(QStringList({cls, dob, grid, scraper.WebAddress()}), more);
}

// Rules on plain text at the edges of every guard, and where each reader leaves the cursor.
void TestPageScraper::rule_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("cursorBefore");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("cursorAfter");  // 1-based, "\r\n" counts two; -1: not checked

    QTest::newRow("eHam class, line end inside the offset") << 1 << "License Class\r\nX\r\n" << "Class" << 5 << "" << -1;
    QTest::newRow("eHam latitude, no line end") << 1 << "Latitude\t41.5" << "Latitude" << 5 << "0" << -1;
    QTest::newRow("HamCall year shorter than four") << 5 << "Birth Date: 69\r\n" << "DateOfBirth" << 5 << "69" << -1;
    QTest::newRow("address read with a lost cursor") << 1 << "a\r\nb\r\nc\r\n" << "Add1" << 0 << "" << -1;
    QTest::newRow("HamCall second address line shorter than three") << 5 << "x\r\nNY\r\n" << "Add2" << 1 << "" << -1;
    QTest::newRow("unknown source") << 6 << "License Class\tClub\r\n" << "Class" << 5 << "" << -1;
    QTest::newRow("QRZCQ nothing after the domain line") << 3 << "QRZCQ.com\r\n 1 2" << "cName" << 5 << "" << -1;
    QTest::newRow("QRZCQ no letter in reach takes the position after it")
        << 3 << "QRZCQ.com\r\n01234567890123456789NAME\r\n" << "cName" << 5 << "9NAME" << -1;
    QTest::newRow("QRZCQ blanks and digits before the name skipped") << 3 << "QRZCQ.com\r\n  1. HIRAM\r\n" << "cName" << 5 << "HIRAM" << -1;
    QTest::newRow("QRZCQ buddy link before the name") << 3 << "QRZCQ.com\r\n+ Buddy\r\nHIRAM\r\n" << "cName" << 5 << "HIRAM" << -1;
    QTest::newRow("QRZ class in two words gives the first") << 2 << "QRZ Record\r\nClass\tGeneral Class\r\n" << "Class" << 5 << "\tGeneral" << -1;
    QTest::newRow("HamCall south latitude") << 5 << "Latitude: 33.8 S, " << "Latitude" << 5 << "-33.8" << -1;
    QTest::newRow("HamCall hemisphere letter followed by blanks") << 5 << "Longitude: 72.7 W ," << "Longitude" << 5 << "-72.7" << -1;
    QTest::newRow("QRZ name on the first line") << 2 << "W1AW HIRAM MAXIM, ARRL\r\n" << "cName" << 5 << "W1AW HIRAM MAXIM" << -1;

    QTest::newRow("eHam name: cursor at the end of the name line")
        << 1 << "Country\r\nSearch Results\r\nW1AW\r\nJOE\r\nST\r\n" << "cName" << 3 << "JOE" << 35;
    QTest::newRow("QRZ name: cursor at the comma") << 2 << "x\r\nW1AW\r\nJOE SMITH, NY\r\n" << "cName" << 3 << "JOE SMITH" << 19;
    QTest::newRow("address: cursor at the end of the line read") << 1 << "ab\r\ncd\r\n" << "Add1" << 3 << "cd" << 7;
    QTest::newRow("Callook country does not move it") << 4 << "ab\r\ncd\r\n" << "Ctry" << 3 << "U.S.A." << 3;
    QTest::newRow("missing label does not move it") << 2 << "ab\r\n" << "Grid" << 3 << "" << 3;
    QTest::newRow("missing end marker loses it") << 2 << "Grid Square FN31" << "Grid" << 3 << "" << 0;
}

void TestPageScraper::rule()
{
    QFETCH(int, source);
    QFETCH(QString, text);
    QFETCH(QString, field);
    QFETCH(int, cursorBefore);
    QFETCH(QString, value);
    QFETCH(int, cursorAfter);

    PageScraper s;
    s.PageText = text;
    s.Database = int16_t(source);
    s.Cursor = cursorBefore;
    const QHash<QString, std::function<QString()>> readers = {
        {"cName", [&] { return s.cName(u"W1AW"); }},
        {"Add1", [&] { return s.Add1(); }},
        {"Add2", [&] { return s.Add2(); }},
        {"Ctry", [&] { return s.Ctry(); }},
        {"Class", [&] { return s.Class(); }},
        {"DateOfBirth", [&] { return s.DateOfBirth(); }},
        {"Grid", [&] { return s.Grid(); }},
        {"Latitude", [&] { return QString::number(s.Latitude()); }},
        {"Longitude", [&] { return QString::number(s.Longitude()); }},
    };
    QVERIFY(readers.contains(field));
    QCOMPARE(readers[field](), value);
    if (cursorAfter >= 0)
        QCOMPARE(s.Cursor, cursorAfter);
}

QTEST_APPLESS_MAIN(TestPageScraper)
#include "tst_pagescraper.moc"
