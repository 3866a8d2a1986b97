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

QByteArray noise(int size, bool withLineEnds)
{
    QByteArray bytes;
    quint32 state = 12345;
    while (bytes.size() < size) {
        state = state * 1103515245u + 12345u;
        const char c = static_cast<char>(state >> 24);
        if (!withLineEnds && (c == '\r' || c == '\n'))
            continue;
        bytes.append(c);
    }
    return bytes;
}

}  // namespace

class TestLanguageFile : public QObject {
    Q_OBJECT

private slots:
    void shippedFileTexts_data();
    void shippedFileTexts();
    void shippedFileShape_data();
    void shippedFileShape();
    void itemText_data();
    void itemText();
    void storedBlanks_data();
    void storedBlanks();
    void versionLine_data();
    void versionLine();
    void noticeTexts_data();
    void noticeTexts();
    void shortFile_data();
    void shortFile();
    void unreadableFile_data();
    void unreadableFile();
    void binaryFile_data();
    void binaryFile();
    void wrongCodePage_data();
    void wrongCodePage();
    void switchingBackGivesSameTexts();
    void menuLists_data();
    void menuLists();
    void menuChecks_data();
    void menuChecks();
};

void TestLanguageFile::shippedFileTexts_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("expected");

    QTest::newRow("English language menu") << 0 << 1 << u"Language"_s;
    QTest::newRow("English setup header") << 0 << 2 << u"  Setup  "_s;
    QTest::newRow("English source header") << 0 << 3 << u"  Source: "_s;
    QTest::newRow("Spanish setup header") << 1 << 2 << u"  Configuración  "_s;
    QTest::newRow("Spanish kilometres") << 1 << 41 << u"Kilómetros"_s;
    QTest::newRow("German close") << 2 << 69 << u"Schließen"_s;
    QTest::newRow("German about") << 2 << 9 << u"Über Torvane"_s;
    QTest::newRow("French about") << 3 << 9 << u"À propos de Torvane"_s;
    QTest::newRow("French source header") << 3 << 3 << u"  Source : "_s;
    QTest::newRow("Dutch copy picture") << 4 << 13 << u"Afbeelding kopiëren"_s;
    QTest::newRow("Polish language menu") << 5 << 1 << u"Język"_s;
    QTest::newRow("Polish source header") << 5 << 3 << u"  Źródło: "_s;
    QTest::newRow("Polish longitude") << 5 << 32 << u"Długość"_s;
    QTest::newRow("Polish connecting") << 5 << 33 << u"Łączenie..."_s;
    QTest::newRow("Polish own name") << 5 << 25 << u"Polski"_s;
    QTest::newRow("Japanese own name") << 6 << 26 << u"日本語"_s;
    QTest::newRow("Japanese close") << 6 << 69 << u"閉じる"_s;
    QTest::newRow("Japanese logged in") << 6 << 66 << u"ログイン済み"_s;
    QTest::newRow("Japanese map marker") << 6 << 27 << u" 自局 "_s;
    QTest::newRow("Japanese not found") << 6 << 38 << u"  見つかりません"_s;
}

void TestLanguageFile::shippedFileTexts()
{
    QFETCH(int, index);
    QFETCH(int, item);
    QFETCH(QString, expected);

    const LanguageLoad load = loadLanguage(kShippedData, index, kVersion, {});
    QVERIFY(!load.versionError);
    QVERIFY(!load.loadError);
    QVERIFY(load.notices.isEmpty());
    QVERIFY(load.refreshCaptions);
    QCOMPARE(load.itemsRead, kLanguageItemCount);
    QCOMPARE(languageItem(load.texts, item), expected);
}

void TestLanguageFile::shippedFileShape_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < kLanguageCount; ++i)
        QTest::newRow(qPrintable(languageEntry(i)->fileName)) << i;
}

