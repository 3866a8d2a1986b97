#pragma once
// The program's message boxes: UnicodeMessageBox (Unicode text, icon, up to three buttons, fixed
// font), the standard box placed at a point (MsgBoxAt) and the plain popup (ShellPopup).
// A hook lets tests answer every box without showing a window.

#include "ui/MessageBoxRules.h"

#include <QDialog>
#include <QFont>
#include <QString>
#include <cstdint>
#include <functional>

class QLabel;
class QPushButton;

namespace torvane {

/// Fixed font of UnicodeMessageBox; "Arial" is matched by a metric-compatible face where missing.
inline constexpr const char *kDialogFontName = "Arial";
inline constexpr int kDialogFontSize = 12;  ///< points
/// The dialog font, with the substitutes for Arial registered.
QFont dialogFont();

enum class MessageKind { UnicodeMessageBox, MsgBoxAt, ShellPopup };

/// Everything a box would show, as handed to the message hook.
struct MessageRequest {
    MessageKind kind = MessageKind::UnicodeMessageBox;
    QWidget *owner = nullptr;
    QString prompt;
    QString title;
    int32_t buttons = 0;  ///< Buttons, Flags or Type: button set + icon code (+ other flags)
    QString button1Caption;
    QString button2Caption;
    int32_t left = 0;  ///< UnicodeMessageBox: twips; MsgBoxAt: x in pixels (the box's centre)
    int32_t top = 0;   ///< UnicodeMessageBox: twips; MsgBoxAt: y in pixels
};

/// When set, every box is answered by the hook's return value and no window is shown.
using MessageHook = std::function<int32_t(const MessageRequest &)>;
void setMessageHook(MessageHook hook);

/// Sets a hook for its lifetime and restores the previous one.
class ScopedMessageHook {
public:
    explicit ScopedMessageHook(MessageHook hook);
    ~ScopedMessageHook();
    ScopedMessageHook(const ScopedMessageHook &) = delete;
    ScopedMessageHook &operator=(const ScopedMessageHook &) = delete;

private:
    MessageHook m_previous;
};

/// Shows UnicodeMessageBox modally over frm and returns 7 (cmd1), 6 (cmd2), 2 (cmd3) or 0 (closed
/// otherwise). Buttons: button set (low 4 bits) + icon code. Button3Cap and Button4Cap are
/// accepted and not used. Left and Top place the box in twips when both are non-zero.
int16_t ShowUniMsgBox(QWidget *frm, const QString &Prompt, int32_t Buttons,
                      const QString &Title, const QString &Button1Cap = QString(),
                      const QString &Button2Cap = QString(),
                      const QString &Button3Cap = QString(),
                      const QString &Button4Cap = QString(), int32_t Left = 0,
                      int32_t Top = 0);

/// Shows UnicodeMessageBox window-modally without waiting (QDialog::open) and calls answered with 7, 6, 2 or 0 once it closes. With a message hook set, the hook answers at once and answered runs before this returns.
void OpenUniMsgBox(QWidget *frm, const QString &Prompt, int32_t Buttons, const QString &Title, const QString &Button1Cap, const QString &Button2Cap, std::function<void(int16_t)> answered);

/// Shows a standard message box owned by owner with the flags' buttons and icon, moved as it
/// appears so that its centre is at x and its top at y (pixels), kept inside the virtual
/// screen, topmost. Returns the standard result of the button pressed.
int16_t MsgBoxAt(QWidget *owner, const QString &Prompt, const QString &Title, int32_t Flags,
                 int32_t X, int32_t Y);

/// MsgBoxAt without waiting for it: shown at once, the button pressed is not needed. Returns the
/// box, which deletes itself when closed (none when a message hook answered it).
QWidget *OpenMsgBoxAt(QWidget *owner, const QString &Prompt, const QString &Title, int32_t Flags,
                      int32_t X, int32_t Y);

/// The plain popup without waiting for it; the button pressed is not needed.
void OpenShellPopup(const QString &Text, int32_t Type, const QString &Title);

/// A plain modal message box with the standard type code; returns the button's code.
int32_t ShellPopup(const QString &Text, int32_t Type, const QString &Title);

}  // namespace torvane

namespace torvane {

/// The Unicode message box window. ShowUniMsgBox and OpenUniMsgBox fill, show and read it.
class UnicodeMessageBox : public QDialog {
    Q_OBJECT
public:
    explicit UnicodeMessageBox(QWidget *owner = nullptr);

    /// Icon, font, prompt, captions and buttons; sizes the window to the prompt.
    void prepare(const QString &prompt, int32_t buttons, const QString &title,
                 const QString &button1Caption, const QString &button2Caption);
    /// 7, 6 or 2 after a button was pressed, 0 otherwise.
    int16_t result() const { return m_result; }

    // Controls, by their design names (objectName is the same).
    QWidget *pic1 = nullptr;  ///< the panel that holds the icon and the prompt
    QLabel *lblPrompt = nullptr;
    QPushButton *cmd1 = nullptr;
    QPushButton *cmd2 = nullptr;
    QPushButton *cmd3 = nullptr;
    QLabel *imgCritical = nullptr;
    QLabel *imgQuestion = nullptr;
    QLabel *imgExclamation = nullptr;
    QLabel *imgInformation = nullptr;

private:
    void press(int16_t code);
    void layOut(bool withIcon);

    int16_t m_result = 0;
};

}  // namespace torvane
