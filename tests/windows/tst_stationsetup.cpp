// The station setup window offscreen: captions, typing rules, the comma rule, the locator's own
// range, the unit options, fetching the own position from the local test server, and closing.

#include "core/TextUtil.h"
#include "windows/StationSetup.h"
#include "lookup/LookupControl.h"
#include "support/TestWebServer.h"
#include "ui/Beep.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <memory>

using namespace torvane;
using Tone = QPair<int, int>;  // hertz, milliseconds

namespace {

QStringList languageTexts()
{
    QStringList texts;
    for (int i = 1; i <= 73; ++i)
        texts << QStringLiteral("item %1").arg(i);
    texts[27] = QStringLiteral("Type your call\r\nor the position");
    texts[29] = QStringLiteral("Grid square");
    texts[30] = QStringLiteral("Latitude");
    texts[41] = QStringLiteral("Look up ??? at ***");
    return texts;
}

QByteArray qrzPage(const QByteArray &call, const QByteArray &lat, const QByteArray &lon)
{
    return "<html><head><title>" + call + " - QRZ.com</title></head><body>"
           "<div><a href=\"/\">QRZ.COM</a> <a href=\"/logout\">Logout</a></div><h1>" + call +
           "</h1><table><tr><th colspan=\"2\">QRZ Record</th></tr>"
           "<tr><td>Latitude</td><td>" + lat + "</td></tr>"
           "<tr><td>Longitude</td><td>" + lon + "</td></tr>"
           "<tr><td>Grid Square</td><td>FN31pr</td></tr></table>"
           "<div>Copyright QRZ.com</div></body></html>";
}

}  // namespace

class tst_StationSetup : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void lookupCall_data();
    void lookupCall();
    void coordinateRoundTrip_data();
    void coordinateRoundTrip();
    void placement();

    void opening_data();
    void opening();
    void coordinateTyping_data();
    void coordinateTyping();
    void callTyping_data();
    void callTyping();
    void unitOptions();
    void fetch_data();
    void fetch();
    void windowGoneDuringFetch();
    void closing();

private:
    std::unique_ptr<StationSetup> makeForm(QWidget *mainWindow = nullptr,
                                    const QString &status = QString());

    std::unique_ptr<TestWebServer> m_server;
    ProgramValues m_values;
    HostTable m_hosts;
    QList<Tone> m_beeps;
};

void tst_StationSetup::init()
{
    m_server = std::make_unique<TestWebServer>();
    QVERIFY(m_server->listen());
    m_hosts = HostTable();
    m_hosts.setHost(QStringLiteral("qrz"), m_server->baseUrl());
    m_values = ProgramValues();
    m_values.LanguageText = languageTexts();
    m_values.SourceName = QStringLiteral("QRZ.com");
    m_values.CurrentSource = 1;
    m_values.PlainZero = 1;
    m_beeps.clear();
    setBeepHook([this](int frequency, int duration) { m_beeps.append({frequency, duration}); });
}

void tst_StationSetup::cleanup()
{
    setBeepHook({});
    m_server.reset();
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

std::unique_ptr<StationSetup> tst_StationSetup::makeForm(QWidget *mainWindow, const QString &status)
{
    return std::make_unique<StationSetup>(m_values, m_hosts, mainWindow, status);
}

void tst_StationSetup::lookupCall_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("call");

    QTest::newRow("suffix after -") << "W1AW-2" << "W1AW";
    QTest::newRow("suffix after a blank") << "W1AW 1" << "W1AW";
    QTest::newRow("slashed zero becomes 0") << QString("K%1ABC-7").arg(kSlashedZero) << "K0ABC";
    QTest::newRow("leading -") << "-W1AW" << "";
}

void tst_StationSetup::lookupCall()
{
    QFETCH(QString, typed);
    QFETCH(QString, call);
    QCOMPARE(positionLookupCall(typed), call);
}

// What the fields show must read back as the same value through the leading-number parse.
void tst_StationSetup::coordinateRoundTrip_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("tiny: no exponent") << 0.00001 << "0.00001";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("many digits") << 41.714775123456 << "41.714775123456";
}

void tst_StationSetup::coordinateRoundTrip()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(coordinateText(value), text);
    QCOMPARE(leadingNumber(coordinateText(value)), value);
}

void tst_StationSetup::placement()
{
    // Kept inside the available area; a window larger than it keeps its top-left corner there.
    const QRect available(0, 0, 1280, 1024);
    QCOMPARE(setupWindowPosition(QRect(1000, 900, 300, 100), QSize(500, 300), available),
             QPoint(780, 724));
    QCOMPARE(setupWindowPosition(QRect(-50, 80, 300, 400), QSize(1500, 1100), available),
             QPoint(0, 0));
}

