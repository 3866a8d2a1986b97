// The database editor offscreen over a data folder of its own, looking stations up on the local
// test server; and its rules that need no window.

#include "calldb/CallDatabase.h"
#include "support/TestWebServer.h"
#include "ui/Beep.h"
#include "ui/MessageBox.h"
#include "windows/DatabaseEditor.h"
#include "windows/DatabaseEditorLogic.h"
#include "windows/PictureWindow.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>

using namespace torvane;

namespace {

// Calls K1A00 .. K1A39, sorted, each with a name and a position.
QStringList fortyCalls()
{
    QStringList calls;
    for (int i = 0; i < 40; ++i)
        calls << QStringLiteral("K1A%1").arg(i, 2, 10, QLatin1Char('0'));
    return calls;
}

QByteArray record(const QStringList &texts)
{
    CallRecord r;
    for (int f = 0; f < texts.size(); ++f)
        r.setText(CallRecord::Field(f), texts.at(f));
    return QByteArray(r.data(), CallRecord::kSize);
}

QByteArray jpeg(int width, int height)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImage(width, height, QImage::Format_RGB32).save(&buffer, "JPEG");
    return bytes;
}

// eHam's page of a station; without lat no position.
QByteArray ehamPage(const QString &call, const QString &lat = {}, const QString &lon = {})
{
    const QString position = lat.isEmpty() ? QString()
        : QStringLiteral("<tr><td>Latitude</td><td>%1</td></tr><tr><td>Longitude</td><td>%2</td></tr>").arg(lat, lon);
    return QStringLiteral("<html><body><div><a href=\"/\">eHam.net</a></div><h3>Search Results</h3><table><tr><td><b>%1"
                          "</b></td></tr><tr><td>HIRAM MAXIM</td></tr><tr><td>225 MAIN ST</td></tr><tr><td>NEWINGTON, CT "
                          "06111</td></tr><tr><td>United States</td></tr></table><table><tr><td>License Class</td><td>Extra"
                          "</td></tr><tr><td>Country</td><td>United States</td></tr>%2</table><div>Privacy Policy</div></body></html>").arg(call, position).toUtf8();
}

}  // namespace

class tst_DatabaseEditor : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TestWebServer> m_server;
    ProgramValues m_values;
    HostTable m_hosts;
    QList<int> m_beeps;
    QList<MessageRequest> m_boxes;
    std::unique_ptr<ScopedMessageHook> m_hook;

    QString db() const { return m_dir->filePath(QStringLiteral("CallData.db")); }
    QByteArray bytes() const
    {
        QFile f(db());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeDb(const QStringList &calls, const QByteArray &tail = {}) const
    {
        QByteArray all;
        for (const QString &call : calls)
            all += record({call, "OP " + call, "", "", "", "1", "2"});
        QFile f(db());
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(all + tail) == all.size() + tail.size());
    }
    QByteArray stored(const QString &call) const
    {
        CallDatabase d(m_dir->path());
        return d.FindCall(call) > 0 ? QByteArray(d.CurrentRecord.data(), CallRecord::kSize) : QByteArray("missing");
    }
    std::unique_ptr<DatabaseEditor> open(QWidget *mainWindow = nullptr)
    {
        auto form = std::make_unique<DatabaseEditor>(m_values, m_hosts, mainWindow);
        form->show();
        return form;
    }
    static void click(DatabaseEditor &form, const QString &call)
    {
        const int row = form.callList().findExact(call);
        QVERIFY(row >= 0);
        form.lstCall->scrollTo(form.callList().index(row));
        QTest::mouseClick(form.lstCall->viewport(), Qt::LeftButton, {},
                          form.lstCall->visualRect(form.callList().index(row)).center());
    }

