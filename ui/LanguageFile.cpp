#include "ui/LanguageFile.h"

#include "core/TextUtil.h"
#include "ui/Logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <initializer_list>

namespace torvane {
namespace {

// A language file is a few kilobytes; anything past this is never needed for 74 lines.
constexpr qint64 kMaxFileBytes = 1 << 20;

const QString kEnglishVersionError = QStringLiteral("Wrong language file version.");
const QString kEnglishLoadError = QStringLiteral("Language file not found or corrupt");

/// Reads at most kMaxFileBytes of a regular file; nothing, and a warning, when it cannot be read.
std::optional<QByteArray> readFileCapped(const QString &path)
{
    const QFileInfo info(path);
    QString reason;
    QByteArray bytes;
    QFile file(path);
    if (!info.exists())
        reason = QStringLiteral("no such file");
    else if (!info.isFile())
        reason = QStringLiteral("not a regular file");
    else if (!file.open(QIODevice::ReadOnly))
        reason = file.errorString();
    else if (bytes = file.read(kMaxFileBytes); file.error() != QFileDevice::NoError)
        reason = file.errorString();
    if (reason.isEmpty())
        return bytes;
    qCWarning(lcUi).noquote() << "Language file" << QDir::toNativeSeparators(path)
                              << "cannot be read:" << reason;
    return std::nullopt;
}

/// Group A reads line by line: a line ends at CR LF, CR or LF. Text after the last line
/// end counts as a line; an empty rest does not.
QStringList splitGroupALines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

/// Group B splits the whole text at CR, so every line after the first keeps the LF of the
/// line end in front. The piece after the final line end ("" or a lone LF) is no line: a
/// file one item short must fail rather than yield an empty last item.
QStringList splitGroupBLines(const QString &text)
{
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(u'\r');
    if (lines.size() > 1 && (lines.last().isEmpty() || lines.last() == u"\n"))
        lines.removeLast();
    return lines;
}

QString codePageName(CodePage page)
{
    switch (page) {
    case CodePage::Windows1250: return QStringLiteral("Windows-1250");
    case CodePage::Windows932: return QStringLiteral("Windows-932 (Shift-JIS)");
    case CodePage::Windows1252: break;
    }
    return QStringLiteral("Windows-1252");
}

/// Warns when the decoded text holds bytes the code page does not define (shown as U+FFFD):
/// the file was most likely saved in another code page.
void warnUndecodable(const QString &path, const QString &text, CodePage page)
{
    const qsizetype at = text.indexOf(QChar(0xFFFD));
    if (at < 0)
        return;
    const qsizetype line = splitGroupALines(text.left(at) + u'x').size();
    qCWarning(lcUi).noquote() << "Language file" << QDir::toNativeSeparators(path) << "is not valid"
                              << codePageName(page) << "text: undecodable bytes in line" << line;
}

QString withoutMenuSeparators(QString text)
{
    // A "|" inside a text would split the entry in two and shift every later entry's command.
    return text.replace(u'|', u'/');
}

}  // namespace

std::optional<LanguageEntry> languageEntry(int languageIndex)
{
    using G = ReadingGroup;
    using P = CodePage;
    switch (languageIndex) {
    case 0:
        return LanguageEntry{QStringLiteral("Torvane_English.Language"), kEnglishVersionError,
                             kEnglishLoadError, G::A, P::Windows1252};
    case 1:
        return LanguageEntry{QStringLiteral("Torvane_Spanish.Language"), kEnglishVersionError,
                             kEnglishLoadError, G::A, P::Windows1252};
    case 2:
        return LanguageEntry{QStringLiteral("Torvane_German.Language"), kEnglishVersionError,
                             kEnglishLoadError, G::A, P::Windows1252};
    case 3:
        return LanguageEntry{QStringLiteral("Torvane_French.Language"),
                             QStringLiteral("Mauvaise version de fichier langage."),
                             QStringLiteral("Fichier langage non trouv\u00e9 ou corrompu."), G::A,
                             P::Windows1252};
    case 4:
        return LanguageEntry{QStringLiteral("Torvane_Dutch.Language"),
                             QStringLiteral("Foute taalbestand versie."),
                             QStringLiteral("Taalbestand ontbreekt of corrupt."), G::A,
                             P::Windows1252};
    case 5:
        return LanguageEntry{QStringLiteral("Torvane_Polish.Language"),
                             QStringLiteral("Wersja niewlasciwy jezyk plik."),
                             QStringLiteral("Nie znaleziono pliku jezykowego lub uszkodzone"), G::B,
                             P::Windows1250};
    case 6:
        return LanguageEntry{QStringLiteral("Torvane_Japanese.Language"), kEnglishVersionError,
                             kEnglishLoadError, G::B, P::Windows932};
    default:
        return std::nullopt;
    }
}

QString languageFilePath(const QString &dataFolder, const QString &fileName)
{
    return dataFolder + QStringLiteral("/Languages/") + fileName;
}

QPoint languageNoticePosition(int32_t screenWidthTwips, int32_t screenHeightTwips)
{
    const double left = roundHalfEven(screenWidthTwips / 2.0 - 3750);
    const double top = roundHalfEven(screenHeightTwips / 2.0 - 1500);
    return {static_cast<int>(left), static_cast<int>(top)};
}

VersionCheck checkLanguageVersion(QStringView versionLine, QStringView versionText)
{
    const qsizetype at = versionLine.lastIndexOf(u"Torvane");
    if (at < 0)
        return VersionCheck::NoName;
    return versionLine.mid(at) == versionText ? VersionCheck::Match : VersionCheck::Mismatch;
}

QString groupAItemText(QStringView line)
{
    const qsizetype eq = line.lastIndexOf(u'=');
    return trimBlanks(eq < 0 ? line : line.mid(eq + 1));
}

QString groupBItemText(QStringView line)
{
    const qsizetype eq = line.indexOf(u'=');
    const qsizetype from = eq < 0 ? 1 : eq + 2;
    return from < line.size() ? line.mid(from).toString() : QString();
}

QString storedItemText(int item, const QString &text)
{
    switch (item) {
    case 2: return QStringLiteral("  ") + text + QStringLiteral("  ");
    case 3: return QStringLiteral("  ") + text + u' ';
    case 27: return u' ' + text + u' ';
    case 37:
    case 44: return text + u' ';
    case 38: return QStringLiteral("  ") + text;
    default: return text;
    }
}

QString languageItem(const QStringList &texts, int item)
{
    return item >= 1 && item <= texts.size() ? texts.at(item - 1) : QString();
}

LanguageLoad loadLanguage(const QString &dataFolder, int languageIndex,
                          const QString &versionText, const QStringList &previous)
{
    LanguageLoad result;
    result.texts = previous.mid(0, kLanguageItemCount);
    while (result.texts.size() < kLanguageItemCount)
        result.texts.append(QString());

    const std::optional<LanguageEntry> entry = languageEntry(languageIndex);
    const QString loadError = entry ? entry->loadError : kEnglishLoadError;
    auto fail = [&](const QString &reason = QString()) {
        if (!reason.isEmpty()) {
            qCWarning(lcUi).noquote() << "Language file"
                                      << QDir::toNativeSeparators(languageFilePath(dataFolder, entry->fileName))
                                      << "cannot be used:" << reason;
        }
        result.loadError = true;
        result.notices.append(LanguageNotice{loadError});
        return result;
    };
    if (!entry)
        return fail();

    const QString path = languageFilePath(dataFolder, entry->fileName);
    const std::optional<QByteArray> bytes = readFileCapped(path);
    if (!bytes)
        return fail();
    const QString text = fromCodePage(*bytes, entry->codePage);
    warnUndecodable(path, text, entry->codePage);
    const bool groupA = entry->group == ReadingGroup::A;
    const QStringList lines = groupA ? splitGroupALines(text) : splitGroupBLines(text);
    if (lines.isEmpty())
        return fail(QStringLiteral("the file is empty"));

    switch (checkLanguageVersion(lines.first(), versionText)) {
    case VersionCheck::NoName:
        return fail(QStringLiteral("its first line names no Torvane version"));
    case VersionCheck::Mismatch:
        // Reported, then the texts are read as if the version had matched.
        result.versionError = true;
        result.notices.append(LanguageNotice{entry->versionError});
        break;
    case VersionCheck::Match:
        break;
    }

    for (int item = 1; item <= kLanguageItemCount; ++item) {
        if (item >= lines.size())
            return fail(QStringLiteral("it ends after item %1 of %2").arg(item - 1).arg(kLanguageItemCount));
        const QString &line = lines.at(item);
        const QString stored = storedItemText(item, groupA ? groupAItemText(line)
                                                           : groupBItemText(line));
        result.texts[item - 1] = stored;
        if (item == 29)  // second line of the station-setup explanation
            result.texts[27] += QStringLiteral("\r\n") + stored;
        result.itemsRead = item;
    }
    result.refreshCaptions = true;
    return result;
}

QString sourceMenuList()
{
    // The HamCall entry names a different top-level domain from SourceName ("HamCall.net");
    // the Default source command shows this caption in the header as it stands.
    return QStringLiteral("eHam.net|QRZ.com|QRZCQ.com|CALLOOK.info|HamCall.com");
}

MenuLists fillMenuLists(const QStringList &texts, int currentSource, int languageIndex)
{
    auto join = [&texts](std::initializer_list<int> items, std::initializer_list<int> subMenus) {
        QStringList entries;
        for (const int item : items) {
            QString entry = withoutMenuSeparators(languageItem(texts, item));
            if (std::find(subMenus.begin(), subMenus.end(), item) != subMenus.end())
                entry += u'>';
            entries.append(entry);
        }
        return entries.join(u'|');
    };

    MenuLists menus;
    menus.ucMnuSource = sourceMenuList();
    menus.ucMnuDefaultSource = sourceMenuList();
    menus.ucMnuMaps = join({4, 5, 6, 7}, {});
    menus.ucMnuSetup = join({11, 10, 64, 17, 18, 1, 8, 9}, {10, 1});
    menus.ucMnuLanguage = join({20, 21, 22, 23, 24, 25, 26}, {});
    menus.ucMnuSaveAdd = join({14, 15}, {});
    menus.ucMnuSavePic = join({13, 12}, {});
    menus.sourceChecked = currentSource >= 0 && currentSource <= 4 ? currentSource : -1;
    menus.languageChecked =
        languageIndex >= 0 && languageIndex < kLanguageCount ? languageIndex : -1;
    return menus;
}

}  // namespace torvane
