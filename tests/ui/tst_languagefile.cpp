// The language file reader: shipped files in their code pages, the two reading groups, the
// version line, short and unreadable files (and their warnings), and the menu lists.

#include "ui/LanguageFile.h"

#include <QLoggingCategory>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace torvane;

namespace {

const QString kVersion = u"Torvane  4.11"_s;
const QString kShippedData = QStringLiteral(TORVANE_SOURCE_DIR "/data");

/// A version line and the 73 item lines "Item n = Tn".
QStringList itemLines(const QString &versionLine = u"Test file for Torvane  4.11"_s)
{
    QStringList lines{versionLine};
    for (int n = 1; n <= kLanguageItemCount; ++n)
        lines.append(u"Item%1 = T%1"_s.arg(n));
    return lines;
}

/// Loads language index from a fresh data folder, over the texts "P1" ... "P73" of an earlier
/// load. The file holds lines (CR LF after each, the last only when finalLineEnd) in the code
/// page Polish (5) and Japanese (6) files are written in, Windows-1252 for the others; raw
/// bytes take the place of the lines when given; with neither, there is no file.
LanguageLoad loadWritten(int index, const QStringList &lines, bool finalLineEnd = true,
                         const QByteArray &raw = QByteArray())
{
    QTemporaryDir dir;
    const QString path = languageFilePath(dir.path(), languageEntry(index)->fileName);
    QDir().mkpath(QFileInfo(path).absolutePath());
    const CodePage page = index == 5 ? CodePage::Windows1250
                        : index == 6 ? CodePage::Windows932 : CodePage::Windows1252;
    const QString text = lines.join(u"\r\n"_s) + (finalLineEnd ? u"\r\n"_s : QString());
    QFile file(path);
    if ((!raw.isNull() || !lines.isEmpty()) && file.open(QIODevice::WriteOnly))
        file.write(raw.isNull() ? toCodePage(text, page) : raw);
    file.close();
    QStringList previous;
    for (int n = 1; n <= kLanguageItemCount; ++n)
        previous.append(u"P%1"_s.arg(n));
    return loadLanguage(dir.path(), index, kVersion, previous);
}

}  // namespace

