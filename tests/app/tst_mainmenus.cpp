// The main window's menus, their commands and the result panel's interactions, against a data
// folder whose hosts all point at the local test server.

#include "app/MainMenus.h"
#include "app/MainWindow.h"
#include "lookup/LookupControl.h"
#include "support/TestWebServer.h"
#include "ui/DropDownMenu.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QtEndian>

#include <memory>

using namespace torvane;

namespace {

const QString kSlashed = QStringLiteral("\u00D8");

QByteArray readAll(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

void enter(QWidget *w)
{
    QEnterEvent event(QPointF(2, 2), w->mapTo(w->window(), QPointF(2, 2)), w->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(w, &event);
}

bool highlighted(const QLabel *label)
{
    return label->autoFillBackground()
           && label->palette().color(QPalette::WindowText) == QColor(Qt::white);
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

/// The size that a device-independent bitmap's header gives.
QSize bitmapSize(const QByteArray &dib)
{
    if (dib.size() < 12)
        return QSize();
    return QSize(qFromLittleEndian<qint32>(dib.constData() + 4),
                 qAbs(qFromLittleEndian<qint32>(dib.constData() + 8)));
}

/// The main window with its menus, started on the test data folder.
struct Window {
    ProgramValues values;
    MainWindow form{values};
    MainMenus *menus = nullptr;
    QList<QUrl> opened;
    QStringList printed;
    QString printResult;
    QString saveAnswer;
    int saveAsked = 0;
    QHash<uint32_t, QByteArray> clipboard;

    Window()
    {
        form.startUp();
        // The start-up connection answers before a test counts requests.
        QTest::qWaitFor([this] { return form.lookUp->PendingRequests() == QString(QChar(0)); }, 5000);
        menus = form.menus();
        menus->openDocument = [this](const QUrl &url) { opened << url; return true; };
        menus->clipboardBackend = [this] { return std::make_unique<RecordingClipboard>(clipboard); };
        menus->printAddress = [this](const QStringList &lines) { printed = lines; return printResult; };
        menus->askSaveFileName = [this](QWidget *, const QString &proposed, const QString &filter) {
            ++saveAsked;
            return proposed == QStringLiteral("Ham.bmp") && filter == QStringLiteral("bmp files (*.bmp)")
                       ? saveAnswer : QStringLiteral("wrong request");
        };
    }
};

}  // namespace

class TestMainMenus : public QObject {
    Q_OBJECT
    QTemporaryDir m_home;
    TestWebServer m_server;
    QList<MessageRequest> m_boxes;
    std::unique_ptr<ScopedMessageHook> m_hook;

    QString folder() const { return m_home.filePath(QStringLiteral("Torvane")); }

    /// A fresh data folder: shipped languages and maps, each source's host under its own path.
    void prepare(const QByteArray &cfg = "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n5200\r\n0\r\n\r\n1\r\n1\r\n")
    {
        QDir(folder()).removeRecursively();
        const QString data = QStringLiteral(TORVANE_SOURCE_DIR "/data");
        for (const char *sub : {"Languages", "Maps"}) {
            const QDir from(data + u'/' + QLatin1String(sub));
            QDir().mkpath(folder() + u'/' + QLatin1String(sub));
            for (const QString &f : from.entryList(QDir::Files))
                QFile::copy(from.filePath(f), folder() + u'/' + QLatin1String(sub) + u'/' + f);
        }
        QByteArray hosts;
        const char *names[] = {"eham", "qrz", "qrzcq", "callook", "hamcall"};
        for (int i = 0; i < 5; ++i)
            hosts += QByteArray(names[i]) + '=' + m_server.baseUrl().toUtf8() + "/src" + QByteArray::number(i) + "\r\n";
        hosts += "qrzpictures=" + m_server.baseUrl().toUtf8() + "\r\ngeocoder=" + m_server.baseUrl().toUtf8() + "\r\n";
        writeAll(folder() + QStringLiteral("/Hosts.cfg"), hosts);
        writeAll(folder() + QStringLiteral("/Torvane.cfg"), cfg);
        m_server.clearRequests();
        m_boxes.clear();
    }

    /// A station picture in the cache and in the panel, as a lookup leaves it.
    void showPicture(Window &w, const QString &call)
    {
        w.values.CurrentCall = call;
        const QString cached = folder() + QStringLiteral("/qrzimages/") + call + QStringLiteral(".jpg");
        QImage image(120, 90, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QVERIFY(image.save(cached, "JPG"));
        w.form.ClearResultPanel();
        QVERIFY(w.form.ShowPicture(cached));
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_DATA_HOME", m_home.path().toLocal8Bit());
        QVERIFY(m_server.listen());
        m_hook = std::make_unique<ScopedMessageHook>([this](const MessageRequest &r) {
            m_boxes << r;
            return 0;
        });
    }

    void cleanupTestCase() { m_hook.reset(); }

    void sourceCommands_data()
    {
        QTest::addColumn<bool>("viaDefault");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("sourceName");
        QTest::addColumn<QString>("headerName");
        QTest::newRow("source QRZCQ") << false << 2 << "QRZCQ.com" << "QRZCQ.com";
        QTest::newRow("default source Callook") << true << 3 << "CALLOOK.info" << "CALLOOK.info";
        // The header shows the menu entry's caption as it stands.
        QTest::newRow("default source HamCall") << true << 4 << "HamCall.net" << "HamCall.com";
    }
    void sourceCommands()
    {
        QFETCH(bool, viaDefault);
        QFETCH(int, index);
        QFETCH(QString, sourceName);
        QFETCH(QString, headerName);
        prepare();
        Window w;
        m_server.clearRequests();
        DropDownMenu *menu = viaDefault ? w.form.ucMnuDefaultSource : w.form.ucMnuSource;
        w.menus->OpenHeaderMenu(w.form.lblSource, menu);
        emit menu->Click(index, menu->itemText(index));

        QVERIFY(!menu->isVisible());
        QCOMPARE(int(w.values.CurrentSource), index);
        QCOMPARE(int(w.values.DefaultSource), viaDefault ? index : 0);
        for (DropDownMenu *m : {w.form.ucMnuSource, w.form.ucMnuDefaultSource})
            QVERIFY(m->isChecked(index) && !m->isChecked(0));
        QCOMPARE(w.values.SourceName, sourceName);
        QCOMPARE(w.form.lblSource->text(), w.form.item(3) + headerName);
        // Connected to the new source at once.
        QTRY_COMPARE(w.form.lookUp->PendingRequests(), QString(QChar(0)));
        QCOMPARE(m_server.requests().size(), 1);
        QCOMPARE(m_server.requests().first().path.section(u'/', 1, 1), QStringLiteral("src%1").arg(index));

        // The current source again changes nothing and connects nowhere.
        m_server.clearRequests();
        w.form.lblStatus->setText(QStringLiteral("as it was"));
        emit w.form.ucMnuSource->Click(index, QString());
        QVERIFY(w.form.ucMnuSource->isChecked(index));
        QCOMPARE(w.form.lblStatus->text(), QStringLiteral("as it was"));
        QVERIFY(m_server.requests().isEmpty());
    }

    // Toggles read 0 as off and anything else as on (a stored 5 toggles to 0); the plain-zero
    // toggle rewrites the call history both ways, and always-on-top neither moves nor resizes.
    void setupToggles()
    {
        const QStringList plain = {QStringLiteral("K0ABC"), QStringLiteral("G400X"), QStringLiteral("W1AW")};
        const QStringList slashed = {QStringLiteral("K") + kSlashed + QStringLiteral("ABC"),
                                     QStringLiteral("G4") + kSlashed + kSlashed + QStringLiteral("X"),
                                     QStringLiteral("W1AW")};
        prepare("0\r\n0\r\n0\r\n300\r\n450\r\n0\r\n0\r\n6000\r\n0\r\n\r\n5\r\n1\r\nK0ABC\r\nG400X\r\nW1AW\r\n");
        Window w;
        const auto history = [&w] {
            QStringList calls;
            for (int i = 0; i < w.form.cboCall->count(); ++i)
                calls << w.form.cboCall->itemText(i);
            return calls;
        };
        const QRect before = w.form.outerRect();
        emit w.form.ucMnuSetup->Click(4, QString());
        QCOMPARE(int(w.values.PlainZero), 0);
        QVERIFY(!w.form.ucMnuSetup->isChecked(4));
        QCOMPARE(history(), slashed);
        emit w.form.ucMnuSetup->Click(4, QString());
        QCOMPARE(int(w.values.PlainZero), 1);
        QCOMPARE(history(), plain);

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
        prepare("0\r\n0\r\n1\r\n0\r\n0\r\n0\r\n0\r\n5200\r\n0\r\n\r\n1\r\n1\r\n");
        Window w;
        const QString englishSetup = w.form.lblSetup->text();
        w.values.LookupState = 1;
        w.form.lblStatus->setText(QStringLiteral("before"));

        emit w.form.ucMnuLanguage->Click(index, QString());

        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(int(w.values.LanguageIndex), switches ? index : 0);
        QCOMPARE(w.form.ucMnuLanguage->isChecked(0), !switches);
        if (!switches) {
            QCOMPARE(w.form.lblSetup->text(), englishSetup);
            QCOMPARE(w.form.lblStatus->text(), QStringLiteral("before"));
            return;
        }
        QVERIFY(w.form.ucMnuLanguage->isChecked(index));
        QVERIFY(w.form.lblSetup->text() != englishSetup);
        QCOMPARE(w.form.lblStatus->text(), QStringLiteral("QRZ.com  (") + w.form.item(66) + u')');
        QCOMPARE(w.form.lblSetup->geometry().right(), w.form.width() - 1);  // still at the right edge
    }

    void mapWithoutMatchingFileIsAnnounced()
    {
        prepare();
        for (const QString &f : QDir(folder() + QStringLiteral("/Maps")).entryList(QDir::Files))
            QFile::remove(folder() + QStringLiteral("/Maps/") + f);
        Window w;
        m_boxes.clear();
        emit w.form.ucMnuMaps->Click(0, QString());
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().prompt, QStringLiteral("World Map not found"));
        QVERIFY(!w.form.mapWindow());
    }

    // Parent menu 150 wide at left, sub-menu 100 wide; a header menu 160 wide wanted at left.
    void menuPlacement_data()
    {
        QTest::addColumn<bool>("sub");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("screenWidth");
        QTest::addColumn<int>("expected");
        QTest::newRow("sub: one pixel beyond goes left") << true << 1031 << 1280 << 931;
        QTest::newRow("sub: unknown screen width") << true << 5000 << 0 << 5150;
        QTest::newRow("menu: beyond the edge moves left") << false << 1174 << 1280 << 1120;
        QTest::newRow("menu: screen narrower than the menu") << false << 50 << 100 << 0;
        QTest::newRow("menu: unknown screen width") << false << 1174 << 0 << 1174;
    }
    void menuPlacement()
    {
        QFETCH(bool, sub);
        QFETCH(int, left);
        QFETCH(int, screenWidth);
        QFETCH(int, expected);
        QCOMPARE(sub ? subMenuLeft(left, 150, 100, screenWidth) : menuLeftOnScreen(left, 160, screenWidth), expected);
    }

    void subMenusOpenBesideTheSetupMenu()
    {
        prepare();
        Window w;
        DropDownMenu *setup = w.form.ucMnuSetup;
        w.menus->OpenHeaderMenu(w.form.lblSetup, setup);

        // Plenty of room: on the right, at the height of the entry.
        w.values.VirtualScreenWidth = setup->x() + setup->width() + w.form.ucMnuLanguage->width() + 10;
        emit setup->subMnu(5);
        QVERIFY(w.form.ucMnuLanguage->isVisible());
        QCOMPARE(w.form.ucMnuLanguage->pos(),
                 QPoint(setup->x() + setup->width(), setup->y() + setup->layout().rowRect(5).top()
                                                            - w.form.ucMnuLanguage->layout().rowRect(0).top()));

        // Near the desktop's right edge: on the left; the other sub-menu closes.
        w.values.VirtualScreenWidth = setup->x() + setup->width() + 10;
        emit setup->subMnu(1);
        QVERIFY(!w.form.ucMnuLanguage->isVisible());
        QVERIFY(w.form.ucMnuDefaultSource->isVisible());
        QCOMPARE(w.form.ucMnuDefaultSource->x(), setup->x() - w.form.ucMnuDefaultSource->width());

        // An entry without a sub-menu closes it.
        emit setup->subMnu(3);
        QVERIFY(!w.form.ucMnuDefaultSource->isVisible());
        QVERIFY(setup->isVisible());

        // The Setup menu itself stays inside a desktop that ends at the window's right edge.
        w.values.VirtualScreenWidth = w.form.mapToGlobal(QPoint(w.form.width(), 0)).x();
        w.menus->OpenHeaderMenu(w.form.lblSetup, setup);
        QCOMPARE(setup->x() + setup->width(), w.values.VirtualScreenWidth);
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
        prepare();
        Window w;
        w.menus->OpenHeaderMenu(w.form.lblSetup, w.form.ucMnuSetup);
        emit w.form.ucMnuSetup->subMnu(5);
        w.menus->drawFrame(w.form.lblSetup);
        QVERIFY(w.form.ucMnuLanguage->isVisible());
        const QPoint on = w.form.ucMnuLanguage->geometry().center();
        const QPoint off = w.form.ucMnuLanguage->geometry().bottomRight() + QPoint(400, 400);
        w.menus->mouseButtons = [buttons] { return Qt::MouseButtons(buttons); };
        w.menus->pointerPos = [=] { return onMenu ? on : off; };

        w.menus->pollMenus();

        QCOMPARE(w.form.ucMnuSetup->isVisible(), !closed);
        QCOMPARE(w.form.ucMnuLanguage->isVisible(), !closed);
        QCOMPARE(w.form.tmrMenus->isActive(), !closed);
        QCOMPARE(w.menus->frameHidden(), int16_t(closed ? -1 : 0));
    }

    void headersOpenAndSwitchMenus()
    {
        prepare();
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
        QCOMPARE(bottom->geometry().left(), w.form.lblSetup->geometry().left());
        QCOMPARE(bottom->geometry().right(), w.form.lblSetup->geometry().right());

        // Over the panel the frame goes; the menu stays until a click.
        enter(w.form.picBackground);
        QCOMPARE(w.menus->frameHidden(), int16_t(-1));
        QVERIFY(!bottom->isVisible());
        QVERIFY(w.form.ucMnuSetup->isVisible());

        // With no menu open, moving over a header only draws the frame.
        w.menus->closeMenus();
        enter(w.form.lblSource);
        QCOMPARE(w.menus->frameHidden(), int16_t(0));
        QVERIFY(!w.form.ucMnuSource->isVisible());
    }

    void copyableLabels_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("menuOpens");
        QTest::newRow("right click on the name") << "lblName" << "Иван Петров" << int(Qt::RightButton) << true;
        QTest::newRow("right click on an empty line") << "lblAdd2" << "" << int(Qt::RightButton) << false;
        QTest::newRow("left click") << "lblAdd1" << "225 Main St" << int(Qt::LeftButton) << false;
    }
    void copyableLabels()
    {
        QFETCH(QString, label);
        QFETCH(QString, text);
        QFETCH(int, button);
        QFETCH(bool, menuOpens);
        prepare();
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
        if (target != w.form.lblAdd1)
            QVERIFY(!highlighted(w.form.lblAdd1));
        if (!menuOpens) {
            QCOMPARE(w.menus->SavedAddressText(), QStringLiteral("highlighted before"));
            return;
        }
        // Entry 0 copies the caption as Unicode text.
        emit w.form.ucMnuSaveAdd->Click(0, QString());
        const QByteArray utf16 = w.clipboard.value(kFormatUnicodeText);
        QCOMPARE(QString::fromUtf16(reinterpret_cast<const char16_t *>(utf16.constData()), utf16.size() / 2),
                 text + QChar(0));
        QVERIFY(!highlighted(target));
    }

    // What the copy entry hands over arrives on the system clipboard as the same picture.
    void pictureReachesTheSystemClipboard()
    {
        QImage picture(37, 21, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QByteArray file;
        QBuffer buffer(&file);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(picture.save(&buffer, "BMP"));
        QGuiApplication::clipboard()->clear();
        QVERIFY(systemClipboardBackend()->setData(kFormatDib, file.mid(14)));
        QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), picture);
    }

    void printAddressLabel_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<bool>("printed");
        QTest::newRow("printed") << "Hiram Percy Maxim" << "" << true;
        QTest::newRow("no printer") << "Hiram Percy Maxim" << "No printer is available." << true;
        QTest::newRow("empty name prints nothing") << "" << "" << false;
    }
    void printAddressLabel()
    {
        QFETCH(QString, name);
        QFETCH(QString, problem);
        QFETCH(bool, printed);
        prepare();
        Window w;
        w.printResult = problem;
        w.form.lblName->setText(name);
        w.form.lblAdd1->setText(QStringLiteral("225 Main St"));
        w.form.lblAdd2->setText(QStringLiteral("Newington, CT 06111"));
        w.form.lblCtry->setText(QStringLiteral("United States"));
        m_boxes.clear();
        emit w.form.ucMnuSaveAdd->Click(1, QString());
        const QStringList lines = {name, QStringLiteral("225 Main St"), QStringLiteral("Newington, CT 06111"),
                                   QStringLiteral("United States")};
        QCOMPARE(w.printed, printed ? lines : QStringList());
        QCOMPARE(m_boxes.size(), problem.isEmpty() ? 0 : 1);
        if (!problem.isEmpty())
            QCOMPARE(m_boxes.first().prompt, problem);
    }

