#include "core/LookupRules.h"

#include <QTest>

using namespace torvane;

class TestLookupRules : public QObject {
    Q_OBJECT
private slots:
    // What typing, the lookup and pasting make of a call: `kind` t = typed character by
    // character, n = what the lookup searches for (nothing for N0CALL, BITEME and the like), p = pasted.
    void callText_data()
    {
        QTest::addColumn<char>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("plainZero");
        QTest::addColumn<QString>("call");
        QTest::newRow("typed: zero slashed") << 't' << "k0abc" << 0 << "K\u00D8ABC";
        QTest::newRow("typed: zero kept plain") << 't' << "k0abc" << 1 << "K0ABC";
        QTest::newRow("typed: other characters untouched") << 't' << "dl/ä-5" << 1 << "DL/ä-5";
        QTest::newRow("normalised: leading DE") << 'n' << "DE K0ABC" << 0 << "K0ABC";
        QTest::newRow("normalised: slashed zero, portable suffix") << 'n' << "K\u00D8ABC/P" << 0 << "K0ABC";
        QTest::newRow("normalised: DE without blank is a call") << 'n' << "DE1ABC" << 0 << "DE1ABC";
        QTest::newRow("normalised: BITEME in any case is not looked up") << 'n' << "BiteMe" << 0 << "";
        QTest::newRow("normalised: N0CALL with a slashed zero is looked up") << 'n' << "N\u00D8CALL" << 0 << "N0CALL";
        QTest::newRow("pasted: spotted line") << 'p' << "DE K1ABC 599" << 1 << "K1ABC";
        QTest::newRow("pasted: zero slashed and kept") << 'p' << "de k0abc tu" << 0 << "K\u00D8ABC";
    }
    void callText()
    {
        QFETCH(char, kind);
        QFETCH(QString, text);
        QFETCH(int, plainZero);
        QFETCH(QString, call);
        QString result;
        if (kind == 'n') {
            result = isSpecialCall(text) ? QString() : normaliseCall(text);
        } else if (kind == 'p') {
            result = pastedCall(text, plainZero);
        } else {
            for (const QChar c : text)
                result += typedCallChar(c, plainZero);
        }
        QCOMPARE(result, call);
    }

    void history_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("call");
        QTest::addColumn<QStringList>("after");
        const QStringList eight = {"K8A", "K7A", "K6A", "K5A", "K4A", "K3A", "K2A", "K1A"};
        QTest::newRow("ninth drops the oldest") << eight << "K9A" << QStringList{"K9A"} + eight.mid(0, 7);
        QTest::newRow("listed call keeps its place") << eight << "K5A" << eight;
        // A longer history read from the file loses its ninth entry at each lookup.
        QTest::newRow("long history loses its ninth") << eight + eight << "K5A" << eight + eight.mid(1);
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
        QCOMPARE(torvane::pictureAddress(QStringLiteral("http://h"), QStringLiteral("K1A?#")),
                 QStringLiteral("http://h/%23/k1a%3F%23/k1a%3F%23.jpg"));
        QVERIFY(torvane::pictureAddress(QStringLiteral("http://h"), QString()).isEmpty());
    }

    // Station pictures are decoded as JPEG, PNG or GIF by their first bytes, never as anything
    // another image plugin would claim.
    void pictureFormat()
    {
        const QList<QPair<QByteArray, QByteArray>> rows = {
            {"\xFF\xD8\xFF\xE0", "jpeg"}, {"\x89PNG\r\n\x1A\n", "png"}, {"GIF87a", "gif"},
            {"GIF89a", "gif"}, {"BM6\x0C", ""}, {"GIF8", ""}, {"<html>", ""}};
        for (const auto &[head, format] : rows)
            QCOMPARE(torvane::pictureFormat(head), format);
    }

    void statusLine_data()
    {
        QTest::addColumn<bool>("loggedIn");
        QTest::addColumn<int>("source");
        QTest::addColumn<QString>("line");  // state: text
        QTest::newRow("QRZ logged out") << false << 1 << "2: QRZ.com  (out)";
        QTest::newRow("QRZCQ logged out") << false << 2 << "3: QRZCQ (cq)";
        QTest::newRow("QRZCQ logged in") << true << 2 << "1: QRZ.com  (in)";
        QTest::newRow("Callook whatever the flag") << true << 3 << "4: Callook  (cl)";
    }
    void statusLine()
    {
        QFETCH(bool, loggedIn);
        QFETCH(int, source);
        QFETCH(QString, line);
        const StatusLine s = torvane::statusLine(loggedIn, source, QStringLiteral("QRZ.com"), "in", "out", "cl", "cq");
        QCOMPARE(QString::number(s.state) + QStringLiteral(": ") + s.text, line);
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
