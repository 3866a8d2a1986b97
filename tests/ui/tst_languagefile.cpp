// The language file reader: shipped files, the two reading groups, version line, failures,
// and the menu lists built from the texts.

#include "ui/LanguageFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace torvane;

namespace {

const QString kVersion = u"Torvane  4.11"_s;
const QString kShippedData = QStringLiteral(TORVANE_SOURCE_DIR "/data");

/// Version line and 73 item lines "Item n = Tn".
QStringList standardLines(const QString &versionLine = u"Test file for Torvane  4.11"_s)
{
    QStringList lines{versionLine};
    for (int n = 1; n <= kLanguageItemCount; ++n)
        lines.append(u"Item%1 = T%1"_s.arg(n));
    return lines;
}

/// Previous texts "P1" ... "P73", to see which items a load left alone.
QStringList previousTexts()
{
    QStringList texts;
    for (int n = 1; n <= kLanguageItemCount; ++n)
        texts.append(u"P%1"_s.arg(n));
    return texts;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

/// Writes the file of a language into dataFolder/Languages in the language's code page,
/// each line followed by CR LF (the last one only when finalLineEnd).
void writeLanguage(const QString &dataFolder, int index, const QStringList &lines,
                   bool finalLineEnd = true)
{
    const LanguageEntry entry = *languageEntry(index);
    QString text = lines.join(u"\r\n"_s);
    if (finalLineEnd && !lines.isEmpty())
        text += u"\r\n"_s;
    writeBytes(languageFilePath(dataFolder, entry.fileName), toCodePage(text, entry.codePage));
}

/// Random bytes without line ends.
QByteArray noise(int size)
{
    QByteArray bytes;
    for (quint32 state = 12345; bytes.size() < size;) {
        state = state * 1103515245u + 12345u;
        const char c = static_cast<char>(state >> 24);
        if (c != '\r' && c != '\n')
            bytes.append(c);
    }
    return bytes;
}

}  // namespace

class TestLanguageFile : public QObject {
    Q_OBJECT

private slots:
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
        QTest::newRow("Polish source header") << 5 << 3 << u"  Źródło: "_s;
        QTest::newRow("Japanese own name") << 6 << 26 << u"日本語"_s;
    }

    void shippedFiles()
    {
        QFETCH(int, index);
        QFETCH(int, item);
        QFETCH(QString, expected);

        // 74 lines, each ending in CR LF, nothing else.
        QFile file(languageFilePath(kShippedData, languageEntry(index)->fileName));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const qsizetype lines = kLanguageItemCount + 1;
        QVERIFY(bytes.endsWith("\r\n") && bytes.count("\r\n") == lines && bytes.count('\r') == lines
                && bytes.count('\n') == lines);

        const LanguageLoad load = loadLanguage(kShippedData, index, kVersion, {});
        QVERIFY(load.notices.isEmpty());
        QVERIFY(load.refreshCaptions);
        QCOMPARE(load.itemsRead, kLanguageItemCount);
        QCOMPARE(languageItem(load.texts, item), expected);
        for (int n = 1; n <= kLanguageItemCount; ++n) {
            const QString text = languageItem(load.texts, n);
            QVERIFY2(!text.trimmed().isEmpty(), qPrintable(u"item %1 empty"_s.arg(n)));
            QVERIFY2(!text.contains(QChar(0xFFFD)), qPrintable(u"item %1 undecodable"_s.arg(n)));
        }
        QVERIFY(languageItem(load.texts, 28).endsWith(u"\r\n"_s + languageItem(load.texts, 29)));
        // Placeholders the program replaces.
        for (const int n : {42, 58, 61})
            QVERIFY2(languageItem(load.texts, n).contains(u"???"_s), qPrintable(QString::number(n)));
        for (const int n : {51, 71})
            QVERIFY2(languageItem(load.texts, n).contains(u"***"_s), qPrintable(QString::number(n)));

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

        auto row = [](const char *name, int index, int item, const QString &line,
                      const QString &expected) {
            QTest::newRow(name) << index << item << line << expected;
        };
        row("A second equals keeps only the last part", 0, 5, u"Label = a = b"_s, u"b"_s);
        row("A no equals gives the trimmed line", 0, 5, u"  Just text  "_s, u"Just text"_s);
        row("A nothing after equals", 0, 5, u"Label =   "_s, QString());
        row("B second equals kept", 5, 5, u"Label = a = b"_s, u"a = b"_s);
        row("B no blank after equals loses a character", 5, 5, u"Label=Text"_s, u"ext"_s);
        row("B no equals gives the whole line", 5, 5, u"Just text"_s, u"Just text"_s);
        row("B blanks kept", 5, 5, u"Label =   Text  "_s, u"  Text  "_s);
        row("B nothing after equals", 5, 5, u"Label ="_s, QString());
        row("B Japanese without blank", 6, 5, u"Label=日本語"_s, u"本語"_s);
        // Items stored with the blanks the user interface expects.
        row("A item 2", 0, 2, u"Setup = x"_s, u"  x  "_s);
        row("B item 3", 5, 3, u"Source = x"_s, u"  x "_s);
        row("B item 28 joined with 29", 5, 28, u"Help = x"_s, u"x\r\nT29"_s);
        row("B item 38", 5, 38, u"Not found = x"_s, u"  x"_s);
    }

