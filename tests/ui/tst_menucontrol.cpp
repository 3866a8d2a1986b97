// The drop-down menu control: item syntax, the hit test, the width that only grows, clicks and
// hovering, the ways an open menu closes, and the desktop's menu font.

#include "ui/DropDownMenu.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <memory>

using namespace Qt::StringLiterals;
using namespace torvane;

namespace {

/// A menu shown over its owner window, as the main window opens its menus.
struct ShownMenu {
    std::unique_ptr<QWidget> owner = std::make_unique<QWidget>();
    DropDownMenu *menu = new DropDownMenu(owner.get());

    explicit ShownMenu(const QString &caption)
    {
        owner->setGeometry(100, 100, 500, 400);
        owner->show();
        menu->setCaption(caption);
        menu->move(120, 120);
        menu->show();
    }
    QPoint middleOf(int index) const { return menu->layout().labelRect(index).center(); }
    void hover(int index) const
    {
        QMouseEvent move(QEvent::MouseMove, middleOf(index), menu->mapToGlobal(middleOf(index)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(menu, &move);
    }
};

const QString kCaption = u"Station|Default source>|Database=|Languages>"_s;

}  // namespace

class TestMenuControl : public QObject {
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("parsed");  // shown texts joined by ",", then ">" and "=" flags
        QTest::newRow("four items") << u"First|Second>|Third=|Fourth"_s << u"First,Second>,Third=,Fourth"_s;
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

    // Items 16 pixels high, three of 5 pixels' text: a panel 55 wide, items at y 3, 19 and 43
    // (the separator under the second pushes the third down by 8).
    void hitTest_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("item");
        QTest::newRow("first row of the first item") << QPoint(5, 3) << 0;
        QTest::newRow("last row of the first item") << QPoint(5, 18) << 0;
        QTest::newRow("first row of the second item") << QPoint(5, 19) << 1;
        QTest::newRow("last row of the second item") << QPoint(54, 34) << 1;
        QTest::newRow("gap under the separator") << QPoint(5, 37) << -1;
        QTest::newRow("first row after the gap") << QPoint(5, 43) << 2;
        QTest::newRow("above the first item") << QPoint(5, 2) << -1;
        QTest::newRow("below the last item") << QPoint(5, 59) << -1;
        QTest::newRow("right of the panel") << QPoint(55, 5) << -1;
    }
    void hitTest()
    {
        QFETCH(QPoint, point);
        QFETCH(int, item);
        int16_t widest = 0;
        const MenuGeometry geometry(parseMenuText(u"a|b=|c"_s), {5, 5, 5}, 16, widest);
        QCOMPARE(geometry.itemAt(point), item);
    }

