// Message boxes: placement, and the real boxes driven offscreen, waiting and not waiting.

#include "ui/MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace torvane;

namespace {

/// Runs act on the next modal box once it shows and its own queued calls (a move) have run: a
/// timer, as a queued call would run first. A box still open 5 s later is closed with -1, so a
/// box that act failed to answer fails the test instead of hanging it.
void answerModal(const std::function<void(QDialog *)> &act)
{
    QTimer::singleShot(1, qApp, [act] {
        QPointer<QDialog> box;
        const auto modal = [&box] { return (box = qobject_cast<QDialog *>(QApplication::activeModalWidget())); };
        if (!QTest::qWaitFor(modal, 5000))
            return;
        QCoreApplication::processEvents();
        if (box)
            act(box);
        if (box && !QTest::qWaitFor([&box] { return !box || !box->isVisible(); }, 5000))
            box->done(-1);
    });
}

}  // namespace

class TestMessageBox : public QObject {
    Q_OBJECT
private slots:
    void placement_data()
    {
        QTest::addColumn<bool>("msgBoxAt");
        QTest::addColumn<QPoint>("asked");  // MsgBoxAt: pixels, x the centre; UnicodeMessageBox: twips
        QTest::addColumn<QRect>("owner");
        QTest::addColumn<QPoint>("placed");
        // Box 200 x 100 on a 1280 x 1024 screen.
        QTest::newRow("at: beyond the bottom right") << true << QPoint(5000, 2000) << QRect() << QPoint(979, 923);
        QTest::newRow("at: negative") << true << QPoint(-400, -5) << QRect() << QPoint(1, 1);
        const QRect owner(100, 100, 400, 300);
        QTest::newRow("uni: placed in twips") << false << QPoint(1500, 3000) << owner << QPoint(100, 200);
        QTest::newRow("uni: left 0 centres over owner") << false << QPoint(0, 3000) << owner << QPoint(200, 200);
        QTest::newRow("uni: clamp bottom right") << false << QPoint() << QRect(1200, 950, 100, 60) << QPoint(1080, 924);
        QTest::newRow("uni: clamp top left") << false << QPoint() << QRect(-300, -200, 100, 60) << QPoint(0, 0);
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

    // The real window, answered by clicking its buttons. The call returns before the answer.
    void openUniMsgBox_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("press");  // button name, or "close"
        QTest::addColumn<bool>("formGoesFirst");
        QTest::addColumn<int>("buttonsShown");
        QTest::addColumn<QList<int>>("answers");
        QTest::newRow("ok, cmd1 answers 7") << 0 << u"cmd1"_s << false << 1 << QList<int>{7};
        QTest::newRow("yes/no, cmd2 answers 6") << 4 << u"cmd2"_s << false << 2 << QList<int>{6};
        QTest::newRow("yes/no/cancel, cmd3 answers 2") << 3 << u"cmd3"_s << false << 3 << QList<int>{2};
        QTest::newRow("unknown set: none shown, closed answers 0") << 9 << u"close"_s << false << 0 << QList<int>{0};
        QTest::newRow("form destroyed before the click: no answer") << 4 << u"cmd2"_s << true << 2 << QList<int>{};
    }
    void openUniMsgBox()
    {
        QFETCH(int, buttons);
        QFETCH(QString, press);
        QFETCH(bool, formGoesFirst);
        QFETCH(int, buttonsShown);
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
        OpenUniMsgBox(form, u"Prompt"_s, buttons, u"Title"_s, u"No"_s, u"Yes"_s, [&got](int16_t a) { got.append(a); });
        const QPointer<UnicodeMessageBox> box = window.findChild<UnicodeMessageBox *>();
        QVERIFY(box && box->isVisible() && got.isEmpty());
        const QList<QPushButton *> all = box->findChildren<QPushButton *>();
        QCOMPARE(std::count_if(all.begin(), all.end(), [](QPushButton *b) { return b->isVisible(); }), buttonsShown);
        if (formGoesFirst)
            delete form;
        if (press == u"close"_s)
            box->close();
        else
            QTest::mouseClick(box->findChild<QPushButton *>(press), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!box, 2000);  // the box removes itself
        QCOMPARE(got, answers);
    }

    // Boxes that wait for their answer.
    void waitingBoxes_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("press");  // a caption; anything else presses Escape
        QTest::addColumn<int>("result");
        QTest::newRow("UnicodeMessageBox yes/no, No (cmd1)") << u"uni"_s << 4 << u"No"_s << 7;
        QTest::newRow("MsgBoxAt yes/no, No") << u"at"_s << 4 << u"No"_s << 7;
        QTest::newRow("MsgBoxAt ok, escape") << u"at"_s << 0 << u"escape"_s << 1;
        QTest::newRow("popup ok/cancel, escape") << u"popup"_s << 1 << u"escape"_s << 2;
    }
    void waitingBoxes()
    {
        QFETCH(QString, kind);
        QFETCH(int, flags);
        QFETCH(QString, press);
        QFETCH(int, result);
        QRect where;
        answerModal([&](QDialog *box) {
            where = box->frameGeometry();
            for (QAbstractButton *button : box->findChildren<QAbstractButton *>()) {
                if (button->text() == press && button->isVisible())
                    return QTest::mouseClick(button, Qt::LeftButton);
            }
            QTest::keyClick(box, Qt::Key_Escape);
        });
        const QSize screen = QGuiApplication::primaryScreen()->virtualSize();
        const int got = kind == u"uni"_s ? ShowUniMsgBox(nullptr, u"Text"_s, flags, u"Title"_s, u"No"_s, u"Yes"_s)
                      : kind == u"at"_s  ? MsgBoxAt(nullptr, u"Text"_s, u"Title"_s, flags, screen.width() + 500, 40)
                                         : ShellPopup(u"Text"_s, flags, u"Title"_s);
        QCOMPARE(got, result);
        if (kind == u"at"_s)  // asked beyond the right edge: kept inside, at the asked top
            QVERIFY2(where.right() < screen.width() && where.left() >= 1 && where.top() == 40,
                     qPrintable(u"%1..%2, %3"_s.arg(where.left()).arg(where.right()).arg(where.top())));
    }
};

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
