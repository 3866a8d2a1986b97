// The main window's start-up and close: the data folder, Torvane.cfg, captions and size.

#include "app/MainWindow.h"
#include "calldb/CallRecord.h"
#include "support/AppFixture.h"
#include "ui/DropDownMenu.h"
#include "ui/MessageBox.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using namespace torvane;

class TestMainWindow : public QObject {
    Q_OBJECT
    AppFixture m_app;
    QStringList m_popups;  ///< every message box, as "title|prompt"
    std::unique_ptr<ScopedMessageHook> m_hook;

private slots:
    void initTestCase()
    {
        QVERIFY(m_app.begin());
        m_hook = std::make_unique<ScopedMessageHook>([this](const MessageRequest &r) {
            m_popups << r.title + u'|' + r.prompt;
            return 0;
        });
    }
    void init() { m_popups.clear(); }

    void missingConfigurationIsAnnounced()
    {
        m_app.prepare();
        QFile::remove(m_app.path(QStringLiteral("Torvane.cfg")));
        QDir(m_app.path(QStringLiteral("Languages"))).removeRecursively();
        ProgramValues values;
        MainWindow form(values);
        form.startUp();
        QCOMPARE(m_popups,
                 (QStringList{"Torvane|Torvane.cfg file not found", "Torvane|Language file not found or corrupt"}));
        form.close();
        QVERIFY(QFile::exists(m_app.path(QStringLiteral("Torvane.cfg"))));
    }

    // QRZ.com, Polish, always on top, plain zeros, local lookups and a history.
    void closeThenStartGivesBackEverySetting()
    {
        QByteArray cfg("42.5\r\n-71.25\r\n1\r\n1500\r\n900\r\n1\r\n5\r\n7800\r\n1\r\nW1AW\r\n1\r\n0\r\n");
        cfg += "K" + QByteArray(1, char(216)) + "ABC\r\nG4XYZ\r\n";
        m_app.prepare(cfg);
        m_app.write(QStringLiteral("Ham.bmp"), "old picture");
        {
            ProgramValues values;
            MainWindow form(values);
            form.startUp();
            QCOMPARE(m_popups, QStringList());
            QVERIFY(!QFile::exists(m_app.path(QStringLiteral("Ham.bmp"))));
            // Polish captions, decoded from Windows-1250.
            QVERIFY(form.lblSource->text().contains(QStringLiteral("\u0179r\u00F3d\u0142o")));
            QVERIFY(form.ucMnuSource->isChecked(1) && form.ucMnuLanguage->isChecked(5) && form.ucMnuSetup->isChecked(3)
                    && form.ucMnuSetup->isChecked(4));
            QVERIFY((form.windowFlags() & Qt::WindowStaysOnTopHint) && form.optFrom[0]->isChecked());
            QCOMPARE(form.cboCall->itemText(0), QStringLiteral("K\u00D8ABC"));
            QCOMPARE(form.outerRect(), QRect(100, 60, 520, 364));
            form.close();
        }
        QCOMPARE(m_app.read(QStringLiteral("Torvane.cfg")), cfg);
    }

    // Fonts grow with the width; a width below the smallest opens at the smallest. An unknown
    // source leaves the source name and the web option's caption alone.
    void widthGivesSizeAndFonts_data()
    {
        QTest::addColumn<int>("widthTwips");
        QTest::addColumn<QSize>("outer");
        QTest::addColumn<double>("scale");
        QTest::newRow("narrower than the smallest") << 3000 << QSize(347, 243) << 1.0;
        QTest::newRow("double the smallest") << 10400 << QSize(693, 485) << 2.0;
    }
    void widthGivesSizeAndFonts()
    {
        QFETCH(int, widthTwips);
        QFETCH(QSize, outer);
        QFETCH(double, scale);
        m_app.prepare();
        ProgramValues smallestValues;
        MainWindow smallest(smallestValues);
        smallest.startUp();
        m_app.prepare("0\r\n0\r\n7\r\n0\r\n0\r\n0\r\n0\r\n" + QByteArray::number(widthTwips) + "\r\n");
        ProgramValues values;
        MainWindow form(values);
        const QString caption = form.optFrom[1]->text();
        form.startUp();
        QCOMPARE(form.outerRect().size(), outer);
        for (const char *name : {"lblName", "cmdGet", "optFrom(0)"})
            QCOMPARE(form.findChild<QWidget *>(name)->font().pointSizeF(),
                     smallest.findChild<QWidget *>(name)->font().pointSizeF() * scale);
        QVERIFY(values.SourceName.isEmpty());
        QCOMPARE(form.optFrom[1]->text(), caption);
    }

    // Every language at the smallest and at the doubled width: each text the panel shows fits
    // its control, the grid line ends before the year of birth, the headers do not meet.
    void textsFit_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("widthTwips");
        for (int language = 0; language < 7; ++language) {
            for (const int width : {5200, 10400})
                QTest::addRow("language %d, %d twips", language, width) << language << width;
        }
    }
    void textsFit()
    {
        QFETCH(int, language);
        QFETCH(int, widthTwips);
        m_app.prepare("47.6\r\n-122.3\r\n3\r\n0\r\n0\r\n0\r\n" + QByteArray::number(language) + "\r\n"
                      + QByteArray::number(widthTwips) + "\r\n0\r\nW7XYZ\r\n1\r\n0\r\n");
        ProgramValues values;
        MainWindow form(values);
        form.startUp();
        CallRecord record;
        for (const auto &[field, text] : {std::pair{CallRecord::Call, "W1AW"}, {CallRecord::Lat, "49.2"},
                                          {CallRecord::Lon, "-123.1"}, {CallRecord::Class, "Extra"},
                                          {CallRecord::YearBorn, "1956"}})
            record.setText(field, QString::fromLatin1(text));
        values.CurrentCall = QStringLiteral("W1AW");
        form.ShowLocalRecord(record);

        QStringList misfits;  // "control text needed/room" in pixels
        const auto fits = [&misfits](QWidget *w, const QString &text, int room) {
            const int needed = w->fontMetrics().horizontalAdvance(text);
            if (needed > room)
                misfits << QStringLiteral("%1 %2 %3/%4").arg(w->objectName(), text).arg(needed).arg(room);
        };
        for (const int state : {0, 1, 2, 3, 4}) {  // the source's login states, CALLOOK.info named
            values.LookupState = int16_t(state);
            form.refreshStatusText();
            fits(form.lblStatus, state ? form.lblStatus->text() : form.item(33), form.lblStatus->width());
        }
        for (const QString &text : {form.item(34), QStringLiteral("W1AW") + form.item(38), form.item(45) + QStringLiteral(" QRZCQ.com")})
            fits(form.lblNot, text, form.lblNot->width());
        for (QLabel *label : {form.lblDx, form.lblClass, form.lblDOB, form.lblEmail})
            fits(label, label->text(), label->width());
        fits(form.lblGrid, form.lblGrid->text(), form.lblDOB->x() - form.lblGrid->x() - 4);
        fits(form.cmdGet, form.cmdGet->text(), form.cmdGet->width() - 8);
        for (QRadioButton *option : form.optFrom)
            fits(option, option->text(), option->width() - (option->sizeHint().width() - option->fontMetrics().horizontalAdvance(option->text())));
        fits(form.lblMaps, form.lblMaps->text(), form.lblSetup->x() - form.lblMaps->x());
        QCOMPARE(misfits.join(u" | "), QString());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
