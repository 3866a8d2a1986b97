// The drop-down menu control: item syntax, geometry, the width that only grows, check marks,
// enabled items, the signals on mouse events and very large menus.

#include "ui/DropDownMenu.h"

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

QPoint middleOf(const DropDownMenu &menu, int index)
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
        QTest::addColumn<QString>("parsed");  // shown texts joined by ",", then ">" and "=" flags
        QTest::newRow("four items") << u"First|Second>|Third=|Fourth"_s
                                    << u"First,Second>,Third=,Fourth"_s;
        QTest::newRow("no bar: one item") << u"Exit="_s << u"Exit="_s;
        QTest::newRow("empty items kept") << u"|"_s << u","_s;
        QTest::newRow("markers inside the text") << u"a>b=c"_s << u"abc>="_s;
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QString, parsed);
        QStringList got;
        for (const MenuEntry &entry : parseMenuText(text))
            got.append(entry.text + (entry.subMenu ? u">"_s : QString()) + (entry.separator ? u"="_s : QString()));
        QCOMPARE(got.join(u','), parsed);
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
        QTest::newRow("single item, earlier width kept") << u"a"_s << QList<int>{10} << 70
                                                         << QList<int>{3} << QList<int>{} << 120 << 23;
        QTest::newRow("first item widest is measured") << u"wide|b"_s << QList<int>{90, 20} << 0
                                                       << QList<int>{3, 19} << QList<int>{} << 140 << 39;
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
            QCOMPARE(g.labelRect(i).top(), tops[i]);
            QCOMPARE(g.itemAt(QPoint(5, tops[i])), i);
            QCOMPARE(g.itemAt(QPoint(panelWidth - 1, tops[i] + 15)), i);
        }
        QCOMPARE(QList<int>(g.separatorLines().begin(), g.separatorLines().end()), separators);
        for (const int y : separators)
            QCOMPARE(g.itemAt(QPoint(5, y)), -1);  // the gap under an item picks nothing
        QCOMPARE(g.itemAt(QPoint(5, 1)), -1);
        QCOMPARE(g.itemAt(QPoint(panelWidth, tops[0])), -1);
    }

    void panelFollowsFont()
    {
        DropDownMenu menu;
        const int itemHeight = qRound(QFontMetricsF(menu.font()).height() + 3);
        menu.setCaption(u"Ok|Station setup and more>|Exit="_s);
        // Markers count in the width.
        QCOMPARE(int(menu.TextWidthMax()), QFontMetrics(menu.font()).horizontalAdvance(u"Station setup and more>"_s));
        const int wide = menu.width();

        // A shorter list keeps the width; the height follows the new count.
        menu.setCaption(u"A|B"_s);
        QCOMPARE(menu.width(), wide);
        QCOMPARE(menu.height(), 3 + 2 * itemHeight + 4);
    }

    void checkAndEnable()
    {
        DropDownMenu menu;
        menu.Check(4, true);  // before the items exist: kept for when they do
        menu.setCaption(u"a|b|c"_s);
        menu.Check(1, true);
        QVERIFY(menu.isChecked(1) && !menu.isChecked(0));
        menu.setCaption(u"a|b|c|d|e"_s);
        QVERIFY(menu.isChecked(4));
        menu.Check(-1, true);
        menu.Enable(-3, false);
        QVERIFY(!menu.isChecked(-1));

        QSignalSpy clicks(&menu, &DropDownMenu::Click);
        QSignalSpy entered(&menu, &DropDownMenu::subMnu);
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
        DropDownMenu menu;
        menu.setCaption(u"Station|Default source>|Database=|Languages>"_s);
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QSignalSpy clicks(&menu, &DropDownMenu::Click);
        QSignalSpy entered(&menu, &DropDownMenu::subMnu);

        moveMouse(&menu, middleOf(menu, 1));
        moveMouse(&menu, middleOf(menu, 1) + QPoint(3, 1));  // still in the same item
        QCOMPARE(entered.count(), 1);
        QCOMPARE(entered.at(0).at(0).toInt(), 1);
        QCOMPARE(int(menu.currentItem()), 1);
        QVERIFY(menu.highlightShown());

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
        QCOMPARE(clicks.at(0), (QList<QVariant>{0, u"Station"_s}));
        QCOMPARE(clicks.at(1), (QList<QVariant>{2, u"Database"_s}));
        QVERIFY(!menu.highlightShown());

        // Pressed on one item, released on another: no click.
        QTest::mousePress(&menu, Qt::LeftButton, {}, middleOf(menu, 1));
        QTest::mouseRelease(&menu, Qt::LeftButton, {}, middleOf(menu, 3));
        QCOMPARE(clicks.count(), 2);
    }

    void clickHandlerMayRebuild()
    {
        DropDownMenu menu;
        menu.setCaption(u"one|two"_s);
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QString seen;
        connect(&menu, &DropDownMenu::Click, &menu, [&menu, &seen](int, const QString &caption) {
            menu.setCaption(u"x"_s);
            seen = caption;
        });
        QTest::mouseClick(&menu, Qt::LeftButton, {}, middleOf(menu, 1));
        QCOMPARE(seen, u"two"_s);
    }

    void largeMenusDraw()
    {
        DropDownMenu menu;
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
        QFont bold(u"DejaVu Sans"_s, 9, QFont::Bold);
        QFont italicPixels(u"DejaVu Sans"_s);
        italicPixels.setItalic(true);
        italicPixels.setPixelSize(16);
        QTest::newRow("bold, points") << bold << 9;
        QTest::newRow("italic, pixels") << italicPixels
                                        << qRound(16 * 72.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchY());
    }
    void menuFonts()
    {
        QFETCH(QFont, font);
        QFETCH(int, points);
        const QFont saved = QApplication::font("QMenu");
        QApplication::setFont(font, "QMenu");
        QString name;
        bool bold = !font.bold();
        bool italic = !font.italic();
        int size = 0;
        const bool read = DropDownMenu::GetMenuFonts(name, bold, italic, size);
        QApplication::setFont(saved, "QMenu");
        QVERIFY(read);
        QCOMPARE(name, font.family());
        QCOMPARE(bold, font.bold());
        QCOMPARE(italic, font.italic());
        QCOMPARE(size, points);
    }
};

QTEST_MAIN(TestMenuControl)
#include "tst_menucontrol.moc"