void tst_StationSetup::opening_data()
{
    QTest::addColumn<QString>("ownCall");
    QTest::addColumn<int>("useMiles");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("caption");

    // The source name and a second line only when the status text holds a login state.
    QTest::newRow("miles, logged in") << "W1AW" << 1 << "QRZ.com  (Logged in)"
                                      << "Look up W1AW at QRZ.com\n(Logged in)";
    QTest::newRow("other unit value: kilometres, no state") << "W1AW" << 7 << "QRZ.com"
                                                            << "Look up W1AW at ***";
    QTest::newRow("no call: disabled; state from the first (")
        << "" << 1 << "QRZCQ (a (b))" << "Look up  at QRZ.com\n(a (b))";
}

void tst_StationSetup::opening()
{
    QFETCH(QString, ownCall);
    QFETCH(int, useMiles);
    QFETCH(QString, status);
    QFETCH(QString, caption);
    m_values.OwnCall = ownCall;
    m_values.UseMiles = int16_t(useMiles);
    m_values.OwnLatitude = 41.714775;
    m_values.OwnLongitude = -72.72726;
    auto form = makeForm(nullptr, status);

    QCOMPARE(form->optMi->isChecked(), useMiles == 1);
    QCOMPARE(form->optKm->isChecked(), useMiles != 1);
    QCOMPARE(m_values.UseMiles, int16_t(useMiles));  // opening alone changes nothing
    QCOMPARE(m_values.OwnLatitude, 41.714775);
    QCOMPARE(form->cmdGetLatLon->isEnabled(), !ownCall.isEmpty());
    QCOMPARE(form->cmdGetLatLon->text(), caption);
    QCOMPARE(form->txtLat->text(), QStringLiteral("41.714775"));
    QCOMPARE(form->txtLon->text(), QStringLiteral("-72.72726"));
    QCOMPARE(form->lblGrid->text(), QStringLiteral("Grid square:   FN31pr"));
    QCOMPARE(form->Label1->text(), QStringLiteral("Type your call\nor the position"));
    QCOMPARE(form->Label2->text(), QStringLiteral("Latitude: "));
}

void tst_StationSetup::coordinateTyping_data()
{
    QTest::addColumn<bool>("latitude");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("stored");
    QTest::addColumn<QString>("grid");

    // The other coordinate is 0.
    QTest::newRow("comma is a decimal point") << true << "41,5" << "41.5" << 41.5
                                              << "Grid square:   JN01am";
    QTest::newRow("negative with comma") << false << "-0,3" << "-0.3" << -0.3
                                         << "Grid square:   IJ90ua";
    QTest::newRow("text after the number") << true << " 12.5 N" << " 12.5 N" << 12.5
                                           << "Grid square:   JK02am";
    // The locator label leaves out latitude 90 and longitude 180, which the locator itself takes.
    QTest::newRow("latitude 90: no locator") << true << "90" << "90" << 90.0 << "";
    QTest::newRow("latitude -90: locator") << true << "-90" << "-90" << -90.0
                                           << "Grid square:   JA00aa";
    QTest::newRow("longitude 180: no locator") << false << "180" << "180" << 180.0 << "";
    QTest::newRow("no number: 0, locator for 0, 0") << true << "north" << "north" << 0.0
                                                    << "Grid square:   JJ00aa";
}

void tst_StationSetup::coordinateTyping()
{
    QFETCH(bool, latitude);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(double, stored);
    QFETCH(QString, grid);
    auto form = makeForm();
    form->show();
    QLineEdit *field = latitude ? form->txtLat : form->txtLon;
    field->selectAll();
    QTest::keyClicks(field, typed);
    QCOMPARE(field->text(), shown);
    QCOMPARE(field->cursorPosition(), int(shown.size()));
    QCOMPARE(latitude ? m_values.OwnLatitude : m_values.OwnLongitude, stored);
    QCOMPARE(form->lblGrid->text(), grid);
}

void tst_StationSetup::callTyping_data()
{
    QTest::addColumn<int>("plainZero");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("backspaces");
    QTest::addColumn<QString>("call");

    QTest::newRow("zero slashed") << 0 << "k0abc" << 0 << "K" + QString(kSlashedZero) + "ABC";
    QTest::newRow("zero plain") << 1 << "k0abc" << 0 << "K0ABC";
    QTest::newRow("erased") << 1 << "w1" << 2 << "";
}

void tst_StationSetup::callTyping()
{
    QFETCH(int, plainZero);
    QFETCH(QString, typed);
    QFETCH(int, backspaces);
    QFETCH(QString, call);
    m_values.PlainZero = int16_t(plainZero);
    auto form = makeForm();
    form->show();
    QTest::keyClicks(form->txtCall, typed);
    for (int i = 0; i < backspaces; ++i)
        QTest::keyClick(form->txtCall, Qt::Key_Backspace);
    QCOMPARE(form->txtCall->text(), call);
    QCOMPARE(form->cmdGetLatLon->isEnabled(), !call.isEmpty());
    QCOMPARE(form->cmdGetLatLon->text(), "Look up " + call + " at ***");
    // Kept without a fetch: closing does not lose it.
    QCOMPARE(m_values.OwnCall, call);
}

