// The main window's drop-down menus: opening, placing and closing them, the frame around the
// header under the pointer, the mouse events of the window's controls, and which entry of
// which menu runs which command.
//
//   Source          entries 0-4: the source of this run (sourceClick)
//   Maps            0 station map, 1 satellite view by address, 2 by position, 3 web map
//   Setup           0 station setup, 1 Default source >, 2 database editor, 3 always on top,
//                   4 plain zero, 5 Language >, 6 help, 7 about
//   Default source  entries 0-4: the stored default source (defaultSourceClick)
//   Language        entries 0-6: the language of the captions (languageClick)
//   Address (right button on a name or address line)  0 copy, 1 print
//   Picture (right button on the picture)             0 copy, 1 save as

#include "app/MainMenus.h"

#include "app/MainWindow.h"
#include "ui/DropDownMenu.h"

#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace torvane {

namespace {

constexpr int kFrameThickness = 1;  // pixels
const QColor kFrameColour(0x5a, 0x6e, 0x8c);

void setUnderline(QWidget *w, bool on)
{
    QFont f = w->font();
    if (f.underline() == on)
        return;
    f.setUnderline(on);
    w->setFont(f);
}

bool isRelease(const QEvent *event, Qt::MouseButtons buttons)
{
    return event->type() == QEvent::MouseButtonRelease
           && (static_cast<const QMouseEvent *>(event)->button() & buttons);
}

bool isPress(const QEvent *event, Qt::MouseButtons buttons)
{
    return event->type() == QEvent::MouseButtonPress
           && (static_cast<const QMouseEvent *>(event)->button() & buttons);
}

QString defaultSaveFileName(QWidget *owner, const QString &proposed, const QString &filter)
{
    return QFileDialog::getSaveFileName(owner, QString(), proposed, filter);
}

}  // namespace

int subMenuLeft(int parentLeft, int parentWidth, int subWidth, int screenWidth)
{
    const int right = parentLeft + parentWidth;
    if (screenWidth > 0 && right + subWidth > screenWidth)
        return parentLeft - subWidth;
    return right;
}

int menuLeftOnScreen(int left, int menuWidth, int screenWidth)
{
    if (screenWidth <= 0 || left + menuWidth <= screenWidth)
        return left;
    return std::max(0, screenWidth - menuWidth);
}

MainMenus::MainMenus(MainWindow &form) : QObject(&form), m_form(form)
{
    setObjectName(QStringLiteral("MainMenus"));
    askSaveFileName = defaultSaveFileName;
    printAddress = printAddressLabel;
    mouseButtons = [] { return QGuiApplication::mouseButtons(); };
    pointerPos = [] { return QCursor::pos(); };
    clipboardBackend = systemClipboardBackend;

    for (int i = 0; i < 4; ++i) {
        auto *line = new QFrame(&m_form);
        line->setObjectName(QStringLiteral("Line%1").arg(i + 1));
        line->setFrameShape(QFrame::NoFrame);
        line->setAutoFillBackground(true);
        QPalette p = line->palette();
        p.setColor(QPalette::Window, kFrameColour);
        line->setPalette(p);
        line->setAttribute(Qt::WA_TransparentForMouseEvents);
        line->hide();
        m_lines[i] = line;
    }

    const QList<QWidget *> watched = {
        m_form.lblSource, m_form.lblMaps, m_form.lblSetup, m_form.imgMenuBar, m_form.picBackground,
        m_form.lblStatus, m_form.lblName, m_form.lblAdd1, m_form.lblAdd2, m_form.lblCtry,
        m_form.lblDOB, m_form.lblDx, m_form.lblGrid, m_form.lblNot, m_form.picInfo,
        m_form.lblClass, m_form.Image1, m_form.lblEmail, m_form.pic1};
    for (QWidget *w : watched)
        w->installEventFilter(this);
    // The headers' keys, from the call box (which hands them on to its line edit) or, passed
    // on, from any other control.
    m_form.installEventFilter(this);
    m_form.cboCall->installEventFilter(this);
    m_form.cboCall->lineEdit()->installEventFilter(this);
    m_form.lblEmail->setCursor(Qt::PointingHandCursor);

    connect(m_form.ucMnuSource, &DropDownMenu::Click, this, [this](int index, const QString &) { sourceClick(index); });
    connect(m_form.ucMnuDefaultSource, &DropDownMenu::Click, this, &MainMenus::defaultSourceClick);
    connect(m_form.ucMnuMaps, &DropDownMenu::Click, this, [this](int index, const QString &) { mapsClick(index); });
    connect(m_form.ucMnuSetup, &DropDownMenu::Click, this, [this](int index, const QString &) { setupClick(index); });
    connect(m_form.ucMnuSetup, &DropDownMenu::subMnu, this, &MainMenus::setupEntered);
    connect(m_form.ucMnuLanguage, &DropDownMenu::Click, this, [this](int index, const QString &) { languageClick(index); });
    connect(m_form.ucMnuSaveAdd, &DropDownMenu::Click, this, [this](int index, const QString &) { saveAddressClick(index); });
    connect(m_form.ucMnuSavePic, &DropDownMenu::Click, this, [this](int index, const QString &) { savePictureClick(index); });
    connect(m_form.tmrMenus, &QTimer::timeout, this, &MainMenus::pollMenus);
    for (DropDownMenu *menu : allMenus()) {
        connect(menu, &DropDownMenu::sideStep, this, [this, menu](int direction) { stepAside(menu, direction); });
        // Closed by Escape or a press elsewhere: the header's frame goes with the last menu.
        connect(menu, &DropDownMenu::Closed, this, [this] {
            const QList<DropDownMenu *> menus = allMenus();
            if (std::none_of(menus.begin(), menus.end(), [](const DropDownMenu *m) { return m->isVisible(); }))
                hideFrame();
        });
    }
}

