#include "windows/LastImagesWindow.h"

#include "core/TextUtil.h"
#include "sites/ImageDownloads.h"
#include "sites/LastImages.h"
#include "ui/LanguageFile.h"
#include "windows/FullSizeWindow.h"
#include "windows/ThumbnailCell.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace torvane {

namespace {
// The window's inner area in its own units, and the cells on the strip.
constexpr double kInnerWidth = 670;
constexpr double kInnerHeight = 363;
constexpr double kCellLeft = 6, kCellPitchX = 132, kCellWidth = 128;
constexpr double kCellTop = 2, kCellPitchY = 119, kCellHeight = 115;
constexpr double kPanelWidth = 400, kPanelHeight = 220;
constexpr int kColumns = 5;

QSettings userSettings()
{
    return QSettings(QStringLiteral("torvane"), QStringLiteral("torvane"));
}
}  // namespace

const char *const LastImagesWindow::kInfoSettingKey = "Options/Don't show this again";

LastImagesWindow::LastImagesWindow(ProgramValues &values, QWidget *mainWindow)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint), m_values(values),
      m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("Form9"));
    setAttribute(Qt::WA_DeleteOnClose);
    QDir().mkpath(lastImagesFolder(m_values.DataFolder));
    if (m_mainWindow)
        m_mainWindow->setEnabled(false);
    ucLast15 = new ImageDownloads(this);
    connect(ucLast15, &ImageDownloads::PictureReady, this, &LastImagesWindow::StoreImage);
    connect(ucLast15, &ImageDownloads::NoImage, this, [this](const QString &key) {
        const int slot = slotOfKey(key);
        if (slot >= 0 && slot < kLastImageCount)
            m_cells[slot]->showError(false);
    });
    connect(ucLast15, &ImageDownloads::Progress, this,
            [this](const QString &key, qint64 max, qint64 done) {
                const int slot = slotOfKey(key);
                if (slot >= 0 && slot < kLastImageCount)
                    m_cells[slot]->showProgress(max, done);
            });
    BuildThumbnailGrid();
}

LastImagesWindow::~LastImagesWindow()
{
    ucLast15->cancelAll();
}

LastImagesWindow *LastImagesWindow::open(ProgramValues &values, QWidget *mainWindow)
{
    auto *viewer = new LastImagesWindow(values, mainWindow);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    viewer->RequestLastImages();
    viewer->showInfoPanel();
    return viewer;
}

FullSizeWindow *LastImagesWindow::fullSizeWindow() const
{
    return m_fullSize;
}

void LastImagesWindow::BuildThumbnailGrid()
{
    const QScreen *screen = m_mainWindow && m_mainWindow->screen() ? m_mainWindow->screen()
                                                                    : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const int width = std::min(available.width(), int(std::lround(0.8 * (screen ? screen->geometry().height() : 768))));
    // The inner area keeps the strip's proportion; the frame, title bar included, stands
    // centred on the main window and inside the screen (move() places the frame).
    const QSize inner(width, int(std::lround(0.545 * width)));
    const QRect main = m_mainWindow ? m_mainWindow->frameGeometry() : available;
    const QSize frame = inner + QSize(8, 32);  // room for the window manager's frame
    const int left = std::clamp(main.center().x() - frame.width() / 2, available.left(),
                                std::max(available.left(), available.right() + 1 - frame.width()));
    const int top = std::clamp(main.top(), available.top(),
                               std::max(available.top(), available.bottom() + 1 - frame.height()));
    resize(inner);
    move(left, top);

    pic15 = new QWidget(this);
    pic15->setObjectName(QStringLiteral("pic15"));
    pic15->setAutoFillBackground(true);
    for (int slot = 0; slot < kLastImageCount; ++slot) {
        m_cells[slot] = new ThumbnailCell(slot, pic15);
        connect(m_cells[slot], &ThumbnailCell::pressed, this, &LastImagesWindow::OpenFullSize);
    }
    // The wheel scrolls wherever it is turned over the strip, thumbnails included.
    pic15->installEventFilter(this);
    for (QWidget *child : pic15->findChildren<QWidget *>())
        child->installEventFilter(this);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Panel);
    Frame1->setFrameShadow(QFrame::Raised);
    Frame1->setAutoFillBackground(true);
    Frame1->installEventFilter(this);
    Label1 = new QLabel(Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    chkLoadTipsAtStartup = new QCheckBox(QStringLiteral("Don't show this again"), Frame1);
    chkLoadTipsAtStartup->setObjectName(QStringLiteral("chkLoadTipsAtStartup"));
    const QString close = languageItem(m_values.LanguageText, 69).trimmed();
    cmdClose = new QPushButton(close.isEmpty() ? QStringLiteral("Close") : close, Frame1);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    connect(cmdClose, &QPushButton::clicked, this, [this] {
        Frame1->hide();
        setFocus();
    });
    Frame1->hide();
    layoutStrip();
}

