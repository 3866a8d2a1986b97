// Decoding of the language files' code pages: Windows-1250, Windows-932 and Windows-1252.

#include "ui/CodePage.h"

#include <QTest>

using namespace Qt::StringLiterals;
using torvane::CodePage;

Q_DECLARE_METATYPE(torvane::CodePage)

class TestCodePage : public QObject {
    Q_OBJECT

private slots:
    void decode_data()
    {
        QTest::addColumn<CodePage>("page");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const auto w1250 = CodePage::Windows1250;
        const auto w932 = CodePage::Windows932;
        QTest::newRow("1250 Z acute") << w1250 << QByteArray::fromHex("8f9f") << u"Źź"_s;
        QTest::newRow("932 kanji") << w932 << QByteArray::fromHex("93fa967b8cea") << u"日本語"_s;
        QTest::newRow("932 backslash stays") << w932 << QByteArray("\\~") << u"\\~"_s;
        QTest::newRow("932 bad trail keeps line end") << w932 << QByteArray::fromHex("930d0a41") << u"\uFFFD\r\nA"_s;
    }
    void decode()
    {
        QFETCH(CodePage, page);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(torvane::fromCodePage(bytes, page), expected);
    }
};

QTEST_GUILESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
