// Message boxes: placement, the real UnicodeMessageBox driven offscreen (waiting and not
// waiting), the standard boxes and the hook that answers without a window.

#include "ui/Beep.h"
#include "ui/MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;
using namespace torvane;

namespace {

/// Runs act on the next modal box a tick after it shows (a box that moves itself as it appears
/// has moved by then). A box still open 5 s later is closed with -1, so a box that act failed
/// to answer fails the test instead of hanging it.
void answerModal(const std::function<void(QDialog *)> &act)
{
    auto *timer = new QTimer(qApp);
    auto seen = std::make_shared<QPointer<QDialog>>();
    auto acted = std::make_shared<bool>(false);
    const QDeadlineTimer deadline(5000);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        if (*acted && !(*seen && (*seen)->isVisible()))
            return timer->deleteLater();
        if (deadline.hasExpired()) {
            if (*seen)
                (*seen)->done(-1);
            return timer->deleteLater();
        }
        auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (*acted || !box || !box->isVisible())
            return;
        if (box == *seen) {
            *acted = true;
            act(box);
        }
        *seen = box;
    });
    timer->start(5);
}

}  // namespace

class TestMessageBox : public QObject {
    Q_OBJECT
private slots:
    void init() { setSystemSoundHook([](SystemSound) {}); }
    void cleanup() { setSystemSoundHook({}); }

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
        QTest::newRow("uni: owner off the top left, kept inside") << false << QPoint(0, 0)
                                                                  << QRect(-300, -200, 100, 60) << QPoint(0, 0);
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
        QTest::addColumn<int>("buttonsShown");
        QTest::addColumn<QList<int>>("sounds");
        QTest::newRow("information yes/no, second") << 64 + 4 << u"cmd2"_s << 6 << u"imgInformation"_s << 2
                                                    << QList<int>{int(SystemSound::Information)};
        QTest::newRow("question, cmd1") << 32 << u"cmd1"_s << 7 << u"imgQuestion"_s << 1 << QList<int>{};
        QTest::newRow("critical, cmd3") << 16 + 3 << u"cmd3"_s << 2 << u"imgCritical"_s << 3
                                        << QList<int>{int(SystemSound::Critical)};
        QTest::newRow("unknown icon 80 shows none") << 80 + 4 << u"cmd1"_s << 7 << QString() << 2 << QList<int>{};
        QTest::newRow("unknown set: no buttons, closed") << 9 << u"close"_s << 0 << QString() << 0 << QList<int>{};
    }
    void uniMsgBoxWindow()
    {
        QFETCH(int, buttons);
        QFETCH(QString, press);
        QFETCH(int, result);
        QFETCH(QString, icon);
        QFETCH(int, buttonsShown);
        QFETCH(QList<int>, sounds);
        QList<int> played;
        setSystemSoundHook([&played](SystemSound sound) { played.append(int(sound)); });

        QStringList visibleIcons;
        int visibleButtons = 0;
        bool topmost = false;
        answerModal([&](QDialog *box) {
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
        QCOMPARE(visibleButtons, buttonsShown);
        QCOMPARE(played, sounds);
        QVERIFY(topmost);
    }

    void uniMsgBoxContent()
    {
        UnicodeMessageBox box;
        box.prepare(u"Źródło danych\r\n<b>Łączenie</b>\r\n地図を表示"_s, 4, u"言語"_s, u"Nie"_s, u"Tak"_s);
        QCOMPARE(box.lblPrompt->text(), u"Źródło danych\n<b>Łączenie</b>\n地図を表示"_s);
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

    void openUniMsgBox_data()
    {
        QTest::addColumn<bool>("formGoesFirst");
        QTest::addColumn<QList<int>>("answers");
        QTest::newRow("cmd2 answers 6") << false << QList<int>{6};
        QTest::newRow("form destroyed before the click: no answer") << true << QList<int>{};
    }
    void openUniMsgBox()
    {
        QFETCH(bool, formGoesFirst);
        QFETCH(QList<int>, answers);
        QWidget window;
        auto *form = new QWidget(&window);  // the part of the window that asked
        window.show();
        // Were the call to wait for the box, this would end the wait and the checks below fail.
        QTimer::singleShot(3000, &window, [&window] {
            if (auto *box = window.findChild<QDialog *>())
                box->done(0);
        });
        QList<int> got;
        OpenUniMsgBox(form, u"Prompt"_s, 64 + 4, u"Title"_s, u"No"_s, u"Yes"_s,
                      [&got](int16_t answer) { got.append(answer); });
        // Back at once: the box is on screen over the window and has not answered.
        const QPointer<UnicodeMessageBox> box = window.findChild<UnicodeMessageBox *>();
        QVERIFY(box && box->isVisible());
        QVERIFY(got.isEmpty());
        if (formGoesFirst)
            delete form;
        QTest::mouseClick(box->cmd2, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!box, 2000);  // the box removes itself
        QCOMPARE(got, answers);
    }

    void hookAnswersWithoutWindow()
    {
        QList<MessageRequest> seen;
        ScopedMessageHook hook([&seen](const MessageRequest &request) { return seen.append(request), 6; });
        QCOMPARE(int(ShowUniMsgBox(nullptr, u"P"_s, 64 + 4, u"T"_s, u"No"_s, u"Yes"_s, {}, {}, 150, 300)), 6);
        int answer = -1;
        OpenUniMsgBox(nullptr, u"S"_s, 64 + 4, u"W"_s, u"No"_s, u"Yes"_s, [&answer](int16_t a) { answer = a; });
        QCOMPARE(answer, 6);  // before OpenUniMsgBox returned
        QCOMPARE(seen.size(), 2);
        QCOMPARE(QPoint(seen[0].left, seen[0].top), QPoint(150, 300));
        QCOMPARE(seen[1].prompt, u"S"_s);
    }

    void standardBoxWindows_data()
    {
        QTest::addColumn<bool>("placed");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("press");  // a caption; anything else presses Escape
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
        QRect where;
        answerModal([&](QDialog *box) {
            where = box->frameGeometry();
            const QList<QAbstractButton *> buttons = box->findChildren<QAbstractButton *>();
            const auto pressed = std::find_if(buttons.begin(), buttons.end(), [&press](QAbstractButton *b) {
                return b->text() == press && b->isVisible();
            });
            if (pressed != buttons.end())
                QTest::mouseClick(*pressed, Qt::LeftButton);
            else
                QTest::keyClick(box, Qt::Key_Escape);
        });
        const QSize screen = QGuiApplication::primaryScreen()->virtualSize();
        const int got = placed ? MsgBoxAt(nullptr, u"Text"_s, u"Title"_s, flags, screen.width() + 500, 40)
                               : ShellPopup(u"Text"_s, flags, u"Title"_s);
        QCOMPARE(got, result);
        if (placed)  // asked beyond the right edge: kept inside, at the asked top
            QVERIFY2(where.right() < screen.width() && where.left() >= 1 && where.top() == 40,
                     qPrintable(u"%1..%2, %3"_s.arg(where.left()).arg(where.right()).arg(where.top())));
    }
};

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