// ---- Which entry runs which command ----------------------------------------------------

void MainMenus::mapsClick(int index)
{
    closeMenus();
    switch (index) {
    case 0:
        // Unlike a lookup nothing would show when no map matches: tell the operator instead.
        m_form.plotStationMap(true, true);
        break;
    case 1:
    case 2: showSatelliteView(index == 1); break;
    case 3: m_form.openWebMap(); break;
    default: break;
    }
}

void MainMenus::setupClick(int index)
{
    if (index == 1 || index == 5)
        return;  // these open their sub-menus
    closeMenus();
    switch (index) {
    case 0: m_form.openStationSetup(); break;
    case 2: m_form.openDatabaseEditor(); break;
    case 3: toggleAlwaysOnTop(); break;
    case 4: togglePlainZero(); break;
    case 6: openHelp(); break;
    case 7: showAbout(); break;
    case 8: m_form.openSignIn(); break;
    default: break;
    }
}

void MainMenus::setupEntered(int index)
{
    DropDownMenu *const defaultSource = m_form.ucMnuDefaultSource;
    DropDownMenu *const language = m_form.ucMnuLanguage;
    if (index == 1) {
        language->hide();
        openSubMenu(defaultSource, index);
    } else if (index == 5) {
        defaultSource->hide();
        openSubMenu(language, index);
    } else {
        defaultSource->hide();
        language->hide();
    }
}

void MainMenus::saveAddressClick(int index)
{
    closeMenus();
    if (index == 0)
        copyAddress();
    else if (index == 1)
        printShownAddress();
}

void MainMenus::savePictureClick(int index)
{
    closeMenus();
    if (!pictureShown())
        return;
    if (index == 0)
        copyPicture();
    else if (index == 1)
        savePicture();
}

// ---- Opening and closing ---------------------------------------------------------------

QList<DropDownMenu *> MainMenus::allMenus() const
{
    return {m_form.ucMnuSource,   m_form.ucMnuMaps,    m_form.ucMnuSetup,  m_form.ucMnuDefaultSource,
            m_form.ucMnuLanguage, m_form.ucMnuSaveAdd, m_form.ucMnuSavePic};
}

DropDownMenu *MainMenus::menuOf(QLabel *header) const
{
    if (header == m_form.lblSource)
        return m_form.ucMnuSource;
    if (header == m_form.lblMaps)
        return m_form.ucMnuMaps;
    if (header == m_form.lblSetup)
        return m_form.ucMnuSetup;
    return nullptr;
}

void MainMenus::showMenu(DropDownMenu *menu, const QPoint &global)
{
    for (DropDownMenu *other : allMenus()) {
        if (other != menu)
            other->hide();
    }
    // A menu under the right-aligned Setup header would leave the desktop near its right edge.
    menu->move(menuLeftOnScreen(global.x(), menu->width(), m_form.values().VirtualScreenWidth), global.y());
    menu->show();
    menu->raise();
    m_form.tmrMenus->start();
}

void MainMenus::OpenHeaderMenu(QLabel *header, DropDownMenu *menu)
{
    if (!header || !menu)
        return;
    showMenu(menu, header->mapToGlobal(QPoint(0, header->height())));
    m_form.ResetLabelHighlight();
}

void MainMenus::openAtPoint(DropDownMenu *menu, const QPoint &global)
{
    showMenu(menu, global);
}

void MainMenus::closeMenus()
{
    m_form.tmrMenus->stop();
    for (DropDownMenu *menu : allMenus())
        menu->hide();
    hideFrame();
}

void MainMenus::pollMenus()
{
    if (!(mouseButtons() & (Qt::LeftButton | Qt::RightButton)))
        return;
    // A button held on a menu is that menu's own click: closing now would lose it.
    const QPoint pointer = pointerPos();
    for (const DropDownMenu *menu : allMenus()) {
        if (menu->isVisible() && menu->frameGeometry().contains(pointer))
            return;
    }
    closeMenus();
}

void MainMenus::openSubMenu(DropDownMenu *sub, int entryIndex)
{
    const DropDownMenu *setup = m_form.ucMnuSetup;
    const QRect parent = setup->geometry();
    const int left = subMenuLeft(parent.x(), parent.width(), sub->width(), m_form.values().VirtualScreenWidth);
    // The sub-menu's first entry level with the entry that opened it.
    const int top = parent.y() + setup->layout().rowRect(entryIndex).top() - sub->layout().rowRect(0).top();
    sub->move(left, top);
    sub->show();
    sub->raise();
    m_form.tmrMenus->start();
}