private slots:
    void initTestCase()
    {
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the size limit fails instead
        setBeepHook([this](int frequency, int) { m_beeps << frequency; });
        m_hook = std::make_unique<ScopedMessageHook>([this](const MessageRequest &r) {
            m_boxes << r;
            return 0;
        });
    }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_server = std::make_unique<TestWebServer>();
        QVERIFY(m_server->listen());
        m_hosts = HostTable();
        m_hosts.setHost(QStringLiteral("eham"), m_server->baseUrl() + QStringLiteral("/src0"));
        m_hosts.setHost(QStringLiteral("qrz"), m_server->baseUrl() + QStringLiteral("/src1"));
        m_hosts.setHost(QStringLiteral("qrzpictures"), m_server->baseUrl());
        m_hosts.setHost(QStringLiteral("geocoder"), m_server->baseUrl());
        m_server->setRoute(QStringLiteral("/maps/api/geocode/xml"), WebRoute::page("", "application/xml", 404));
        QVERIFY(QFile::copy(QStringLiteral(TORVANE_SOURCE_DIR "/data/ZIPS.RAN"), m_dir->filePath("ZIPS.RAN")));
        QDir(m_dir->path()).mkdir(QStringLiteral("qrzimages"));
        m_values = ProgramValues();
        m_values.DataFolder = m_dir->path();
        m_values.LanguageText = QStringList(73);
        m_values.LanguageText[41] = QStringLiteral("Look up ??? on ***");
        m_values.LanguageText[57] = QStringLiteral("Save ???");
        m_values.LanguageText[60] = QStringLiteral("Delete ???");
        m_values.LanguageText[44] = QStringLiteral("Please log in at");
        m_values.SourceName = QStringLiteral("eHam.net");
        m_beeps.clear();
        m_boxes.clear();
    }

    // Only a "de" of its own is dropped; a separator from the fourth character on cuts the call.
    void lookupCall_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("call");
        QTest::newRow("DE inside a call stays") << "K1DEF" << "K1DEF";
        QTest::newRow("DE inside a longer call stays") << "VK2DEF" << "VK2DEF";
        QTest::newRow("pasted de, suffix cut, upper case") << "de k1abc/p" << "K1ABC";
        QTest::newRow("DE as a word") << "DE K1ABC" << "K1ABC";
        QTest::newRow("slash at the third character: whole") << "W1/K1ABC" << "W1/K1ABC";
        QTest::newRow("de after the call, slashed zero") << "k\u00D8abc de" << "K0ABC";
        QTest::newRow("nothing but de") << " de " << "";
    }
    void lookupCall()
    {
        QFETCH(QString, text);
        QFETCH(QString, call);
        QCOMPARE(editorLookupCall(text), call);
    }

    // A record is shown first (its derived note, its picture); then the call field is typed.
    void typingRules_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("buttons");  // lookup, save, delete enabled
        QTest::addColumn<QString>("lookupCaption");
        QTest::newRow("a stored call: selected, delete") << "k1a07" << "" << "K1A07" << "101" << "Look up K1A07 on eHam.net";
        QTest::newRow("a name: save") << "k1a3" << "JO" << "K1A3" << "110" << "Look up K1A3 on eHam.net";
        QTest::newRow("erased: nothing") << "\b" << "JO" << "" << "000" << "Look up callsign on eHam.net";
    }
    void typingRules()
    {
        QFETCH(QString, keys);
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, buttons);
        QFETCH(QString, lookupCaption);
        writeDb(fortyCalls());
        CallDatabase d(m_dir->path());
        d.FindCall(QStringLiteral("K1A05"));
        d.CurrentRecord.setText(CallRecord::Name, QStringLiteral("OLD"));
        d.CurrentRecord.setText(CallRecord::Lat, QStringLiteral("41.7*"));
        d.CurrentRecord.setText(CallRecord::Lon, QStringLiteral("-72.7*"));
        QCOMPARE(d.ReplaceRecord(6), DbStatus::Ok);
        QVERIFY(QImage(400, 300, QImage::Format_RGB32).save(m_dir->filePath("qrzimages/K1A05.jpg"), "JPEG"));
        const auto form = open();
        click(*form, "K1A05");
        QCOMPARE(form->txtName->text(), QStringLiteral("OLD"));
        QVERIFY(form->Label4->isVisibleTo(form.get()) && form->Label4->text().startsWith("* Coordinates not available from eHam.net\n"));
        // 400 x 300 (0.75): as high as the frame of 160 x 125 at (10, 0), and wider.
        QCOMPARE(form->Image1->geometry(), QRect(7, 0, 167, 125));
        form->txtCall->setFocus();
        form->txtCall->selectAll();
        QTest::keyClicks(form->txtCall, keys);
        QCOMPARE(form->txtCall->text(), text);
        QVERIFY(form->txtLat->text().isEmpty() && !form->Label4->isVisibleTo(form.get()) && form->Image1->pixmap().isNull());
        QTest::keyClicks(form->txtName, name);
        const QString enabled = QString::number(form->cmdLookup->isEnabled()) + QString::number(form->cmdAddNewSite->isEnabled())
                                + QString::number(form->cmdDeleteSite->isEnabled());
        QCOMPARE(enabled, buttons);
        QCOMPARE(form->lstCall->currentIndex().row(), buttons.endsWith('1') ? 7 : -1);
        QCOMPARE(form->cmdLookup->text(), lookupCaption);
        QCOMPARE(form->cmdDeleteSite->text(), text.isEmpty() ? "Delete callsign" : "Delete " + text);
    }

    // Saving replaces a stored record in place, or adds the call where it sorts and scrolls
    // it to the 15th visible line.
    void save_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("count");
        QTest::newRow("stored: replaced, list unchanged") << "K1A05" << 5 << 0 << 40;
        QTest::newRow("new near the top: not scrolled") << "K1A015" << 2 << 0 << 41;
        QTest::newRow("new further down: 15th line") << "K1A305" << 31 << 17 << 41;
    }
    void save()
    {
        QFETCH(QString, call);
        QFETCH(int, row);
        QFETCH(int, top);
        QFETCH(int, count);
        writeDb(fortyCalls());
        const auto form = open();
        QTest::keyClicks(form->txtCall, call);
        QTest::keyClicks(form->txtName, "NEW NAME");
        form->txtLat->setText("52.1");
        QTest::mouseClick(form->cmdAddNewSite, Qt::LeftButton);
        QCOMPARE(m_beeps, QList<int>{400});
        QCOMPARE(stored(call), record({call, "NEW NAME", "", "", "", "52.1"}));
        QCOMPARE(form->lblEntries->text(), "Number of callsigns in database = " + QString::number(count));
        QCOMPARE(form->lstCall->currentIndex().row(), row);
        QCOMPARE(form->topRow(), top);
    }

    // No question; the list keeps its first visible row.
    void deleteKeepsTopRow()
    {
        writeDb(fortyCalls());
        const auto form = open();
        form->lstCall->scrollTo(form->callList().index(10), QAbstractItemView::PositionAtTop);
        click(*form, "K1A20");
        QCOMPARE(form->topRow(), 10);
        QTest::mouseClick(form->cmdDeleteSite, Qt::LeftButton);
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(stored("K1A20"), QByteArray("missing"));
        QCOMPARE(form->callList().calls(), fortyCalls().mid(0, 20) + fortyCalls().mid(21));
        QCOMPARE(form->topRow(), 10);
        QVERIFY(form->txtCall->text().isEmpty() && form->txtName->text().isEmpty() && !form->cmdDeleteSite->isEnabled());
    }

    // A lookup fills the form and stores at once; the form shows the stored record.
    void webLookup_data()
    {
        QTest::addColumn<bool>("full");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("call");
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QStringList>("record");  // stored; empty: nothing stored
        QTest::addColumn<QString>("note");        // Label4, when shown
        QTest::addColumn<int>("beep");
        const QStringList w1aw = {"W1AW", "HIRAM MAXIM", "225 MAIN ST", "NEWINGTON, CT 06111", "United States",
                                  "41.714775", "-72.72726", "Extra"};
        QTest::newRow("empty database, position on the page")
            << false << "de w1aw" << "W1AW" << ehamPage("W1AW", "41.714775", "-72.727260") << w1aw << "" << 400;
        QStringList zip = w1aw;
        zip[5] = "41.687*";
        zip[6] = "-72.731*";
        QTest::newRow("full database, position from the zip code")
            << true << "W1AW" << "W1AW" << ehamPage("W1AW") << zip << "* Coordinates not available from eHam.net\n    Derived from address or zipcode." << 400;
        QTest::newRow("not found") << true << "G4NON" << "G4NON" << QByteArray("<html><body>eHam.net G4NON Search Results</body></html>")
                                   << QStringList() << "G4NON not found on eHam.net" << 700;
    }
    void webLookup()
    {
        QFETCH(bool, full);
        QFETCH(QString, typed);
        QFETCH(QString, call);
        QFETCH(QByteArray, page);
        QFETCH(QStringList, record);
        QFETCH(QString, note);
        QFETCH(int, beep);
        if (full)
            writeDb(fortyCalls());
        m_server->setPage("/src0/callbook/" + call, page);
        m_server->setPage("/w/w1aw/w1aw.jpg", jpeg(80, 120), "image/jpeg");
        const auto form = open();
        form->txtCall->setText(typed);
        QTest::mouseClick(form->cmdLookup, Qt::LeftButton);
        QTRY_COMPARE(m_beeps, QList<int>{beep});
        QCOMPARE(form->txtCall->text(), call);
        QCOMPARE(stored(call), record.isEmpty() ? QByteArray("missing") : ::record(record));
        QCOMPARE(form->Label4->isVisibleTo(form.get()) ? form->Label4->text() : QString(), note);
        QCOMPARE(form->callList().rowCount(), (full ? 40 : 0) + !record.isEmpty());
        if (record.isEmpty())
            return;
        QCOMPARE(form->txtLat->text(), record.at(5));
        QVERIFY(form->cmdDeleteSite->isEnabled());
        QTRY_VERIFY(!form->Image1->pixmap().isNull());  // 80 x 120: the frame's height
        QCOMPARE(form->Image1->geometry(), QRect(48, 0, 84, 125));
    }

    void loginRequired()
    {
        m_values.CurrentSource = 1;
        m_values.SourceName = QStringLiteral("QRZ.com");
        m_server->setPage("/src1/db/W1AW", "<html><body>W1AW: Login is required for more</body></html>");
        const auto form = open();
        form->txtCall->setText("W1AW");
        QTest::mouseClick(form->cmdLookup, Qt::LeftButton);
        QTRY_COMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes[0].kind, MessageKind::MsgBoxAt);
        QCOMPARE(m_boxes[0].prompt, "Please log in at QRZ.com");
        QCOMPARE(QPoint(m_boxes[0].left, m_boxes[0].top), form->frameGeometry().topLeft() + QPoint(0, 100));
        QCOMPARE(m_beeps, QList<int>{700});
        QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
    }

    // What the file holds that the editor did not mean to change stays byte for byte.
    void badFiles()
    {
        // Bytes that are no text in the name; a torn record at the end.
        QByteArray odd = record({"K1A00", "A", "B"});
        odd[7] = '\0';
        odd[8] = char(0x81);
        odd[9] = char(0xFF);
        writeDb({}, odd + record({"K1A01", "OP"}) + "K1A02 torn");
        const auto form = open();
        QCOMPARE(form->lblEntries->text(), "Number of callsigns in database = 2");
        click(*form, "K1A00");
        QTest::mouseClick(form->cmdAddNewSite, Qt::LeftButton);
        QCOMPARE(stored("K1A00"), odd);

        // A database that cannot be written: the save and the delete say so and change nothing.
        QVERIFY(QFile::setPermissions(db(), QFile::ReadOwner));
        rlimit saved{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const rlimit none{0, saved.rlim_max};  // where file permissions do not hold (root)
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &none), 0);
        const QByteArray before = bytes();
        form->txtName->setText("CHANGED");
        QTest::mouseClick(form->cmdAddNewSite, Qt::LeftButton);
        QTest::mouseClick(form->cmdDeleteSite, Qt::LeftButton);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(bytes(), before);
        const QString file = m_dir->path() + u'/';
        QVERIFY(m_boxes.size() == 2 && m_boxes[0].prompt.contains(file) && m_boxes[1].prompt.contains(file));
        QVERIFY(form->callList().rowCount() == 2 && form->txtName->text() == "CHANGED");
    }

    // The picture window over the editor (disabled meanwhile); the list takes the focus under the pointer;
    // closing brings the main window back.
    void pictureWindowAndClosing()
    {
        writeDb({"K1A00"});
        QVERIFY(QImage(300, 200, QImage::Format_RGB32).save(m_dir->filePath("qrzimages/K1A00.jpg"), "JPEG"));
        QWidget mainWindow;
        mainWindow.setGeometry(20, 40, 300, 200);
        mainWindow.show();
        auto form = open(&mainWindow);
        QVERIFY(!mainWindow.isVisible());
        QCOMPARE(form->frameGeometry().topLeft(), mainWindow.frameGeometry().topLeft());
        click(*form, "K1A00");
        QTest::mousePress(form->Image1, Qt::LeftButton);
        QWidget *picture = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            picture = w->objectName() == "Form5" && w->isVisible() ? w : picture;
        QVERIFY(picture && !form->isEnabled());
        QCOMPARE(picture->findChild<QLabel *>("Image1")->size(), QSize(300, 200));
        picture->close();
        QVERIFY(form->isEnabled());

        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(form->lstCall, &enter);
        QCOMPARE(form->focusWidget(), form->lstCall);
        QSignalSpy focus(form.get(), &DatabaseEditor::FocusCallBox);
        QTest::mouseClick(form->cmdClose, Qt::LeftButton);
        QVERIFY(!form->isVisible() && mainWindow.isVisible() && focus.count() == 1);
    }
};

QTEST_MAIN(tst_DatabaseEditor)
#include "tst_databaseeditor.moc"
