// The main window's menus, their commands and the result panel's interactions, against a data
// folder whose hosts all point at the local test server.

#include "app/MainMenus.h"
#include "lookup/LookupControl.h"
#include "support/AppFixture.h"
#include "ui/DropDownMenu.h"
#include "ui/MessageBox.h"
#include "windows/DatabaseEditor.h"
#include "windows/HelpWindow.h"

#include <QPlainTextEdit>
#include "windows/DatabaseEditorLogic.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QEnterEvent>
#include <QFrame>
#include <QImage>
#include <QLineEdit>

using namespace torvane;

namespace {

void enter(QWidget *w)
{
    QEnterEvent event(QPointF(2, 2), w->mapTo(w->window(), QPointF(2, 2)), w->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(w, &event);
}

QWidget *pictureWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("Form5") && w->isVisible())
            return w;
    }
    return nullptr;
}

bool highlighted(const QLabel *label)
{
    return label->autoFillBackground() && label->palette().color(QPalette::WindowText) == QColor(Qt::white);
}

/// The main window with its menus, started on the test data folder; no dialog or printer is
/// reached.
struct Window : StartedWindow {
    MainMenus *menus = form.menus();
    QStringList printed;
    QString printResult, saveAnswer;
    int saveAsked = 0;

    Window()
    {
        menus->printAddress = [this](const QStringList &lines) { printed = lines; return printResult; };
        menus->askSaveFileName = [this](QWidget *, const QString &, const QString &) { ++saveAsked; return saveAnswer; };
    }
};

}  // namespace

class TestMainMenus : public QObject {
    Q_OBJECT
    AppFixture m_app;
    QStringList m_boxes;
    std::unique_ptr<ScopedMessageHook> m_hook;

private slots:
    void initTestCase()
    {
        QVERIFY(m_app.begin());
        m_hook = std::make_unique<ScopedMessageHook>([this](const MessageRequest &r) {
            m_boxes << r.prompt;
            return 0;
        });
    }

    void init()
    {
        m_app.prepare();
        m_boxes.clear();
        QGuiApplication::clipboard()->clear();
    }

    // The header shows the menu entry's caption as it stands; the current source again changes
    // nothing and connects nowhere.
    void sourceCommands_data()
    {
        QTest::addColumn<bool>("viaDefault");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("headerName");
        QTest::newRow("source QRZCQ") << false << 2 << "QRZCQ.com";
        QTest::newRow("default source HamCall") << true << 4 << "HamCall.com";
    }
    void sourceCommands()
    {
        QFETCH(bool, viaDefault);
        QFETCH(int, index);
        QFETCH(QString, headerName);
        Window w;
        m_app.server.clearRequests();
        DropDownMenu *menu = viaDefault ? w.form.ucMnuDefaultSource : w.form.ucMnuSource;
        w.menus->OpenHeaderMenu(w.form.lblSource, menu);
        emit menu->Click(index, menu->itemText(index));
        QVERIFY(!menu->isVisible());
        QCOMPARE(int(w.values.CurrentSource), index);
        QCOMPARE(int(w.values.DefaultSource), viaDefault ? index : 0);
        for (DropDownMenu *m : {w.form.ucMnuSource, w.form.ucMnuDefaultSource})
            QVERIFY(m->isChecked(index) && !m->isChecked(0));
        QCOMPARE(w.form.lblSource->text(), w.form.item(3) + headerName);
        QTRY_COMPARE(w.form.lookUp->PendingRequests(), QString(QChar(0)));
        QCOMPARE(m_app.server.requests().value(0).path.section(u'/', 1, 1), QStringLiteral("src%1").arg(index));
        w.form.lblStatus->setText(QStringLiteral("as it was"));
        emit w.form.ucMnuSource->Click(index, QString());
        QCOMPARE(w.form.lblStatus->text(), QStringLiteral("as it was"));
        QCOMPARE(w.form.lookUp->PendingRequests(), QString(QChar(0)));
    }