void MainMenus::drawFrame(QLabel *header)
{
    const QRect r = header->geometry();
    const int top = std::max(0, r.top() - 1);
    const int bottom = r.bottom();
    const int height = bottom - top + 1;
    m_lines[0]->setGeometry(r.left(), top, r.width(), kFrameThickness);
    m_lines[1]->setGeometry(r.left(), bottom, r.width(), kFrameThickness);
    m_lines[2]->setGeometry(r.left(), top, kFrameThickness, height);
    m_lines[3]->setGeometry(r.right(), top, kFrameThickness, height);
    for (QFrame *line : m_lines) {
        line->raise();
        line->show();
    }
    m_frameHidden = 0;
}

void MainMenus::hideFrame()
{
    for (QFrame *line : m_lines)
        line->hide();
    m_frameHidden = -1;
}

// ---- Events of the window's controls ---------------------------------------------------

bool MainMenus::eventFilter(QObject *watched, QEvent *event)
{
    MainWindow &f = m_form;
    if ((watched == &f || watched == f.cboCall || watched == f.cboCall->lineEdit()) && event->type() == QEvent::KeyPress)
        return headerKey(static_cast<const QKeyEvent *>(event));
    if (watched == f.lblSource || watched == f.lblMaps || watched == f.lblSetup)
        return headerEvent(static_cast<QLabel *>(watched), event);
    if (watched == f.lblName || watched == f.lblAdd1 || watched == f.lblAdd2 || watched == f.lblCtry)
        return copyableLabelEvent(static_cast<QLabel *>(watched), event);
    if (watched == f.Image1)
        return pictureEvent(event);
    if (watched == f.lblEmail)
        return siteLinkEvent(event);

    if (event->type() == QEvent::Enter
        && (watched == f.picBackground || watched == f.lblStatus || watched == f.imgMenuBar))
        hideFrame();
    if (isPress(event, Qt::AllButtons)
        && (watched == f.lblDOB || watched == f.lblDx || watched == f.lblGrid || watched == f.lblNot
            || watched == f.lblStatus || watched == f.picInfo || watched == f.picBackground
            || watched == f.lblClass))
        f.ResetLabelHighlight();
    if (watched == f.pic1 && event->type() == QEvent::MouseMove)
        setUnderline(f.lblEmail, false);
    return QObject::eventFilter(watched, event);
}

bool MainMenus::headerEvent(QLabel *header, QEvent *event)
{
    if (event->type() == QEvent::Enter) {
        drawFrame(header);
        DropDownMenu *own = menuOf(header);
        bool otherOpen = false;
        for (DropDownMenu *menu : {m_form.ucMnuSource, m_form.ucMnuMaps, m_form.ucMnuSetup})
            otherOpen = otherOpen || (menu != own && menu->isVisible());
        if (otherOpen)
            OpenHeaderMenu(header, own);
    } else if (isRelease(event, Qt::LeftButton)) {
        OpenHeaderMenu(header, menuOf(header));
        return true;
    }
    return false;
}

void MainMenus::highlight(QLabel *label)
{
    label->setAutoFillBackground(true);
    QPalette p = label->palette();
    p.setColor(QPalette::Window, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(p);
}

bool MainMenus::copyableLabelEvent(QLabel *label, QEvent *event)
{
    if (event->type() == QEvent::Enter && label == m_form.lblCtry)
        setUnderline(m_form.lblEmail, false);
    if (isPress(event, Qt::RightButton) && !label->text().isEmpty())
        m_rightClickPending = 2;
    if (isRelease(event, Qt::LeftButton | Qt::RightButton)
        && label->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint())) {
        m_form.ResetLabelHighlight();
        if (m_rightClickPending == 2) {
            highlight(label);
            m_savedAddressText = label->text();
            openAtPoint(m_form.ucMnuSaveAdd, static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
        }
        m_rightClickPending = 0;
    }
    return false;
}

bool MainMenus::pictureEvent(QEvent *event)
{
    if (event->type() != QEvent::MouseButtonPress)
        return false;
    const auto *mouse = static_cast<QMouseEvent *>(event);
    m_form.ResetLabelHighlight();
    if (!QFileInfo::exists(cachedPicturePath()))
        return true;
    if (mouse->button() == Qt::RightButton)
        openAtPoint(m_form.ucMnuSavePic, mouse->globalPosition().toPoint());
    else if (mouse->button() == Qt::LeftButton)
        m_form.openPictureWindow();
    return true;
}

bool MainMenus::siteLinkEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Enter: setUnderline(m_form.lblEmail, true); break;
    case QEvent::Leave: setUnderline(m_form.lblEmail, false); break;
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            m_form.openLastImages();
            return true;
        }
        break;
    default: break;
    }
    return false;
}

}  // namespace torvane
