#include "ui/MessageBox.h"

#include "ui/Beep.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <climits>

namespace torvane {

namespace {

MessageHook &messageHook()
{
    static MessageHook hook;
    return hook;
}

// Layout of UnicodeMessageBox in pixels, for the fixed 12-point font.
constexpr int kMargin = 16;        // around the prompt and the icon
constexpr int kIconSize = 32;
constexpr int kIconGap = 12;       // between icon and prompt
constexpr int kRowPadding = 12;    // above, below and beside the button row
constexpr int kButtonGap = 8;
constexpr int kButtonMinWidth = 88;
constexpr int kMinBoxWidth = 240;

void soundFor(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Critical: playSystemSound(SystemSound::Critical); break;
    case MsgIcon::Exclamation: playSystemSound(SystemSound::Exclamation); break;
    case MsgIcon::Information: playSystemSound(SystemSound::Information); break;
    default: break;
    }
}

QRect screenArea(const QWidget *near)
{
    QScreen *screen = near ? near->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QMessageBox::Icon standardIcon(int32_t flags)
{
    switch (uniMsgBoxIcon(flags & 0x70)) {
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

MessageRequest boxRequest(MessageKind kind, QWidget *owner, const QString &prompt,
                          const QString &title, int32_t buttons)
{
    MessageRequest request;
    request.kind = kind;
    request.owner = owner;
    request.prompt = prompt;
    request.title = title;
    request.buttons = buttons;
    return request;
}

/// Everything UnicodeMessageBox shows, as the hook and the window both take it.
MessageRequest uniRequest(QWidget *frm, const QString &prompt, int32_t buttons,
                          const QString &title, const QString &button1Caption,
                          const QString &button2Caption, int32_t left, int32_t top)
{
    MessageRequest request = boxRequest(MessageKind::UnicodeMessageBox, frm, prompt, title, buttons);
    request.button1Caption = button1Caption;
    request.button2Caption = button2Caption;
    request.left = left;
    request.top = top;
    return request;
}

/// Fills the box, sounds its icon and places it: at the request's twips, or over owner.
void readyUniBox(UnicodeMessageBox &box, QWidget *owner, const MessageRequest &request)
{
    box.prepare(request.prompt, request.buttons, request.title, request.button1Caption,
                request.button2Caption);
    soundFor(uniMsgBoxIcon(request.buttons));
    const QRect ownerRect = owner && owner->isVisible() ? owner->frameGeometry() : QRect();
    box.move(uniMsgBoxPosition(request.left, request.top, box.size(), ownerRect,
                               screenArea(owner)));
}

/// A standard box with the flags' buttons and icon; buttons receives them in the set's order.
QMessageBox *makeStandardBox(QWidget *owner, const QString &text, const QString &title,
                             int32_t flags, bool topmost, QVector<QAbstractButton *> &buttons)
{
    auto *box = new QMessageBox(owner ? owner->window() : nullptr);
    box->setTextFormat(Qt::PlainText);
    box->setText(promptLines(text));
    box->setWindowTitle(title);
    box->setIcon(standardIcon(flags));
    if (topmost)
        box->setWindowFlag(Qt::WindowStaysOnTopHint, true);

    const QVector<StandardButton> set = standardButtons(flags);
    // ActionRole for all keeps the system's order; Escape and the close control answer
    // only where the set has a Cancel button or a lone OK.
    for (const StandardButton &entry : set)
        buttons.append(box->addButton(entry.caption, QMessageBox::ActionRole));
    box->setDefaultButton(qobject_cast<QPushButton *>(buttons.at(standardDefaultButton(flags))));
    const int16_t closeResult = standardCloseResult(flags);
    for (int i = 0; i < set.size(); ++i) {
        if (set.at(i).result == closeResult)
            box->setEscapeButton(buttons.at(i));
    }
    soundFor(uniMsgBoxIcon(flags & 0x70));
    return box;
}

/// Shows a standard box modally; whenShown runs once the box is on screen.
int16_t runStandardBox(QWidget *owner, const QString &text, const QString &title,
                       int32_t flags, bool topmost, const std::function<void(QMessageBox &)> &whenShown)
{
    QVector<QAbstractButton *> buttons;
    const std::unique_ptr<QMessageBox> box(makeStandardBox(owner, text, title, flags, topmost, buttons));
    if (whenShown)
        QTimer::singleShot(0, box.get(), [&box, &whenShown] { whenShown(*box); });
    box->exec();

    const int index = int(buttons.indexOf(box->clickedButton()));
    return index >= 0 ? standardButtons(flags).at(index).result : standardCloseResult(flags);
}

}  // namespace

QFont dialogFont()
{
    static const bool substituted = [] {
        QFont::insertSubstitutions(QString::fromLatin1(kDialogFontName),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                    QStringLiteral("DejaVu Sans")});
        return true;
    }();
    Q_UNUSED(substituted);
    QFont font(QString::fromLatin1(kDialogFontName));
    font.setPointSize(kDialogFontSize);
    return font;
}

void setMessageHook(MessageHook hook)
{
    messageHook() = std::move(hook);
}

ScopedMessageHook::ScopedMessageHook(MessageHook hook) : m_previous(messageHook())
{
    messageHook() = std::move(hook);
}

ScopedMessageHook::~ScopedMessageHook()
{
    messageHook() = std::move(m_previous);
}

int16_t ShowUniMsgBox(QWidget *frm, const QString &Prompt, int32_t Buttons,
                      const QString &Title, const QString &Button1Cap,
                      const QString &Button2Cap, const QString &Button3Cap,
                      const QString &Button4Cap, int32_t Left, int32_t Top)
{
    Q_UNUSED(Button3Cap);
    Q_UNUSED(Button4Cap);
    const MessageRequest request =
        uniRequest(frm, Prompt, Buttons, Title, Button1Cap, Button2Cap, Left, Top);
    if (messageHook())
        return int16_t(messageHook()(request));

    QWidget *owner = frm ? frm->window() : nullptr;
    UnicodeMessageBox box(owner);
    readyUniBox(box, owner, request);
    box.exec();
    return box.result();
}

void OpenUniMsgBox(QWidget *frm, const QString &Prompt, int32_t Buttons, const QString &Title,
                   const QString &Button1Cap, const QString &Button2Cap,
                   std::function<void(int16_t)> answered)
{
    const MessageRequest request =
        uniRequest(frm, Prompt, Buttons, Title, Button1Cap, Button2Cap, 0, 0);
    if (messageHook()) {
        const auto answer = int16_t(messageHook()(request));
        if (answered)
            answered(answer);
        return;
    }

    QWidget *owner = frm ? frm->window() : nullptr;
    auto *box = new UnicodeMessageBox(owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    readyUniBox(*box, owner, request);
    // A box whose form went away answers no one: the caller's state went with the form.
    const QPointer<QWidget> form(frm);
    const bool hadForm = frm != nullptr;
    QObject::connect(box, &QDialog::finished, box,
                     [box, form, hadForm, answered = std::move(answered)] {
                         if (answered && (!hadForm || form))
                             answered(box->result());
                     });
    box->open();  // window-modal; the owner's other windows stay usable
}

int16_t MsgBoxAt(QWidget *owner, const QString &Prompt, const QString &Title, int32_t Flags,
                 int32_t X, int32_t Y)
{
    if (messageHook()) {
        MessageRequest request = boxRequest(MessageKind::MsgBoxAt, owner, Prompt, Title, Flags);
        request.left = X;
        request.top = Y;
        return int16_t(messageHook()(request));
    }
    return runStandardBox(owner, Prompt, Title, Flags, true, [X, Y](QMessageBox &box) {
        QScreen *screen = box.screen() ? box.screen() : QGuiApplication::primaryScreen();
        const QSize virtualSize = screen ? screen->virtualSize() : QSize();
        box.move(msgBoxAtPosition(X, Y, box.frameGeometry().size(), virtualSize));
        box.raise();
    });
}

QWidget *OpenMsgBoxAt(QWidget *owner, const QString &Prompt, const QString &Title, int32_t Flags,
                      int32_t X, int32_t Y)
{
    if (messageHook()) {
        MsgBoxAt(owner, Prompt, Title, Flags, X, Y);
        return nullptr;
    }
    QVector<QAbstractButton *> buttons;
    QMessageBox *box = makeStandardBox(owner, Prompt, Title, Flags, true, buttons);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    QScreen *screen = box->screen() ? box->screen() : QGuiApplication::primaryScreen();
    const QSize virtualSize = screen ? screen->virtualSize() : QSize();
    box->move(msgBoxAtPosition(X, Y, box->frameGeometry().size(), virtualSize));
    box->raise();
    return box;
}

void OpenShellPopup(const QString &Text, int32_t Type, const QString &Title)
{
    if (messageHook()) {
        messageHook()(boxRequest(MessageKind::ShellPopup, nullptr, Text, Title, Type));
        return;
    }
    QVector<QAbstractButton *> buttons;
    QMessageBox *box = makeStandardBox(nullptr, Text, Title, Type, (Type & kMsgTopmost) != 0, buttons);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

int32_t ShellPopup(const QString &Text, int32_t Type, const QString &Title)
{
    if (messageHook())
        return messageHook()(boxRequest(MessageKind::ShellPopup, nullptr, Text, Title, Type));
    return runStandardBox(nullptr, Text, Title, Type, (Type & kMsgTopmost) != 0, {});
}

}  // namespace torvane

using namespace torvane;

UnicodeMessageBox::UnicodeMessageBox(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                         | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("UniMsgBox"));
    setWindowModality(Qt::ApplicationModal);
    setFont(dialogFont());

    pic1 = new QWidget(this);
    pic1->setObjectName(QStringLiteral("pic1"));
    pic1->setAutoFillBackground(true);
    pic1->setBackgroundRole(QPalette::Base);

    lblPrompt = new QLabel(pic1);
    lblPrompt->setObjectName(QStringLiteral("lblPrompt"));
    lblPrompt->setTextFormat(Qt::PlainText);  // never interpret markup in a message
    lblPrompt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblPrompt->setTextInteractionFlags(Qt::TextSelectableByMouse);

    struct IconEntry {
        QLabel **label;
        const char *name;
        QStyle::StandardPixmap pixmap;
    };
    const IconEntry icons[] = {
        {&imgCritical, "imgCritical", QStyle::SP_MessageBoxCritical},
        {&imgQuestion, "imgQuestion", QStyle::SP_MessageBoxQuestion},
        {&imgExclamation, "imgExclamation", QStyle::SP_MessageBoxWarning},
        {&imgInformation, "imgInformation", QStyle::SP_MessageBoxInformation},
    };
    for (const IconEntry &entry : icons) {
        QLabel *image = new QLabel(pic1);
        image->setObjectName(QString::fromLatin1(entry.name));
        image->setPixmap(style()->standardIcon(entry.pixmap, nullptr, this).pixmap(kIconSize, kIconSize));
        image->setGeometry(kMargin, kMargin, kIconSize, kIconSize);
        image->hide();
        *entry.label = image;
    }

    struct ButtonEntry {
        QPushButton **button;
        const char *name;
        int16_t code;
    };
    const ButtonEntry buttons[] = {
        {&cmd1, "cmd1", kResultNo}, {&cmd2, "cmd2", kResultYes}, {&cmd3, "cmd3", kResultCancel}};
    for (const ButtonEntry &entry : buttons) {
        QPushButton *button = new QPushButton(this);
        button->setObjectName(QString::fromLatin1(entry.name));
        button->hide();
        const int16_t code = entry.code;
        connect(button, &QPushButton::clicked, this, [this, code] { press(code); });
        *entry.button = button;
    }
    cmd3->setText(QStringLiteral("Cancel"));
}

void UnicodeMessageBox::prepare(const QString &prompt, int32_t buttons, const QString &title,
                        const QString &button1Caption, const QString &button2Caption)
{
    const MsgIcon icon = uniMsgBoxIcon(buttons);
    imgCritical->setVisible(icon == MsgIcon::Critical);
    imgQuestion->setVisible(icon == MsgIcon::Question);
    imgExclamation->setVisible(icon == MsgIcon::Exclamation);
    imgInformation->setVisible(icon == MsgIcon::Information);

    setFont(dialogFont());
    lblPrompt->setFont(dialogFont());
    lblPrompt->setText(promptLines(prompt));

    cmd1->setText(button1Caption);
    cmd2->setText(button2Caption);
    setWindowTitle(title);

    const UniButtons shown = uniMsgBoxButtons(buttons);
    cmd1->setVisible(shown.cmd1);
    cmd2->setVisible(shown.cmd2);
    cmd3->setVisible(shown.cmd3);
    if (shown.cmd1) {
        cmd1->setDefault(true);
        cmd1->setFocus();
    }
    layOut(icon != MsgIcon::None);
}

void UnicodeMessageBox::layOut(bool withIcon)
{
    const QFontMetrics metrics(lblPrompt->font());
    const QString text = lblPrompt->text();
    const int promptLeft = withIcon ? kMargin + kIconSize + kIconGap : kMargin;

    // Wide prompts wrap at the width of the screen rather than run off it.
    const QRect screen = screenArea(parentWidget());
    const int widest = std::max(200, (screen.isValid() ? screen.width() : 1024) - promptLeft
                                         - kMargin - 40);
    QRect textRect = metrics.boundingRect(QRect(0, 0, INT_MAX / 4, INT_MAX / 4),
                                          Qt::AlignLeft | Qt::TextExpandTabs, text);
    const bool wrap = textRect.width() > widest;
    if (wrap) {
        textRect = metrics.boundingRect(QRect(0, 0, widest, INT_MAX / 4),
                                        Qt::AlignLeft | Qt::TextExpandTabs | Qt::TextWordWrap, text);
    }
    lblPrompt->setWordWrap(wrap);
    const int lines = promptLineCount(text);
    const int textWidth = textRect.width() + 4;
    const int textHeight = std::max(textRect.height(), lines * metrics.lineSpacing()) + 2;

    const int bodyHeight = std::max(textHeight, withIcon ? kIconSize : 0);
    const int textTop = kMargin + (bodyHeight - textHeight) / 2;
    lblPrompt->setGeometry(promptLeft, textTop, textWidth, textHeight);
    const int panelHeight = bodyHeight + 2 * kMargin;

    const int buttonHeight = std::max(28, metrics.height() + 10);
    int rowWidth = 0;
    for (QPushButton *button : {cmd1, cmd2, cmd3}) {
        if (button->isVisibleTo(this)) {
            const int width = std::max(kButtonMinWidth, metrics.horizontalAdvance(button->text()) + 24);
            button->resize(width, buttonHeight);
            rowWidth += width + (rowWidth ? kButtonGap : 0);
        }
    }
    const int rowHeight = rowWidth ? buttonHeight + 2 * kRowPadding : kRowPadding;

    const int width = std::max({promptLeft + textWidth + kMargin, rowWidth + 2 * kRowPadding,
                                kMinBoxWidth});
    pic1->setGeometry(0, 0, width, panelHeight);
    int x = width - kRowPadding - rowWidth;  // the row sits at the right, as system boxes do
    for (QPushButton *button : {cmd1, cmd2, cmd3}) {
        if (button->isVisibleTo(this)) {
            button->move(x, panelHeight + kRowPadding);
            x += button->width() + kButtonGap;
        }
    }
    setFixedSize(width, panelHeight + rowHeight);
}

void UnicodeMessageBox::press(int16_t code)
{
    m_result = code;
    accept();
}
