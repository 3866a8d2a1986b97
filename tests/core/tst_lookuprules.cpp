#include "core/LookupRules.h"

#include <QTest>

using namespace torvane;

class TestLookupRules : public QObject {
    Q_OBJECT
private slots:
    // What typing, the lookup and pasting make of a call: `kind` t = typed character by
    // character, n = normalised for the lookup, p = pasted.
    void callText_data()
    {
        QTest::addColumn<char>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("plainZero");
        QTest::addColumn<QString>("call");
        QTest::newRow("typed: lower case raised") << 't' << "k1abc" << 1 << "K1ABC";
        QTest::newRow("typed: zero slashed") << 't' << "k0abc" << 0 << "K\u00D8ABC";
        QTest::newRow("typed: zero kept plain") << 't' << "k0abc" << 1 << "K0ABC";
        QTest::newRow("typed: other characters untouched") << 't' << "dl/ä-5" << 1 << "DL/ä-5";
        QTest::newRow("normalised: portable suffix") << 'n' << "K1ABC/P" << 0 << "K1ABC";
        QTest::newRow("normalised: ssid suffix") << 'n' << "K1ABC-5" << 0 << "K1ABC";
        QTest::newRow("normalised: leading DE") << 'n' << "DE K0ABC" << 0 << "K0ABC";
        QTest::newRow("normalised: slashed zero") << 'n' << "K\u00D8ABC" << 0 << "K0ABC";
        QTest::newRow("normalised: blank inside cuts") << 'n' << "G4XYZ 599" << 0 << "G4XYZ";
        QTest::newRow("normalised: separator first") << 'n' << "/P" << 0 << "";
        QTest::newRow("normalised: DE without blank is a call") << 'n' << "DE1ABC" << 0 << "DE1ABC";
        QTest::newRow("pasted: spotted line") << 'p' << "DE K1ABC 599" << 1 << "K1ABC";
        QTest::newRow("pasted: zero slashed and kept") << 'p' << "de k0abc tu" << 0 << "K\u00D8ABC";
        QTest::newRow("pasted: new line ends it") << 'p' << "W1AW\r\n" << 1 << "W1AW";
    }
    void callText()
    {
        QFETCH(char, kind);
        QFETCH(QString, text);
        QFETCH(int, plainZero);
        QFETCH(QString, call);
        QString result;
        if (kind == 'n') {
            result = normaliseCall(text);
        } else if (kind == 'p') {
            result = pastedCall(text, plainZero);
        } else {
            for (const QChar c : text)
                result += typedCallChar(c, plainZero);
        }
        QCOMPARE(result, call);
    }

    void specialCalls_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<bool>("special");
        QTest::newRow("any case") << "BiteMe" << true;
        QTest::newRow("slashed zero is looked up") << "N\u00D8CALL" << false;
        QTest::newRow("ordinary call") << "K1ABC" << false;
    }
    void specialCalls()
    {
        QFETCH(QString, call);
        QFETCH(bool, special);
        QCOMPARE(isSpecialCall(call), special);
    }

    void history_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("call");
        QTest::addColumn<QStringList>("after");
        const QStringList eight = {"K8A", "K7A", "K6A", "K5A", "K4A", "K3A", "K2A", "K1A"};
        QTest::newRow("new call on top") << QStringList{"K1A"} << "W1AW" << QStringList{"W1AW", "K1A"};
        QTest::newRow("ninth drops the oldest") << eight << "K9A" << QStringList{"K9A"} + eight.mid(0, 7);
        QTest::newRow("listed call keeps its place") << eight << "K5A" << eight;
        // A longer history read from the file loses its ninth entry at each lookup.
        QTest::newRow("long history, new call") << eight + eight << "W1AW" << QStringList{"W1AW"} + eight.mid(0, 7) + eight;
        QTest::newRow("long history, listed call") << eight + eight << "K5A" << eight + eight.mid(1);
    }
    void history()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, call);
        QFETCH(QStringList, after);
        QCOMPARE(updatedHistory(before, call), after);
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

    // Fitted with the picture's proportions, touching two opposite sides of the box, on its centre.
    void pictureFit_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<bool>("fillsWidth");
        QTest::newRow("wide picture fills the width") << QSize(400, 100) << true;
        QTest::newRow("tall picture fills the height") << QSize(100, 200) << false;
    }
    void pictureFit()
    {
        QFETCH(QSize, picture);
        QFETCH(bool, fillsWidth);
        const QRectF box = defaultPictureBox();
        const QRectF fitted = fittedPictureBox(picture.width(), picture.height(), box);
        QVERIFY(qAbs(fitted.width() * picture.height() - fitted.height() * picture.width()) < 1e-6);
        QVERIFY(qAbs(fillsWidth ? fitted.width() - box.width() : fitted.height() - box.height()) < 1e-9);
        QVERIFY((fitted.center() - box.center()).manhattanLength() < 1e-9);
        QVERIFY(fittedPictureBox(0, 10, box).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLookupRules)
#include "tst_lookuprules.moc"