    // Toggles read 0 as off and anything else as on (a stored 5 toggles to 0); the plain-zero
    // toggle rewrites the call history both ways, and always-on-top neither moves nor resizes.
    void setupToggles()
    {
        m_app.prepare("0\r\n0\r\n0\r\n300\r\n450\r\n0\r\n0\r\n6000\r\n0\r\n\r\n5\r\n1\r\nK0ABC\r\nG400X\r\n");
        Window w;
        const auto history = [&w] { return w.form.cboCall->itemText(0) + u' ' + w.form.cboCall->itemText(1); };
        const QRect before = w.form.outerRect();
        emit w.form.ucMnuSetup->Click(4, QString());
        QVERIFY(w.values.PlainZero == 0 && !w.form.ucMnuSetup->isChecked(4));
        QCOMPARE(history(), QStringLiteral("K\u00D8ABC G4\u00D8\u00D8X"));
        emit w.form.ucMnuSetup->Click(4, QString());
        QVERIFY(w.values.PlainZero == 1 && w.form.ucMnuSetup->isChecked(4));
        QCOMPARE(history(), QStringLiteral("K0ABC G400X"));

        emit w.form.ucMnuSetup->Click(3, QString());
        QVERIFY(w.values.AlwaysOnTop == 1 && w.form.ucMnuSetup->isChecked(3));
        QVERIFY((w.form.windowFlags() & Qt::WindowStaysOnTopHint) && w.form.isVisible());
        QCOMPARE(w.form.outerRect(), before);
    }

