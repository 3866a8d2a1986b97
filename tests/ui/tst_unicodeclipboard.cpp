// The Unicode clipboard: the open-clear-set-close contract, its error numbers and texts, the
// bytes handed to the system, and text in any script reaching QClipboard unchanged.

#include "ui/UnicodeClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace torvane;

namespace {

/// Records what the module asks of the system clipboard.
struct Record {
    QStringList calls;
    QByteArray data;
    uint32_t format = 0;
};

class RecordingBackend : public ClipboardBackend {
public:
    RecordingBackend(Record &record, bool opens = true, bool accepts = true)
        : m_record(record), m_opens(opens), m_accepts(accepts) {}
    bool open(quintptr) override
    {
        m_record.calls.append(u"open"_s);
        return m_opens;
    }
    void close() override { m_record.calls.append(u"close"_s); }
    void empty() override { m_record.calls.append(u"empty"_s); }
    bool setData(uint32_t format, const QByteArray &data) override
    {
        m_record.calls.append(u"set"_s);
        m_record.format = format;
        m_record.data = data;
        return m_accepts;
    }

private:
    Record &m_record;
    bool m_opens;
    bool m_accepts;
};

}  // namespace

class TestUnicodeClipboard : public QObject {
    Q_OBJECT
private slots:
    void copyBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("placed");
        QTest::newRow("Polish") << u"Łą"_s << QByteArray("\x41\x01\x05\x01\0\0", 6) << true;
        QTest::newRow("outside the BMP: two units") << u"\U0001F4FB"_s
                                                    << QByteArray("\x3D\xD8\xFB\xDC\0\0", 6) << true;
        QTest::newRow("empty: emptied, nothing placed") << QString() << QByteArray() << false;
    }
    void copyBytes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, placed);
        Record record;
        UnicodeClipboard clipboard(std::make_unique<RecordingBackend>(record));
        QCOMPARE(clipboard.CopyUnicodeText(text), placed);
        QCOMPARE(record.data, bytes);
        const QStringList expected = placed ? QStringList{u"open"_s, u"empty"_s, u"set"_s, u"close"_s}
                                            : QStringList{u"open"_s, u"empty"_s, u"close"_s};
        QCOMPARE(record.calls, expected);
        if (placed)
            QCOMPARE(record.format, kFormatUnicodeText);
        QVERIFY(!clipboard.ClipboardOpen());
        QCOMPARE(clipboard.ClipboardOwner(), quintptr(0));
    }

    void errors_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("description");
        const QString notOpen = u"Attempt to access the clipboard when clipboard not Open."_s;
        QTest::newRow("clear while closed") << u"clear"_s << kClipboardNotOpen << notOpen;
        QTest::newRow("set data while closed") << u"set"_s << kClipboardNotOpen << notOpen;
        QTest::newRow("open refused") << u"open"_s << kClipboardCannotOpen << u"Unable to Open Clipboard."_s;
        QTest::newRow("copy, open refused") << u"copy"_s << kClipboardCannotOpen
                                            << u"Unable to Open Clipboard."_s;
    }
    void errors()
    {
        QFETCH(QString, operation);
        QFETCH(int, number);
        QFETCH(QString, description);
        Record record;
        UnicodeClipboard clipboard(std::make_unique<RecordingBackend>(record, false));
        try {
            if (operation == u"clear"_s)
                clipboard.ClearClipboard();
            else if (operation == u"set"_s)
                clipboard.SetClipboardData(kFormatUnicodeText, QByteArray(2, '\0'));
            else if (operation == u"open"_s)
                clipboard.OpenClipboard(1234);
            else
                clipboard.CopyUnicodeText(u"x"_s);
            QFAIL("no error raised");
        } catch (const ClipboardError &error) {
            QCOMPARE(error.number(), number);
            QCOMPARE(error.description(), description);
            QCOMPARE(error.source(), u"tst_unicodeclipboard.cCustomClipboard"_s);
        }
        // Nothing reached the system, and the state stays closed.
        QVERIFY(!record.calls.contains(u"empty"_s) && !record.calls.contains(u"set"_s));
        QVERIFY(!clipboard.ClipboardOpen());
        QCOMPARE(clipboard.ClipboardOwner(), quintptr(0));
    }

    void openStateAndRefusal()
    {
        Record record;
        UnicodeClipboard clipboard(std::make_unique<RecordingBackend>(record, true, false));
        QVERIFY(clipboard.OpenClipboard(77));
        QVERIFY(clipboard.ClipboardOpen());
        QCOMPARE(clipboard.ClipboardOwner(), quintptr(77));
        // A refused SetClipboardData is false, not an error.
        QVERIFY(!clipboard.SetClipboardText(kFormatUnicodeText, u"abc"_s));
        clipboard.CloseClipboard();
        clipboard.CloseClipboard();  // closing twice is harmless
        QCOMPARE(record.calls, (QStringList{u"open"_s, u"set"_s, u"close"_s}));
        QVERIFY(!clipboard.CopyUnicodeText(u"abc"_s));
        QVERIFY(!clipboard.ClipboardOpen());
    }

    void reachesSystemClipboard_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("Japanese") << u"東京都 地図を表示"_s;
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
