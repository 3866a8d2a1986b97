// The Unicode clipboard: the open-clear-set-close sequence, its errors and warnings, the bytes
// handed to the system, and text in any script reaching QClipboard unchanged.

#include "ui/UnicodeClipboard.h"

#include <QLoggingCategory>
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace torvane;

namespace {

/// Stands for the system clipboard: records what the module asks of it into calls and data,
/// and opens or takes data only when told to.
class RecordingBackend : public ClipboardBackend {
public:
    RecordingBackend(QStringList &calls, QByteArray &data, bool opens = true, bool accepts = true)
        : m_calls(calls), m_data(data), m_opens(opens), m_accepts(accepts) {}
    bool open(quintptr) override { return m_calls.append(u"open"_s), m_opens; }
    void close() override { m_calls.append(u"close"_s); }
    void empty() override { m_calls.append(u"empty"_s); }
    bool setData(uint32_t format, const QByteArray &data) override
    {
        m_calls.append(u"set %1"_s.arg(format));
        m_data = data;
        return m_accepts;
    }

private:
    QStringList &m_calls;
    QByteArray &m_data;
    bool m_opens;
    bool m_accepts;
};

}  // namespace

class TestUnicodeClipboard : public QObject {
    Q_OBJECT
private slots:
    // The warnings are off unless asked for, as an operator does for a report.
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("torvane.ui.warning=true")); }
    void copyBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepts");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("placed");
        QTest::newRow("Polish") << u"Łą"_s << true << QByteArray("\x41\x01\x05\x01\0\0", 6) << true;
        QTest::newRow("outside the BMP: two units") << u"\U0001F4FB"_s << true
                                                    << QByteArray("\x3D\xD8\xFB\xDC\0\0", 6) << true;
        QTest::newRow("refused by the system") << u"a"_s << false << QByteArray("a\0\0\0", 4) << false;
        QTest::newRow("empty: emptied, nothing placed") << QString() << true << QByteArray() << false;
    }
    void copyBytes()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepts);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, placed);
        if (!accepts)
            QTest::ignoreMessage(QtWarningMsg, "Clipboard: format 13 (Unicode text) not placed: "
                                               "the system did not take the 4 bytes");
        QStringList calls;
        QByteArray data;
        UnicodeClipboard clipboard(std::make_unique<RecordingBackend>(calls, data, true, accepts));
        QCOMPARE(clipboard.CopyUnicodeText(text), placed);
        QCOMPARE(data, bytes);
        QCOMPARE(calls.join(u','), text.isEmpty() ? u"open,empty,close"_s : u"open,empty,set 13,close"_s);
        QVERIFY(!clipboard.ClipboardOpen());
    }

    void errors_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("warning");
        QTest::newRow("clear while closed") << u"clear"_s << kClipboardNotOpen
                                            << u"Clipboard: clearing while the clipboard is not open"_s;
        QTest::newRow("set data while closed") << u"set"_s << kClipboardNotOpen
                                               << u"Clipboard: placing format 1 (text) while the clipboard is not open"_s;
        QTest::newRow("open refused") << u"copy"_s << kClipboardCannotOpen
                                      << u"Clipboard: cannot be opened for window 0 (the system refused)"_s;
    }
    void errors()
    {
        QFETCH(QString, operation);
        QFETCH(int, number);
        QFETCH(QString, warning);
        QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
        QStringList calls;
        QByteArray data;
        UnicodeClipboard clipboard(std::make_unique<RecordingBackend>(calls, data, false));
        try {
            if (operation == u"clear"_s)
                clipboard.ClearClipboard();
            else if (operation == u"set"_s)
                clipboard.SetClipboardData(kFormatText, QByteArray(2, '\0'));
            else
                clipboard.CopyUnicodeText(u"x"_s);
            QFAIL("no error raised");
        } catch (const ClipboardError &error) {
            QCOMPARE(error.number(), number);
            QCOMPARE(error.source(), u"tst_unicodeclipboard.cCustomClipboard"_s);
        }
        // Nothing reached the system, and the state stays closed.
        QVERIFY(calls.isEmpty() || calls == QStringList{u"open"_s});
        QVERIFY(!clipboard.ClipboardOpen());
    }

    void reachesSystemClipboard_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("Japanese") << u"東京都 地図を表示"_s;
        QTest::newRow("Polish and Cyrillic") << u"Łódź, Москва"_s;
        QTest::newRow("emoji") << u"\U0001F4E1 antenna"_s;
        QTest::newRow("empty: old text removed") << QString();
    }
    void reachesSystemClipboard()
    {
        QFETCH(QString, text);
        QGuiApplication::clipboard()->setText(u"old"_s);
        QCOMPARE(CopyUnicodeText(text), !text.isEmpty());
        QCOMPARE(QGuiApplication::clipboard()->text(), text);
    }
};

QTEST_MAIN(TestUnicodeClipboard)
#include "tst_unicodeclipboard.moc"