class TestLanguageFile : public QObject {
    Q_OBJECT

private slots:
    // The warnings are off unless asked for, as an operator does for a report.
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("torvane.ui.warning=true")); }
    // Each language read in its own code page: a wrong one garbles the accented item.
    void shippedFiles_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("expected");
        QTest::newRow("English setup header") << 0 << 2 << u"  Setup  "_s;
        QTest::newRow("Spanish kilometres") << 1 << 41 << u"Kilómetros"_s;
        QTest::newRow("German close") << 2 << 69 << u"Schließen"_s;
        QTest::newRow("French about") << 3 << 9 << u"À propos de Torvane"_s;
        QTest::newRow("Dutch copy picture") << 4 << 13 << u"Afbeelding kopiëren"_s;
        QTest::newRow("Polish source header, Windows-1250") << 5 << 3 << u"  Źródło: "_s;
        QTest::newRow("Japanese own name, Shift-JIS") << 6 << 26 << u"日本語"_s;
    }
    void shippedFiles()
    {
        QFETCH(int, index);
        QFETCH(int, item);
        QFETCH(QString, expected);
        const LanguageLoad load = loadLanguage(kShippedData, index, kVersion, {});
        QVERIFY(load.notices.isEmpty());
        QCOMPARE(load.itemsRead, 73);
        QCOMPARE(languageItem(load.texts, item), expected);
        for (int n = 1; n <= kLanguageItemCount; ++n) {
            const QString text = languageItem(load.texts, n);
            QVERIFY2(!text.trimmed().isEmpty() && !text.contains(QChar(0xFFFD)),
                     qPrintable(u"item %1"_s.arg(n)));
        }
        // Menu texts must not carry the menu control's markers; only the two sub-menus have ">".
        const MenuLists menus = fillMenuLists(load.texts, 0, index);
        const QString all = QStringList{menus.ucMnuMaps, menus.ucMnuSetup, menus.ucMnuLanguage,
                                        menus.ucMnuSaveAdd, menus.ucMnuSavePic}.join(u'|');
        QVERIFY2(!all.contains(u'=') && all.count(u'>') == 2, qPrintable(all));
    }

    void itemText_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expected");
        QTest::newRow("A second equals keeps only the last part") << 0 << 5 << u"Label = a = b"_s << u"b"_s;
        QTest::newRow("A no equals gives the trimmed line") << 0 << 5 << u"  Just text  "_s << u"Just text"_s;
        QTest::newRow("A nothing after equals") << 0 << 5 << u"Label =   "_s << QString();
        QTest::newRow("B second equals kept") << 5 << 5 << u"Label = a = b"_s << u"a = b"_s;
        QTest::newRow("B no blank after equals loses a character") << 5 << 5 << u"Label=Text"_s << u"ext"_s;
        QTest::newRow("B no equals gives the whole line") << 5 << 5 << u"Just text"_s << u"Just text"_s;
        QTest::newRow("B blanks kept") << 5 << 5 << u"Label =   Text  "_s << u"  Text  "_s;
        QTest::newRow("B Japanese without blank") << 6 << 5 << u"Label=日本語"_s << u"本語"_s;
        QTest::newRow("B item 28 joined with 29") << 5 << 28 << u"Help = x"_s << u"x\r\nT29"_s;
    }
    void itemText()
    {
        QFETCH(int, index);
        QFETCH(int, item);
        QFETCH(QString, line);
        QFETCH(QString, expected);
        QStringList lines = itemLines();
        lines[item] = line;
        const LanguageLoad load = loadWritten(index, lines);
        QCOMPARE(load.itemsRead, 73);
        QCOMPARE(languageItem(load.texts, item), expected);
    }

    // The version line, then as many item lines as the file holds.
    void load_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("versionLine");
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<bool>("finalLineEnd");
        QTest::addColumn<int>("itemsRead");
        QTest::addColumn<bool>("versionError");
        QTest::addColumn<QString>("warning");
        const QString ok = u"Test file for Torvane  4.11"_s;
        const QString noName = u"first line names no Torvane version"_s;
        QTest::newRow("A title in front") << 0 << u"Deutsch - Torvane  4.11"_s << 74 << true << 73 << false << QString();
        QTest::newRow("A older version: read all the same") << 0 << u"Torvane  4.10"_s << 74 << true << 73 << true << QString();
        QTest::newRow("A trailing blank") << 0 << u"Torvane  4.11 "_s << 74 << true << 73 << true << QString();
        QTest::newRow("A name again after it") << 0 << u"Torvane  4.11 Torvane"_s << 74 << true << 73 << true << QString();
        QTest::newRow("A name in lower case: unusable") << 0 << u"torvane  4.11"_s << 74 << true << 0 << false << noName;
        QTest::newRow("B no program name: unusable") << 5 << u"Language file 4.11"_s << 74 << true << 0 << false << noName;
        QTest::newRow("A one item missing") << 0 << ok << 73 << true << 72 << false << u"ends after item 72 of 73"_s;
        QTest::newRow("B one item missing") << 5 << ok << 73 << true << 72 << false << u"ends after item 72 of 73"_s;
        QTest::newRow("B one item missing, no final line end") << 5 << ok << 73 << false << 72 << false
                                                               << u"ends after item 72 of 73"_s;
        QTest::newRow("A complete without final line end") << 0 << ok << 74 << false << 73 << false << QString();
        QTest::newRow("B complete without final line end") << 5 << ok << 74 << false << 73 << false << QString();
        QTest::newRow("A stops between items 28 and 29") << 0 << ok << 29 << true << 28 << false
                                                         << u"ends after item 28 of 73"_s;
        QTest::newRow("A version line only") << 0 << ok << 1 << true << 0 << false << u"ends after item 0 of 73"_s;
        QTest::newRow("B extra lines ignored") << 5 << ok << 80 << true << 73 << false << QString();
    }
    void load()
    {
        QFETCH(int, index);
        QFETCH(QString, versionLine);
        QFETCH(int, lineCount);
        QFETCH(bool, finalLineEnd);
        QFETCH(int, itemsRead);
        QFETCH(bool, versionError);
        QFETCH(QString, warning);
        if (!warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"\\.Language cannot be used: .*"_s + warning));
        QStringList lines = itemLines(versionLine);
        while (lines.size() < lineCount)
            lines.append(u"Extra = X"_s);
        const LanguageLoad load = loadWritten(index, lines.mid(0, lineCount), finalLineEnd);
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
            QCOMPARE(languageItem(load.texts, itemsRead + 1), u"P%1"_s.arg(itemsRead + 1));
    }

    void noticesInTheFilesLanguage()
    {
        // Wrong version and one item short: both boxes in Polish, the version first.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"ends after item 72 of 73"_s));
        const LanguageLoad load = loadWritten(5, itemLines(u"Torvane  4.10"_s).mid(0, 73));
        QCOMPARE(load.notices.size(), 2);
        QCOMPARE(load.notices[0].prompt, u"Wersja niewlasciwy jezyk plik."_s);
        QCOMPARE(load.notices[1].prompt, u"Nie znaleziono pliku jezykowego lub uszkodzone"_s);
    }

    void unreadableFile_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("bytes");  // null: no file
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<QString>("prompt");
        const QString polish = u"Nie znaleziono pliku jezykowego lub uszkodzone"_s;
        const QByteArray noise = QByteArray::fromHex("8183889098a0ad").repeated(1000);  // no line ends
        QTest::newRow("no file") << 5 << QByteArray()
                                 << QStringList{u"Torvane_Polish.Language cannot be read: no such file"_s} << polish;
        QTest::newRow("empty file") << 5 << QByteArray("")
                                    << QStringList{u"Torvane_Polish.Language cannot be used: the file is empty"_s} << polish;
        QTest::newRow("Polish noise") << 5 << "Torvane  4.11\r\n" + noise
                                      << QStringList{u"not valid Windows-1250 text: undecodable bytes in line 2"_s,
                                                     u"ends after item 1 of 73"_s} << polish;
        QTest::newRow("Japanese noise") << 6 << "Torvane  4.11\r\n" + noise
                                        << QStringList{u"Torvane_Japanese.Language is not valid Windows-932"_s,
                                                       u"ends after item 1 of 73"_s}
                                        << u"Language file not found or corrupt"_s;
        QTest::newRow("index above the table") << 7 << QByteArray() << QStringList()
                                               << u"Language file not found or corrupt"_s;
    }
    void unreadableFile()
    {
        QFETCH(int, index);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, warnings);
        QFETCH(QString, prompt);
        for (const QString &warning : warnings)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(warning)));
        const LanguageLoad load = index < kLanguageCount ? loadWritten(index, {}, false, bytes)
                                                         : loadLanguage(kShippedData, index, kVersion, {});
        QVERIFY(load.loadError && !load.refreshCaptions);
        QCOMPARE(load.notices.size(), 1);
        QCOMPARE(load.notices[0].prompt, prompt);
        if (index < kLanguageCount)
            QCOMPARE(languageItem(load.texts, 2), u"P2"_s);
    }

    void switchingBackGivesSameTexts()
    {
        const LanguageLoad french = loadLanguage(kShippedData, 3, kVersion, {});
        const LanguageLoad polish = loadLanguage(kShippedData, 5, kVersion, french.texts);
        const LanguageLoad again = loadLanguage(kShippedData, 3, kVersion, polish.texts);
        QCOMPARE(again.texts, french.texts);
        QVERIFY(polish.texts != french.texts);
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
