// The drop-down menu control: item syntax, hit test, width, clicks, hovering, closing, menu font.

#include "ui/DropDownMenu.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace torvane;

namespace {

/// A menu shown over its owner window, as the main window opens its menus.
struct ShownMenu {
    QWidget owner;
    DropDownMenu *menu = new DropDownMenu(&owner);

    ShownMenu()
    {
        owner.setGeometry(100, 100, 500, 400);
        owner.show();
        menu->setCaption(u"Station|Default source>|Database=|Languages>"_s);
        menu->move(120, 120);
        menu->show();
    }
    QPoint middleOf(int index) const { return menu->layout().labelRect(index).center(); }
};

}  // namespace

class TestMenuControl : public QObject {
    Q_OBJECT
private slots:
    void parse()
    {
        QStringList got;  // shown texts, then the ">" and "=" flags
        for (const MenuEntry &entry : parseMenuText(u"First|Se>c|Th=ird|"_s))
            got.append(entry.text + (entry.subMenu ? u">"_s : QString()) + (entry.separator ? u"="_s : QString()));
        QCOMPARE(got, (QStringList{u"First"_s, u"Sec>"_s, u"Third="_s, QString()}));
    }

    // Items 16 pixels high, three of 5 pixels' text: a panel 55 wide, items at y 3, 19 and 43
    // (the separator under the second pushes the third down by 8).
    void hitTest_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("item");
        QTest::newRow("first row of the second item") << QPoint(5, 19) << 1;
        QTest::newRow("last pixel of the second item") << QPoint(54, 34) << 1;
        QTest::newRow("first row of the gap under the separator") << QPoint(5, 35) << -1;
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
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<int>("widthBefore");  // widest text of the earlier captions
        QTest::addColumn<int>("panelWidth");
        QTest::newRow("earlier, wider caption kept") << QList<int>{10} << 70 << 120;
        QTest::newRow("first item widest is measured") << QList<int>{90, 20} << 0 << 140;
        QTest::newRow("huge text capped to 16 bits") << QList<int>{1000000} << 0 << 32767;
    }
    void width()
    {
        QFETCH(QList<int>, widths);
        QFETCH(int, widthBefore);
        QFETCH(int, panelWidth);
        auto widest = int16_t(widthBefore);
        const auto entries = parseMenuText(widths.size() == 1 ? u"a"_s : u"a|b"_s);
        QCOMPARE(MenuGeometry(entries, QVector<int>(widths.begin(), widths.end()), 16, widest).width(), panelWidth);
    }

    // The click handler rebuilds the menu, as the language menu does: the caption it gets is
    // still the clicked one.
    void click_data()
    {
        QTest::addColumn<int>("released");
        QTest::addColumn<int>("disabled");
        QTest::addColumn<QString>("clicked");  // index and caption
        QTest::newRow("sub-menu item: marker dropped") << 3 << -1 << u"3 Languages"_s;
        QTest::newRow("released on another item") << 1 << -1 << QString();
        QTest::newRow("disabled item") << 3 << 3 << QString();
    }
    void click()
    {
        QFETCH(int, released);
        QFETCH(int, disabled);
        QFETCH(QString, clicked);
        ShownMenu shown;
        shown.menu->Enable(disabled, false);
        QString seen;
        connect(shown.menu, &DropDownMenu::Click, shown.menu, [&](int index, const QString &caption) {
            shown.menu->setCaption(u"x"_s);
            seen = u"%1 %2"_s.arg(index).arg(caption);
        });
        QTest::mousePress(shown.menu, Qt::LeftButton, {}, shown.middleOf(3));
        QTest::mouseRelease(shown.menu, Qt::LeftButton, {}, shown.middleOf(released));
        QCOMPARE(seen, clicked);
    }

    void hoverEntersItems()
    {
        ShownMenu shown;
        shown.menu->Enable(2, false);
        QList<int> entered;
        connect(shown.menu, &DropDownMenu::subMnu, shown.menu, [&entered](int index) { entered.append(index); });
        for (const int item : {1, 1, 2, 3, 0}) {  // twice in one item enters once; disabled never
            const QPoint at = shown.middleOf(item);
            QMouseEvent move(QEvent::MouseMove, at, shown.menu->mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
            QCoreApplication::sendEvent(shown.menu, &move);
        }
        QCOMPARE(entered, (QList<int>{1, 3, 0}));
        QVERIFY(shown.menu->currentItem() == 0 && shown.menu->highlightShown());
    }

    void closes_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("staysOpen");
        QTest::newRow("program no longer active") << u"inactive"_s << false;
        QTest::newRow("press in the owner window") << u"press owner"_s << false;
        QTest::newRow("Escape: the sub-menu first, then the menu") << u"escape"_s << false;
        QTest::newRow("press on its sub-menu") << u"press sub-menu"_s << true;
    }
    void closes()
    {
        QFETCH(QString, action);
        QFETCH(bool, staysOpen);
        ShownMenu shown;
        // A sub-menu open beside it, as Setup opens Languages.
        auto *sub = new DropDownMenu(&shown.owner);
        sub->setCaption(u"English|Polski"_s);
        sub->move(shown.menu->geometry().topRight() + QPoint(1, 0));
        sub->show();
        QVERIFY(QTest::qWaitForWindowExposed(sub));
        shown.owner.activateWindow();  // the form keeps the focus while its menus are open
        QVERIFY(QTest::qWaitForWindowActive(&shown.owner));
        QSignalSpy closed(shown.menu, &DropDownMenu::Closed);
        if (action == u"inactive"_s) {
            emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
        } else if (action == u"press owner"_s) {
            QTest::mouseClick(&shown.owner, Qt::LeftButton, {}, QPoint(450, 350));
        } else if (action == u"escape"_s) {
            QTest::keyClick(&shown.owner, Qt::Key_Escape);
            QVERIFY(!sub->isVisible() && shown.menu->isVisible());
            QTest::keyClick(&shown.owner, Qt::Key_Escape);
        } else {
            QTest::mouseClick(sub, Qt::LeftButton, {}, sub->layout().labelRect(1).center());
        }
        QTRY_COMPARE_WITH_TIMEOUT(shown.menu->isVisible(), staysOpen, 2000);
        QCOMPARE(closed.count(), staysOpen ? 0 : 1);
    }

    void menuFontInPixels()
    {
        QFont font(u"DejaVu Sans"_s);
        font.setPixelSize(16);
        QApplication::setFont(font, "QMenu");  // the last test: the change stays
        QString name;
        bool bold = false, italic = false;
        int size = 0;
        QVERIFY(DropDownMenu::GetMenuFonts(name, bold, italic, size));
        QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInchY(), 96.0);
        QCOMPARE(size, 12);  // 16 pixels at 96 dpi
    }
};

QTEST_MAIN(TestMenuControl)
#include "tst_menucontrol.moc"