void tst_StationSetup::unitOptions()
{
    m_values.UseMiles = 0;
    auto form = makeForm();
    form->show();
    QTest::mouseClick(form->optMi, Qt::LeftButton);
    QCOMPARE(m_values.UseMiles, int16_t(1));
    QTest::mouseClick(form->optKm, Qt::LeftButton);
    QCOMPARE(m_values.UseMiles, int16_t(0));
}

void tst_StationSetup::fetch_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<Tone>("beep");
    QTest::addColumn<QString>("lat");
    QTest::addColumn<QString>("lon");

    // The fields held 10 and 20 before the fetch.
    QTest::newRow("position found") << 200 << qrzPage("W1AW", "41.714775", "-72.727260")
                                    << qMakePair(400, 75) << "41.714775" << "-72.72726";
    QTest::newRow("server error: old position kept") << 503 << qrzPage("W1AW", "39.1", "-94.6")
                                                     << qMakePair(700, 100) << "10" << "20";
    QTest::newRow("no position on the page: old position kept")
        << 200 << qrzPage("W1AW", "0", "0") << qMakePair(400, 75) << "10" << "20";
}

void tst_StationSetup::fetch()
{
    QFETCH(int, status);
    QFETCH(QByteArray, page);
    QFETCH(Tone, beep);
    QFETCH(QString, lat);
    QFETCH(QString, lon);
    m_values.OwnLatitude = 10;
    m_values.OwnLongitude = 20;
    auto form = makeForm();
    form->show();

    QList<Qt::CursorShape> pointerDuringLoad;
    QStringList fieldsDuringLoad;
    m_server->setHandler([&](const WebRequest &) {
        const QCursor *cursor = QGuiApplication::overrideCursor();
        pointerDuringLoad << (cursor ? cursor->shape() : Qt::ArrowCursor);
        fieldsDuringLoad << form->txtLat->text() << form->txtLon->text();
        return std::optional<WebRoute>(WebRoute::page(page, "text/html", status));
    });
    QTest::keyClicks(form->txtCall, "w1aw-2");
    QTest::mouseClick(form->cmdGetLatLon, Qt::LeftButton);
    QTRY_COMPARE(m_beeps.size(), 1);
    QTRY_COMPARE(form->txtLat->text(), lat);

    QCOMPARE(m_server->requests().size(), 1);
    QCOMPARE(m_server->requests().constFirst().path, QStringLiteral("/db/W1AW"));
    QCOMPARE(pointerDuringLoad, QList<Qt::CursorShape>{Qt::WaitCursor});
    QCOMPARE(fieldsDuringLoad, (QStringList{"0", "0"}));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QCOMPARE(m_beeps, QList<Tone>{beep});
    QCOMPARE(form->txtLat->text(), lat);
    QCOMPARE(form->txtLon->text(), lon);
    QCOMPARE(m_values.OwnLatitude, lat.toDouble());
    QCOMPARE(m_values.OwnLongitude, lon.toDouble());
    QCOMPARE(m_values.OwnCall, QStringLiteral("W1AW-2"));
}

// The window may be closed for good while its lookup waits for the page: the pointer is
// restored.
void tst_StationSetup::windowGoneDuringFetch()
{
    WebRoute slow = WebRoute::page(qrzPage("W1AW", "41.5", "-72.5"));
    slow.delayMs = 300;
    m_server->setRoute("/db/W1AW", slow);
    m_values.OwnCall = QStringLiteral("W1AW");
    auto form = makeForm();
    form->show();
    QTest::mouseClick(form->cmdGetLatLon, Qt::LeftButton);
    QVERIFY(QGuiApplication::overrideCursor());
    form.reset();
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void tst_StationSetup::closing()
{
    QWidget mainWindow;
    mainWindow.setGeometry(120, 90, 300, 200);
    mainWindow.show();
    auto form = makeForm(&mainWindow);
    QSignalSpy focus(form.get(), &StationSetup::FocusCallBox);
    form->show();
    QVERIFY(!mainWindow.isVisible());
    QCOMPARE(form->frameGeometry().topLeft(), mainWindow.frameGeometry().topLeft());

    QTest::keyClicks(form->txtLat, ",75");  // appended to the 0 shown
    QTest::mouseClick(form->cmdClose, Qt::LeftButton);
    QVERIFY(!form->isVisible());
    QVERIFY(mainWindow.isVisible());
    QCOMPARE(focus.count(), 1);
    QCOMPARE(m_values.OwnLatitude, 0.75);
}

QTEST_MAIN(tst_StationSetup)
#include "tst_stationsetup.moc"