double LastImagesWindow::scale() const
{
    return std::min(width() / kInnerWidth, height() / kInnerHeight);
}

void LastImagesWindow::layoutStrip()
{
    const double s = scale();
    const int left = int(std::lround((width() - kInnerWidth * s) / 2));
    pic15->setGeometry(left, int(std::lround(m_stripTop * s)), int(std::lround(kInnerWidth * s)),
                       int(std::lround(2 * kInnerHeight * s)));
    for (int slot = 0; slot < kLastImageCount; ++slot) {
        const int row = slot / kColumns, column = slot % kColumns;
        m_cells[slot]->setGeometry(QRectF((kCellLeft + kCellPitchX * column) * s,
                                          (kCellTop + kCellPitchY * row) * s, kCellWidth * s,
                                          kCellHeight * s)
                                       .toRect());
        m_cells[slot]->relayout();
    }
    const int pw = int(kPanelWidth * s), ph = int(kPanelHeight * s);
    Frame1->setGeometry(int(width() / 2.0 - pw / 2.0), int((height() - ph) / 2.0), pw, ph);
    const int margin = int(10 * s);
    Frame1->setFont(panelFont(pw - 2 * margin));
    const int button = cmdClose->sizeHint().height();
    Label1->setGeometry(margin, margin, pw - 2 * margin, ph - 3 * margin - button);
    chkLoadTipsAtStartup->setGeometry(margin, ph - margin - button, pw / 2, button);
    cmdClose->setGeometry(pw - margin - cmdClose->sizeHint().width() - 10, ph - margin - button,
                          cmdClose->sizeHint().width() + 10, button);
}

QFont LastImagesWindow::panelFont(int room) const
{
    // The largest size up to 11 points at which the info text's longest line fits the panel.
    QFont panel = font();
    const QString text = lastImagesInfoText(m_values.CurrentCall, m_values.DsstvSiteCount);
    for (double points = 11; points > 5; points -= 0.5) {
        panel.setPointSizeF(points);
        const QFontMetrics metrics(panel);
        int widest = 0;
        for (const QString &line : text.split(QLatin1String("\r\n")))
            widest = std::max(widest, metrics.horizontalAdvance(line));
        if (widest <= room)
            break;
    }
    return panel;
}

void LastImagesWindow::ResetThumbnails()
{
    for (ThumbnailCell *cell : m_cells)
        cell->reset();
}

void LastImagesWindow::RequestLastImages()
{
    ResetThumbnails();
    ucLast15->cancelAll();
    if (QFile::exists(lastImageFile(m_values.DataFolder, 0))) {
        QDir folder(lastImagesFolder(m_values.DataFolder));
        for (const QString &name : folder.entryList(QDir::Files))
            folder.remove(name);
    }
    for (int slot = 0; slot < kLastImageCount; ++slot)
        m_cells[slot]->request();
    for (int n = 1; n <= kLastImageCount; ++n)
        ucLast15->DownloadFile(lastImageAddress(m_values.DsstvSiteUrl, n), slotKey(n - 1));
    m_caption = lastImagesCaption(m_values.CurrentCall);
    setWindowTitle(centeredCaption(m_caption, frameGeometry().width() * m_values.TwipsPerPixelX));
    m_lastWidth = width();
}

