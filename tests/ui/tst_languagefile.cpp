// The language file reader: code pages, reading groups, version line, short or unreadable files.

#include "ui/LanguageFile.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace torvane;

namespace {

const QString kVersion = u"Torvane  4.11"_s;
const QString kOk = u"Test file for Torvane  4.11"_s;

/// A file of lineCount lines: the version line, then "Itemn = Tn", or `line` for item `item`;
/// CR LF after each line, after the last only when finalLineEnd.
QByteArray file(const QString &versionLine, int lineCount = 74, bool finalLineEnd = true, int item = 0,
                const QString &line = {})
{
    QStringList lines{versionLine};
    for (int n = 1; n < lineCount; ++n)
        lines.append(n == item ? line : u"Item%1 = T%1"_s.arg(n));
    return (lines.join(u"\r\n"_s) + (finalLineEnd ? u"\r\n"_s : QString())).toLatin1();
}

/// Loads language index from a fresh data folder whose file holds bytes (no file when null),
/// over the texts "P" of an earlier load.
LanguageLoad loadWritten(int index, const QByteArray &bytes)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + u"/Languages"_s);
    QFile out(languageFilePath(dir.path(), index < kLanguageCount ? languageEntry(index)->fileName : QString()));
    if (!bytes.isNull() && out.open(QIODevice::WriteOnly))
        out.write(bytes);
    out.close();
    return loadLanguage(dir.path(), index, kVersion, QStringList(kLanguageItemCount, u"P"_s));
}

}  // namespace

class TestLanguageFile : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(u"torvane.ui.warning=true"_s); }  // off by default

    // Shipped files, one per code page (a wrong one garbles the accented item), and written
    // lines (null: the shipped file) read by each group's rules.
    void itemText_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expected");
        QTest::newRow("shipped French, Windows-1252") << 3 << 9 << QString() << u"À propos de Torvane"_s;
        QTest::newRow("shipped Polish, Windows-1250") << 5 << 3 << QString() << u"  Źródło: "_s;
        QTest::newRow("shipped Japanese, Shift-JIS") << 6 << 26 << QString() << u"日本語"_s;
        QTest::newRow("A last equals, trimmed") << 0 << 5 << u"Label = a =  b  "_s << u"b"_s;
        QTest::newRow("A no equals gives the trimmed line") << 0 << 5 << u"  Just text  "_s << u"Just text"_s;
        QTest::newRow("B first equals, one dropped, blanks kept") << 5 << 5 << u"L =  a = b "_s << u" a = b "_s;
        QTest::newRow("B no equals gives the whole line") << 5 << 5 << u"Just text"_s << u"Just text"_s;
        QTest::newRow("B item 28 joined with 29") << 5 << 28 << u"Help = x"_s << u"x\r\nT29"_s;
    }
    void itemText()
    {
        QFETCH(int, index);
        QFETCH(int, item);
        QFETCH(QString, line);
        QFETCH(QString, expected);
        const LanguageLoad load = line.isNull() ? loadLanguage(TORVANE_SOURCE_DIR "/data"_L1, index, kVersion, {})
                                                : loadWritten(index, file(kOk, 74, true, item, line));
        QVERIFY(load.notices.isEmpty());
        QCOMPARE(load.itemsRead, 73);
        QCOMPARE(languageItem(load.texts, item), expected);
    }

    // The version line, then as many item lines as the file holds; or no file to read.
    void load_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("bytes");  // null: no file
        QTest::addColumn<int>("itemsRead");
        QTest::addColumn<bool>("versionError");
        QTest::addColumn<QString>("warning");
        const QString none, short72 = u"cannot be used: it ends after item 72 of 73"_s;
        QTest::newRow("A name twice: last counts") << 0 << file(u"Torvane by Torvane  4.11"_s) << 73 << false << none;
        QTest::newRow("A trailing blank: reported, still read") << 0 << file(u"Torvane  4.11 "_s) << 73 << true << none;
        QTest::newRow("A name in lower case: unusable") << 0 << file(u"torvane  4.11"_s) << 0 << false
                                                        << u"first line names no Torvane version"_s;
        QTest::newRow("A one item missing") << 0 << file(kOk, 73) << 72 << false << short72;
        QTest::newRow("B one item missing") << 5 << file(kOk, 73) << 72 << false << short72;
        QTest::newRow("A complete without final line end") << 0 << file(kOk, 74, false) << 73 << false << none;
        QTest::newRow("B complete without final line end") << 5 << file(kOk, 74, false) << 73 << false << none;
        QTest::newRow("B extra lines ignored") << 5 << file(kOk, 80) << 73 << false << none;
        QTest::newRow("B byte outside the code page: warned") << 5 << file(u"Torvane  4.11\x81"_s) << 73 << true
                                                              << u"not valid Windows-1250 text: undecodable"_s;
        QTest::newRow("no file: warned") << 5 << QByteArray() << 0 << false << u"cannot be read: no such file"_s;
        QTest::newRow("empty file") << 5 << QByteArray("") << 0 << false << u"cannot be used: the file is empty"_s;
        QTest::newRow("index above the table") << 7 << QByteArray() << 0 << false << none;
    }
    void load()
    {
        QFETCH(int, index);
        QFETCH(QByteArray, bytes);
        QFETCH(int, itemsRead);
        QFETCH(bool, versionError);
        QFETCH(QString, warning);
        if (!warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(warning)));
        const LanguageLoad load = loadWritten(index, bytes);
        const bool loadError = itemsRead < 73;
        QCOMPARE(load.itemsRead, itemsRead);
        QCOMPARE(load.versionError, versionError);
        QCOMPARE(load.loadError, loadError);
        QCOMPARE(load.notices.size(), int(versionError) + int(loadError));
        QCOMPARE(load.refreshCaptions, !loadError);
        // Items read take the file's text; the rest keep the earlier load's.
        if (itemsRead > 0)
            QCOMPARE(languageItem(load.texts, itemsRead), u"T%1"_s.arg(itemsRead));
        if (loadError)
            QCOMPARE(languageItem(load.texts, itemsRead + 1), u"P"_s);
    }

    void menuLists()
    {
        QStringList texts(kLanguageItemCount, u"T"_s);
        texts[13] = u"Copy"_s;
        texts[14] = u"Print|label"_s;  // item 15: a bar would split the entry in two
        QCOMPARE(fillMenuLists(texts, 0, 0).ucMnuSaveAdd, u"Copy|Print/label"_s);
    }
};

QTEST_GUILESS_MAIN(TestLanguageFile)
#include "tst_languagefile.moc"
