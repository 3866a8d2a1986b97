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
        QTest::newRow("blanks only") << "      " << 0.0;
        QTest::newRow("blanks then fraction and text") << "  12.5abc" << 12.5;
        QTest::newRow("tab separated cell") << "\t-3\tW" << -3.0;
        QTest::newRow("fraction without whole part") << "-.5" << -0.5;
        QTest::newRow("trailing point") << "5." << 5.0;
        QTest::newRow("comma is not a decimal separator") << "1,5" << 1.0;
        QTest::newRow("derived position asterisk") << "41.71*" << 41.71;
        QTest::newRow("exponent ignored") << "1e5" << 1.0;
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
        QTest::addColumn<bool>("fits16");
        QTest::addColumn<int>("rounded");
        QTest::addColumn<int>("floored");
        QTest::newRow("half down to even") << 2.5 << true << 2 << 2;
        QTest::newRow("half up to even") << 3.5 << true << 4 << 3;
        QTest::newRow("negative half") << -2.5 << true << -2 << -3;
        QTest::newRow("largest 16-bit") << 32767.4 << true << 32767 << 32767;
        QTest::newRow("rounds past 16 bits") << 32767.5 << false << 0 << 32767;
        QTest::newRow("smallest 16-bit by rounding") << -32768.5 << true << -32768 << -32769;
        QTest::newRow("below 16 bits") << -32769.0 << false << 0 << -32769;
        QTest::newRow("not a number") << std::nan("") << false << 0 << 0;
        QTest::newRow("far out of range") << 1e300 << false << 0 << 0;
    }
    void integerRange()
    {
        QFETCH(double, value);
        QFETCH(bool, fits16);
        QFETCH(int, rounded);
        QFETCH(int, floored);
        QCOMPARE(toInt16(value).has_value(), fits16);
        QCOMPARE(int(toInt16(value).value_or(0)), rounded);
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

    void formatNumberIsPlainDecimal_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("full precision") << 41.714285714285715 << "41.714285714285715";
        QTest::newRow("tiny without exponent") << -0.00001 << "-0.00001";
        QTest::newRow("large without exponent") << 1e20 << "100000000000000000000";
    }
    void formatNumberIsPlainDecimal()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(formatNumber(value), expected);
    }

    void keepAspect_data()
    {
        QTest::addColumn<int>("edge");
        QTest::addColumn<QRect>("proposed");
        QTest::addColumn<QRect>("expected");
        // QRect(x, y, width, height)
        QTest::newRow("right edge widened") << 2 << QRect(0, 0, 1200, 700) << QRect(0, 0, 1200, 840);
        QTest::newRow("left edge") << 1 << QRect(100, 0, 1000, 500) << QRect(100, 0, 1000, 700);
        QTest::newRow("top edge") << 3 << QRect(0, 0, 1000, 840) << QRect(0, 0, 1200, 840);
        QTest::newRow("top-left moves the left") << 4 << QRect(300, 0, 1000, 840) << QRect(100, 0, 1200, 840);
        QTest::newRow("top-right") << 5 << QRect(0, 0, 1000, 350) << QRect(0, 0, 500, 350);
        QTest::newRow("bottom edge") << 6 << QRect(0, 0, 1000, 350) << QRect(0, 0, 500, 350);
        QTest::newRow("bottom-left") << 7 << QRect(0, 0, 1000, 100) << QRect(0, 0, 1000, 700);
        QTest::newRow("bottom-right") << 8 << QRect(0, 0, 500, 100) << QRect(0, 0, 500, 350);
        QTest::newRow("half pixel rounds to even") << 2 << QRect(0, 0, 5, 1) << QRect(0, 0, 5, 4);
        QTest::newRow("unknown edge unchanged") << 9 << QRect(0, 0, 500, 100) << QRect(0, 0, 500, 100);
    }
    void keepAspect()
    {
        QFETCH(int, edge);
        QFETCH(QRect, proposed);
        QFETCH(QRect, expected);
        QCOMPARE(toQRect(torvane::keepAspect(edge, toEdgeRect(proposed))), expected);
    }

    void draggedEdge_data()
    {
        QTest::addColumn<QRect>("after");
        QTest::addColumn<int>("edge");
        // From QRect(100, 100, 400, 280).
        QTest::newRow("moved only") << QRect(105, 105, 400, 280) << 0;
        QTest::newRow("right") << QRect(100, 100, 450, 280) << 2;
        QTest::newRow("left") << QRect(50, 100, 450, 280) << 1;
        QTest::newRow("bottom") << QRect(100, 100, 400, 300) << 6;
        QTest::newRow("top") << QRect(100, 80, 400, 300) << 3;
        QTest::newRow("top-left") << QRect(90, 80, 410, 300) << 4;
        QTest::newRow("bottom-right") << QRect(100, 100, 410, 300) << 8;
    }
    void draggedEdge()
    {
        QFETCH(QRect, after);
        QFETCH(int, edge);
        QCOMPARE(torvane::draggedEdge(QRect(100, 100, 400, 280), after), edge);
    }
};

QTEST_GUILESS_MAIN(TestTextUtil)
#include "tst_textutil.moc"
