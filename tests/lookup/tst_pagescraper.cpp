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
    void eHam_data();
    void eHam() { readAll(kSourceEHam); }
    void qrz_data();
    void qrz() { readAll(kSourceQrz); }
    void qrzCq_data();
    void qrzCq() { readAll(kSourceQrzCq); }
    void callook_data();
    void callook() { readAll(kSourceCallook); }
    void hamCall_data();
    void hamCall() { readAll(kSourceHamCall); }
    void guardedText_data();
    void guardedText();
    void cursor_data();
    void cursor();

private:
    static void addColumns();
    static void readAll(int16_t source);
};

namespace {

// The pages as the sources lay them out; variants are made by replacing pieces of them.
const QString kEHamPage = QStringLiteral(R"(<html><head><title>eHam.net Callbook</title></head>
<body><div class="top"><a href="/">eHam.net</a> - Ham Radio Community</div>
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

const QString kQrzPage = QStringLiteral(R"(<html><head><title>W1AW - QRZ.com</title></head>
<body><div id="hdr"><a href="/">QRZ.COM</a> Welcome AA1XX <a href="/logout">Logout</a></div>
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

const QString kQrzCqPage = QStringLiteral(R"(<html><head><title>W1AW</title></head>
<body><div class="top">Logged in as AA1XX | <b>QRZCQ.com</b></div>
<div class="name">HIRAM PERCY MAXIM</div>
<div>225 MAIN ST</div><div>NEWINGTON, CT 06111</div><div>USA</div>
<table>
 <tr><td>Latitude</td><td>41.714775</td></tr>
 <tr><td>Longitude</td><td>-72.727260</td></tr>
 <tr><td>Class</td><td>Club</td></tr>
</table>
<div>Copyright QRZCQ.com</div></body></html>)");

const QString kCallookPage = QStringLiteral(R"(<html><head><title>callook.info</title></head>
<body><h1>W1AW</h1>
<table><tr><td><a href="/map">Show Map</a></td>
 <td>HIRAM PERCY MAXIM MEMORIAL STATION<br>225 MAIN ST<br>NEWINGTON, CT 06111</td></tr></table>
<table>
 <tr><td>Class:</td><td>CLUB</td></tr>
 <tr><td>Grid Square:</td><td>FN31pr</td></tr>
 <tr><td>Latitude:</td><td>41.714775</td></tr>
 <tr><td>Longitude:</td><td>-72.727260</td></tr>
</table>
<div>Data from the FCC ULS</div></body></html>)");

const QString kHamCallPage = QStringLiteral(R"(<html><head><title>HamCall</title></head>
<body><div>Welcome to the HamCall callsign database!</div>
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

void TestPageScraper::addColumns()
{
    QTest::addColumn<QString>("page");  // HTML
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("name");
    QTest::addColumn<Event>("event");
    QTest::addColumn<QStringList>("address");  // Add1, Add2, Ctry
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lon");
    QTest::addColumn<QStringList>("more");  // Class, DateOfBirth, Grid, WebAddress
}

// Reads every field in the owner's order, and only when the name was found, as the owner does.
void TestPageScraper::readAll(int16_t source)
{
    QFETCH(QString, page);
    QFETCH(QString, call);
    QFETCH(QString, name);
    QFETCH(Event, event);
    QFETCH(QStringList, address);
    QFETCH(double, lat);
    QFETCH(double, lon);
    QFETCH(QStringList, more);

    PageScraper scraper;
    scraper.PageText = HTMLDecode(page);
    scraper.Database = source;
    Event got = Event::None;
    QCOMPARE(scraper.cName(call, &got), name);
    QCOMPARE(got, event);
    if (name.isEmpty())
        return;
    const QString add1 = scraper.Add1();
    const QString add2 = scraper.Add2();
    const QString ctry = scraper.Ctry();
    QCOMPARE(QStringList({add1, add2, ctry}), address);
    QCOMPARE(scraper.Latitude(), lat);
    QCOMPARE(scraper.Longitude(), lon);
    const QString cls = scraper.Class();
    const QString dob = scraper.DateOfBirth();
    const QString grid = scraper.Grid();
    const QString web = scraper.WebAddress();
    QCOMPARE(QStringList({cls, dob, grid, web}), more);
}

void TestPageScraper::eHam_data()
{
    addColumns();
    const QString name = "HIRAM PERCY MAXIM MEMORIAL STATION";
    const QStringList address = {"225 MAIN ST", "NEWINGTON, CT 06111", "United States"};
    const QStringList more = {"Club", "", "", ""};

    QTest::newRow("full page") << kEHamPage << "W1AW" << name << Event::None << address
                               << 41.714775 << -72.72726 << more;
    QTest::newRow("blanks around the name trimmed")
        << with(kEHamPage, "<td>HIRAM", "<td>&nbsp; <i>HIRAM</i>") << "W1AW" << name
        << Event::None << address << 41.714775 << -72.72726 << more;
    QTest::newRow("no Country: not found")
        << with(with(kEHamPage, "Country", "Land"), "Land: ", "") << "W1AW" << QString()
        << Event::CallNotFound << QStringList() << 0.0 << 0.0 << QStringList();
    QTest::newRow("no results: not found")
        << with(kEHamPage, "Search Results", "No Results") << "W1AW" << QString()
        << Event::CallNotFound << QStringList() << 0.0 << 0.0 << QStringList();
    QTest::newRow("call only before the results: not found")
        << with(with(kEHamPage, "<b>W1AW</b>", "<b>W1AX</b>"), "<h3>", "W1AW <h3>") << "W1AW"
        << QString() << Event::CallNotFound << QStringList() << 0.0 << 0.0 << QStringList();
    QTest::newRow("empty name line: not found")
        << with(kEHamPage, "HIRAM PERCY MAXIM MEMORIAL STATION", "&nbsp;") << "W1AW"
        << QString() << Event::CallNotFound << QStringList() << 0.0 << 0.0 << QStringList();
    QTest::newRow("no position, no class")
        << with(with(kEHamPage, "Latitude", "Lat"), "License Class", "Licence") << "W1AW"
        << name << Event::None << address << 0.0 << -72.72726 << QStringList({"", "", "", ""});
}

void TestPageScraper::qrz_data()
{
    addColumns();
    const QStringList address = {"225 MAIN ST", "NEWINGTON, CT 06111", "USA"};
    // The values start right after their labels and so keep the cell's tab.
    const QStringList more = {"\tClub", "\t1869", "\tFN31pr", "\thttp://www.arrl.org"};

    QTest::newRow("full page") << kQrzPage << "W1AW" << "HIRAM PERCY MAXIM" << Event::None
                               << address << 41.714775 << -72.72726 << more;
    QTest::newRow("login is required")
        << with(kQrzPage, "Welcome AA1XX", "Login is required for more") << "W1AW" << QString()
        << Event::LoginRequired << QStringList() << 0.0 << 0.0 << QStringList();
    QTest::newRow("no results wins over login")
        << with(kQrzPage, "Welcome AA1XX", "Login is required. W1AW produced no results")
        << "W1AW" << QString() << Event::CallNotFound << QStringList() << 0.0 << 0.0
        << QStringList();
    QTest::newRow("call absent") << kQrzPage << "K1ABC" << QString() << Event::CallNotFound
                                 << QStringList() << 0.0 << 0.0 << QStringList();
    QTest::newRow("no comma after the call")
        << with(with(kQrzPage, "MAXIM, ARRL", "MAXIM ARRL"), "NEWINGTON, CT", "NEWINGTON CT")
        << "W1AW" << QString() << Event::CallNotFound << QStringList() << 0.0 << 0.0
        << QStringList();
    QTest::newRow("name keeps its blanks")
        << with(kQrzPage, "HIRAM PERCY MAXIM,", "<b>HIRAM</b>  PERCY&nbsp;&nbsp;MAXIM ,")
        << "W1AW" << "HIRAM PERCY  MAXIM " << Event::None << address << 41.714775 << -72.72726
        << more;
    QTest::newRow("class in two words gives the first")
        << with(kQrzPage, "<td>Club</td>", "<td>General Class</td>") << "W1AW"
        << "HIRAM PERCY MAXIM" << Event::None << address << 41.714775 << -72.72726
        << QStringList({"\tGeneral", "\t1869", "\tFN31pr", "\thttp://www.arrl.org"});
    QTest::newRow("no QRZ Record: no class")
        << with(kQrzPage, "QRZ Record", "Details") << "W1AW" << "HIRAM PERCY MAXIM"
        << Event::None << address << 41.714775 << -72.72726
        << QStringList({"", "\t1869", "\tFN31pr", "\thttp://www.arrl.org"});
    QTest::newRow("missing rows")
        << with(with(kQrzPage, "Born", "Age"), "Web Page", "Email") << "W1AW"
        << "HIRAM PERCY MAXIM" << Event::None << address << 41.714775 << -72.72726
        << QStringList({"\tClub", "", "\tFN31pr", ""});
}

void TestPageScraper::qrzCq_data()
{
    addColumns();
    const QString name = "HIRAM PERCY MAXIM";
    const QStringList address = {"225 MAIN ST", "NEWINGTON, CT 06111", "USA"};
    const QStringList more = {"Club", "", "", ""};

    QTest::newRow("full page") << kQrzCqPage << "W1AW" << name << Event::None << address
                               << 41.714775 << -72.72726 << more;
    QTest::newRow("blanks and digits before the name skipped")
        << with(kQrzCqPage, "<div class=\"name\">", "<div class=\"name\">&nbsp; 1. ") << "W1AW"
        << name << Event::None << address << 41.714775 << -72.72726 << more;
    QTest::newRow("buddy link before the name")
        << with(kQrzCqPage, "<div class=\"name\">", "<div><a>+ Buddy</a><br>") << "W1AW"
        << name << Event::None << address << 41.714775 << -72.72726 << more;
    QTest::newRow("error page")
        << with(kQrzCqPage, "HIRAM PERCY MAXIM", "Error: no such call") << "W1AW" << QString()
        << Event::CallNotFound << QStringList() << 0.0 << 0.0 << QStringList();
    QTest::newRow("not a QRZCQ page")
        << with(kQrzCqPage, "QRZCQ.com", "qrzcq") << "W1AW" << QString()
        << Event::CallNotFound << QStringList() << 0.0 << 0.0 << QStringList();
    QTest::newRow("domain on the last line")
        << "<div>Nothing here</div><div>QRZCQ.com</div>" << "W1AW" << QString()
        << Event::CallNotFound << QStringList() << 0.0 << 0.0 << QStringList();
}

void TestPageScraper::callook_data()
{
    addColumns();
    const QString name = "HIRAM PERCY MAXIM MEMORIAL STATION";
    const QStringList address = {"225 MAIN ST", "NEWINGTON, CT 06111", "U.S.A."};
    const QStringList more = {"CLUB", "", "FN31pr", ""};

    QTest::newRow("full page") << kCallookPage << "W1AW" << name << Event::None << address
                               << 41.714775 << -72.72726 << more;
    QTest::newRow("blanks around the name trimmed")
        << with(kCallookPage, "<td>HIRAM", "<td> &nbsp;HIRAM") << "W1AW" << name
        << Event::None << address << 41.714775 << -72.72726 << more;
    QTest::newRow("no map link: not found")
        << with(kCallookPage, "Show Map", "Map") << "W1AW" << QString() << Event::CallNotFound
        << QStringList() << 0.0 << 0.0 << QStringList();
    QTest::newRow("name on the next line: empty, not found")
        << with(kCallookPage, "</a></td>\n <td>", "</a><br>") << "W1AW" << QString()
        << Event::CallNotFound << QStringList() << 0.0 << 0.0 << QStringList();
    QTest::newRow("map link ends the page")
        << "<h1>W1AW</h1><a>Show Map</a>HIRAM" << "W1AW" << QString()
        << Event::CallNotFound << QStringList() << 0.0 << 0.0 << QStringList();
}

void TestPageScraper::hamCall_data()
{
    addColumns();
    const QString name = "HIRAM PERCY MAXIM";
    const QStringList address = {"225 MAIN ST", "NEWINGTON, CT 06111", "USA"};
    const QStringList more = {"Club", "1869", "", ""};

    QTest::newRow("full page, west longitude")
        << kHamCallPage << "W1AW" << name << Event::None << address << 41.714775 << -72.72726
        << more;
    QTest::newRow("south latitude, east longitude")
        << with(kHamCallPage, "41.714775 N, Longitude: 72.727260 W",
                "33.8 S, Longitude: 151.2 E")
        << "W1AW" << name << Event::None << address << -33.8 << 151.2 << more;
    QTest::newRow("hemisphere letter followed by blanks")
        << with(kHamCallPage, "72.727260 W,", "72.727260 W ,") << "W1AW" << name << Event::None
        << address << 41.714775 << -72.72726 << more;
    QTest::newRow("not on the page")
        << with(kHamCallPage, "callsign database!", "callsign database") << "W1AW" << QString()
        << Event::CallNotFound << QStringList() << 0.0 << 0.0 << QStringList();
    QTest::newRow("no comma after the name")
        << with(with(with(kHamCallPage, "MAXIM, W1AW", "MAXIM W1AW"), "NEWINGTON, CT",
                     "NEWINGTON CT"),
                "N, Longitude: 72.727260 W, Grid", "N Longitude: 72.727260 W Grid")
        << "W1AW" << QString() << Event::CallNotFound << QStringList() << 0.0 << 0.0
        << QStringList();
    QTest::newRow("short address line and missing rows")
        << with(with(kHamCallPage, "NEWINGTON, CT 06111 US", "NY"), "Birth Date", "Born")
        << "W1AW" << name << Event::None << QStringList({"225 MAIN ST", "", "USA"})
        << 41.714775 << -72.72726 << QStringList({"Club", "", "", ""});
}

// Rules on plain text, at the edges of every guard: missing and misplaced end markers.
void TestPageScraper::guardedText_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("cursorBefore");
    QTest::addColumn<QString>("value");

    QTest::newRow("eHam class, no line end after it")
        << 1 << "License Class\tClub" << "Class" << 5 << "";
    QTest::newRow("eHam class, line end inside the offset")
        << 1 << "License Class\r\nX\r\n" << "Class" << 5 << "";
    QTest::newRow("eHam latitude, no line end") << 1 << "Latitude\t41.5" << "Latitude" << 5
                                                << "0";
    QTest::newRow("QRZ latitude, space right after the label")
        << 2 << "Latitude 41.5 x" << "Latitude" << 5 << "0";
    QTest::newRow("QRZ born at the very end") << 2 << "Born" << "DateOfBirth" << 5 << "";
    QTest::newRow("Callook grid label cut short")
        << 4 << "Grid Square:\r\n" << "Grid" << 5 << "";
    QTest::newRow("HamCall year shorter than four")
        << 5 << "Birth Date: 69\r\n" << "DateOfBirth" << 5 << "69";
    QTest::newRow("HamCall latitude without comma")
        << 5 << "Latitude: 33.8 S" << "Latitude" << 5 << "0";
    QTest::newRow("HamCall latitude, north") << 5 << "Latitude: 33.8 N, " << "Latitude" << 5
                                             << "33.8";
    QTest::newRow("address line without line end")
        << 1 << "name\r\nlast line" << "Add1" << 5 << "";
    QTest::newRow("address read with a lost cursor")
        << 1 << "a\r\nb\r\nc\r\n" << "Add1" << 0 << "";
    QTest::newRow("address read with a cursor past the end")
        << 1 << "a\r\nb\r\n" << "Add1" << 99 << "";
    QTest::newRow("HamCall second address line shorter than three")
        << 5 << "x\r\nNY\r\n" << "Add2" << 1 << "";
    QTest::newRow("unknown source") << 6 << "License Class\tClub\r\n" << "Class" << 5 << "";
    QTest::newRow("no source") << 0 << "Latitude\t41.5\r\n" << "Latitude" << 5 << "0";
    QTest::newRow("QRZCQ nothing after the domain line")
        << 3 << "QRZCQ.com\r\n 1 2" << "cName" << 5 << "";
    QTest::newRow("QRZCQ no letter in reach takes the position after it")
        << 3 << "QRZCQ.com\r\n01234567890123456789NAME\r\n" << "cName" << 5 << "9NAME";
    QTest::newRow("QRZ name on the first line")
        << 2 << "W1AW HIRAM MAXIM, ARRL\r\n" << "cName" << 5 << "W1AW HIRAM MAXIM";
}

void TestPageScraper::guardedText()
{
    QFETCH(int, source);
    QFETCH(QString, text);
    QFETCH(QString, field);
    QFETCH(int, cursorBefore);
    QFETCH(QString, value);

    PageScraper scraper;
    scraper.PageText = text;
    scraper.Database = int16_t(source);
    scraper.Cursor = cursorBefore;
    QString got;
    if (field == "cName")
        got = scraper.cName(u"W1AW");
    else if (field == "Add1")
        got = scraper.Add1();
    else if (field == "Add2")
        got = scraper.Add2();
    else if (field == "Class")
        got = scraper.Class();
    else if (field == "DateOfBirth")
        got = scraper.DateOfBirth();
    else if (field == "Grid")
        got = scraper.Grid();
    else if (field == "Latitude")
        got = QString::number(scraper.Latitude());
    QCOMPARE(got, value);
}

// Where each reader leaves the shared cursor.
void TestPageScraper::cursor_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("cursorAfter");

    // Positions are 1-based; "\r\n" counts two.
    QTest::newRow("eHam name: end of the name line")
        << 1 << "Country\r\nSearch Results\r\nW1AW\r\nJOE\r\nST\r\n" << "cName" << 35;
    QTest::newRow("QRZ name: the comma") << 2 << "x\r\nW1AW\r\nJOE SMITH, NY\r\n" << "cName"
                                         << 19;
    QTest::newRow("address: end of the line read") << 1 << "ab\r\ncd\r\n" << "Add1" << 7;
    QTest::newRow("Callook country does not move it") << 4 << "ab\r\ncd\r\n" << "Ctry" << 3;
    QTest::newRow("field without a rule does not move it") << 1 << "Web Page x\r\n"
                                                           << "WebAddress" << 3;
    QTest::newRow("missing label does not move it") << 2 << "ab\r\n" << "Grid" << 3;
    QTest::newRow("missing end marker loses it") << 2 << "Grid Square FN31" << "Grid" << 0;
    QTest::newRow("class: the end it found") << 4 << "Class:\tCLUB\r\n" << "Class" << 12;
}

void TestPageScraper::cursor()
{
    QFETCH(int, source);
    QFETCH(QString, text);
    QFETCH(QString, field);
    QFETCH(int, cursorAfter);

    PageScraper scraper;
    scraper.PageText = text;
    scraper.Database = int16_t(source);
    scraper.Cursor = 3;
    if (field == "cName")
        scraper.cName(u"W1AW");
    else if (field == "Add1")
        scraper.Add1();
    else if (field == "Ctry")
        QCOMPARE(scraper.Ctry(), QStringLiteral("U.S.A."));
    else if (field == "WebAddress")
        QCOMPARE(scraper.WebAddress(), QString());
    else if (field == "Grid")
        scraper.Grid();
    else if (field == "Class")
        scraper.Class();
    QCOMPARE(scraper.Cursor, cursorAfter);
}

QTEST_APPLESS_MAIN(TestPageScraper)
#include "tst_pagescraper.moc"
