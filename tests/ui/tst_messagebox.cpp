// Message boxes: the button and icon codes, placement, the real UnicodeMessageBox driven offscreen,
// the standard boxes and the hook that answers without a window.

#include "ui/Beep.h"
#include "ui/MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace torvane;

namespace {

/// Runs act on the first modal window once it is on screen (the box's own event loop runs
/// the timer).
void whenModalShown(const std::function<void(QWidget *)> &act)
{
    auto *timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        QCoreApplication::processEvents();  // let a box move itself first
        act(modal);
    });
    timer->start();
}

QAbstractButton *buttonCaptioned(QWidget *box, const QString &caption)
{
    for (QAbstractButton *button : box->findChildren<QAbstractButton *>()) {
        if (button->text() == caption && button->isVisible())
            return button;
    }
    return nullptr;
}

}  // namespace

class TestMessageBox : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        setSystemSoundHook({});
        setMessageHook({});
    }

    void buttonSets_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("shown");  // bits: 1 cmd1, 2 cmd2, 4 cmd3
        QTest::addColumn<int>("icon");
        QTest::newRow("ok only") << 0 << 1 << 0;
        QTest::newRow("abort retry ignore") << 2 << 7 << 0;
        QTest::newRow("information yes no") << 64 + 4 << 3 << 64;
        QTest::newRow("retry cancel, critical") << 16 + 5 << 3 << 16;
        QTest::newRow("unknown set, no buttons") << 6 << 0 << 0;
        QTest::newRow("unknown icon 80") << 80 + 1 << 3 << 0;
        QTest::newRow("default-button flag is no icon") << 256 << 1 << 0;
    }
    void buttonSets()
    {
        QFETCH(int, buttons);
        QFETCH(int, shown);
        QFETCH(int, icon);
        const UniButtons set = uniMsgBoxButtons(buttons);
        QCOMPARE(int(set.cmd1) | int(set.cmd2) << 1 | int(set.cmd3) << 2, shown);
        QCOMPARE(int(uniMsgBoxIcon(buttons)), icon);
    }

    void lineCount_data()
    {
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<int>("lines");
        QTest::newRow("empty") << QString() << 1;
        QTest::newRow("CR LF and lone CR") << u"a\r\nb\rc"_s << 3;
        QTest::newRow("trailing CR LF") << u"a\r\n"_s << 2;
        QTest::newRow("lone LF still breaks") << u"a\nb"_s << 2;
    }
    void lineCount()
    {
        QFETCH(QString, prompt);
        QFETCH(int, lines);
        QCOMPARE(promptLineCount(prompt), lines);
    }

    void placement_data()
    {
        QTest::addColumn<bool>("msgBoxAt");
        QTest::addColumn<QPoint>("asked");  // MsgBoxAt: pixels, x the centre; UnicodeMessageBox: twips
        QTest::addColumn<QRect>("owner");
        QTest::addColumn<QPoint>("placed");
        // Box 200 x 100 on a 1280 x 1024 screen.
        QTest::newRow("at: inside") << true << QPoint(600, 300) << QRect() << QPoint(500, 300);
        QTest::newRow("at: beyond the right edge") << true << QPoint(5000, 300) << QRect() << QPoint(979, 300);
        QTest::newRow("at: beyond the bottom") << true << QPoint(600, 2000) << QRect() << QPoint(500, 923);
        QTest::newRow("at: negative") << true << QPoint(-400, -5) << QRect() << QPoint(1, 1);
        const QRect owner(100, 100, 400, 300);
        QTest::newRow("uni: placed in twips") << false << QPoint(1500, 3000) << owner << QPoint(100, 200);
        QTest::newRow("uni: left 0 centres over owner") << false << QPoint(0, 3000) << owner << QPoint(200, 200);
        QTest::newRow("uni: top 0 centres over owner") << false << QPoint(1500, 0) << owner << QPoint(200, 200);
        QTest::newRow("uni: owner at the edge, kept inside") << false << QPoint(0, 0)
                                                             << QRect(1200, 950, 100, 60) << QPoint(1080, 924);
        QTest::newRow("uni: no owner, screen centre") << false << QPoint(0, 0) << QRect() << QPoint(540, 462);
    }
    void placement()
    {
        QFETCH(bool, msgBoxAt);
        QFETCH(QPoint, asked);
        QFETCH(QRect, owner);
        QFETCH(QPoint, placed);
        const QSize box(200, 100);
        QCOMPARE(msgBoxAt ? msgBoxAtPosition(asked.x(), asked.y(), box, QSize(1280, 1024))
                          : uniMsgBoxPosition(asked.x(), asked.y(), box, owner, QRect(0, 0, 1280, 1024)),
                 placed);
    }

    // The real window, answered by clicking its buttons.
    void uniMsgBoxWindow_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("press");  // button name, or "close"
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QList<int>>("sounds");
        QTest::newRow("information yes/no, second") << 64 + 4 << u"cmd2"_s << 6 << u"imgInformation"_s
                                                    << QList<int>{int(SystemSound::Information)};
        QTest::newRow("question, cmd1") << 32 << u"cmd1"_s << 7 << u"imgQuestion"_s << QList<int>{};
        QTest::newRow("critical, cmd3") << 16 + 3 << u"cmd3"_s << 2 << u"imgCritical"_s
                                        << QList<int>{int(SystemSound::Critical)};
        QTest::newRow("no buttons, closed") << 9 << u"close"_s << 0 << QString() << QList<int>{};
    }
    void uniMsgBoxWindow()
    {
        QFETCH(int, buttons);
        QFETCH(QString, press);
        QFETCH(int, result);
        QFETCH(QString, icon);
        QFETCH(QList<int>, sounds);
        QList<int> played;
        setSystemSoundHook([&played](SystemSound sound) { played.append(int(sound)); });

        QStringList visibleIcons;
        int visibleButtons = 0;
        bool topmost = false;
        whenModalShown([&](QWidget *box) {
            topmost = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            for (QLabel *label : box->findChildren<QLabel *>()) {
                if (label->objectName().startsWith(u"img"_s) && label->isVisible())
                    visibleIcons.append(label->objectName());
            }
            for (QPushButton *button : box->findChildren<QPushButton *>())
                visibleButtons += button->isVisible();
            if (press == u"close"_s)
                box->close();
            else
                QTest::mouseClick(box->findChild<QPushButton *>(press), Qt::LeftButton);
        });
        const int16_t got = ShowUniMsgBox(nullptr, u"Prompt"_s, buttons, u"Title"_s, u"No"_s, u"Yes"_s);
        QCOMPARE(int(got), result);
        QCOMPARE(visibleIcons, icon.isEmpty() ? QStringList() : QStringList{icon});
        QCOMPARE(visibleButtons, uniMsgBoxButtons(buttons).count());
        QCOMPARE(played, sounds);
        QVERIFY(topmost);
    }

    void uniMsgBoxContent()
    {
        UnicodeMessageBox box;
        box.prepare(u"Źródło danych\r\n<b>Łączenie</b>\r\n地図を表示"_s, 4, u"言語"_s, u"Nie"_s, u"Tak"_s);
        QCOMPARE(box.lblPrompt->textFormat(), Qt::PlainText);  // markup shown as typed

        // Three lines high: room for three lines, not for four.
        const int line = QFontMetrics(box.lblPrompt->font()).lineSpacing();
        QVERIFY2(box.lblPrompt->height() >= 3 * line && box.lblPrompt->height() < 4 * line,
                 qPrintable(QString::number(box.lblPrompt->height())));
        // The buttons sit in one row under the prompt, inside the window.
        QCOMPARE(box.cmd1->y(), box.cmd2->y());
        QVERIFY(box.cmd1->y() >= box.lblPrompt->geometry().bottom());
        QVERIFY(box.cmd2->geometry().right() < box.width());
        QVERIFY(box.lblPrompt->geometry().right() < box.width());
    }

    void hookAnswersWithoutWindow()
    {
        QList<MessageRequest> seen;
        int sounds = 0;
        setSystemSoundHook([&sounds](SystemSound) { ++sounds; });
        {
            ScopedMessageHook hook([&seen](const MessageRequest &request) {
                seen.append(request);
                return request.kind == MessageKind::ShellPopup ? 1 : 6;
            });
            QCOMPARE(int(ShowUniMsgBox(nullptr, u"P"_s, 64 + 4, u"T"_s, u"No"_s, u"Yes"_s, u"x"_s, u"y"_s,
                                       150, 300)), 6);
            QCOMPARE(int(MsgBoxAt(nullptr, u"Q"_s, u"U"_s, 4, 640, 20)), 6);
            QCOMPARE(ShellPopup(u"R"_s, 0, u"V"_s), 1);
        }
        QCOMPARE(seen.size(), 3);
        QCOMPARE(QPoint(seen[0].left, seen[0].top), QPoint(150, 300));
        QCOMPARE(seen[1].kind, MessageKind::MsgBoxAt);
        QCOMPARE(sounds, 0);
    }

    void standardBoxWindows_data()
    {
        QTest::addColumn<bool>("placed");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("press");  // caption, or "escape"
        QTest::addColumn<int>("result");
        QTest::newRow("MsgBoxAt yes/no, No") << true << 4 << u"No"_s << 7;
        QTest::newRow("MsgBoxAt ok, escape") << true << 0 << u"escape"_s << 1;
        QTest::newRow("popup ok/cancel, escape") << false << 1 << u"escape"_s << 2;
    }
    void standardBoxWindows()
    {
        QFETCH(bool, placed);
        QFETCH(int, flags);
        QFETCH(QString, press);
        QFETCH(int, result);
        setSystemSoundHook([](SystemSound) {});
        QRect where;
        QString title;
        whenModalShown([&](QWidget *box) {
            where = box->frameGeometry();
            title = box->windowTitle();
            if (press == u"escape"_s)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                QTest::mouseClick(buttonCaptioned(box, press), Qt::LeftButton);
        });
        const QSize screen = QGuiApplication::primaryScreen()->virtualSize();
        const int got = placed ? MsgBoxAt(nullptr, u"Text"_s, u"Title"_s, flags, screen.width() + 500, 40)
                               : ShellPopup(u"Text"_s, flags, u"Title"_s);
        QCOMPARE(got, result);
        QCOMPARE(title, u"Title"_s);
        if (placed) {
            QVERIFY2(where.right() < screen.width() && where.left() >= 1,
                     qPrintable(u"%1..%2"_s.arg(where.left()).arg(where.right())));
            QCOMPARE(where.top(), 40);
        }
    }
};

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
