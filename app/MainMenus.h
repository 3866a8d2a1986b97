#pragma once
// The main window's drop-down menus and their commands, and what the operator can do with the
// result panel: copy or print an address, copy or save the picture, open the picture and the
// station's last-images site. Parented to the main window; it watches the window's controls
// through event filters.
//
// Where the parts live:
//   MenuRouting.cpp     opening, placing and closing the menus, the window's mouse events, and
//                       which entry of which menu runs which command
//   MenuKeys.cpp        the header menus from the keyboard
//   MenuCommands.cpp    the commands: source, default source, language, maps, the Setup
//                       toggles, help and about
//   PanelPrintSave.cpp  the result panel's output: copy and print the address, copy and save
//                       the picture

#include "ui/UnicodeClipboard.h"

#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

class QFrame;
class QKeyEvent;
class QLabel;
class QUrl;
class QWidget;

namespace torvane {
class MainWindow;
class DropDownMenu;

/// Left edge of a sub-menu, pixels: right of the parent menu, or left of it when its right
/// edge would pass the desktop's width.
int subMenuLeft(int parentLeft, int parentWidth, int subWidth, int screenWidth);

/// Left edge of a menu wanted at left, pixels, moved left as far as needed to keep it inside
/// the desktop's width (never beyond its left edge); unchanged when the width is unknown (0).
int menuLeftOnScreen(int left, int menuWidth, int screenWidth);

/// Clipboard format of the host convention for a picture: a device-independent bitmap, that is
/// a bitmap file without its 14-byte file header.
inline constexpr uint32_t kFormatDib = 8;

/// The system clipboard for the copy entries: text as QtClipboardBackend places it, and a
/// picture under kFormatDib.
std::unique_ptr<ClipboardBackend> systemClipboardBackend();

/// A Setup toggle: 1 when it was 0, otherwise 0 (a stored 5 becomes 0).
int16_t toggledSetting(int16_t value);

/// The call history after the plain-zero toggle: with plainZero every slashed zero becomes the
/// digit 0, otherwise every digit 0 becomes the slashed zero.
QStringList rewriteHistoryZeros(QStringList history, int plainZero);

/// Prints the address lines on the default printer; empty on success, otherwise what went
/// wrong, for the operator.
QString printAddressLabel(const QStringList &lines);

class MainMenus : public QObject {
    Q_OBJECT
public:
    explicit MainMenus(MainWindow &form);

    // Seams that tests replace, so that no editor, dialog or printer is reached.
    /// The save-file dialog: owner, proposed name, filter; empty when cancelled.
    std::function<QString(QWidget *, const QString &, const QString &)> askSaveFileName;
    /// Prints the address lines; empty on success, otherwise the message for the operator.
    std::function<QString(const QStringList &)> printAddress;
    /// The mouse buttons held down now (tmrMenus polls it).
    std::function<Qt::MouseButtons()> mouseButtons;
    /// Where the mouse pointer is on the screen, pixels.
    std::function<QPoint()> pointerPos;
    /// The clipboard that the copy entries fill: the address as Unicode text, the picture as
    /// a device-independent bitmap (kFormatDib).
    std::function<std::unique_ptr<ClipboardBackend>()> clipboardBackend;

    /// Drops menu under header, free-floating at the header's bottom-left; starts tmrMenus.
    void OpenHeaderMenu(QLabel *header, DropDownMenu *menu);
    /// Opens a panel menu at a point on the screen (pixels); starts tmrMenus.
    void openAtPoint(DropDownMenu *menu, const QPoint &global);
    /// Hides all seven menus and the header frame.
    void closeMenus();
    /// One tick of tmrMenus: closes everything when a button is down outside the menus.
    void pollMenus();

    /// The header frame (Line1..Line4) around header; hideFrame removes it.
    void drawFrame(QLabel *header);
    void hideFrame();
    /// -1 while no frame is drawn, 0 while one is.
    int16_t frameHidden() const { return m_frameHidden; }

    /// Commands of the menus, by entry index.
    void sourceClick(int index);
    void defaultSourceClick(int index, const QString &caption);
    void mapsClick(int index);
    void setupClick(int index);
    void languageClick(int index);
    void saveAddressClick(int index);
    void savePictureClick(int index);
    /// The Setup menu's pointer entered an entry: opens or closes its sub-menus.
    void setupEntered(int index);
    /// The header menus from the keyboard: Alt + the first letter of a header opens its menu
    /// (again: the next header with that letter), F10 opens the first or closes them all.
    /// True when the key was one of these.
    bool headerKey(const QKeyEvent *key);

    /// 2 after the right button went down on a copyable label with text, otherwise 0.
    int16_t RightClickPending() const { return m_rightClickPending; }
    /// The caption the save-address menu was opened on.
    QString SavedAddressText() const { return m_savedAddressText; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Routing: the window's mouse events and the menus' places.
    bool headerEvent(QLabel *header, QEvent *event);
    bool copyableLabelEvent(QLabel *label, QEvent *event);
    bool pictureEvent(QEvent *event);
    bool siteLinkEvent(QEvent *event);
    QList<DropDownMenu *> allMenus() const;
    void showMenu(DropDownMenu *menu, const QPoint &global);
    void openSubMenu(DropDownMenu *sub, int entryIndex);
    /// Left or Right in an open menu: the neighbouring header's menu, or back from a sub-menu.
    void stepAside(DropDownMenu *from, int direction);
    QList<QLabel *> headers() const;
    DropDownMenu *menuOf(QLabel *header) const;
    static void highlight(QLabel *label);

    // Commands.
    void moveSourceCheck(int from, int to);
    void showSatelliteView(bool addressForm);
    void toggleAlwaysOnTop();
    void setTopmost(bool on);
    void togglePlainZero();
    void openHelp();
    void showAbout();

    // The result panel's output.
    void copyAddress();
    void printShownAddress();
    QString cachedPicturePath() const;
    QString hamBitmapPath() const;
    bool pictureShown() const;
    void copyPicture();
    void savePicture();

    MainWindow &m_form;
    QFrame *m_lines[4] = {nullptr, nullptr, nullptr, nullptr};
    int16_t m_frameHidden = -1;
    int16_t m_rightClickPending = 0;
    QString m_savedAddressText;
};

}  // namespace torvane
