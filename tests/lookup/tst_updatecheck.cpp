// The update check: the announced version, the numeric comparison, the message and the
// download page.

#include "lookup/UpdateCheck.h"

#include <QtTest>

using namespace torvane;

class TestUpdateCheck : public QObject {
    Q_OBJECT

private slots:
    void version_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("published");  // publishedVersion(text)
        QTest::addColumn<int>("minor");          // own version 4.minor
        QTest::addColumn<bool>("newer");

        QTest::newRow("4.12 over 4.11") << "News\r\nTorvane ver 4.12 is out" << "4.12" << 11 << true;
        QTest::newRow("4.2 is newer than 4.12") << "Torvane ver 4.2 " << "4.2 " << 12 << true;
        QTest::newRow("4.9 is newer than 4.10") << "Torvane ver 4.9" << "4.9" << 10 << true;
        QTest::newRow("4.1 is older than 4.11") << "Torvane ver 4.1" << "4.1" << 11 << false;
        QTest::newRow("fewer characters at the end") << "Torvane ver 5." << "5." << 11 << true;
        QTest::newRow("marker absent") << "torvane ver 5.00" << "" << 11 << false;
        QTest::newRow("no number") << "Torvane ver beta" << "beta" << 11 << false;
    }

    void version()
    {
        QFETCH(QString, text);
        QFETCH(QString, published);
        QFETCH(int, minor);
        QFETCH(bool, newer);
        QCOMPARE(UpdateCheck::publishedVersion(text), published);
        QCOMPARE(UpdateCheck::isNewer(published, 4, minor), newer);
    }

    void updateFound_data()
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
        QTest::newRow("no maker host") << "Torvane ver 5.00" << false << 6 << "" << false;
    }

    void updateFound()
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
        QStringList shown;
        QList<QUrl> openedUrls;
        UpdateCheck check(values, hosts, [&](const UpdateMessage &m, std::function<void(int)> answered) {
                              shown << m.prompt;
                              answered(answer);
                          },
                          [&](const QUrl &url) { openedUrls << url; }, 4, 11);
        check.UpdateFound(text);
        if (!prompt.isEmpty())
            check.UpdateFound("Torvane ver 5.01");  // announced once per run

        QCOMPARE(shown, prompt.isEmpty() ? QStringList() : QStringList{prompt});
        if (!prompt.isEmpty())  // the message keeps the version for the rest of the run
            QCOMPARE(values.LanguageText[70], QString("Version 5.00 is ready."));
        QCOMPARE(openedUrls, opened ? QList<QUrl>{QUrl("http://maker.example/_mgxroot/page_10729.html")} : QList<QUrl>());
    }
};

QTEST_GUILESS_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