    void width_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<int>("widthBefore");  // widest text of the earlier captions
        QTest::addColumn<int>("panelWidth");
        QTest::newRow("earlier, wider caption kept") << u"a"_s << QList<int>{10} << 70 << 120;
        QTest::newRow("first item widest is measured") << u"a|b"_s << QList<int>{90, 20} << 0 << 140;
        QTest::newRow("huge text capped to 16 bits") << u"a"_s << QList<int>{1000000} << 0 << 32767;
    }
    void width()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, widths);
        QFETCH(int, widthBefore);
        QFETCH(int, panelWidth);
        auto widest = int16_t(widthBefore);
        QCOMPARE(MenuGeometry(parseMenuText(text), QVector<int>(widths.begin(), widths.end()), 16, widest).width(),
                 panelWidth);
    }

    void shorterCaptionKeepsWidth()
    {
        DropDownMenu menu;
        menu.Check(4, true);  // before the item exists: kept for when it does
        menu.setCaption(u"Ok|Station setup and more>|Exit="_s);
        const QSize before = menu.size();
        menu.setCaption(u"A|B|C|D|E"_s);
        QCOMPARE(menu.width(), before.width());
        QVERIFY(menu.height() > before.height());
        QVERIFY(menu.isChecked(4) && !menu.isChecked(3));
    }

    // Every click handler rebuilds the menu, as the language menu does: the caption it gets
    // is still the clicked one.
    void click_data()
    {
        QTest::addColumn<int>("pressed");
        QTest::addColumn<int>("released");
        QTest::addColumn<int>("disabled");
        QTest::addColumn<int>("clicked");
        QTest::addColumn<QString>("caption");
        QTest::newRow("first item") << 0 << 0 << -1 << 0 << u"Station"_s;
        QTest::newRow("item under a separator") << 2 << 2 << -1 << 2 << u"Database"_s;
        QTest::newRow("last item, sub-menu marker dropped") << 3 << 3 << -1 << 3 << u"Languages"_s;
        QTest::newRow("released on another item") << 1 << 3 << -1 << -1 << QString();
        QTest::newRow("disabled item") << 2 << 2 << 2 << -1 << QString();
    }
    void click()
    {
        QFETCH(int, pressed);
        QFETCH(int, released);
        QFETCH(int, disabled);
        QFETCH(int, clicked);
        QFETCH(QString, caption);
        ShownMenu shown(kCaption);
        QVERIFY(QTest::qWaitForWindowExposed(shown.menu));
        shown.menu->Enable(disabled, false);
        int index = -1;
        QString seen;
        connect(shown.menu, &DropDownMenu::Click, shown.menu, [&](int i, const QString &text) {
            shown.menu->setCaption(u"x"_s);
            index = i;
            seen = text;
        });
        QTest::mousePress(shown.menu, Qt::LeftButton, {}, shown.middleOf(pressed));
        QTest::mouseRelease(shown.menu, Qt::LeftButton, {}, shown.middleOf(released));
        QCOMPARE(index, clicked);
        QCOMPARE(seen, caption);
    }

    void hoverEntersItems()
    {
        ShownMenu shown(kCaption);
        QVERIFY(QTest::qWaitForWindowExposed(shown.menu));
        shown.menu->Enable(2, false);
        QList<int> entered;
        connect(shown.menu, &DropDownMenu::subMnu, shown.menu, [&entered](int index) { entered.append(index); });
        for (const int item : {1, 1, 2, 3, 0})  // twice in one item enters once; disabled never
            shown.hover(item);
        QCOMPARE(entered, (QList<int>{1, 3, 0}));
        QCOMPARE(int(shown.menu->currentItem()), 0);
        QVERIFY(shown.menu->highlightShown());
    }

    void closes_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("staysOpen");
        QTest::addColumn<int>("clicked");
        QTest::newRow("another program takes the focus") << u"other window"_s << false << -1;
        QTest::newRow("program no longer active") << u"inactive"_s << false << -1;
        QTest::newRow("press in the owner window") << u"press owner"_s << false << -1;
        QTest::newRow("Escape: the sub-menu first, then the menu") << u"escape"_s << false << -1;
        QTest::newRow("press inside selects") << u"press item"_s << true << 1;
        QTest::newRow("press on its sub-menu") << u"press sub-menu"_s << true << -1;
    }
    void closes()
    {
        QFETCH(QString, action);
        QFETCH(bool, staysOpen);
        QFETCH(int, clicked);
        ShownMenu shown(kCaption);
        // A sub-menu open beside it, as Setup opens Languages.
        auto *sub = new DropDownMenu(shown.owner.get());
        sub->setCaption(u"English|Polski"_s);
        sub->move(shown.menu->geometry().topRight() + QPoint(1, 0));
        sub->show();
        QVERIFY(QTest::qWaitForWindowExposed(sub));
        shown.owner->activateWindow();  // the form keeps the focus while its menus are open
        QVERIFY(QTest::qWaitForWindowActive(shown.owner.get()));
        QSignalSpy closed(shown.menu, &DropDownMenu::Closed);
        QSignalSpy clicks(shown.menu, &DropDownMenu::Click);
        QWindow otherProgram;  // a window without widgets stands for another program's
        if (action == u"other window"_s) {
            otherProgram.setGeometry(700, 100, 100, 100);
            otherProgram.show();
            otherProgram.requestActivate();
        } else if (action == u"inactive"_s) {
            emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
        } else if (action == u"press owner"_s) {
            QTest::mouseClick(shown.owner.get(), Qt::LeftButton, {}, QPoint(450, 350));
        } else if (action == u"escape"_s) {
            QTest::keyClick(shown.owner.get(), Qt::Key_Escape);
            QVERIFY(!sub->isVisible() && shown.menu->isVisible());
            QTest::keyClick(shown.owner.get(), Qt::Key_Escape);
        } else if (action == u"press item"_s) {
            QTest::mouseClick(shown.menu, Qt::LeftButton, {}, shown.middleOf(1));
        } else {
            QTest::mouseClick(sub, Qt::LeftButton, {}, sub->layout().labelRect(1).center());
        }
        QTRY_COMPARE_WITH_TIMEOUT(shown.menu->isVisible(), staysOpen, 2000);
        QCOMPARE(closed.count(), staysOpen ? 0 : 1);
        QCOMPARE(clicks.isEmpty() ? -1 : clicks.first().first().toInt(), clicked);
    }

    void menuFontInPixels()
    {
        QFont font(u"DejaVu Sans"_s);
        font.setItalic(true);
        font.setPixelSize(16);
        const QFont saved = QApplication::font("QMenu");
        QApplication::setFont(font, "QMenu");
        QString name;
        bool bold = true, italic = false;
        int size = 0;
        const bool read = DropDownMenu::GetMenuFonts(name, bold, italic, size);
        QApplication::setFont(saved, "QMenu");
        QVERIFY(read && !bold && italic);
        QCOMPARE(name, u"DejaVu Sans"_s);
        QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInchY(), 96.0);
        QCOMPARE(size, 12);  // 16 pixels at 96 dpi
    }
};

QTEST_MAIN(TestMenuControl)
#include "tst_menucontrol.moc"