    void itemText()
    {
        QFETCH(int, index);
        QFETCH(int, item);
        QFETCH(QString, line);
        QFETCH(QString, expected);

        QTemporaryDir dir;
        QStringList lines = standardLines();
        lines[item] = line;
        writeLanguage(dir.path(), index, lines);
        const LanguageLoad load = loadLanguage(dir.path(), index, kVersion, {});
        QCOMPARE(load.itemsRead, kLanguageItemCount);
        QCOMPARE(languageItem(load.texts, item), expected);
        QCOMPARE(languageItem(load.texts, item + 1), storedItemText(item + 1, u"T%1"_s.arg(item + 1)));
    }

    void versionLine_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("versionLine");
        QTest::addColumn<bool>("versionError");
        QTest::addColumn<bool>("loadError");

        QTest::newRow("A title in front") << 0 << u"Deutsch - Torvane  4.11"_s << false << false;
        QTest::newRow("A older version") << 0 << u"Torvane  4.10"_s << true << false;
        QTest::newRow("A trailing blank") << 0 << u"Torvane  4.11 "_s << true << false;
        QTest::newRow("A name again after it") << 0 << u"Torvane  4.11 Torvane"_s << true << false;
        QTest::newRow("A name in lower case") << 0 << u"torvane  4.11"_s << false << true;
        QTest::newRow("B trailing blank") << 5 << u"Torvane  4.11 "_s << true << false;
        QTest::newRow("B no program name") << 5 << u"Language file 4.11"_s << false << true;
    }

    void versionLine()
    {
        QFETCH(int, index);
        QFETCH(QString, versionLine);
        QFETCH(bool, versionError);
        QFETCH(bool, loadError);

        QTemporaryDir dir;
        writeLanguage(dir.path(), index, standardLines(versionLine));
        const LanguageLoad load = loadLanguage(dir.path(), index, kVersion, previousTexts());
        QCOMPARE(load.versionError, versionError);
        QCOMPARE(load.loadError, loadError);
        QCOMPARE(load.notices.size(), int(versionError) + int(loadError));
        QCOMPARE(load.refreshCaptions, !loadError);
        // A wrong version is only reported; a line without the name stops the load at once.
        QCOMPARE(load.itemsRead, loadError ? 0 : kLanguageItemCount);
        QCOMPARE(languageItem(load.texts, 73), loadError ? u"P73"_s : u"T73"_s);
    }

    void noticeOrder()
    {
        // Wrong version and one item short: both boxes in the file's language, version first.
        QTemporaryDir dir;
        writeLanguage(dir.path(), 5, standardLines(u"Torvane  4.10"_s).mid(0, 73));
        const LanguageLoad load = loadLanguage(dir.path(), 5, kVersion, {});
        QCOMPARE(load.notices.size(), 2);
        QCOMPARE(load.notices[0].prompt, u"Wersja niewlasciwy jezyk plik."_s);
        QCOMPARE(load.notices[1].prompt, u"Nie znaleziono pliku jezykowego lub uszkodzone"_s);
    }

    void shortFile_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<bool>("finalLineEnd");
        QTest::addColumn<int>("itemsRead");

        QTest::newRow("A one item missing") << 0 << 73 << true << 72;
        QTest::newRow("B one item missing") << 5 << 73 << true << 72;
        QTest::newRow("B one item missing, no final line end") << 5 << 73 << false << 72;
        QTest::newRow("A complete without final line end") << 0 << 74 << false << 73;
        QTest::newRow("B complete without final line end") << 5 << 74 << false << 73;
        QTest::newRow("A stops between items 28 and 29") << 0 << 29 << true << 28;
        QTest::newRow("A version line only") << 0 << 1 << true << 0;
        QTest::newRow("B extra lines ignored") << 5 << 80 << true << 73;
    }

    void shortFile()
    {
        QFETCH(int, index);
        QFETCH(int, lineCount);
        QFETCH(bool, finalLineEnd);
        QFETCH(int, itemsRead);

        QTemporaryDir dir;
        QStringList lines = standardLines();
        while (lines.size() < lineCount)
            lines.append(u"Extra = X"_s);
        writeLanguage(dir.path(), index, lines.mid(0, lineCount), finalLineEnd);
        const LanguageLoad load = loadLanguage(dir.path(), index, kVersion, previousTexts());

        const bool complete = itemsRead == kLanguageItemCount;
        QCOMPARE(load.itemsRead, itemsRead);
        QCOMPARE(load.loadError, !complete);
        QCOMPARE(load.refreshCaptions, complete);
        for (int n = 1; n <= kLanguageItemCount; ++n) {
            QString expected = u"P%1"_s.arg(n);
            if (n <= itemsRead)
                expected = storedItemText(n, u"T%1"_s.arg(n));
            if (n == 28 && itemsRead >= 29)
                expected += u"\r\nT29"_s;
            QCOMPARE(languageItem(load.texts, n), expected);
        }
    }

    void unreadableFile_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("prompt");

        const QString polish = u"Nie znaleziono pliku jezykowego lub uszkodzone"_s;
        QTest::newRow("no file") << 5 << u"nofile"_s << polish;
        QTest::newRow("empty file") << 5 << u"empty"_s << polish;
        QTest::newRow("folder in place of the file") << 3 << u"folder"_s
                                                     << u"Fichier langage non trouvé ou corrompu."_s;
        QTest::newRow("index above the table") << 7 << u"nofile"_s
                                               << u"Language file not found or corrupt"_s;
    }

    void unreadableFile()
    {
        QFETCH(int, index);
        QFETCH(QString, setup);
        QFETCH(QString, prompt);

        QTemporaryDir dir;
        const QString dataFolder = dir.path();
        if (setup == u"empty")
            writeBytes(languageFilePath(dataFolder, languageEntry(index)->fileName), QByteArray());
        else if (setup == u"folder")
            QDir().mkpath(languageFilePath(dataFolder, languageEntry(index)->fileName));
        else
            QDir().mkpath(dataFolder + u"/Languages"_s);

        const LanguageLoad load = loadLanguage(dataFolder, index, kVersion, previousTexts());
        QVERIFY(load.loadError && !load.refreshCaptions);
        QCOMPARE(load.texts, previousTexts());
        QCOMPARE(load.notices.size(), 1);
        QCOMPARE(load.notices[0].prompt, prompt);
    }

    void binaryFile()
    {
        // One language of each code page: the version line, then one long line of bytes.
        for (const int index : {0, 5, 6}) {
            QTemporaryDir dir;
            writeBytes(languageFilePath(dir.path(), languageEntry(index)->fileName),
                       "Torvane  4.11\r\n" + noise(8192));
            const LanguageLoad load = loadLanguage(dir.path(), index, kVersion, previousTexts());
            QVERIFY(load.loadError);
            QCOMPARE(load.itemsRead, 1);
            QCOMPARE(languageItem(load.texts, 2), u"P2"_s);
        }
    }

    void switchingBackGivesSameTexts()
    {
        const LanguageLoad french = loadLanguage(kShippedData, 3, kVersion, {});
        const LanguageLoad polish = loadLanguage(kShippedData, 5, kVersion, french.texts);
        const LanguageLoad again = loadLanguage(kShippedData, 3, kVersion, polish.texts);
        QCOMPARE(again.texts, french.texts);
        QVERIFY(polish.texts != french.texts);

        // A failed load keeps the language shown before.
        QTemporaryDir empty;
        const LanguageLoad failed = loadLanguage(empty.path(), 5, kVersion, french.texts);
        QVERIFY(failed.loadError);
        QCOMPARE(failed.texts, french.texts);
    }

    void menuLists()
    {
        QStringList texts;
        for (int n = 1; n <= kLanguageItemCount; ++n)
            texts.append(u"T%1"_s.arg(n));
        texts[14] = u"Print|label"_s;  // item 15: a bar would split the entry
        const MenuLists menus = fillMenuLists(texts, 0, 0);
        QCOMPARE(menus.ucMnuSetup, u"T11|T10>|T64|T17|T18|T1>|T8|T9"_s);
        QCOMPARE(menus.ucMnuSaveAdd, u"T14|Print/label"_s);
        QCOMPARE(menus.ucMnuSavePic, u"T13|T12"_s);

        // Empty texts still give every entry, so the entry numbers stay right.
        QCOMPARE(fillMenuLists({}, 0, 0).ucMnuSetup, u"|>||||>||"_s);
    }

    void menuChecks_data()
    {
        QTest::addColumn<int>("currentSource");
        QTest::addColumn<int>("languageIndex");
        QTest::addColumn<int>("sourceChecked");
        QTest::addColumn<int>("languageChecked");

        QTest::newRow("last entries") << 4 << 6 << 4 << 6;
        QTest::newRow("past the lists") << 5 << 7 << -1 << -1;
        QTest::newRow("negative") << -1 << -1 << -1 << -1;
    }

    void menuChecks()
    {
        QFETCH(int, currentSource);
        QFETCH(int, languageIndex);
        QFETCH(int, sourceChecked);
        QFETCH(int, languageChecked);

        const MenuLists menus = fillMenuLists({}, currentSource, languageIndex);
        QCOMPARE(menus.sourceChecked, sourceChecked);
        QCOMPARE(menus.languageChecked, languageChecked);
    }
};

QTEST_GUILESS_MAIN(TestLanguageFile)
#include "tst_languagefile.moc"
