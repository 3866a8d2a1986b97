#include "core/LookupRules.h"

#include <QTest>

using namespace torvane;

class TestLookupRules : public QObject {
    Q_OBJECT
private slots:
    void typing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("plainZero");
        QTest::addColumn<QString>("shown");
        QTest::newRow("lower case raised") << "k1abc" << 1 << "K1ABC";
        QTest::newRow("zero slashed") << "k0abc" << 0 << "K\u00D8ABC";
        QTest::newRow("zero kept plain") << "k0abc" << 1 << "K0ABC";
        QTest::newRow("other characters untouched") << "dl/ä-5" << 1 << "DL/ä-5";
    }
    void typing()
    {
        QFETCH(QString, typed);
        QFETCH(int, plainZero);
        QFETCH(QString, shown);
        QString result;
        for (const QChar c : typed)
            result += typedCallChar(c, plainZero);
        QCOMPARE(result, shown);
    }

    void normalise_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("call");
        QTest::newRow("portable suffix") << "K1ABC/P" << "K1ABC";
        QTest::newRow("ssid suffix") << "K1ABC-5" << "K1ABC";
        QTest::newRow("leading DE") << "DE K0ABC" << "K0ABC";
        QTest::newRow("slashed zero") << "K\u00D8ABC" << "K0ABC";
        QTest::newRow("lower case") << "dl1xyz" << "DL1XYZ";
        QTest::newRow("blank inside cuts") << "G4XYZ 599" << "G4XYZ";
        QTest::newRow("separator first gives nothing") << "/P" << "";
        QTest::newRow("DE without blank is a call") << "DE1ABC" << "DE1ABC";
    }
    void normalise()
    {
        QFETCH(QString, typed);
        QFETCH(QString, call);
        QCOMPARE(normaliseCall(typed), call);
    }

    void paste_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<int>("plainZero");
        QTest::addColumn<QString>("box");
        QTest::newRow("spotted line") << "DE K1ABC 599" << 1 << "K1ABC";
        QTest::newRow("zero slashed and kept") << "de k0abc tu" << 0 << "K\u00D8ABC";
        QTest::newRow("new line ends it") << "W1AW\r\n" << 1 << "W1AW";
        QTest::newRow("empty clipboard") << "" << 0 << "";
    }
    void paste()
    {
        QFETCH(QString, clipboard);
        QFETCH(int, plainZero);
        QFETCH(QString, box);
        QCOMPARE(pastedCall(clipboard, plainZero), box);
    }

    void specialCalls_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<bool>("special");
        QTest::newRow("NOCALL") << "NOCALL" << true;
        QTest::newRow("n0call lower") << "n0call" << true;
        QTest::newRow("BiteMe mixed") << "BiteMe" << true;
        QTest::newRow("B1TEME") << "B1TEME" << true;
        QTest::newRow("slashed zero is looked up") << "N\u00D8CALL" << false;
        QTest::newRow("ordinary call") << "K1ABC" << false;
    }
    void specialCalls()
    {
        QFETCH(QString, call);
        QFETCH(bool, special);
        QCOMPARE(isSpecialCall(call), special);
    }

    void historyKeepsEightNewestFirst()
    {
        QStringList history;
        for (int i = 1; i <= 9; ++i)
            history = updatedHistory(history, QStringLiteral("K%1ABC").arg(i));
        QCOMPARE(history.size(), 8);
        QCOMPARE(history.first(), QStringLiteral("K9ABC"));
        QVERIFY(!history.contains(QStringLiteral("K1ABC")));
        // A repeated call keeps its place.
        QCOMPARE(updatedHistory(history, QStringLiteral("K5ABC")), history);
        // A long history loaded from the file shrinks by one entry per lookup.
        QStringList loaded;
        for (int i = 0; i < 20; ++i)
            loaded << QStringLiteral("W%1X").arg(i);
        QCOMPARE(updatedHistory(loaded, QStringLiteral("N1A")).size(), 20);
        QCOMPARE(updatedHistory(loaded, QStringLiteral("W3X")).size(), 19);
    }

    void pictureAddress()
    {
        QCOMPARE(torvane::pictureAddress(QStringLiteral("http://127.0.0.1:9"), QStringLiteral("K\u00D8ABC")),
                 QStringLiteral("http://127.0.0.1:9/c/k0abc/k0abc.jpg"));
        QVERIFY(torvane::pictureAddress(QStringLiteral("http://h"), QString()).isEmpty());
    }

    void statusLine_data()
    {
        QTest::addColumn<bool>("loggedIn");
        QTest::addColumn<int>("source");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("state");
        QTest::newRow("QRZ logged in") << true << 1 << "QRZ.com  (in)" << 1;
        QTest::newRow("QRZ logged out") << false << 1 << "QRZ.com  (out)" << 2;
        QTest::newRow("QRZCQ logged out") << false << 2 << "QRZCQ (cq)" << 3;
        QTest::newRow("QRZCQ logged in") << true << 2 << "QRZ.com  (in)" << 1;
        QTest::newRow("Callook whatever the flag") << true << 3 << "Callook  (cl)" << 4;
    }
    void statusLine()
    {
        QFETCH(bool, loggedIn);
        QFETCH(int, source);
        QFETCH(QString, text);
        QFETCH(int, state);
        const StatusLine line = torvane::statusLine(loggedIn, source, QStringLiteral("QRZ.com"),
                                                    "in", "out", "cl", "cq");
        QCOMPARE(line.text, text);
        QCOMPARE(line.state, state);
    }

    void pictureFit_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::newRow("wide picture fills the width") << QSize(200, 100) << 87.98 << 43.99;
        QTest::newRow("tall picture fills the height") << QSize(100, 200) << 32.9805 << 65.961;
        QTest::newRow("exactly 4:3") << QSize(400, 300) << 87.948 << 65.961;
    }
    void pictureFit()
    {
        QFETCH(QSize, picture);
        QFETCH(double, width);
        QFETCH(double, height);
        const QRectF box = fittedPictureBox(picture.width(), picture.height(), defaultPictureBox());
        QVERIFY(qAbs(box.width() - width) < 1e-3);
        QVERIFY(qAbs(box.height() - height) < 1e-3);
        QVERIFY(qAbs(box.center().x() - 0.852 * 332) < 1e-9);
        QVERIFY(qAbs(box.center().y() - 0.312 * 189) < 1e-9);
        QVERIFY(fittedPictureBox(0, 10, defaultPictureBox()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLookupRules)
#include "tst_lookuprules.moc"
