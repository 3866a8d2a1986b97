#pragma once
// Arithmetic of the message boxes, without widgets: what a button/icon code shows, how many
// lines a prompt has, where a box goes on the screen, and the standard button sets.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>
#include <cstdint>

namespace torvane {

/// Icon codes of a standard message box (bits 4-6 of the flags).
enum class MsgIcon : int { None = 0, Critical = 16, Question = 32, Exclamation = 48, Information = 64 };

/// Standard results: the button codes of a system message box.
enum MsgResult : int16_t {
    kResultNone = 0,
    kResultOk = 1,
    kResultCancel = 2,
    kResultAbort = 3,
    kResultRetry = 4,
    kResultIgnore = 5,
    kResultYes = 6,
    kResultNo = 7,
    kResultTryAgain = 10,
    kResultContinue = 11,
};

/// Flag that keeps a standard box above all other windows.
inline constexpr int32_t kMsgTopmost = 0x40000;

/// The icon of Buttons = button set + icon code; any other icon value gives none.
MsgIcon uniMsgBoxIcon(int32_t buttons);

/// Which of cmd1, cmd2, cmd3 UnicodeMessageBox shows for the button set (Buttons And 15).
struct UniButtons {
    bool cmd1 = false;
    bool cmd2 = false;
    bool cmd3 = false;
    int count() const { return int(cmd1) + int(cmd2) + int(cmd3); }
};
UniButtons uniMsgBoxButtons(int32_t buttons);

/// The prompt as a label shows it: CR LF, and any lone CR or LF, become one line break.
QString promptLines(const QString &prompt);
/// Number of lines of the prompt as shown (one more than its line breaks).
int promptLineCount(const QString &prompt);

/// Where UnicodeMessageBox goes: at (left, top) twips turned into pixels when both are non-zero,
/// otherwise centred over the owner's outer rectangle and kept inside the screen's area.
/// owner may be empty (no owner): the box is then centred on the screen.
QPoint uniMsgBoxPosition(int32_t leftTwips, int32_t topTwips, QSize box, QRect owner,
                         QRect screen, int twipsPerPixel = 15);

/// Where MsgBoxAt moves a box of size box asked for at (x, y) pixels on a virtual screen of
/// size screen: x names the box's centre, y its top; the box keeps 1 pixel inside the edges.
QPoint msgBoxAtPosition(int32_t x, int32_t y, QSize box, QSize screen);

/// One button of a standard message box: its result code and English caption.
struct StandardButton {
    int16_t result;
    QString caption;
};
/// The buttons of a standard box for the button set (flags And 15); unknown sets give OK.
QVector<StandardButton> standardButtons(int32_t flags);
/// Index of the default button (flags And 0xF00: 0, 256, 512, 768), within the set.
int standardDefaultButton(int32_t flags);
/// Result of a standard box closed without a button: Cancel when the set has one, OK for
/// the OK-only set, otherwise 0 (the box cannot be closed that way).
int16_t standardCloseResult(int32_t flags);

}  // namespace torvane