void TestLanguageFile::shippedFileShape()
{
    QFETCH(int, index);
    const LanguageEntry entry = *languageEntry(index);

    // 74 lines, each ending in CR LF, nothing else.
    QFile file(languageFilePath(kShippedData, entry.fileName));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.endsWith("\r\n"));
    QCOMPARE(bytes.count("\r\n"), qsizetype(kLanguageItemCount + 1));
    QCOMPARE(bytes.count('\r'), qsizetype(kLanguageItemCount + 1));
    QCOMPARE(bytes.count('\n'), qsizetype(kLanguageItemCount + 1));

    const LanguageLoad load = loadLanguage(kShippedData, index, kVersion, {});
    QCOMPARE(load.itemsRead, kLanguageItemCount);
    for (int n = 1; n <= kLanguageItemCount; ++n) {
        const QString text = languageItem(load.texts, n);
        QVERIFY2(!text.trimmed().isEmpty(), qPrintable(u"item %1 empty"_s.arg(n)));
        QVERIFY2(!text.contains(QChar(0xFFFD)), qPrintable(u"item %1 undecodable"_s.arg(n)));
    }
    // The setup explanation is two lines.
    QVERIFY(languageItem(load.texts, 28).endsWith(u"\r\n"_s + languageItem(load.texts, 29)));
    // Placeholders the program replaces.
    for (const int n : {42, 58, 61})
        QVERIFY2(languageItem(load.texts, n).contains(u"???"_s), qPrintable(QString::number(n)));
    for (const int n : {51, 71})
        QVERIFY2(languageItem(load.texts, n).contains(u"***"_s), qPrintable(QString::number(n)));

    // Menu texts must not carry the menu control's markers.
    const MenuLists menus = fillMenuLists(load.texts, 0, index);
    QCOMPARE(menus.ucMnuSetup.split(u'|').size(), 8);
    QCOMPARE(menus.ucMnuSetup.count(u'>'), 2);
    QCOMPARE(menus.ucMnuMaps.split(u'|').size(), 4);
    QCOMPARE(menus.ucMnuLanguage.split(u'|').size(), kLanguageCount);
    for (const QString &list : {menus.ucMnuMaps, menus.ucMnuLanguage, menus.ucMnuSaveAdd,
                                menus.ucMnuSavePic}) {
        QVERIFY2(!list.contains(u'>') && !list.contains(u'='), qPrintable(list));
    }
    QVERIFY(!menus.ucMnuSetup.contains(u'='));
}

void TestLanguageFile::itemText_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");

    QTest::newRow("A plain") << 0 << u"Label = Text"_s << u"Text"_s;
    QTest::newRow("A second equals keeps only the last part") << 0 << u"Label = a = b"_s << u"b"_s;
    QTest::newRow("A no blank after equals") << 0 << u"Label=Text"_s << u"Text"_s;
    QTest::newRow("A no equals gives the trimmed line") << 0 << u"  Just text  "_s
                                                        << u"Just text"_s;
    QTest::newRow("A nothing after equals") << 0 << u"Label =   "_s << QString();
    QTest::newRow("A only blanks are trimmed") << 0 << u"Label = \tText"_s << u"\tText"_s;
    QTest::newRow("B plain") << 5 << u"Label = Text"_s << u"Text"_s;
    QTest::newRow("B second equals kept") << 5 << u"Label = a = b"_s << u"a = b"_s;
    QTest::newRow("B no blank after equals loses a character") << 5 << u"Label=Text"_s
                                                               << u"ext"_s;
    QTest::newRow("B no equals gives the whole line") << 5 << u"Just text"_s << u"Just text"_s;
    QTest::newRow("B blanks kept") << 5 << u"Label =   Text  "_s << u"  Text  "_s;
    QTest::newRow("B nothing after equals") << 5 << u"Label ="_s << QString();
    QTest::newRow("B Japanese") << 6 << u"Label = 日本語"_s << u"日本語"_s;
    QTest::newRow("B Japanese without blank") << 6 << u"Label=日本語"_s << u"本語"_s;
}

void TestLanguageFile::itemText()
{
    QFETCH(int, index);
    QFETCH(QString, line);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    QStringList lines = standardLines();
    lines[5] = line;  // item 5, stored without blanks
    writeLanguage(dir.path(), index, lines);
    const LanguageLoad load = loadLanguage(dir.path(), index, kVersion, {});
    QVERIFY(!load.loadError);
    QCOMPARE(languageItem(load.texts, 5), expected);
    QCOMPARE(languageItem(load.texts, 6), u"T6"_s);
}

