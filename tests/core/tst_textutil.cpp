#include "core/TextUtil.h"
#include "core/WindowRules.h"

#include <QTest>

using namespace torvane;

class TestTextUtil : public QObject {
    Q_OBJECT
private slots:
    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("blanks only") << "      " << 0.0;
        QTest::newRow("blanks then fraction and text") << "  12.5abc" << 12.5;
        QTest::newRow("tab separated cell") << "\t-3\tW" << -3.0;
        QTest::newRow("plus sign") << "+4" << 4.0;
        QTest::newRow("fraction without whole part") << "-.5" << -0.5;
        QTest::newRow("trailing point") << "5." << 5.0;
        QTest::newRow("comma is not a decimal separator") << "1,5" << 1.0;
        QTest::newRow("derived position asterisk") << "41.71*" << 41.71;
        QTest::newRow("exponent ignored") << "1e5" << 1.0;
        QTest::newRow("sign alone") << "-" << 0.0;
        QTest::newRow("blank between sign and digits") << "- 5" << 0.0;
        QTest::newRow("many decimals") << "-72.7241234567" << -72.7241234567;
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(torvane::leadingNumber(text), expected);
    }

    void leadingNumberIgnoresLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German));
        QCOMPARE(torvane::leadingNumber(u"51.25"), 51.25);
        QLocale::setDefault(QLocale::c());
    }

    void integerRange_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("fits16");
        QTest::addColumn<int>("rounded");
        QTest::newRow("half down to even") << 2.5 << true << 2;
        QTest::newRow("half up to even") << 3.5 << true << 4;
        QTest::newRow("negative half") << -2.5 << true << -2;
        QTest::newRow("largest 16-bit") << 32767.4 << true << 32767;
        QTest::newRow("rounds past 16 bits") << 32767.5 << false << 0;
        QTest::newRow("smallest 16-bit by rounding") << -32768.5 << true << -32768;
        QTest::newRow("below 16 bits") << -32769.0 << false << 0;
    }
    void integerRange()
    {
        QFETCH(double, value);
        QFETCH(bool, fits16);
        QFETCH(int, rounded);
        const auto v = toInt16(value);
        QCOMPARE(v.has_value(), fits16);
        if (fits16)
            QCOMPARE(int(*v), rounded);
        QVERIFY(toInt32(value).has_value());
        QVERIFY(!toInt32(3e9).has_value());
    }

    void floorIntOfOddValues()
    {
        QCOMPARE(floorInt(-0.5), -1LL);
        QCOMPARE(floorInt(2.9999), 2LL);
        QCOMPARE(floorInt(std::nan("")), 0LL);
        QCOMPARE(floorInt(1e300), 0LL);
    }

    void cp1252RoundTripsEveryByte()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = fromCp1252(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(text.at(0x80), QChar(0x20AC));
        QCOMPARE(text.at(216), kSlashedZero);
        QCOMPARE(toCp1252(text), all);
    }

    void cp1252UnmappableBecomesQuestionMark()
    {
        QCOMPARE(toCp1252(QString::fromUtf8("K1ABC \u65E5")), QByteArray("K1ABC ?"));
    }

    void formatNumberIsPlainDecimal_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("fraction") << 51.5 << "51.5";
        QTest::newRow("negative") << -0.125 << "-0.125";
        QTest::newRow("full precision") << 41.714285714285715 << "41.714285714285715";
        QTest::newRow("tiny without exponent") << 0.00001 << "0.00001";
        QTest::newRow("large without exponent") << 1e20 << "100000000000000000000";
    }
    void formatNumberIsPlainDecimal()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(QLocale::German));
        QCOMPARE(formatNumber(value), expected);
        QCOMPARE(torvane::leadingNumber(formatNumber(value)), value == 0 ? 0.0 : value);
        QLocale::setDefault(QLocale::c());
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
        QTest::newRow("top-right") << 5 << QRect(0, 0, 1000, 700) << QRect(0, 0, 1000, 700);
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
        const QRect before(100, 100, 400, 280);
        QTest::newRow("moved only") << before.translated(5, 5) << 0;
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
