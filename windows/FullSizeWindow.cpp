#include "windows/FullSizeWindow.h"

#include "sites/LastImages.h"
#include "ui/MessageBox.h"
#include "windows/ThumbnailCell.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMovie>
#include <QScreen>

namespace torvane {

FullSizeWindow::FullSizeWindow(QWidget *viewer)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_viewer(viewer), m_pointerAtOpening(QCursor::pos())
{
    setObjectName(QStringLiteral("Form10"));
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    pic1 = new QWidget(this);
    pic1->setObjectName(QStringLiteral("pic1"));
    pic1->setMouseTracking(true);
    Image1 = new QLabel(pic1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    AniGIF1 = new QLabel(pic1);
    AniGIF1->setObjectName(QStringLiteral("AniGIF1"));
    AniGIF1->setScaledContents(true);
    for (QWidget *w : {static_cast<QWidget *>(Image1), static_cast<QWidget *>(AniGIF1)}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
        w->hide();
    }
    pic1->installEventFilter(this);
}

FullSizeWindow *FullSizeWindow::open(const QString &file, const QString &failureText, QWidget *viewer)
{
    auto *window = new FullSizeWindow(viewer);
    if (!window->load(file)) {
        delete window;
        QGuiApplication::restoreOverrideCursor();
        OpenUniMsgBox(viewer, failureText, 48, QStringLiteral("Torvane"), QStringLiteral("Ok"), QString(), nullptr);
        return nullptr;
    }
    QGuiApplication::restoreOverrideCursor();
    window->show();
    window->raise();
    window->activateWindow();
    // Panning starts from the middle.
    QCursor::setPos(window->geometry().center());
    return window;
}

bool FullSizeWindow::load(const QString &file)
{
    const ImageProbe probe = probeImage(file);
    const QScreen *screen = m_viewer && m_viewer->screen() ? m_viewer->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize window = fullSizeWindowSize(probe.size, available.size());
    if (probe.format.isEmpty() || window.isEmpty())
        return false;
    // A small picture is shown enlarged to the window; a large one at its own size.
    const QSize shown = probe.size.width() < window.width() || probe.size.height() < window.height()
                            ? window
                            : probe.size;
    if (probe.frames > 1) {
        auto *movie = new QMovie(file, probe.format, AniGIF1);
        if (!movie->isValid())
            return false;
        AniGIF1->setMovie(movie);
        AniGIF1->resize(shown);
        AniGIF1->show();
        movie->start();
    } else {
        const QImage picture = readImage(file, probe);
        if (picture.isNull())
            return false;
        Image1->setPixmap(QPixmap::fromImage(picture));
        Image1->resize(shown);
        Image1->show();
    }
    pic1->setGeometry(QRect(QPoint(), shown));
    QRect frame(QPoint(), window);
    frame.moveCenter(available.center());
    setGeometry(frame);
    return true;
}

void FullSizeWindow::pan(const QPoint &globalPointer)
{
    const QRect span = screen() ? screen()->geometry() : geometry();
    pic1->move(pannedEdge(globalPointer.x() - span.left(), span.width(), pic1->width(), width()),
               pannedEdge(globalPointer.y() - span.top(), span.height(), pic1->height(), height()));
}

void FullSizeWindow::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    close();
}

void FullSizeWindow::mouseMoveEvent(QMouseEvent *event)
{
    pan(event->globalPosition().toPoint());
}

bool FullSizeWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        close();
        return true;
    }
    if (event->type() == QEvent::MouseMove) {
        pan(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FullSizeWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

void FullSizeWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_viewer) {
        m_viewer->raise();
        m_viewer->activateWindow();
    }
    QCursor::setPos(m_pointerAtOpening);
}

}  // namespace torvane
