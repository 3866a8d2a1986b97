#pragma once
// Language files: the table of the seven languages, the reader that turns a file into the 73
// texts of the user interface, and the entry lists of the main window's drop-down menus.
// No widgets: the main window shows the notices, refreshes its captions and fills its menus
// from what these functions return.

#include "ui/CodePage.h"

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace torvane {

inline constexpr int kLanguageItemCount = 73;
inline constexpr int kLanguageCount = 7;

/// How an item's text is cut from its line (see groupAItemText, groupBItemText).
enum class ReadingGroup { A, B };

/// One row of the language table, selected by LanguageIndex.
struct LanguageEntry {
    QString fileName;      ///< in DataFolder/Languages
    QString versionError;  ///< prompt when the version line does not match
    QString loadError;     ///< prompt when the file is missing, short or unreadable
    ReadingGroup group;
    CodePage codePage;     ///< code page the file is written in
};

/// The row for a LanguageIndex 0 to 6; nothing for any other index.
std::optional<LanguageEntry> languageEntry(int languageIndex);

/// Full path of a language file: dataFolder/Languages/fileName.
QString languageFilePath(const QString &dataFolder, const QString &fileName);

/// A message box the load asks for: shown with the Unicode message box, one button.
struct LanguageNotice {
    QString prompt;
    QString title = QStringLiteral("Torvane");
    QString buttonCaption = QStringLiteral("Ok");
    int16_t buttons = 64;  ///< information icon, one button
};

/// The notice box sits at half the screen width minus 3750 twips and half the screen height
/// minus 1500 twips (its top left corner, in twips).
QPoint languageNoticePosition(int32_t screenWidthTwips, int32_t screenHeightTwips);

/// Outcome of one load.
struct LanguageLoad {
    QStringList texts;       ///< items 1 to 73 at 0 to 72, stored with their blanks
    int itemsRead = 0;       ///< leading items that took new texts (73 after a full load)
    bool versionError = false;
    bool loadError = false;
    QList<LanguageNotice> notices;  ///< in the order they are shown: version, then load error
    bool refreshCaptions = false;   ///< the main window's captions are to be refreshed
};

/// Result of the version line check.
enum class VersionCheck {
    Match,     ///< the line from its last "Torvane" on equals the version text
    Mismatch,  ///< it holds "Torvane" but not followed by exactly the version text
    NoName     ///< no "Torvane" in it: the file is unusable
};

/// Compares the part of the version line from its last "Torvane" with versionText.
VersionCheck checkLanguageVersion(QStringView versionLine, QStringView versionText);

/// Group A: the text after the last "=", blanks trimmed; the whole line trimmed when it
/// holds no "=".
QString groupAItemText(QStringView line);

/// Group B: the text from the second character after the first "=" to the end, untrimmed
/// (the character right after "=" is dropped); the line from its second character when it
/// holds no "=". Lines after the first start with the LF of the previous line end.
QString groupBItemText(QStringView line);

/// Item n (1 to 73) as stored: the text x with the blanks the user interface expects
/// ("  " x "  " for item 2, and so on). Item 28 is joined with item 29 by the reader.
QString storedItemText(int item, const QString &text);

/// Loads the language of languageIndex from dataFolder/Languages. `previous` holds the texts
/// of the last load (empty at the first start); items the load does not reach keep them.
/// A version mismatch is reported and the texts are read all the same; a missing, short or
/// unreadable file, or a version line without "Torvane", ends the load with the load error
/// and no caption refresh. An index outside 0 to 6 fails with the English load error.
LanguageLoad loadLanguage(const QString &dataFolder, int languageIndex,
                          const QString &versionText, const QStringList &previous);

/// The text of item n (1 to 73) of a text table, empty when the table lacks it.
QString languageItem(const QStringList &texts, int item);

/// The entry lists of the main window's menus in the menu control's syntax: entries joined
/// by "|", ">" after an entry that opens a sub-menu. Checked entries count from 0; -1 = none.
struct MenuLists {
    QString ucMnuSource;
    QString ucMnuMaps;
    QString ucMnuSetup;
    QString ucMnuDefaultSource;
    QString ucMnuLanguage;
    QString ucMnuSaveAdd;
    QString ucMnuSavePic;
    int sourceChecked = -1;    ///< in ucMnuSource and ucMnuDefaultSource
    int languageChecked = -1;  ///< in ucMnuLanguage
};

/// The five web sources as the source menus show them, in CurrentSource order.
QString sourceMenuList();

/// Builds the menu lists from the language texts, the current source and language.
MenuLists fillMenuLists(const QStringList &texts, int currentSource, int languageIndex);

}  // namespace torvane
