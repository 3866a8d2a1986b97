// The main window's menus, their commands and the result panel's interactions, against a data
// folder whose hosts all point at the local test server.

#include "app/MainMenus.h"
#include "app/MainWindow.h"
#include "lookup/LookupControl.h"
#include "support/AppFixture.h"
#include "ui/DropDownMenu.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QEnterEvent>
#include <QFrame>
#include <QImage>
#include <QPrinterInfo>

using namespace torvane;

namespace {

void enter(QWidget *w)
{
    QEnterEvent event(QPointF(2, 2), w->mapTo(w->window(), QPointF(2, 2)), w->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(w, &event);
}

bool highlighted(const QLabel *label)
{
    return label->autoFillBackground() && label->palette().color(QPalette::WindowText) == QColor(Qt::white);
}

QStringList history(const QComboBox *box)
{
    QStringList calls;
    for (int i = 0; i < box->count(); ++i)
        calls << box->itemText(i);
    return calls;
}

/// Stands for the system clipboard: keeps what the copy entries placed, by format.
class RecordingClipboard : public ClipboardBackend {
public:
    explicit RecordingClipboard(QHash<uint32_t, QByteArray> &placed) : m_placed(placed) {}
    bool open(quintptr) override { return true; }
    void close() override {}
    void empty() override { m_placed.clear(); }
    bool setData(uint32_t format, const QByteArray &data) override
    {
        m_placed.insert(format, data);
        return true;
    }

private:
    QHash<uint32_t, QByteArray> &m_placed;
};

/// The main window with its menus, started on the test data folder; no dialog, printer or
/// system clipboard is reached.
struct Window {
    ProgramValues values;
    MainWindow form{values};
    MainMenus *menus = form.menus();
    QStringList printed;
    QString printResult;
    QString saveAnswer;
    int saveAsked = 0;
    QHash<uint32_t, QByteArray> clipboard;

    Window()
    {
        AppFixture::start(form);
        menus->clipboardBackend = [this] { return std::make_unique<RecordingClipboard>(clipboard); };
        menus->printAddress = [this](const QStringList &lines) { printed = lines; return printResult; };
        menus->askSaveFileName = [this](QWidget *, const QString &proposed, const QString &filter) {
            ++saveAsked;
            return proposed == QStringLiteral("Ham.bmp") && filter == QStringLiteral("bmp files (*.bmp)")
                       ? saveAnswer : QStringLiteral("wrong request");
        };
    }

    QString copiedText() const
    {
        const QByteArray utf16 = clipboard.value(kFormatUnicodeText);
        return QString::fromUtf16(reinterpret_cast<const char16_t *>(utf16.constData()), utf16.size() / 2);
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
    }

    void sourceCommands_data()
    {
        QTest::addColumn<bool>("viaDefault");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("headerName");
        QTest::newRow("source QRZCQ") << false << 2 << "QRZCQ.com";
        QTest::newRow("default source Callook") << true << 3 << "CALLOOK.info";
        // The header shows the menu entry's caption as it stands.
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
        // Connected to the new source at once.
        QTRY_COMPARE(w.form.lookUp->PendingRequests(), QString(QChar(0)));
        QCOMPARE(m_app.server.requests().size(), 1);
        QCOMPARE(m_app.server.requests().first().path.section(u'/', 1, 1), QStringLiteral("src%1").arg(index));

        // The current source again changes nothing and connects nowhere.
        m_app.server.clearRequests();
        w.form.lblStatus->setText(QStringLiteral("as it was"));
        emit w.form.ucMnuSource->Click(index, QString());
        QCOMPARE(w.form.lblStatus->text(), QStringLiteral("as it was"));
        QVERIFY(m_app.server.requests().isEmpty());
    }

    // Toggles read 0 as off and anything else as on (a stored 5 toggles to 0); the plain-zero
    // toggle rewrites the call history both ways, and always-on-top neither moves nor resizes.
    void setupToggles()
    {
        const QStringList plain = {QStringLiteral("K0ABC"), QStringLiteral("G400X"), QStringLiteral("W1AW")};
        const QStringList slashed = {QStringLiteral("K\u00D8ABC"), QStringLiteral("G4\u00D8\u00D8X"), QStringLiteral("W1AW")};
        m_app.prepare("0\r\n0\r\n0\r\n300\r\n450\r\n0\r\n0\r\n6000\r\n0\r\n\r\n5\r\n1\r\nK0ABC\r\nG400X\r\nW1AW\r\n");
        Window w;
        const QRect before = w.form.outerRect();
        emit w.form.ucMnuSetup->Click(4, QString());
        QCOMPARE(int(w.values.PlainZero), 0);
        QVERIFY(!w.form.ucMnuSetup->isChecked(4));
        QCOMPARE(history(w.form.cboCall), slashed);
        emit w.form.ucMnuSetup->Click(4, QString());
        QCOMPARE(int(w.values.PlainZero), 1);
        QCOMPARE(history(w.form.cboCall), plain);

        emit w.form.ucMnuSetup->Click(3, QString());
        QCOMPARE(int(w.values.AlwaysOnTop), 1);
        QVERIFY(w.form.ucMnuSetup->isChecked(3));
        QVERIFY(w.form.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(w.form.isVisible());
        QCOMPARE(w.form.outerRect(), before);
    }

    void languageMenu_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("switches");
        QTest::newRow("the seventh language") << 6 << true;
        QTest::newRow("beyond the seven languages changes nothing") << 7 << false;
        QTest::newRow("a negative index changes nothing") << -1 << false;
    }
    // Logged in to QRZ.com: the status is redrawn in the new language.
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

        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(int(w.values.LanguageIndex), switches ? index : 0);
        QCOMPARE(w.form.ucMnuLanguage->isChecked(0), !switches);
        QCOMPARE(w.form.lblSetup->text() != englishSetup, switches);
        QCOMPARE(w.form.lblStatus->text(),
                 switches ? QStringLiteral("QRZ.com  (") + w.form.item(66) + u')' : QStringLiteral("before"));
        QVERIFY(w.form.ucMnuLanguage->isChecked(switches ? index : 0));
        QCOMPARE(w.form.lblSetup->geometry().right(), w.form.width() - 1);  // still at the right edge
    }

    void mapWithoutMatchingFileIsAnnounced()
    {
        for (const QString &f : QDir(m_app.path(QStringLiteral("Maps"))).entryList(QDir::Files))
            QFile::remove(m_app.path(QStringLiteral("Maps/") + f));
        Window w;
        emit w.form.ucMnuMaps->Click(0, QString());
        QCOMPARE(m_boxes, QStringList{QStringLiteral("World Map not found")});
        QVERIFY(!w.form.mapWindow());
    }

    // A sub-menu opens right of the Setup menu while it fits on the desktop, else left of it,
    // its first entry level with the entry that opened it; the Setup menu moves left to fit.
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

        // An entry without a sub-menu closes it; a desktop of unknown width moves no menu.
        emit setup->subMnu(3);
        QVERIFY(!source->isVisible() && setup->isVisible());
        w.values.VirtualScreenWidth = 0;
        w.menus->OpenHeaderMenu(w.form.lblSetup, setup);
        emit setup->subMnu(1);
        QCOMPARE(setup->x(), headerLeft);
        QCOMPARE(source->x(), setup->geometry().right() + 1);
    }