void TestLanguageFile::storedBlanks_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("expected");

    for (const int index : {0, 5}) {
        const char *group = index == 0 ? "A" : "B";
        auto row = [&](int item, const QString &expected) {
            QTest::addRow("%s item %d", group, item) << index << item << expected;
        };
        row(1, u"T1"_s);
        row(2, u"  T2  "_s);
        row(3, u"  T3 "_s);
        row(4, u"T4"_s);
        row(27, u" T27 "_s);
        row(28, u"T28\r\nT29"_s);
        row(29, u"T29"_s);
        row(37, u"T37 "_s);
        row(38, u"  T38"_s);
        row(44, u"T44 "_s);
        row(73, u"T73"_s);
    }
}

void TestLanguageFile::storedBlanks()
{
    QFETCH(int, index);
    QFETCH(int, item);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    writeLanguage(dir.path(), index, standardLines());
    const LanguageLoad load = loadLanguage(dir.path(), index, kVersion, {});
    QCOMPARE(load.itemsRead, kLanguageItemCount);
    QCOMPARE(languageItem(load.texts, item), expected);
}

void TestLanguageFile::versionLine_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("versionLine");
    QTest::addColumn<bool>("versionError");
    QTest::addColumn<bool>("loadError");

    for (const int index : {0, 5}) {
        const char *group = index == 0 ? "A" : "B";
        auto row = [&](const char *name, const QString &line, bool version, bool load) {
            QTest::addRow("%s %s", group, name) << index << line << version << load;
        };
        row("exact", u"Torvane  4.11"_s, false, false);
        row("title in front", u"Deutsch - Torvane  4.11"_s, false, false);
        row("older version", u"Torvane  4.10"_s, true, false);
        row("trailing blank", u"Torvane  4.11 "_s, true, false);
        row("one blank", u"Torvane 4.11"_s, true, false);
        row("name again after it", u"Torvane  4.11 Torvane"_s, true, false);
        row("no program name", u"Language file 4.11"_s, false, true);
        row("name in lower case", u"torvane  4.11"_s, false, true);
        row("empty line", QString(), false, true);
    }
}

void TestLanguageFile::versionLine()
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

void TestLanguageFile::noticeTexts_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("versionError");
    QTest::addColumn<QString>("loadError");

    const QString englishVersion = u"Wrong language file version."_s;
    const QString englishLoad = u"Language file not found or corrupt"_s;
    QTest::newRow("English") << 0 << englishVersion << englishLoad;
    QTest::newRow("Spanish") << 1 << englishVersion << englishLoad;
    QTest::newRow("German") << 2 << englishVersion << englishLoad;
    QTest::newRow("French") << 3 << u"Mauvaise version de fichier langage."_s
                            << u"Fichier langage non trouvé ou corrompu."_s;
    QTest::newRow("Dutch") << 4 << u"Foute taalbestand versie."_s
                           << u"Taalbestand ontbreekt of corrupt."_s;
    QTest::newRow("Polish") << 5 << u"Wersja niewlasciwy jezyk plik."_s
                            << u"Nie znaleziono pliku jezykowego lub uszkodzone"_s;
    QTest::newRow("Japanese") << 6 << englishVersion << englishLoad;
}

void TestLanguageFile::noticeTexts()
{
    QFETCH(int, index);
    QFETCH(QString, versionError);
    QFETCH(QString, loadError);

    // Wrong version and one item short: both boxes, version first.
    QTemporaryDir dir;
    writeLanguage(dir.path(), index, standardLines(u"Torvane  4.10"_s).mid(0, 73));
    const LanguageLoad load = loadLanguage(dir.path(), index, kVersion, {});
    QCOMPARE(load.notices.size(), 2);
    QCOMPARE(load.notices[0].prompt, versionError);
    QCOMPARE(load.notices[1].prompt, loadError);
    for (const LanguageNotice &notice : load.notices) {
        QCOMPARE(notice.title, u"Torvane"_s);
        QCOMPARE(notice.buttonCaption, u"Ok"_s);
        QCOMPARE(notice.buttons, int16_t(64));
    }
}