void LastImagesWindow::StoreImage(const QString &key, const QByteArray &download)
{
    const int slot = slotOfKey(key);
    if (slot < 0 || slot >= kLastImageCount)
        return;
    m_cells[slot]->setSender(QString());
    const QString file = lastImageFile(m_values.DataFolder, slot);
    QFile::remove(file);
    const ReceivedImage image = splitReceivedImage(download);
    QFile out(file);
    if (out.open(QIODevice::WriteOnly))
        out.write(image.picture);
    out.close();
    if (image.marked)
        m_cells[slot]->setSender(senderFromTrailer(image.trailer));
    ShowThumbnail(file, slot);
}

void LastImagesWindow::ShowThumbnail(const QString &file, int slot)
{
    if (slot < 0 || slot >= kLastImageCount)
        return;
    m_cells[slot]->showPicture(file);
}

void LastImagesWindow::OpenFullSize(int slot)
{
    ThumbnailCell *cell = m_cells[slot];
    const QString file = lastImageFile(m_values.DataFolder, slot);
    // Only a picture that has arrived and could be shown opens.
    if (!cell->requested() || cell->downloading() || !cell->errorText().isEmpty() || m_fullSize
        || m_fullSizePending)
        return;
    const QFileInfo info(file);
    if (!info.exists() || info.size() == 0)
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_fullSizePending = true;
    // Built once this press has been handled, so that its release does not reach the new window.
    QTimer::singleShot(0, this, [this, file] {
        m_fullSizePending = false;
        if (!isVisible()) {  // the viewer closed meanwhile
            QGuiApplication::restoreOverrideCursor();
            return;
        }
        m_fullSize = FullSizeWindow::open(file, languageItem(m_values.LanguageText, 72), this);
    });
}

void LastImagesWindow::showInfoPanel()
{
    const QString stored = userSettings().value(QLatin1String(kInfoSettingKey)).toString();
    if (stored.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 || stored.toInt() != 0) {
        // Kept away: closing the viewer keeps it away.
        chkLoadTipsAtStartup->setChecked(true);
        return;
    }
    Label1->setText(lastImagesInfoText(m_values.CurrentCall, m_values.DsstvSiteCount));
    chkLoadTipsAtStartup->setChecked(false);
    Frame1->show();
    Frame1->raise();
    cmdClose->setFocus();
}

void LastImagesWindow::scroll(bool away)
{
    const double top = scrolledStripTop(m_stripTop, away);
    if (top == m_stripTop)
        return;
    m_stripTop = top;
    pic15->move(pic15->x(), int(std::lround(m_stripTop * scale())));
}

void LastImagesWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutStrip();
    if (width() != m_lastWidth && !m_caption.isEmpty()) {
        setWindowTitle(centeredCaption(m_caption, frameGeometry().width() * m_values.TwipsPerPixelX));
        m_lastWidth = width();
    }
}

void LastImagesWindow::wheelEvent(QWheelEvent *event)
{
    turnWheel(event->angleDelta().y());
    event->accept();
}

void LastImagesWindow::turnWheel(int delta)
{
    // Notches of 120; a finer wheel or a touch pad adds up to them.
    m_wheelRest += delta;
    while (std::abs(m_wheelRest) >= 120) {
        scroll(m_wheelRest > 0);
        m_wheelRest -= m_wheelRest > 0 ? 120 : -120;
    }
}

void LastImagesWindow::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape: close(); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (Frame1->isVisible())
            cmdClose->click();
        break;
    case Qt::Key_Down:
    case Qt::Key_PageDown: scroll(false); break;
    case Qt::Key_Up:
    case Qt::Key_PageUp: scroll(true); break;
    default: QWidget::keyPressEvent(event);
    }
}

bool LastImagesWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The info panel lies over the thumbnails: a wheel turned over it scrolls nothing; one
    // turned over the strip or anything on it scrolls the strip.
    if (event->type() == QEvent::Wheel) {
        if (watched != Frame1)
            turnWheel(static_cast<QWheelEvent *>(event)->angleDelta().y());
        event->accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void LastImagesWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    ucLast15->cancelAll();
    if (m_fullSize)
        m_fullSize->close();
    userSettings().setValue(QLatin1String(kInfoSettingKey),
                            chkLoadTipsAtStartup->isChecked() ? QStringLiteral("True") : QStringLiteral("False"));
    if (m_mainWindow) {
        m_mainWindow->setEnabled(true);
        m_mainWindow->activateWindow();
    }
    emit closed();
}

}  // namespace torvane
