#include "app/MainWindow.h"
#include "core/TextUtil.h"
#include "ui/DropDownMenu.h"
#include "ui/MessageBox.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QNetworkProxy>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace torvane;

namespace {

/// Answers every message box and records it as "title|prompt".
struct Popups {
    QStringList shown;
    ScopedMessageHook hook{[this](const MessageRequest &r) {
        shown << r.title + u'|' + r.prompt;
        return 0;
    }};
};

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

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
    QTemporaryDir m_home;
    QString folder() const { return m_home.filePath(QStringLiteral("Torvane")); }

private slots:
    void initTestCase()
    {
        // The shipped Hosts.cfg names the real services: every request goes to a closed port.
        QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), 1));
    }

    void init()
    {
        QDir(folder()).removeRecursively();
        qputenv("XDG_DATA_HOME", m_home.path().toLocal8Bit());
    }

    void freshStartInstallsDataAndNamesEveryControl()
    {
        Popups popups;
        ProgramValues values;
        MainWindow form(values);
        form.startUp();
        QVERIFY(popups.shown.isEmpty());
        QCOMPARE(values.DataFolder, folder());
        QVERIFY(QFile::exists(folder() + QStringLiteral("/Hosts.cfg")));
        QVERIFY(QFileInfo(folder() + QStringLiteral("/images")).isDir());
        QVERIFY(QFileInfo(folder() + QStringLiteral("/qrzimages")).isDir());
        for (const char *name : {"imgMenuBar", "lblSource", "lblMaps", "lblSetup", "picBackground",
                                 "cboCall", "lblStatus", "cmdGet", "optFrom(0)", "optFrom(1)",
                                 "Image1", "picInfo", "pic1", "lblDx", "lblClass", "lblNot",
                                 "lblGrid", "lblDOB", "lblName", "lblAdd1", "lblAdd2", "lblCtry",
                                 "lblEmail", "lstMap"})
            QVERIFY2(form.findChild<QWidget *>(QString::fromLatin1(name)), name);
        QVERIFY(form.findChild<QObject *>(QStringLiteral("Timer1")));
        QVERIFY(form.findChild<QObject *>(QStringLiteral("Timer3")));
        // Menus filled from the English file; the current source and language checked.
        QCOMPARE(form.ucMnuSource->itemCount(), 5);
        QVERIFY(form.ucMnuSource->isChecked(0));
        QCOMPARE(form.ucMnuLanguage->itemCount(), 7);
        QVERIFY(form.ucMnuLanguage->isChecked(0));
        QVERIFY(form.ucMnuSetup->hasSubMenu(1));
        QVERIFY(!form.ucMnuSetup->isChecked(3));
        QVERIFY(!form.cmdGet->text().isEmpty());
    }

    void languageAndSetupMarksFollowTheConfiguration()
    {
        // Polish, always on top, plain zeros.
        QDir().mkpath(folder() + QStringLiteral("/Languages"));
        writeAll(folder() + QStringLiteral("/Torvane.cfg"),
                 "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n5\r\n5200\r\n1\r\n\r\n1\r\n1\r\n");
        const QDir languages(QStringLiteral(TORVANE_SOURCE_DIR "/data/Languages"));
        for (const QString &file : languages.entryList(QDir::Files))
            QFile::copy(languages.filePath(file), folder() + QStringLiteral("/Languages/") + file);
        Popups popups;
        ProgramValues values;
        MainWindow form(values);
        form.startUp();
        QVERIFY(popups.shown.isEmpty());
        QVERIFY(form.ucMnuSetup->isChecked(3));
        QVERIFY(form.ucMnuSetup->isChecked(4));
        QVERIFY(form.ucMnuLanguage->isChecked(5));
        QVERIFY(form.windowFlags() & Qt::WindowStaysOnTopHint);
        // Polish captions, decoded from Windows-1250.
        QVERIFY2(form.lblSource->text().contains(QStringLiteral("\u0179r\u00F3d\u0142o")),
                 qPrintable(form.lblSource->text()));
    }

    void missingConfigurationIsAnnounced()
    {
        QDir().mkpath(folder());
        QFile::copy(QStringLiteral(TORVANE_SOURCE_DIR "/data/Hosts.cfg"), folder() + QStringLiteral("/Hosts.cfg"));
        Popups popups;
        ProgramValues values;
        MainWindow form(values);
        form.startUp();
        // No configuration and, in this bare folder, no language file either.
        const QStringList expected = {QStringLiteral("Torvane|Torvane.cfg file not found"),
                                      QStringLiteral("Torvane|Language file not found or corrupt")};
        QCOMPARE(popups.shown, expected);
        QCOMPARE(values.SourceName, QStringLiteral("eHam.net"));
        form.close();
        QVERIFY(QFile::exists(folder() + QStringLiteral("/Torvane.cfg")));
    }

    void closeThenStartGivesBackEverySetting()
    {
        QByteArray cfg("42.5\r\n-71.25\r\n1\r\n1500\r\n900\r\n1\r\n2\r\n7800\r\n0\r\nW1AW\r\n1\r\n0\r\n");
        cfg += "K" + QByteArray(1, char(216)) + "ABC\r\nG4XYZ\r\n";
        writeAll(folder() + QStringLiteral("/Torvane.cfg"), cfg);
        writeAll(folder() + QStringLiteral("/Ham.bmp"), "old picture");
        writeAll(folder() + QStringLiteral("/Maps/World Map.jpg"), "x");
        {
            Popups popups;
            ProgramValues values;
            MainWindow form(values);
            form.startUp();
            QVERIFY(!QFile::exists(folder() + QStringLiteral("/Ham.bmp")));
            QCOMPARE(form.lstMap->count(), 1);
            QCOMPARE(values.SourceName, QStringLiteral("QRZ.com"));
            QVERIFY(form.optFrom[0]->isChecked());
            QCOMPARE(form.cboCall->count(), 2);
            QCOMPARE(form.cboCall->itemText(0), QStringLiteral("K\u00D8ABC"));
            QCOMPARE(form.outerRect(), QRect(100, 60, 520, 364));
            form.close();
        }
        QCOMPARE(readAll(folder() + QStringLiteral("/Torvane.cfg")), cfg);
    }

    void narrowWidthOpensAtTheSmallestSize()
    {
        writeAll(folder() + QStringLiteral("/Torvane.cfg"), "0\r\n0\r\n7\r\n0\r\n0\r\n0\r\n0\r\n3000\r\n");
        Popups popups;
        ProgramValues values;
        MainWindow form(values);
        const QString caption = form.optFrom[1]->text();
        form.startUp();
        // 5200 x 3640 twips
        QCOMPARE(form.outerRect().size(), QSize(347, 243));
        // An unknown source leaves the name, address and caption alone.
        QVERIFY(values.SourceName.isEmpty());
        QVERIFY(values.SourceUrl.isEmpty());
        QCOMPARE(form.optFrom[1]->text(), caption);
    }

    void fontsScaleWithTheWidth_data()
    {
        QTest::addColumn<int>("widthTwips");
        QTest::addColumn<double>("scale");
        QTest::newRow("smallest window") << 5200 << 1.0;
        QTest::newRow("double width") << 10400 << 2.0;
    }
    void fontsScaleWithTheWidth()
    {
        QFETCH(int, widthTwips);
        QFETCH(double, scale);
        writeAll(folder() + QStringLiteral("/Torvane.cfg"),
                 "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n" + QByteArray::number(widthTwips) + "\r\n");
        Popups popups;
        ProgramValues values;
        MainWindow form(values);
        form.startUp();
        const double menuFont = form.lblSource->font().pointSizeF();
        QCOMPARE(form.lblName->font().pointSizeF(), 10 * scale);
        QCOMPARE(form.cmdGet->font().pointSizeF(), 9 * scale);
        QCOMPARE(form.optFrom[0]->font().pointSizeF(), 8 * scale);
        QCOMPARE(form.lblSource->font().pointSizeF(), menuFont);
        // The address box keeps its logical place: left 5 of 332 units.
        QCOMPARE(form.pic1->x(), int(roundHalfEven(5.0 * form.picBackground->width() / 332)));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
