// The drop-down menu control: item syntax, geometry, the width that only grows, check marks,
// enabled items, the signals on mouse events and very large menus.

#include "ui/MenuControl.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace torvane;

namespace {

void moveMouse(QWidget *widget, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

QPoint middleOf(const ucMenu &menu, int index)
{
    return menu.layout().labelRect(index).center();
}

}  // namespace

class TestMenuControl : public QObject {
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QList<bool>>("sub");
        QTest::addColumn<QList<bool>>("separator");
        QTest::newRow("four items") << u"First|Second>|Third=|Fourth"_s
                                    << QStringList{u"First"_s, u"Second"_s, u"Third"_s, u"Fourth"_s}
                                    << QList<bool>{false, true, false, false}
                                    << QList<bool>{false, false, true, false};
        QTest::newRow("no bar: one item") << u"Exit="_s << QStringList{u"Exit"_s} << QList<bool>{false}
                                          << QList<bool>{true};
        QTest::newRow("both markers, any order") << u"Languages>=|A=>"_s
                                                 << QStringList{u"Languages"_s, u"A"_s}
                                                 << QList<bool>{true, true} << QList<bool>{true, true};
        QTest::newRow("empty items kept") << u"|"_s << QStringList{QString(), QString()}
                                          << QList<bool>{false, false} << QList<bool>{false, false};
        QTest::newRow("markers inside the text") << u"a>b=c"_s << QStringList{u"abc"_s}
                                                 << QList<bool>{true} << QList<bool>{true};
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, shown);
        QFETCH(QList<bool>, sub);
        QFETCH(QList<bool>, separator);
        const QVector<MenuEntry> entries = parseMenuText(text);
        QCOMPARE(entries.size(), shown.size());
        for (int i = 0; i < entries.size(); ++i) {
            QCOMPARE(entries[i].text, shown[i]);
            QCOMPARE(entries[i].subMenu, sub[i]);
            QCOMPARE(entries[i].separator, separator[i]);
        }
    }

    // Fixed widths and an item height of 16: exact pixel positions.
    void geometry_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<int>("widthBefore");
        QTest::addColumn<QList<int>>("tops");
        QTest::addColumn<QList<int>>("separators");
        QTest::addColumn<int>("panelWidth");
        QTest::addColumn<int>("panelHeight");
        QTest::newRow("plain three") << u"a|b|c"_s << QList<int>{30, 60, 40} << 0 << QList<int>{3, 19, 35}
                                     << QList<int>{} << 110 << 55;
        QTest::newRow("single item, earlier width kept") << u"a"_s << QList<int>{10} << 70
                                                         << QList<int>{3} << QList<int>{} << 120 << 23;
        QTest::newRow("first item widest is measured") << u"wide|b"_s << QList<int>{90, 20} << 0
                                                       << QList<int>{3, 19} << QList<int>{} << 140 << 39;
        QTest::newRow("separator pushes 8") << u"a=|b|c"_s << QList<int>{5, 5, 5} << 0
                                            << QList<int>{3, 27, 43} << QList<int>{21} << 55 << 63;
        QTest::newRow("two separators push 16") << u"a|b=|c=|d"_s << QList<int>{5, 5, 5, 5} << 0
                                                << QList<int>{3, 19, 43, 67} << QList<int>{37, 61} << 55
                                                << 87;
        QTest::newRow("last item separator inside") << u"a|b="_s << QList<int>{5, 5} << 0
                                                    << QList<int>{3, 19} << QList<int>{37} << 55 << 39;
        QTest::newRow("huge width capped") << u"a"_s << QList<int>{1000000} << 0 << QList<int>{3}
                                           << QList<int>{} << 32767 << 23;
    }
    void geometry()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, widths);
        QFETCH(int, widthBefore);
        QFETCH(QList<int>, tops);
        QFETCH(QList<int>, separators);
        QFETCH(int, panelWidth);
        QFETCH(int, panelHeight);
        auto widest = int16_t(widthBefore);
        const MenuGeometry g(parseMenuText(text), QVector<int>(widths.begin(), widths.end()), 16, widest);
        QCOMPARE(g.width(), panelWidth);
        QCOMPARE(g.height(), panelHeight);
        QCOMPARE(int(widest), panelWidth - 50);
        QCOMPARE(g.count(), tops.size());
        for (int i = 0; i < tops.size(); ++i) {
            QCOMPARE(g.labelRect(i), QRect(20, tops[i], panelWidth - 40, 16));
            QCOMPARE(g.checkRect(i), QRect(0, tops[i], 20, 16));
            QCOMPARE(g.arrowRect(i).left(), panelWidth - 22);
            QCOMPARE(g.highlightRect(i), QRect(-2, tops[i] - 2, panelWidth + 4, 18));
            QCOMPARE(g.itemAt(QPoint(5, tops[i])), i);
            QCOMPARE(g.itemAt(QPoint(panelWidth - 1, tops[i] + 15)), i);
        }
        QCOMPARE(QList<int>(g.separatorLines().begin(), g.separatorLines().end()), separators);
        for (const int y : separators)
            QCOMPARE(g.itemAt(QPoint(5, y)), -1);  // the gap under an item picks nothing
        QCOMPARE(g.itemAt(QPoint(5, 1)), -1);
        QCOMPARE(g.itemAt(QPoint(panelWidth, tops[0])), -1);
        QCOMPARE(g.rowRect(tops.size()), QRect());
    }

    void panelFollowsFont()
    {
        ucMenu menu;
        const int itemHeight = qRound(QFontMetricsF(menu.font()).height() + 3);
        const int wide = QFontMetrics(menu.font()).horizontalAdvance(u"Station setup and more"_s);
        menu.setCaption(u"Ok|Station setup and more>|Exit="_s);
        QCOMPARE(int(menu.ItemHeight()), itemHeight);
        QCOMPARE(int(menu.TextWidthMax()), QFontMetrics(menu.font()).horizontalAdvance(u"Station setup and more>"_s));
        QVERIFY(menu.TextWidthMax() > wide);  // markers count in the width
        QCOMPARE(menu.width(), menu.TextWidthMax() + 50);
        QCOMPARE(menu.height(), 3 + 2 * itemHeight + itemHeight + 4);
        QVERIFY(menu.hasSubMenu(1));
        QCOMPARE(menu.itemText(2), u"Exit"_s);

        // A shorter list keeps the width; the height follows the new count.
        menu.setCaption(u"A|B"_s);
        QCOMPARE(menu.width(), menu.TextWidthMax() + 50);
        QVERIFY(menu.width() > wide);
        QCOMPARE(menu.height(), 3 + 2 * itemHeight + 4);
        QCOMPARE(menu.itemCount(), 2);
    }

    void checkAndEnable()
    {
        ucMenu menu;
        menu.Check(4, true);  // before the items exist: kept for when they do
        menu.setCaption(u"a|b|c"_s);
        menu.Check(1, true);
        QVERIFY(menu.isChecked(1));
        QVERIFY(!menu.isChecked(0));
        menu.Check(1, false);
        QVERIFY(!menu.isChecked(1));
        menu.setCaption(u"a|b|c|d|e"_s);
        QVERIFY(menu.isChecked(4));
        menu.Check(-1, true);
        menu.Enable(-3, false);
        QVERIFY(!menu.isChecked(-1));

        QSignalSpy clicks(&menu, &ucMenu::Click);
        QSignalSpy entered(&menu, &ucMenu::subMnu);
        menu.Enable(2, false);
        QVERIFY(!menu.isItemEnabled(2));
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        moveMouse(&menu, middleOf(menu, 2));
        QTest::mouseClick(&menu, Qt::LeftButton, {}, middleOf(menu, 2));
        QCOMPARE(entered.count(), 0);
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(int(menu.currentItem()), -1);
        menu.Enable(2, true);
        QTest::mouseClick(&menu, Qt::LeftButton, {}, middleOf(menu, 2));
        QCOMPARE(clicks.count(), 1);
    }

    void mouseSignals()
    {
        ucMenu menu;
        menu.setCaption(u"Station|Default source>|Database=|Languages>"_s);
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QSignalSpy clicks(&menu, &ucMenu::Click);
        QSignalSpy entered(&menu, &ucMenu::subMnu);
        QCOMPARE(int(menu.currentItem()), -1);

        moveMouse(&menu, middleOf(menu, 1));
        moveMouse(&menu, middleOf(menu, 1) + QPoint(3, 1));  // still in the same item
        QCOMPARE(entered.count(), 1);
        QCOMPARE(entered.at(0).at(0).toInt(), 1);
        QCOMPARE(int(menu.currentItem()), 1);
        QVERIFY(menu.highlightShown());
        QCOMPARE(menu.highlightRect(),
                 QRect(-2, menu.layout().labelRect(1).top() - 2, menu.width() + 4, menu.ItemHeight() + 2));

        // The gap under a separator picks nothing; coming back enters again.
        const QPoint gap(10, menu.layout().separatorLines().at(0));
        moveMouse(&menu, gap);
        QCOMPARE(int(menu.currentItem()), 1);
        moveMouse(&menu, middleOf(menu, 3));
        moveMouse(&menu, middleOf(menu, 0));
        QCOMPARE(entered.count(), 3);
        QCOMPARE(entered.at(1).at(0).toInt(), 3);
        QCOMPARE(entered.at(2).at(0).toInt(), 0);

        // Item 0 is clickable like the others; the highlight goes away with the click.
        QTest::mouseClick(&menu, Qt::LeftButton, {}, middleOf(menu, 0));
        QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.layout().checkRect(2).center());
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(clicks.at(0).at(0).toInt(), 0);
        QCOMPARE(clicks.at(0).at(1).toString(), u"Station"_s);
        QCOMPARE(clicks.at(1).at(0).toInt(), 2);
        QCOMPARE(clicks.at(1).at(1).toString(), u"Database"_s);
        QVERIFY(!menu.highlightShown());

        // Pressed on one item, released on another: no click.
        QTest::mousePress(&menu, Qt::LeftButton, {}, middleOf(menu, 1));
        QTest::mouseRelease(&menu, Qt::LeftButton, {}, middleOf(menu, 3));
        QCOMPARE(clicks.count(), 2);
    }

    void clickHandlerMayRebuild()
    {
        ucMenu menu;
        menu.setCaption(u"one|two"_s);
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QString seen;
        connect(&menu, &ucMenu::Click, &menu, [&menu, &seen](int, const QString &caption) {
            menu.setCaption(u"x"_s);
            seen = caption;
        });
        QTest::mouseClick(&menu, Qt::LeftButton, {}, middleOf(menu, 1));
        QCOMPARE(seen, u"two"_s);
    }

    void largeMenusDraw()
    {
        ucMenu menu;
        QStringList items;
        for (int i = 0; i < 400; ++i)
            items.append(u"Entry %1%2"_s.arg(i).arg(i % 50 == 0 ? u"="_s : QString()));
        items.append(QString(3000, u'W'));
        menu.setCaption(items.join(u'|'));
        QCOMPARE(menu.itemCount(), 401);
        QVERIFY(menu.width() <= INT16_MAX);
        QCOMPARE(menu.height(), menu.layout().labelRect(400).bottom() + 1 + 4);

        // The part around the last items draws: text pixels differ from the panel colour.
        QImage tail = menu.grab(QRect(0, menu.height() - 60, 300, 60)).toImage();
        QVERIFY(!tail.isNull());
        const QRgb panel = tail.pixel(tail.width() / 2, tail.height() - 2);
        int ink = 0;
        for (int y = 0; y < tail.height(); ++y) {
            for (int x = 20; x < tail.width(); ++x)
                ink += tail.pixel(x, y) != panel;
        }
        QVERIFY(ink > 50);
    }

    void menuFonts_data()
    {
        QTest::addColumn<QFont>("font");
        QTest::addColumn<int>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QFont plain(u"DejaVu Sans"_s, 11);
        QFont bold(u"DejaVu Sans"_s, 9, QFont::Bold);
        QFont italic(u"DejaVu Sans"_s, 10);
        italic.setItalic(true);
        QFont pixels(u"DejaVu Sans"_s);
        pixels.setPixelSize(16);  // 12 points at 96 dots per inch
        QTest::newRow("plain") << plain << 11 << false << false;
        QTest::newRow("bold") << bold << 9 << true << false;
        QTest::newRow("italic") << italic << 10 << false << true;
        QTest::newRow("pixel size") << pixels << 12 << false << false;
    }
    void menuFonts()
    {
        QFETCH(QFont, font);
        QFETCH(int, points);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        const QFont saved = QApplication::font("QMenu");
        QApplication::setFont(font, "QMenu");
        QString name;
        bool isBold = !bold;
        bool isItalic = !italic;
        int size = 0;
        const bool read = ucMenu::GetMenuFonts(name, isBold, isItalic, size);
        QApplication::setFont(saved, "QMenu");
        QVERIFY(read);
        QCOMPARE(name, font.family());
        QCOMPARE(isBold, bold);
        QCOMPARE(isItalic, italic);
        if (font.pixelSize() > 0)
            QCOMPARE(size, qRound(16 * 72.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchY()));
        else
            QCOMPARE(size, points);
    }
};

QTEST_MAIN(TestMenuControl)
#include "tst_menucontrol.moc"
