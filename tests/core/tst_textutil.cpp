#include "core/TextUtil.h"
#include "core/WindowRules.h"

#include <QTest>

using namespace torvane;

class TestTextUtil : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::German)); }  // a decimal comma must not matter
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("blanks then fraction and text") << "  12.5abc" << 12.5;
        QTest::newRow("tab separated cell") << "\t-3\tW" << -3.0;
        QTest::newRow("fraction without whole part") << "-.5" << -0.5;
        QTest::newRow("blank between sign and digits") << "- 5" << 0.0;
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(torvane::leadingNumber(text), expected);
    }

    // Rounding to 16 bits (halves to even), and flooring.
    void integerRange_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QVariant>("rounded");  // null: no 16-bit value
        QTest::addColumn<int>("floored");
        QTest::newRow("half down to even") << 2.5 << QVariant(2) << 2;
        QTest::newRow("half up to even") << 3.5 << QVariant(4) << 3;
        QTest::newRow("largest 16-bit") << 32767.4 << QVariant(32767) << 32767;
        QTest::newRow("rounds past 16 bits") << 32767.5 << QVariant() << 32767;
        QTest::newRow("smallest 16-bit by rounding") << -32768.5 << QVariant(-32768) << -32769;
        QTest::newRow("below 16 bits") << -32769.0 << QVariant() << -32769;
        QTest::newRow("not a number") << std::nan("") << QVariant() << 0;
    }
    void integerRange()
    {
        QFETCH(double, value);
        QFETCH(QVariant, rounded);
        QFETCH(int, floored);
        const auto r = toInt16(value);
        QCOMPARE(r ? QVariant(int(*r)) : QVariant(), rounded);
        QCOMPARE(floorInt(value), (long long)floored);
    }

    void cp1252()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        QCOMPARE(toCp1252(fromCp1252(all)), all);
        QCOMPARE(fromCp1252("\x80\xD8"), QStringLiteral("\u20AC\u00D8"));
        QCOMPARE(toCp1252(QStringLiteral("K1ABC \u65E5")), QByteArray("K1ABC ?"));
    }

    // A resize as the window reports it, from QRect(100, 100, 400, 280) (x, y, width, height):
    // the edge it tells, and the rectangle that keeps height = 0.7 x width.
    void resizeKeepsProportions_data()
    {
        QTest::addColumn<QRect>("after");
        QTest::addColumn<QRect>("kept");
        QTest::newRow("moved only: unchanged") << QRect(105, 105, 400, 280) << QRect(105, 105, 400, 280);
        QTest::newRow("left: height follows") << QRect(50, 100, 450, 280) << QRect(50, 100, 450, 315);
        QTest::newRow("right: half a pixel to even") << QRect(100, 100, 415, 280) << QRect(100, 100, 415, 290);
        QTest::newRow("top: width follows") << QRect(100, 80, 400, 300) << QRect(100, 80, 429, 300);
        QTest::newRow("top-left: the left edge moves") << QRect(90, 80, 410, 300) << QRect(71, 80, 429, 300);
        QTest::newRow("top-right: width follows") << QRect(100, 80, 410, 300) << QRect(100, 80, 429, 300);
        QTest::newRow("bottom-left: height follows") << QRect(90, 100, 410, 300) << QRect(90, 100, 410, 287);
    }
    void resizeKeepsProportions()
    {
        QFETCH(QRect, after);
        QFETCH(QRect, kept);
        const int edge = draggedEdge(QRect(100, 100, 400, 280), after);
        QCOMPARE(toQRect(keepAspect(edge, toEdgeRect(after))), kept);
    }

    // Onto the screens' available areas (the primary's first) at start-up and after a maximize.
    void windowOnScreen_data()
    {
        QTest::addColumn<QRect>("outer");  // an empty rectangle: maximized on the first area
        QTest::addColumn<QList<QRect>>("areas");
        QTest::addColumn<QRect>("placed");
        const QList<QRect> one{{0, 0, 1920, 1050}};
        const QList<QRect> two{{0, 0, 1920, 1050}, {1920, 0, 1280, 1024}};
        QTest::newRow("on the screen: unchanged") << QRect(100, 100, 400, 280) << one << QRect(100, 100, 400, 280);
        QTest::newRow("past the right edge: moved in") << QRect(1700, 900, 400, 280) << one << QRect(1520, 770, 400, 280);
        QTest::newRow("monitor gone: onto the primary") << QRect(3300, 100, 400, 280) << one << QRect(1520, 100, 400, 280);
        QTest::newRow("on the second monitor") << QRect(3000, 500, 400, 280) << two << QRect(2800, 500, 400, 280);
        QTest::newRow("saved at scale 1, opened at 2: shrunk") << QRect(1361, 0, 1856, 1299) << one << QRect(420, 0, 1500, 1050);
        QTest::newRow("screen below the smallest window") << QRect(50, 50, 347, 243) << QList<QRect>{{0, 0, 320, 240}} << QRect(0, 0, 347, 243);
        QTest::newRow("maximized: widest kept, centred") << QRect() << QList<QRect>{{0, 0, 1920, 1080}} << QRect(189, 0, 1542, 1079);
        QTest::newRow("maximized on a narrow screen") << QRect() << QList<QRect>{{0, 30, 800, 600}} << QRect(0, 50, 800, 560);
    }
    void windowOnScreen()
    {
        QFETCH(QRect, outer);
        QFETCH(QList<QRect>, areas);
        QFETCH(QRect, placed);
        QCOMPARE(outer.isEmpty() ? maximizedRect(areas.first()) : clampOntoScreen(outer, areas, 347), placed);
    }

    // Stored twips shown and read back ten times through a screen of that scale (pixels
    // rounded there and back, as the platform does); a window moved a pixel is followed.
    void twipsRoundTrip_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("moved");  // pixels the window moved left at each showing
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<QRect>("after");
        const QRect smallest(1500, 1500, 5200, 3640);
        QTest::newRow("scale 1") << 1.0 << 0 << smallest << smallest;
        QTest::newRow("scale 1.25") << 1.25 << 0 << QRect(7001, 1799, 13805, 9664) << QRect(7001, 1799, 13805, 9664);
        QTest::newRow("scale 2") << 2.0 << 0 << smallest << smallest;
        QTest::newRow("scale 1.25, a pixel left at each start") << 1.25 << 1 << smallest << QRect(1350, 1500, 5200, 3640);
    }
    void twipsRoundTrip()
    {
        QFETCH(double, scale);
        QFETCH(int, moved);
        QFETCH(QRect, stored);
        QFETCH(QRect, after);
        const auto viaScreen = [scale](int twips) { return qRound(qRound(twipsToPixels(twips) * scale) / scale); };
        QRect twips = stored;
        for (int i = 0; i < 10; ++i)
            twips = followInTwips(twips, QRect(viaScreen(twips.left()) - moved, viaScreen(twips.top()),
                                               viaScreen(twips.width()), viaScreen(twips.height())));
        QCOMPARE(twips, after);
    }
};

QTEST_GUILESS_MAIN(TestTextUtil)
#include "tst_textutil.moc"