    void withoutAPrinterNothingIsSent()
    {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("a printer is installed here; this test never prints");
        QCOMPARE(torvane::printAddressLabel({QStringLiteral("Hiram Percy Maxim")}),
                 QStringLiteral("No printer is available."));
    }

    void pictureMenu()
    {
        prepare();
        Window w;
        // No cached picture: the right button opens nothing.
        w.values.CurrentCall = QStringLiteral("W1AW");
        QTest::mousePress(w.form.Image1, Qt::RightButton);
        QVERIFY(!w.form.ucMnuSavePic->isVisible());

        showPicture(w, QStringLiteral("W1AW"));
        if (QTest::currentTestFailed())
            return;
        QTest::mousePress(w.form.Image1, Qt::RightButton);
        QVERIFY(w.form.ucMnuSavePic->isVisible());

        // Entry 0: the bitmap on the clipboard.
        emit w.form.ucMnuSavePic->Click(0, QString());
        QCOMPARE(w.clipboard.keys(), QList<uint32_t>{kFormatDib});
        QCOMPARE(bitmapSize(w.clipboard.value(kFormatDib)), QImage(folder() + QStringLiteral("/Ham.bmp")).size());

        // Entry 1: cancelled, a bare name, a new file, and a file the operator chose to replace.
        const QByteArray bitmap = readAll(folder() + QStringLiteral("/Ham.bmp"));
        QTemporaryDir out;
        const QString target = out.filePath(QStringLiteral("station.bmp"));
        for (const QString &answer : {QString(), QStringLiteral("station.bmp")}) {
            w.saveAnswer = answer;
            emit w.form.ucMnuSavePic->Click(1, QString());
            QVERIFY(!QFile::exists(target));
        }
        w.saveAnswer = target;
        writeAll(target, "older picture");
        emit w.form.ucMnuSavePic->Click(1, QString());
        QCOMPARE(readAll(target), bitmap);
        QCOMPARE(w.saveAsked, 3);

        // A folder that cannot be written is reported.
        m_boxes.clear();
        w.saveAnswer = out.filePath(QStringLiteral("missing/station.bmp"));
        emit w.form.ucMnuSavePic->Click(1, QString());
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes.first().prompt.contains(QStringLiteral("missing/station.bmp")));

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
