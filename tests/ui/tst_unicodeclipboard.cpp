// The Unicode clipboard: the bytes and calls handed to the system, refusals, and QClipboard.

#include "ui/UnicodeClipboard.h"

#include <QLoggingCategory>
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace torvane;

namespace {

/// Stands for the system clipboard: records the calls and the data; opens and takes data when told to.
struct RecordingBackend : ClipboardBackend {
    QStringList calls;
    QByteArray data;
    bool opens = true;
    bool accepts = true;
    bool open(quintptr) override { return calls.append(u"open"_s), opens; }
    void close() override { calls.append(u"close"_s); }
    void empty() override { calls.append(u"empty"_s); }
    bool setData(uint32_t format, const QByteArray &bytes) override
    {
        calls.append(u"set %1"_s.arg(format));
        data = bytes;
        return accepts;
    }
};

}  // namespace

class TestUnicodeClipboard : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(u"torvane.ui.warning=true"_s); }  // off by default

    void copyBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepts");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("placed");
        QTest::newRow("Polish: UTF-16, then a NUL") << u"Łą"_s << true << QByteArray("\x41\x01\x05\x01\0", 6) << true;
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
        auto *backend = new RecordingBackend;
        backend->accepts = accepts;
        UnicodeClipboard clipboard{std::unique_ptr<ClipboardBackend>(backend)};
        QCOMPARE(clipboard.CopyUnicodeText(text), placed);
        QCOMPARE(backend->data, bytes);
        QCOMPARE(backend->calls.join(u','), text.isEmpty() ? u"open,empty,close"_s : u"open,empty,set 13,close"_s);
        QVERIFY(!clipboard.ClipboardOpen());
    }

    void openRefused()
    {
        QTest::ignoreMessage(QtWarningMsg, "Clipboard: cannot be opened for window 0 (the system refused)");
        auto *backend = new RecordingBackend;
        backend->opens = false;
        UnicodeClipboard clipboard{std::unique_ptr<ClipboardBackend>(backend)};
        QVERIFY_THROWS_EXCEPTION(ClipboardError, clipboard.CopyUnicodeText(u"x"_s));
        // Still closed: placing data now fails before it reaches the system.
        QTest::ignoreMessage(QtWarningMsg, "Clipboard: placing format 1 (text) while the clipboard is not open");
        QVERIFY_THROWS_EXCEPTION(ClipboardError, clipboard.SetClipboardData(kFormatText, "a"));
        QCOMPARE(backend->calls, QStringList{u"open"_s});
    }

    void reachesSystemClipboard()
    {
        const QString text = u"Łódź, Москва, 東京都 \U0001F4E1"_s;
        QVERIFY(CopyUnicodeText(text));
        QCOMPARE(QGuiApplication::clipboard()->text(), text);
    }
};

QTEST_MAIN(TestUnicodeClipboard)
#include "tst_unicodeclipboard.moc"
