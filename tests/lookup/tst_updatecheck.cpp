// The update check: the announced version, the numeric comparison, the message and the
// download page, and the whole road from the maker's page through ucLookUp.

#include "lookup/LookupControl.h"
#include "lookup/UpdateCheck.h"
#include "support/TestWebServer.h"

#include <QtTest>

using namespace torvane;

class TestUpdateCheck : public QObject {
    Q_OBJECT

private slots:
    void publishedVersion_data();
    void publishedVersion();
    void isNewer_data();
    void isNewer();
    void updateFound_data();
    void updateFound();
    void announcedOncePerRun();
    void fromTheMakersPage();
};

void TestUpdateCheck::publishedVersion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("version");

    QTest::newRow("four characters") << "News\r\nTorvane ver 4.12 is out" << "4.12";
    QTest::newRow("any separator character") << "Torvane ver:5.00" << "5.00";
    QTest::newRow("fewer at the end") << "Torvane ver 5." << "5.";
    QTest::newRow("marker at the very end") << "Torvane ver" << "";
    QTest::newRow("marker inside a longer word") << "Torvane version 5.00" << "ion ";
    QTest::newRow("marker absent") << "Torvane v 5.00" << "";
    QTest::newRow("case matters") << "torvane ver 5.00" << "";
}

void TestUpdateCheck::publishedVersion()
{
    QFETCH(QString, text);
    QFETCH(QString, version);
    QCOMPARE(UpdateCheck::publishedVersion(text), version);
}

void TestUpdateCheck::isNewer_data()
{
    QTest::addColumn<QString>("published");
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<bool>("newer");

    QTest::newRow("4.12 over 4.11") << "4.12" << 4 << 11 << true;
    QTest::newRow("same version") << "4.11" << 4 << 11 << false;
    QTest::newRow("older") << "4.10" << 4 << 11 << false;
    QTest::newRow("4.2 is newer than 4.12") << "4.2 " << 4 << 12 << true;
    QTest::newRow("4.9 is newer than 4.10") << "4.9" << 4 << 10 << true;
    QTest::newRow("4.1 is older than 4.11") << "4.1" << 4 << 11 << false;
    QTest::newRow("5.00") << "5.00" << 4 << 11 << true;
    QTest::newRow("no number") << "beta" << 4 << 11 << false;
}

void TestUpdateCheck::isNewer()
{
    QFETCH(QString, published);
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(bool, newer);
    QCOMPARE(UpdateCheck::isNewer(published, major, minor), newer);
}

void TestUpdateCheck::updateFound_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("maker");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("prompt");  // empty: no message
    QTest::addColumn<bool>("opened");

    const QString prompt = "Version 5.00 is ready.\r\n\r\nNew: Torvane 5.00";
    QTest::newRow("same version shows nothing") << "Torvane ver 4.11" << true << 6 << "" << false;
    QTest::newRow("newer, answered No") << "Torvane ver 5.00" << true << 7 << prompt << false;
    QTest::newRow("newer, answered Yes") << "Torvane ver 5.00" << true << 6 << prompt << true;
    QTest::newRow("box closed") << "Torvane ver 5.00" << true << 0 << prompt << false;
    QTest::newRow("no marker") << "Welcome" << true << 6 << "" << false;
    QTest::newRow("no maker host") << "Torvane ver 5.00" << false << 6 << "" << false;
}

void TestUpdateCheck::updateFound()
{
    QFETCH(QString, text);
    QFETCH(bool, maker);
    QFETCH(int, answer);
    QFETCH(QString, prompt);
    QFETCH(bool, opened);
    ProgramValues values;
    for (int i = 1; i <= 73; ++i)
        values.LanguageText << QString("item %1").arg(i);
    values.LanguageText[43] = "New: ";
    values.LanguageText[70] = "Version *** is ready.";
    HostTable hosts;
    hosts.setHost("maker", maker ? "http://maker.example" : "");
    QList<UpdateMessage> shown;
    QList<QUrl> openedUrls;
    UpdateCheck check(values, hosts, [&](const UpdateMessage &m) { shown << m; return answer; },
                      [&](const QUrl &url) { openedUrls << url; });
    check.UpdateFound(text);

    QCOMPARE(shown.size(), prompt.isEmpty() ? 0 : 1);
    if (!shown.isEmpty()) {
        QCOMPARE(shown.first().prompt, prompt);
        QCOMPARE(shown.first().title, QString("Torvane"));
        QCOMPARE(shown.first().buttons, 68);
        QCOMPARE(shown.first().button1Caption, QString("No"));
        QCOMPARE(shown.first().button2Caption, QString("Yes"));
        QCOMPARE(values.LanguageText[70], QString("Version 5.00 is ready."));
    }
    QCOMPARE(openedUrls.size(), opened ? 1 : 0);
    if (opened)
        QCOMPARE(openedUrls.first(), QUrl("http://maker.example/_mgxroot/page_10729.html"));
}

void TestUpdateCheck::announcedOncePerRun()
{
    ProgramValues values;
    HostTable hosts;
    hosts.setHost("maker", "http://maker.example");
    int asked = 0;
    UpdateCheck check(values, hosts, [&](const UpdateMessage &) { ++asked; return 7; },
                      [](const QUrl &) {});
    check.UpdateFound("Torvane ver 4.10");
    QVERIFY(!check.announced());
    check.UpdateFound("Torvane ver 4.12");
    check.UpdateFound("Torvane ver 4.13");
    QCOMPARE(asked, 1);
    QVERIFY(check.announced());
}

void TestUpdateCheck::fromTheMakersPage()
{
    TestWebServer server;
    QVERIFY(server.listen());
    server.setPage("/", "<html><body><h2>Downloads</h2><p>Torvane ver 4.12 released</p></body></html>");
    ProgramValues values;
    HostTable hosts;
    hosts.setHost("maker", server.baseUrl());
    ucLookUp control(values, hosts);
    QStringList prompts;
    UpdateCheck check(values, hosts, [&](const UpdateMessage &m) { prompts << m.prompt; return 7; },
                      [](const QUrl &) {});
    connect(&control, &ucLookUp::UpdateFound, this, [&](const QString &text) { check.UpdateFound(text); });
    control.CheckUpdates();
    QTRY_COMPARE(prompts.size(), 1);
    QVERIFY(prompts.first().endsWith("Torvane 4.12"));
}

QTEST_GUILESS_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