    // Logged in to QRZ.com: the status is redrawn in the new language, the Setup header stays
    // at the right edge.
    void languageMenu_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("switches");
        QTest::newRow("the seventh language") << 6 << true;
        QTest::newRow("beyond the seven languages changes nothing") << 7 << false;
        QTest::newRow("a negative index changes nothing") << -1 << false;
    }
    void languageMenu()
    {
        QFETCH(int, index);
        QFETCH(bool, switches);
        m_app.prepare(AppFixture::config(1));
        Window w;
        const QString englishSetup = w.form.lblSetup->text();
        w.values.LookupState = 1;
        w.form.lblStatus->setText(QStringLiteral("before"));
        emit w.form.ucMnuLanguage->Click(index, QString());
        QCOMPARE(int(w.values.LanguageIndex), switches ? index : 0);
        QVERIFY(w.form.ucMnuLanguage->isChecked(switches ? index : 0) && w.form.ucMnuLanguage->isChecked(0) != switches);
        QCOMPARE(w.form.lblSetup->text() != englishSetup, switches);
        QCOMPARE(w.form.lblStatus->text(),
                 switches ? QStringLiteral("QRZ.com  (") + w.form.item(66) + u')' : QStringLiteral("before"));
        QCOMPARE(w.form.lblSetup->geometry().right(), w.form.width() - 1);
    }

    // A sub-menu opens right of the Setup menu while it fits on the desktop, else left of it,
    // its first entry level with the entry that opened it; the Setup menu moves left to fit. An
    // entry without a sub-menu closes it.
    void menusStayOnTheDesktop()
    {
        Window w;
        DropDownMenu *setup = w.form.ucMnuSetup, *language = w.form.ucMnuLanguage, *source = w.form.ucMnuDefaultSource;
        const int headerLeft = w.form.lblSetup->mapToGlobal(QPoint(0, 0)).x();
        w.values.VirtualScreenWidth = headerLeft + setup->width() - 1;
        w.menus->OpenHeaderMenu(w.form.lblSetup, setup);
        QCOMPARE(setup->x(), headerLeft - 1);
        w.values.VirtualScreenWidth = setup->geometry().right() + 1 + language->width();  // fits exactly
        emit setup->subMnu(5);
        QCOMPARE(language->x(), setup->geometry().right() + 1);
        QCOMPARE(language->mapToGlobal(language->layout().rowRect(0).topLeft()).y(),
                 setup->mapToGlobal(setup->layout().rowRect(5).topLeft()).y());
        w.values.VirtualScreenWidth = setup->geometry().right() + source->width();  // a pixel short
        emit setup->subMnu(1);
        QVERIFY(!language->isVisible());
        QCOMPARE(source->geometry().right() + 1, setup->x());
        emit setup->subMnu(3);
        QVERIFY(!source->isVisible() && setup->isVisible());
    }

    void menuTimerCloses_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<bool>("onMenu");
        QTest::addColumn<bool>("closed");
        QTest::newRow("right button elsewhere") << int(Qt::RightButton) << false << true;
        QTest::newRow("middle button elsewhere") << int(Qt::MiddleButton) << false << false;
        QTest::newRow("left button on the menu: its own click") << int(Qt::LeftButton) << true << false;
    }
    void menuTimerCloses()
    {
        QFETCH(int, buttons);
        QFETCH(bool, onMenu);
        QFETCH(bool, closed);
        Window w;
        w.menus->OpenHeaderMenu(w.form.lblSetup, w.form.ucMnuSetup);
        emit w.form.ucMnuSetup->subMnu(5);
        w.menus->drawFrame(w.form.lblSetup);
        const QRect language = w.form.ucMnuLanguage->geometry();
        w.menus->mouseButtons = [buttons] { return Qt::MouseButtons(buttons); };
        w.menus->pointerPos = [=] { return onMenu ? language.center() : language.bottomRight() + QPoint(400, 400); };
        w.menus->pollMenus();
        QCOMPARE(w.form.ucMnuSetup->isVisible() || w.form.ucMnuLanguage->isVisible(), !closed);
        QCOMPARE(w.menus->frameHidden(), int16_t(closed ? -1 : 0));
    }

    // A click opens a header's menu; moving onto another header while a menu is open switches to
    // that header's menu, over the panel the frame goes and the menu stays; with no menu open a
    // header only gets the frame.
    void headersOpenAndSwitchMenus()
    {
        Window w;
        const auto *bottom = w.form.findChild<QFrame *>(QStringLiteral("Line2"));
        QTest::mouseClick(w.form.lblMaps, Qt::LeftButton);
        QCOMPARE(w.form.ucMnuMaps->pos(), w.form.lblMaps->mapToGlobal(QPoint(0, w.form.lblMaps->height())));
        QVERIFY(w.form.ucMnuMaps->isVisible());
        enter(w.form.lblSetup);
        QVERIFY(!w.form.ucMnuMaps->isVisible() && w.form.ucMnuSetup->isVisible() && bottom->isVisible());
        QCOMPARE(bottom->geometry().right(), w.form.lblSetup->geometry().right());
        enter(w.form.picBackground);
        QVERIFY(!bottom->isVisible() && w.form.ucMnuSetup->isVisible());
        w.menus->closeMenus();
        enter(w.form.lblSource);
        QVERIFY(bottom->isVisible() && !w.form.ucMnuSource->isVisible());
    }

    // The headers from the keyboard, typed into the call box: Alt + the first letter (Source
    // and Setup share theirs), F10 and the arrows; keys for an open menu never reach the call box.
    void headersFromTheKeyboard_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("open");  // the menu then shown, if any
        QTest::addColumn<int>("source");
        QTest::newRow("Alt+S, the second entry chosen") << "Alt+S Down Down Return" << "" << 1;
        QTest::newRow("Alt+S again: Setup") << "Alt+S Alt+S" << "ucMnuSetup" << 0;
        QTest::newRow("Up from nothing: the last entry") << "Alt+S Up Return" << "" << 4;
        QTest::newRow("F10 opens, Right goes on, Left back round") << "F10 Right Left Left" << "ucMnuSetup" << 0;
        QTest::newRow("Right into a sub-menu") << "Alt+S Alt+S Down Down Right" << "ucMnuSetup ucMnuDefaultSource" << 0;
        QTest::newRow("Left out of it") << "Alt+S Alt+S Down Down Return Left" << "ucMnuSetup" << 0;
        QTest::newRow("F10 again closes") << "F10 Down F10" << "" << 0;
    }
    void headersFromTheKeyboard()
    {
        QFETCH(QString, keys);
        QFETCH(QString, open);
        QFETCH(int, source);
        Window w;
        w.form.cboCall->addItems({QStringLiteral("K1ABC"), QStringLiteral("W1AW")});
        w.form.cboCall->setEditText(QString());
        const QMap<QString, Qt::Key> named{{"Down", Qt::Key_Down}, {"Up", Qt::Key_Up}, {"Return", Qt::Key_Return},
                                           {"Left", Qt::Key_Left}, {"Right", Qt::Key_Right}, {"F10", Qt::Key_F10}};
        for (const QString &key : keys.split(u' '))
            QTest::keyClick(w.form.cboCall, key == "Alt+S" ? Qt::Key_S : named.value(key),
                            key == "Alt+S" ? Qt::AltModifier : Qt::NoModifier);
        QStringList shown;
        for (const DropDownMenu *menu : w.form.findChildren<DropDownMenu *>()) {
            if (menu->isVisible())
                shown << menu->objectName();
        }
        QCOMPARE(shown.join(u' '), open);
        QCOMPARE(int(w.values.CurrentSource), source);
        QCOMPARE(w.form.cboCall->currentText(), QString());
    }

    // A right click on a name or address line with text highlights it and opens the address
    // menu; entry 0 copies the caption the menu was opened on as Unicode text.
    void copyableLabels_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("menuOpens");
        QTest::newRow("right click on the country") << "lblCtry" << "Россия" << int(Qt::RightButton) << true;
        QTest::newRow("right click on an empty line") << "lblAdd2" << "" << int(Qt::RightButton) << false;
        QTest::newRow("left click") << "lblName" << "Иван Петров" << int(Qt::LeftButton) << false;
    }
    void copyableLabels()
    {
        QFETCH(QString, label);
        QFETCH(QString, text);
        QFETCH(int, button);
        QFETCH(bool, menuOpens);
        Window w;
        auto *target = w.form.findChild<QLabel *>(label);
        target->setText(text);
        w.form.lblAdd1->setText(QStringLiteral("highlighted before"));
        QTest::mouseClick(w.form.lblAdd1, Qt::RightButton);
        w.menus->closeMenus();
        QVERIFY(highlighted(w.form.lblAdd1));
        QTest::mouseClick(target, Qt::MouseButton(button));
        QCOMPARE(w.form.ucMnuSaveAdd->isVisible(), menuOpens);
        QCOMPARE(highlighted(target), menuOpens);
        QVERIFY(!highlighted(w.form.lblAdd1));
        emit w.form.ucMnuSaveAdd->Click(0, QString());
        QCOMPARE(QGuiApplication::clipboard()->text(), menuOpens ? text : QStringLiteral("highlighted before"));
        QVERIFY(!highlighted(target));
    }

    // Entry 1 of the address menu prints the four lines, tells why it could not, and prints
    // nothing without a name.
    void printAddressLabel_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("problem");
        QTest::newRow("printed") << "Hiram Percy Maxim" << "";
        QTest::newRow("no printer") << "Hiram Percy Maxim" << "No printer is available.";
        QTest::newRow("empty name prints nothing") << "" << "";
    }
    void printAddressLabel()
    {
        QFETCH(QString, name);
        QFETCH(QString, problem);
        Window w;
        w.printResult = problem;
        const QStringList lines = {name, "225 Main St", "Newington, CT 06111", "United States"};
        const QList<QLabel *> labels = {w.form.lblName, w.form.lblAdd1, w.form.lblAdd2, w.form.lblCtry};
        for (int i = 0; i < 4; ++i)
            labels[i]->setText(lines[i]);
        emit w.form.ucMnuSaveAdd->Click(1, QString());
        QCOMPARE(w.printed, name.isEmpty() ? QStringList() : lines);
        QCOMPARE(m_boxes, problem.isEmpty() ? QStringList() : QStringList{problem});
    }

    // Setup's entry 2 opens the editor on the data folder's database in place of the main window.
    void setupOpensTheDatabaseEditor()
    {
        m_app.write(QStringLiteral("CallData.db"), QByteArray("W1AW").leftJustified(167, ' '));
        Window w;
        emit w.form.ucMnuSetup->Click(2, QString());
        DatabaseEditor *editor = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets())
            editor = top->objectName() == QLatin1String("Form26") ? qobject_cast<DatabaseEditor *>(top) : editor;
        QVERIFY(editor && editor->isVisible() && !w.form.isVisible());
        QCOMPARE(editor->callList().calls(), QStringList{"W1AW"});
        editor->close();
        QVERIFY(w.form.isVisible());
    }

    // Setup's Help shows Help.txt in a window of the program, in the menu font; Escape closes it.
    void helpOpensInTheProgram()
    {
        m_app.write(QStringLiteral("Help.txt"), "HELP\r\nfor \xC5land\r\n");
        Window w;
        emit w.form.ucMnuSetup->Click(6, QString());
        HelpWindow *help = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets())
            help = help ? help : qobject_cast<HelpWindow *>(top);
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->txtHelp->toPlainText(), QStringLiteral("HELP\nfor \u00C5land\n"));
        QCOMPARE(help->txtHelp->font(), w.form.lblSource->font());
        QTest::keyClick(help->txtHelp, Qt::Key_Escape);
        QTRY_VERIFY(!help->isVisible());
    }

    // The picture menu opens only on a cached picture; entry 0 puts it on the clipboard as a
    // bitmap, entry 1 saves Ham.bmp where the operator chose; both do nothing once the panel is
    // cleared.
    void pictureMenu()
    {
        Window w;
        w.values.CurrentCall = QStringLiteral("W1AW");
        QTest::mousePress(w.form.Image1, Qt::RightButton);
        QVERIFY(!w.form.ucMnuSavePic->isVisible());
        const QString cached = m_app.path(QStringLiteral("qrzimages/W1AW.jpg"));
        QVERIFY(QFile::copy(m_app.path(QStringLiteral("Maps/N-Nederland Map.jpg")), cached));
        w.form.ClearResultPanel();
        QVERIFY(w.form.ShowPicture(cached));
        QTest::mousePress(w.form.Image1, Qt::RightButton);
        QVERIFY(w.form.ucMnuSavePic->isVisible());
        // The left button shows it at its own size; the main window waits for a click on it.
        QTest::mousePress(w.form.Image1, Qt::LeftButton);
        QPointer<QWidget> picture = pictureWindow();
        QVERIFY(picture && !w.form.isEnabled());
        // A picture larger than the screen is shown smaller, whole.
        QCOMPARE(picture->findChild<QLabel *>("Image1")->pixmap().size(), QImage(cached).size());
        QVERIFY(picture->screen()->availableGeometry().contains(picture->geometry()));
        QTest::mouseClick(picture, Qt::LeftButton);
        QTRY_VERIFY(!picture && w.form.isEnabled());

        emit w.form.ucMnuSavePic->Click(0, QString());
        QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
                 QImage(m_app.path(QStringLiteral("Ham.bmp"))).convertToFormat(QImage::Format_RGB32));

        // A bare name is not saved; a file the operator chose to replace is; an unwritable folder is told.
        QTemporaryDir out;
        const QString target = out.filePath(QStringLiteral("station.bmp"));
        w.saveAnswer = QStringLiteral("station.bmp");
        emit w.form.ucMnuSavePic->Click(1, QString());
        QVERIFY(!QFile::exists(target));
        w.saveAnswer = target;
        QVERIFY(QFile::copy(cached, target));
        emit w.form.ucMnuSavePic->Click(1, QString());
        QFile saved(target);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), m_app.read(QStringLiteral("Ham.bmp")));
        w.saveAnswer = out.filePath(QStringLiteral("missing/station.bmp"));
        emit w.form.ucMnuSavePic->Click(1, QString());
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes.first().contains(QStringLiteral("missing/station.bmp")));

        w.form.ClearResultPanel();
        QGuiApplication::clipboard()->clear();
        emit w.form.ucMnuSavePic->Click(0, QString());
        emit w.form.ucMnuSavePic->Click(1, QString());
        QVERIFY(QGuiApplication::clipboard()->image().isNull());
        QCOMPARE(w.saveAsked, 3);
    }
};

QTEST_MAIN(TestMainMenus)
#include "tst_mainmenus.moc"