void TestLanguageFile::shortFile_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<bool>("finalLineEnd");
    QTest::addColumn<int>("itemsRead");

    for (const int index : {0, 5}) {
        const char *group = index == 0 ? "A" : "B";
        auto row = [&](const char *name, int lines, bool lineEnd, int read) {
            QTest::addRow("%s %s", group, name) << index << lines << lineEnd << read;
        };
        row("60 lines", 60, true, 59);
        row("one item missing", 73, true, 72);
        row("stops between items 28 and 29", 29, true, 28);
        row("version line only", 1, true, 0);
        row("complete without final line end", 74, false, 73);
        row("one item missing, no final line end", 73, false, 72);
        row("extra lines ignored", 80, true, 73);
    }
}

void TestLanguageFile::shortFile()
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
    QVERIFY(!load.versionError);
    QCOMPARE(load.texts.size(), kLanguageItemCount);
    for (int n = 1; n <= kLanguageItemCount; ++n) {
        QString expected = u"P%1"_s.arg(n);
        if (n <= itemsRead)
            expected = storedItemText(n, u"T%1"_s.arg(n));
        if (n == 28 && itemsRead >= 29)
            expected += u"\r\nT29"_s;
        QCOMPARE(languageItem(load.texts, n), expected);
    }
}

void TestLanguageFile::unreadableFile_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("prompt");

    const QString english = u"Language file not found or corrupt"_s;
    const QString polish = u"Nie znaleziono pliku jezykowego lub uszkodzone"_s;
    QTest::newRow("no data folder") << 0 << u"nofolder"_s << english;
    QTest::newRow("no file") << 5 << u"nofile"_s << polish;
    QTest::newRow("empty file") << 5 << u"empty"_s << polish;
    QTest::newRow("folder in place of the file") << 3 << u"folder"_s
                                                 << u"Fichier langage non trouvé ou corrompu."_s;
    QTest::newRow("index above the table") << 7 << u"nofile"_s << english;
    QTest::newRow("negative index") << -1 << u"nofile"_s << english;
}

void TestLanguageFile::unreadableFile()
{
    QFETCH(int, index);
    QFETCH(QString, setup);
    QFETCH(QString, prompt);

    QTemporaryDir dir;
    QString dataFolder = dir.path();
    if (setup == u"nofolder")
        dataFolder += u"/missing"_s;
    else if (setup == u"empty")
        writeBytes(languageFilePath(dataFolder, languageEntry(index)->fileName), QByteArray());
    else if (setup == u"folder")
        QDir().mkpath(languageFilePath(dataFolder, languageEntry(index)->fileName));
    else
        QDir().mkpath(dataFolder + u"/Languages"_s);

    const LanguageLoad load = loadLanguage(dataFolder, index, kVersion, previousTexts());
    QVERIFY(load.loadError);
    QVERIFY(!load.versionError);
    QVERIFY(!load.refreshCaptions);
    QCOMPARE(load.itemsRead, 0);
    QCOMPARE(load.texts, previousTexts());
    QCOMPARE(load.notices.size(), 1);
    QCOMPARE(load.notices[0].prompt, prompt);
}

void TestLanguageFile::binaryFile_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("versionLineFirst");
    QTest::addColumn<int>("itemsRead");

    for (int index = 0; index < kLanguageCount; ++index) {
        QTest::addRow("noise, index %d", index) << index << false << 0;
        // The version line, then one long line of bytes: item 1 is read, item 2 is missing.
        QTest::addRow("version line then noise, index %d", index) << index << true << 1;
    }
}

void TestLanguageFile::binaryFile()
{
    QFETCH(int, index);
    QFETCH(bool, versionLineFirst);
    QFETCH(int, itemsRead);

    QTemporaryDir dir;
    QByteArray bytes = versionLineFirst ? QByteArray("Torvane  4.11\r\n") : QByteArray();
    bytes += noise(8192, !versionLineFirst);
    writeBytes(languageFilePath(dir.path(), languageEntry(index)->fileName), bytes);

    const LanguageLoad load = loadLanguage(dir.path(), index, kVersion, previousTexts());
    QVERIFY(load.loadError);
    QCOMPARE(load.itemsRead, itemsRead);
    QCOMPARE(load.texts.size(), kLanguageItemCount);
    QCOMPARE(languageItem(load.texts, 2), u"P2"_s);
}

