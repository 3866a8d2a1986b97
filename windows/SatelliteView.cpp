#include "windows/SatelliteView.h"

#include "core/WholeFile.h"
#include "ui/ForeignWindow.h"
#include "ui/LanguageFile.h"
#include "ui/MessageBox.h"
#include "windows/SignInWindow.h"

#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace torvane {

namespace {

QByteArray bitmapBytes(const QImage &picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return picture.save(&buffer, "BMP") ? bytes : QByteArray();
}

}  // namespace

ViewerAddress splitViewerAddress(const QString &streetViewUrl)
{
    const qsizetype star = streetViewUrl.indexOf(u'*');
    if (star < 0)
        return {QString(), streetViewUrl};
    return {streetViewUrl.left(star), streetViewUrl.mid(star + 1)};
}

SatelliteView::SatelliteView(ProgramValues &values, const QString &streetViewUrl, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_values(values),
      m_address(splitViewerAddress(streetViewUrl))
{
    setObjectName(QStringLiteral("frmStView"));
    setAttribute(Qt::WA_DeleteOnClose);
    QString caption = item(51);
    setWindowTitle(QStringLiteral("Torvane   ") + caption.replace(QLatin1String("***"), m_address.title));

    imgMenuBar = new QLabel(this);
    imgMenuBar->setObjectName(QStringLiteral("imgMenuBar"));
    imgMenuBar->setAutoFillBackground(true);
    imgMenuBar->setBackgroundRole(QPalette::Button);
    lblCopy = actionLabel("lblCopy", 13);
    lblSave = actionLabel("lblSave", 12);
    lblPaste = actionLabel("lblPaste", 73);
    picCap = new QWidget(this);
    picCap->setObjectName(QStringLiteral("picCap"));

    // Escape closes the view also while the browser, which keeps its keys, has the focus.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(0);
    connect(Timer1, &QTimer::timeout, this, &SatelliteView::startBrowser);

    askSaveFileName = [](QWidget *owner, const QString &start, std::function<void(const QString &)> chosen) {
        auto *dialog = new QFileDialog(owner, QString(), start, QStringLiteral("bmp files (*.bmp)"));
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->selectFile(start);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog, &QFileDialog::fileSelected, owner, std::move(chosen));
        dialog->open();
    };

    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    QRect frame(QPoint(), available.size() * 0.8);
    frame.moveCenter(available.center());
    setGeometry(frame);
}

SatelliteView::~SatelliteView()
{
    dropBrowser();
}

SatelliteView *SatelliteView::open(ProgramValues &values, const QString &streetViewUrl)
{
    auto *view = new SatelliteView(values, streetViewUrl);
    view->show();
    view->raise();
    view->activateWindow();
    view->Timer1->start();
    return view;
}

QString SatelliteView::item(int n) const
{
    return languageItem(m_values.LanguageText, n).trimmed();
}

QLabel *SatelliteView::actionLabel(const char *name, int n)
{
    auto *label = new QLabel(u' ' + item(n) + u' ', imgMenuBar);
    label->setObjectName(QString::fromLatin1(name));
    QFont font = label->font();
    if (!m_values.MenuFontName.isEmpty())
        font.setFamily(m_values.MenuFontName);
    if (m_values.MenuFontSize > 0)
        font.setPointSizeF(m_values.MenuFontSize);
    label->setFont(font);
    label->setAutoFillBackground(true);
    label->setBackgroundRole(QPalette::Button);
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(this);
    return label;
}

void SatelliteView::layoutParts()
{
    int x = 4;
    int height = 0;
    for (QLabel *label : {lblCopy, lblSave, lblPaste}) {
        label->adjustSize();
        label->move(x, 3);
        x += label->width() + 8;
        height = std::max(height, label->height() + 6);
    }
    imgMenuBar->setGeometry(0, 0, width(), height);
    picCap->setGeometry(0, height, width(), std::max(0, this->height() - height));
    if (m_browser)
        m_browser->setGeometry(picCap->rect());
}

void SatelliteView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutParts();
}

