#include "app/MainMenus.h"

#include "core/DataFolder.h"
#include "app/MainWindow.h"
#include "core/TextUtil.h"
#include "ui/DropDownMenu.h"
#include "ui/MessageBox.h"
#include "ui/UnicodeClipboard.h"

#include <QClipboard>
#include <QComboBox>
#include <QCursor>
#include <QDesktopServices>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <algorithm>

namespace torvane {

namespace {

constexpr int kFrameThickness = 1;  // pixels
const QColor kFrameColour(0x5a, 0x6e, 0x8c);

// The printed address label: left edge and the tops of the four lines, printer pixels.
constexpr int kLabelLeft = 160;
constexpr int kLabelTops[4] = {100, 170, 240, 310};

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

int16_t toggledSetting(int16_t value)
{
    return value == 0 ? 1 : 0;
}

QStringList rewriteHistoryZeros(QStringList history, int plainZero)
{
    for (QString &call : history) {
        if (plainZero != 0)
            call.replace(kSlashedZero, u'0');
        else
            call.replace(u'0', kSlashedZero);
    }
    return history;
}

QString printAddressLabel(const QStringList &lines)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return QStringLiteral("No printer is available.");
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Torvane address label"));
    QPainter painter;
    if (!painter.begin(&printer))
        return QStringLiteral("The address label could not be printed on %1.").arg(info.printerName());
    // Arial Unicode MS covers every script of the address; fontconfig substitutes where missing.
    QFont font(QStringLiteral("Arial Unicode MS"));
    font.setPointSize(12);
    painter.setFont(font);
    // The fixed line tops assume a printer of about 300 dpi; finer printers must not overlap
    // the lines.
    const int lineHeight = QFontMetrics(font, &printer).height();
    int top = kLabelTops[0];
    for (int i = 0; i < 4 && i < lines.size(); ++i) {
        if (i > 0)
            top = std::max(kLabelTops[i], top + lineHeight);
        painter.drawText(QRect(kLabelLeft, top, std::max(1, printer.width() - kLabelLeft), lineHeight),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, lines.at(i));
    }
    if (!painter.end())
        return QStringLiteral("The address label could not be printed on %1.").arg(info.printerName());
    return QString();
}

MainMenus::MainMenus(MainWindow &form) : QObject(&form), m_form(form)
{
    setObjectName(QStringLiteral("MainMenus"));
    openDocument = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
    askSaveFileName = defaultSaveFileName;
    printAddress = printAddressLabel;
    mouseButtons = [] { return QGuiApplication::mouseButtons(); };
    pointerPos = [] { return QCursor::pos(); };

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

// ---- Commands --------------------------------------------------------------------------

void MainMenus::moveSourceCheck(int from, int to)
{
    for (DropDownMenu *menu : {m_form.ucMnuSource, m_form.ucMnuDefaultSource}) {
        menu->Check(from, false);
        menu->Check(to, true);
    }
}

void MainMenus::sourceClick(int index)
{
    closeMenus();
    ProgramValues &v = m_form.values();
    if (index == v.CurrentSource || index < 0 || index > 4)
        return;
    moveSourceCheck(v.CurrentSource, index);
    v.CurrentSource = int16_t(index);
    m_form.lblStatus->setText(m_form.item(33));
    m_form.setSourceFromTable();
    m_form.applySource();
    m_form.ConnectToSource();
}

void MainMenus::defaultSourceClick(int index, const QString &caption)
{
    closeMenus();
    if (index < 0 || index > 4)
        return;
    ProgramValues &v = m_form.values();
    v.DefaultSource = int16_t(index);
    m_form.lblStatus->setText(m_form.item(33));
    m_form.lblStatus->repaint();
    moveSourceCheck(v.CurrentSource, index);
    v.CurrentSource = int16_t(index);
    m_form.setSourceFromTable();
    m_form.applySource();
    // The header names the source as the menu entry does.
    m_form.lblSource->setText(m_form.item(3) + caption);
    m_form.placeHeaders();
    m_form.ConnectToSource();
}

void MainMenus::mapsClick(int index)
{
    closeMenus();
    const ProgramValues &v = m_form.values();
    const bool positionKnown = v.StationLatitude != 0 || v.StationLongitude != 0;
    switch (index) {
    case 0:
        // Unlike a lookup nothing would show when no map matches: tell the operator instead.
        m_form.plotStationMap(true, true);
        break;
    case 1:
    case 2:
        if (positionKnown)
            m_form.openSatelliteView(index == 1);
        break;
    case 3: m_form.openWebMap(); break;
    default: break;
    }
}

void MainMenus::setTopmost(bool on)
{
    const Qt::WindowFlags flags = m_form.windowFlags();
    if (flags.testFlag(Qt::WindowStaysOnTopHint) == on)
        return;
    const Qt::WindowFlags wanted = on ? flags | Qt::WindowStaysOnTopHint : flags & ~Qt::WindowStaysOnTopHint;
    if (QWindow *window = m_form.windowHandle()) {
        // Tell the window system only: the window is neither re-created, moved nor resized.
        m_form.overrideWindowFlags(wanted);
        window->setFlags(wanted);
    } else {
        m_form.setWindowFlags(wanted);
    }
}

void MainMenus::setupClick(int index)
{
    if (index == 1 || index == 5)
        return;  // these open their sub-menus
    closeMenus();
    ProgramValues &v = m_form.values();
    switch (index) {
    case 0: m_form.openStationSetup(); break;
    case 2: m_form.openDatabaseEditor(); break;
    case 3:
        v.AlwaysOnTop = toggledSetting(v.AlwaysOnTop);
        m_form.ucMnuSetup->Check(3, v.AlwaysOnTop != 0);
        setTopmost(v.AlwaysOnTop == 1);
        break;
    case 4: {
        v.PlainZero = toggledSetting(v.PlainZero);
        m_form.ucMnuSetup->Check(4, v.PlainZero != 0);
        QComboBox *box = m_form.cboCall;
        QStringList history;
        for (int i = 0; i < box->count(); ++i)
            history << box->itemText(i);
        history = rewriteHistoryZeros(history, v.PlainZero);
        for (int i = 0; i < box->count(); ++i)
            box->setItemText(i, history.at(i));
        break;
    }
    case 6:
        // Failures of the editor are not reported: the operator sees whether it opened.
        openDocument(QUrl::fromLocalFile(v.DataFolder + QStringLiteral("/Help.txt")));
        break;
    case 7:
        ShowUniMsgBox(&m_form, v.VersionText + QStringLiteral("\r\n") + v.ReleaseText, 0,
                      QStringLiteral("Torvane"), QStringLiteral("Ok"));
        break;
    default: break;
    }
}

void MainMenus::languageClick(int index)
{
    closeMenus();
    ProgramValues &v = m_form.values();
    m_form.ucMnuLanguage->Check(v.LanguageIndex, false);
    v.LanguageIndex = int16_t(index);
    m_form.loadLanguage();
    m_form.refreshStatusText();
    m_form.placeHeaders();
}

// ---- Result panel ----------------------------------------------------------------------

void MainMenus::saveAddressClick(int index)
{
    closeMenus();
    if (index == 0) {
        try {
            CopyUnicodeText(m_savedAddressText);
        } catch (const ClipboardError &) {
            // The clipboard is busy with another program; the operator can copy again.
        }
        m_form.ResetLabelHighlight();
    } else if (index == 1 && !m_form.lblName->text().isEmpty()) {
        const QStringList lines = {m_form.lblName->text(), m_form.lblAdd1->text(),
                                   m_form.lblAdd2->text(), m_form.lblCtry->text()};
        const QString problem = printAddress(lines);
        if (!problem.isEmpty())
            ShowUniMsgBox(&m_form, problem, 48, QStringLiteral("Torvane"), QStringLiteral("Ok"));
    }
}

QString MainMenus::hamBitmapPath() const
{
    return m_form.values().DataFolder + QStringLiteral("/Ham.bmp");
}

QString MainMenus::cachedPicturePath() const
{
    return pictureCacheFolder(m_form.values().DataFolder) + u'/' + m_form.values().CurrentCall
           + QStringLiteral(".jpg");
}

bool MainMenus::pictureShown() const
{
    return !m_form.Image1->pixmap().isNull();
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

void MainMenus::copyPicture()
{
    const QImage picture(hamBitmapPath());
    if (picture.isNull())
        return;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(picture);
}

void MainMenus::savePicture()
{
    const QString target =
        askSaveFileName(&m_form, QStringLiteral("Ham.bmp"), QStringLiteral("bmp files (*.bmp)"));
    const QFileInfo info(target);
    if (target.isEmpty() || !info.isAbsolute())
        return;
    const QString source = hamBitmapPath();
    if (info.exists() && info.canonicalFilePath() == QFileInfo(source).canonicalFilePath())
        return;
    // Written whole to a temporary file and renamed, so an existing file the operator chose to
    // replace is replaced, and kept when the copy fails.
    QFile in(source);
    QSaveFile out(target);
    bool saved = in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly);
    if (saved) {
        const QByteArray bytes = in.readAll();
        saved = in.error() == QFile::NoError && out.write(bytes) == bytes.size() && out.commit();
    }
    if (!saved)
        ShowUniMsgBox(&m_form, QStringLiteral("The picture could not be saved as\r\n") + target, 48,
                      QStringLiteral("Torvane"), QStringLiteral("Ok"));
}

void MainMenus::highlight(QLabel *label)
{
    label->setAutoFillBackground(true);
    QPalette p = label->palette();
    p.setColor(QPalette::Window, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(p);
}

// ---- Events of the window's controls ---------------------------------------------------

bool MainMenus::eventFilter(QObject *watched, QEvent *event)
{
    MainWindow &f = m_form;
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
