// The station setup window offscreen, fetching the own position from the local test server.

#include "core/TextUtil.h"
#include "support/TestWebServer.h"
#include "ui/Beep.h"
#include "windows/StationSetup.h"

#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace torvane;
using Tone = QPair<int, int>;  // hertz, milliseconds

// W1AW's record page on QRZ.com, cut to the position.
static QByteArray qrzPage(const QByteArray &lat, const QByteArray &lon)
{
    return "<h1>W1AW</h1><table><tr><td>Latitude<td>" + lat + "<tr><td>Longitude<td>" + lon
           + "<tr><td>Grid Square<td>FN31pr</table>";
}

class tst_StationSetup : public QObject {
    Q_OBJECT
    std::unique_ptr<TestWebServer> m_server;
    ProgramValues m_values;
    HostTable m_hosts;
    QList<Tone> m_beeps;

    // The window as opened beside `mainWindow` while the main window's status reads `status`.
    std::unique_ptr<StationSetup> open(QWidget *mainWindow = nullptr, const QString &status = {})
    {
        auto form = std::make_unique<StationSetup>(m_values, m_hosts, mainWindow, status);
        form->show();
        return form;
    }

private slots:
    void init()
    {
        m_server = std::make_unique<TestWebServer>();
        QVERIFY(m_server->listen());
        m_hosts.setHost(QStringLiteral("qrz"), m_server->baseUrl());
        m_values = ProgramValues();
        m_values.LanguageText = QStringList(73);
        m_values.LanguageText[29] = QStringLiteral("Grid");
        m_values.LanguageText[41] = QStringLiteral("Look up ??? at ***");
        m_values.SourceName = QStringLiteral("QRZ.com");
        m_values.CurrentSource = 1;
        m_beeps.clear();
        setBeepHook([this](int frequency, int duration) { m_beeps.append({frequency, duration}); });
    }
    void cleanup()
    {
        setBeepHook({});
        m_server.reset();
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);  // after every test
    }

    // What the fields show must read back as the same value: opening alone changes nothing.
    void opening_data()
    {
        QTest::addColumn<QString>("ownCall");
        QTest::addColumn<int>("useMiles");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<double>("lat");
        QTest::addColumn<QString>("latText");
        // The source name and a second line only when the status text holds a login state.
        QTest::newRow("miles; logged in; every digit shown, no exponent")
            << "W1AW" << 1 << "QRZ.com  (Logged in)" << "Look up W1AW at QRZ.com\n(Logged in)"
            << 0.000012345678901 << "0.000012345678901";
        QTest::newRow("other unit value: kilometres; no call: disabled; negative zero")
            << "" << 7 << "QRZ.com" << "Look up  at ***" << -0.0 << "0";
    }
    void opening()
    {
        QFETCH(QString, ownCall);
        QFETCH(int, useMiles);
        QFETCH(QString, status);
        QFETCH(QString, caption);
        QFETCH(double, lat);
        QFETCH(QString, latText);
        m_values.OwnCall = ownCall;
        m_values.UseMiles = int16_t(useMiles);
        m_values.OwnLatitude = lat;
        const auto form = open(nullptr, status);
        QCOMPARE(form->txtLat->text(), latText);
        QCOMPARE(m_values.OwnLatitude, lat);
        QCOMPARE(m_values.UseMiles, int16_t(useMiles));
        QCOMPARE(form->cmdGetLatLon->isEnabled(), !ownCall.isEmpty());
        QCOMPARE(form->cmdGetLatLon->text(), caption);
        // The unit shown, and a click on the other one stored.
        QCOMPARE(form->optMi->isChecked(), useMiles == 1);
        QTest::mouseClick(useMiles == 1 ? form->optKm : form->optMi, Qt::LeftButton);
        QCOMPARE(m_values.UseMiles, int16_t(useMiles == 1 ? 0 : 1));
    }

    // Typed over the latitude or the longitude field, the other being 0; the locator shows the
    // stored position. It leaves out latitude 90 and longitude 180, which the locator would take.
    void coordinateTyping_data()
    {
        QTest::addColumn<bool>("latitude");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("grid");
        QTest::newRow("comma is a decimal point") << true << "41,5" << "41.5" << "Grid:   JN01am";
        QTest::newRow("latitude 90: no locator") << true << "90" << "90" << "";
        QTest::newRow("latitude -90: locator") << true << "-90" << "-90" << "Grid:   JA00aa";
        QTest::newRow("longitude 180: no locator") << false << "180" << "180" << "";
        // Refused: the setting keeps the last number accepted ("9" before "95").
        QTest::newRow("latitude 95 refused") << true << "95" << "95" << "Latitude must be a number from -90 to 90";
        QTest::newRow("text refused") << false << "abc" << "abc" << "Longitude must be a number from -180 to 180";
        QTest::newRow("a sign is the start of a number") << false << "-" << "-" << "Grid:   JJ00aa";
    }
    void coordinateTyping()
    {
        QFETCH(bool, latitude);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, grid);
        const auto form = open();
        QLineEdit *field = latitude ? form->txtLat : form->txtLon;
        field->selectAll();
        QTest::keyClicks(field, typed);
        QCOMPARE(field->text(), shown);
        QCOMPARE(form->lblGrid->text(), grid);
        if (grid.startsWith(QStringLiteral("L")))
            QCOMPARE(latitude ? m_values.OwnLatitude : m_values.OwnLongitude, latitude ? 9.0 : 0.0);
    }

    // Typed into the call field; the looked-up call is what the position fetch asks for.
    void callTyping_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("lookedUp");
        QTest::newRow("zero slashed, looked up as 0; suffix after a blank")
            << "k0abc 1" << QString("K%1ABC 1").arg(kSlashedZero) << "K0ABC";
        QTest::newRow("erased: button disabled") << "w1\b\b" << "" << "";
    }
    void callTyping()
    {
        QFETCH(QString, typed);
        QFETCH(QString, call);
        QFETCH(QString, lookedUp);
        const auto form = open();
        QTest::keyClicks(form->txtCall, typed);
        QCOMPARE(form->txtCall->text(), call);
        QCOMPARE(positionLookupCall(call), lookedUp);
        QCOMPARE(form->cmdGetLatLon->isEnabled(), !call.isEmpty());
        QCOMPARE(form->cmdGetLatLon->text(), "Look up " + call + " at ***");
        QCOMPARE(m_values.OwnCall, call);  // kept without a fetch: closing does not lose it
    }

    // The fields hold 10 and 20 before the fetch.
    void fetch_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<Tone>("beep");
        QTest::addColumn<QStringList>("fields");  // latitude and longitude afterwards
        QTest::newRow("position found") << 200 << qrzPage("41.714775", "-72.727260")
                                        << Tone(400, 75) << QStringList{"41.714775", "-72.72726"};
        QTest::newRow("server error: old position kept")
            << 503 << qrzPage("39.1", "-94.6") << Tone(700, 100) << QStringList{"10", "20"};
        QTest::newRow("no position on the page: old position kept")
            << 200 << qrzPage("0", "0") << Tone(400, 75) << QStringList{"10", "20"};
    }
    void fetch()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, page);
        QFETCH(Tone, beep);
        QFETCH(QStringList, fields);
        m_values.OwnLatitude = 10;
        m_values.OwnLongitude = 20;
        const auto form = open();
        QStringList seen;  // each request, with the pointer and the fields while it is answered
        m_server->setHandler([&](const WebRequest &request) {
            const QCursor *cursor = QGuiApplication::overrideCursor();
            seen << request.path << form->txtLat->text() << form->txtLon->text()
                 << (cursor && cursor->shape() == Qt::WaitCursor ? "waiting" : "no wait");
            return std::optional<WebRoute>(WebRoute::page(page, "text/html", status));
        });
        QTest::keyClicks(form->txtCall, "w1aw-2");
        QTest::keyClick(form->txtCall, Qt::Key_Return);  // as the button does
        QTRY_COMPARE(m_beeps, QList<Tone>{beep});
        QTRY_COMPARE(QStringList({form->txtLat->text(), form->txtLon->text()}), fields);
        QCOMPARE(seen, (QStringList{"/db/W1AW", "0", "0", "waiting"}));
    }

    // The window may be closed for good while its lookup waits for the page: the pointer is back.
    void windowGoneDuringFetch()
    {
        WebRoute slow = WebRoute::page(qrzPage("41.5", "-72.5"));
        slow.delayMs = 300;
        m_server->setRoute("/db/W1AW", slow);
        m_values.OwnCall = QStringLiteral("W1AW");
        auto form = open();
        QTest::mouseClick(form->cmdGetLatLon, Qt::LeftButton);
        QVERIFY(QGuiApplication::overrideCursor());
        form.reset();
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void closing()
    {
        QWidget mainWindow;
        mainWindow.setGeometry(120, 90, 300, 200);
        mainWindow.show();
        const auto form = open(&mainWindow);
        QSignalSpy focus(form.get(), &StationSetup::FocusCallBox);
        QVERIFY(!mainWindow.isVisible());
        QCOMPARE(form->frameGeometry().topLeft(), mainWindow.frameGeometry().topLeft());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), Qt::Key_Escape);
        QVERIFY(!form->isVisible() && mainWindow.isVisible());
        QCOMPARE(focus.count(), 1);
    }
};

QTEST_MAIN(tst_StationSetup)
#include "tst_stationsetup.moc"