    void menuTimerCloses_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<bool>("onMenu");
        QTest::addColumn<bool>("closed");
        QTest::newRow("left button elsewhere") << int(Qt::LeftButton) << false << true;
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

        QCOMPARE(w.form.ucMnuSetup->isVisible(), !closed);
        QCOMPARE(w.form.ucMnuLanguage->isVisible(), !closed);
        QCOMPARE(w.form.tmrMenus->isActive(), !closed);
        QCOMPARE(w.menus->frameHidden(), int16_t(closed ? -1 : 0));
    }

    void headersOpenAndSwitchMenus()
    {
        Window w;
        QTest::mouseClick(w.form.lblMaps, Qt::LeftButton);
        QVERIFY(w.form.ucMnuMaps->isVisible());
        QCOMPARE(w.form.ucMnuMaps->pos(), w.form.lblMaps->mapToGlobal(QPoint(0, w.form.lblMaps->height())));

        // Moving onto another header while a menu is open switches to that header's menu.
        enter(w.form.lblSetup);
        QVERIFY(!w.form.ucMnuMaps->isVisible());
        QVERIFY(w.form.ucMnuSetup->isVisible());
        const auto *bottom = w.form.findChild<QFrame *>(QStringLiteral("Line2"));
        QVERIFY(bottom->isVisible());
        QCOMPARE(bottom->geometry().right(), w.form.lblSetup->geometry().right());

        // Over the panel the frame goes; the menu stays until a click.
        enter(w.form.picBackground);
        QVERIFY(!bottom->isVisible());
        QVERIFY(w.form.ucMnuSetup->isVisible());

        // With no menu open, moving over a header only draws the frame.
        w.menus->closeMenus();
        enter(w.form.lblSource);
        QVERIFY(bottom->isVisible());
        QVERIFY(!w.form.ucMnuSource->isVisible());
    }

    void copyableLabels_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("menuOpens");
        QTest::newRow("right click on the name") << "lblName" << "Иван Петров" << int(Qt::RightButton) << true;
        QTest::newRow("right click on the country") << "lblCtry" << "Россия" << int(Qt::RightButton) << true;
        QTest::newRow("right click on an empty line") << "lblAdd2" << "" << int(Qt::RightButton) << false;
        QTest::newRow("left click") << "lblAdd1" << "225 Main St" << int(Qt::LeftButton) << false;
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
        QCOMPARE(highlighted(w.form.lblAdd1), false);
        // Entry 0 copies the caption the menu was opened on as Unicode text.
        emit w.form.ucMnuSaveAdd->Click(0, QString());
        QCOMPARE(w.copiedText(), (menuOpens ? text : QStringLiteral("highlighted before")) + QChar(0));
        QVERIFY(!highlighted(target));
    }

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
        const QStringList lines = {name, QStringLiteral("225 Main St"), QStringLiteral("Newington, CT 06111"),
                                   QStringLiteral("United States")};
        const QList<QLabel *> labels = {w.form.lblName, w.form.lblAdd1, w.form.lblAdd2, w.form.lblCtry};
        for (int i = 0; i < 4; ++i)
            labels[i]->setText(lines[i]);
        emit w.form.ucMnuSaveAdd->Click(1, QString());
        QCOMPARE(w.printed, name.isEmpty() ? QStringList() : lines);
        QCOMPARE(m_boxes, problem.isEmpty() ? QStringList() : QStringList{problem});
        if (QPrinterInfo::defaultPrinter().isNull())  // the real label without a printer
            QCOMPARE(torvane::printAddressLabel(lines), QStringLiteral("No printer is available."));
    }

    void pictureMenu()
    {
        Window w;
        // No cached picture: the right button opens nothing.
        w.values.CurrentCall = QStringLiteral("W1AW");
        QTest::mousePress(w.form.Image1, Qt::RightButton);
        QVERIFY(!w.form.ucMnuSavePic->isVisible());

        // A picture in the cache and in the panel, as a lookup leaves it.
        QImage image(120, 90, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QVERIFY(image.save(m_app.path(QStringLiteral("qrzimages/W1AW.jpg")), "JPG"));
        w.form.ClearResultPanel();
        QVERIFY(w.form.ShowPicture(m_app.path(QStringLiteral("qrzimages/W1AW.jpg"))));
        QTest::mousePress(w.form.Image1, Qt::RightButton);
        QVERIFY(w.form.ucMnuSavePic->isVisible());

        // Entry 0: the bitmap on the clipboard, and from there as the same picture on the system's.
        emit w.form.ucMnuSavePic->Click(0, QString());
        QCOMPARE(w.clipboard.keys(), QList<uint32_t>{kFormatDib});
        QGuiApplication::clipboard()->clear();
        QVERIFY(systemClipboardBackend()->setData(kFormatDib, w.clipboard.value(kFormatDib)));
        QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
                 QImage(m_app.path(QStringLiteral("Ham.bmp"))).convertToFormat(QImage::Format_RGB32));

        // Entry 1: cancelled, a bare name, a new file, and a file the operator chose to replace.
        QTemporaryDir out;
        const QString target = out.filePath(QStringLiteral("station.bmp"));
        for (const QString &answer : {QString(), QStringLiteral("station.bmp")}) {
            w.saveAnswer = answer;
            emit w.form.ucMnuSavePic->Click(1, QString());
            QVERIFY(!QFile::exists(target));
        }
        w.saveAnswer = target;
        QFile saved(target);
        QVERIFY(saved.open(QIODevice::WriteOnly) && saved.write("older picture") > 0);
        saved.close();
        emit w.form.ucMnuSavePic->Click(1, QString());
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), m_app.read(QStringLiteral("Ham.bmp")));

        // A folder that cannot be written is reported.
        w.saveAnswer = out.filePath(QStringLiteral("missing/station.bmp"));
        emit w.form.ucMnuSavePic->Click(1, QString());
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes.first().contains(QStringLiteral("missing/station.bmp")));

        // With the panel cleared both entries do nothing.
        w.form.ClearResultPanel();
        w.clipboard.clear();
        emit w.form.ucMnuSavePic->Click(0, QString());
        emit w.form.ucMnuSavePic->Click(1, QString());
        QVERIFY(w.clipboard.isEmpty());
        QCOMPARE(w.saveAsked, 4);
    }
};

QTEST_MAIN(TestMainMenus)
#include "tst_mainmenus.moc"