void TestLanguageFile::wrongCodePage_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    // Files saved as UTF-8 keep their structure; only the non-ASCII texts come out wrong.
    QTest::newRow("Polish as UTF-8") << 5 << u"Język"_s << u"JÄ™zyk"_s;
    QTest::newRow("French as UTF-8") << 3 << u"Né"_s << u"NÃ©"_s;
    QTest::newRow("Japanese as UTF-8") << 6 << u"日本語"_s << QString();
}

void TestLanguageFile::wrongCodePage()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    QStringList lines = standardLines();
    lines[1] = u"Item1 = "_s + text;
    writeBytes(languageFilePath(dir.path(), languageEntry(index)->fileName),
               lines.join(u"\r\n"_s).toUtf8() + "\r\n");
    const LanguageLoad load = loadLanguage(dir.path(), index, kVersion, {});
    QVERIFY(!load.loadError);
    QCOMPARE(load.itemsRead, kLanguageItemCount);
    QVERIFY(languageItem(load.texts, 1) != text);
    if (!expected.isEmpty())
        QCOMPARE(languageItem(load.texts, 1), expected);
    QCOMPARE(languageItem(load.texts, 4), u"T4"_s);
}

void TestLanguageFile::switchingBackGivesSameTexts()
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

void TestLanguageFile::menuLists_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("expected");

    const QString sources = u"eHam.net|QRZ.com|QRZCQ.com|CALLOOK.info|HamCall.com"_s;
    QTest::newRow("source") << u"source"_s << sources;
    QTest::newRow("default source") << u"default"_s << sources;
    QTest::newRow("maps") << u"maps"_s << u"T4|T5|T6|T7"_s;
    QTest::newRow("setup with two sub-menus") << u"setup"_s
                                              << u"T11|T10>|T64|T17|T18|T1>|T8|T9"_s;
    QTest::newRow("language") << u"language"_s << u"T20|T21|T22|T23|T24|T25|T26"_s;
    QTest::newRow("save address, bar in a text") << u"saveadd"_s << u"T14|Print/label"_s;
    QTest::newRow("save picture, copy first") << u"savepic"_s << u"T13|T12"_s;
}

void TestLanguageFile::menuLists()
{
    QFETCH(QString, menu);
    QFETCH(QString, expected);

    QStringList texts;
    for (int n = 1; n <= kLanguageItemCount; ++n)
        texts.append(u"T%1"_s.arg(n));
    texts[14] = u"Print|label"_s;  // item 15
    const MenuLists menus = fillMenuLists(texts, 0, 0);
    const QMap<QString, QString> byName{{u"source"_s, menus.ucMnuSource},
                                        {u"default"_s, menus.ucMnuDefaultSource},
                                        {u"maps"_s, menus.ucMnuMaps},
                                        {u"setup"_s, menus.ucMnuSetup},
                                        {u"language"_s, menus.ucMnuLanguage},
                                        {u"saveadd"_s, menus.ucMnuSaveAdd},
                                        {u"savepic"_s, menus.ucMnuSavePic}};
    QCOMPARE(byName.value(menu), expected);
}

void TestLanguageFile::menuChecks_data()
{
    QTest::addColumn<int>("currentSource");
    QTest::addColumn<int>("languageIndex");
    QTest::addColumn<int>("sourceChecked");
    QTest::addColumn<int>("languageChecked");

    QTest::newRow("first entries") << 0 << 0 << 0 << 0;
    QTest::newRow("last entries") << 4 << 6 << 4 << 6;
    QTest::newRow("past the lists") << 5 << 7 << -1 << -1;
    QTest::newRow("negative") << -1 << -1 << -1 << -1;
}

void TestLanguageFile::menuChecks()
{
    QFETCH(int, currentSource);
    QFETCH(int, languageIndex);
    QFETCH(int, sourceChecked);
    QFETCH(int, languageChecked);

    const MenuLists menus = fillMenuLists({}, currentSource, languageIndex);
    QCOMPARE(menus.sourceChecked, sourceChecked);
    QCOMPARE(menus.languageChecked, languageChecked);
    // Empty texts still give every entry, so the entry numbers stay right.
    QCOMPARE(menus.ucMnuSetup, u"|>||||>||"_s);
}

QTEST_GUILESS_MAIN(TestLanguageFile)
#include "tst_languagefile.moc"
