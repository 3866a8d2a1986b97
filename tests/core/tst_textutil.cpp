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
};

QTEST_GUILESS_MAIN(TestTextUtil)
#include "tst_textutil.moc"