void SatelliteView::startBrowser()
{
    Timer1->stop();
    dropBrowser();
    m_browser = new QWebEngineView(picCap);
    m_browser->setPage(new QWebEnginePage(sessionProfile(m_values.DataFolder), m_browser));
    m_browser->setObjectName(QStringLiteral("webBrowser"));
    m_browser->setGeometry(picCap->rect());
    m_firstLoadPending = true;
    m_failureCounted = false;
    // A renderer that dies while the map page loads also fails the load: one failure of this
    // browser, counted once.
    const auto failed = [this] {
        if (!std::exchange(m_failureCounted, true))
            QTimer::singleShot(0, this, &SatelliteView::browserFailed);
    };
    connect(m_browser, &QWebEngineView::renderProcessTerminated, this,
            [failed](QWebEnginePage::RenderProcessTerminationStatus status) {
                if (status != QWebEnginePage::NormalTerminationStatus)
                    failed();
            });
    connect(m_browser, &QWebEngineView::loadFinished, this, [this, failed](bool ok) {
        // Only the map page counts; where the operator goes from there is theirs.
        if (!std::exchange(m_firstLoadPending, false))
            return;
        emit pageLoaded(ok);
        if (!ok)
            failed();
    });
    m_browser->setUrl(QUrl(m_address.address));
    m_browser->show();
}

void SatelliteView::dropBrowser()
{
    // Never called from the browser's own signals: it goes at once, before the profile it uses.
    delete m_browser;
    m_browser = nullptr;
}

void SatelliteView::browserFailed()
{
    ++m_retries;
    dropBrowser();
    if (m_retries > kQuietRetries) {
        const QPoint at = frameGeometry().center();
        // The last word replaces an earlier box still open.
        if (m_failureBox)
            m_failureBox->close();
        m_failureBox = OpenMsgBoxAt(nullptr,
                 QStringLiteral("Web browser error.\r\n\r\nTorvane could not show the map page")
                     + (m_retries > kQuietRetries + 1 ? QStringLiteral(" and closes the view.")
                                                      : QStringLiteral(" and tries once more.")),
                 QStringLiteral("Torvane"), 64, at.x(), frameGeometry().top());
    }
    if (m_retries > kQuietRetries + 1)
        close();
    else
        Timer1->start();
}

QWebEngineView *SatelliteView::browser() const
{
    return m_browser;
}

QImage SatelliteView::capture() const
{
    return m_browser ? m_browser->grab().toImage() : QImage();
}

void SatelliteView::copyPicture()
{
    const QImage picture = capture();
    if (!picture.isNull())
        QGuiApplication::clipboard()->setImage(picture);
}

void SatelliteView::savePicture()
{
    const QImage picture = capture();
    if (picture.isNull())
        return;
    QGuiApplication::clipboard()->setImage(picture);
    const QByteArray bytes = bitmapBytes(picture);
    const QString kept = m_values.DataFolder + QStringLiteral("/Map.bmp");
    const QString problem = writeWholeFile(kept, bytes);
    if (!problem.isEmpty()) {
        reportSaveFailure(kept, problem);
        return;
    }
    if (!askSaveFileName)
        return;
    askSaveFileName(this, kept, [this, kept, bytes](const QString &target) {
        if (target.isEmpty() || target == kept)
            return;
        const QString problem = writeWholeFile(target, bytes);
        if (!problem.isEmpty())
            reportSaveFailure(target, problem);
    });
}

void SatelliteView::reportSaveFailure(const QString &file, const QString &problem)
{
    OpenUniMsgBox(this, QStringLiteral("The map could not be saved as\r\n") + file + QStringLiteral("\r\n") + problem,
                  48, QStringLiteral("Torvane"), QString(), QString(), nullptr);
}

void SatelliteView::pastePicture()
{
    copyPicture();
    // Only EasyPal's own window is sent its paste key: a key sent to whatever window is active
    // could act in an unrelated program.
    const uint64_t window = activateWindowTitled(QStringLiteral("EasyPal"));
    if (window == 0) {
        OpenUniMsgBox(this, QStringLiteral("EasyPal is not running: nothing was pasted.\r\nThe map picture is on the clipboard."),
                      48, QStringLiteral("Torvane"), QString(), QString(), nullptr);
        return;
    }
    QTimer::singleShot(500, this, [this, window] {
        if (sendKeyToWindow(window, "F7"))
            emit pasted();
    });
}

bool SatelliteView::eventFilter(QObject *watched, QEvent *event)
{
    auto *label = qobject_cast<QLabel *>(watched);
    if (!label || (label != lblCopy && label != lblSave && label != lblPaste))
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Enter: label->setBackgroundRole(QPalette::Highlight); label->setForegroundRole(QPalette::HighlightedText); break;
    case QEvent::Leave: label->setBackgroundRole(QPalette::Button); label->setForegroundRole(QPalette::ButtonText); break;
    case QEvent::MouseButtonRelease:
        if (label == lblCopy)
            copyPicture();
        else if (label == lblSave)
            savePicture();
        else
            pastePicture();
        return true;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace torvane
