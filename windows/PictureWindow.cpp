#include "windows/PictureWindow.h"

#include "core/LookupRules.h"

#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>

#include <algorithm>

namespace torvane {

namespace {
constexpr int kMargin = 10;  // pixels on every side of the picture (300 twips in all)
}

QImage loadStationPicture(const QString &file)
{
    QFile source(file);
    if (!source.open(QIODevice::ReadOnly))
        return QImage();
    const QByteArray format = pictureFormat(source.peek(8));
    if (format.isEmpty())
        return QImage();
    QImageReader reader(&source, format);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(true);
    return reader.read();
}

QRect pictureWindowRect(const QSize &picture, const QRect &opener, const QRect &available)
{
    QSize shown = picture;
    if (available.isValid()) {
        const QSize room = available.size() - QSize(2 * kMargin, 2 * kMargin);
        if (shown.width() > room.width() || shown.height() > room.height())
            shown = shown.scaled(room.expandedTo(QSize(1, 1)), Qt::KeepAspectRatio);
    }
    QRect rect(QPoint(), shown + QSize(2 * kMargin, 2 * kMargin));
    rect.moveCenter(opener.isValid() ? opener.center() : available.center());
    if (available.isValid()) {
        rect.moveLeft(std::clamp(rect.left(), available.left(), available.right() + 1 - rect.width()));
        rect.moveTop(std::clamp(rect.top(), available.top(), available.bottom() + 1 - rect.height()));
    }
    return rect;
}

PictureWindow::PictureWindow(const QImage &picture, QWidget *opener)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_opener(opener)
{
    setObjectName(QStringLiteral("Form5"));
    setAttribute(Qt::WA_DeleteOnClose);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    Image1->setPixmap(QPixmap::fromImage(picture));

    const QScreen *screen = opener && opener->screen() ? opener->screen() : QGuiApplication::primaryScreen();
    const QRect opened = opener ? opener->frameGeometry() : QRect();
    const QRect frame = pictureWindowRect(picture.size(), opened, screen ? screen->availableGeometry() : QRect());
    setGeometry(frame);
    Image1->setGeometry(kMargin, kMargin, frame.width() - 2 * kMargin, frame.height() - 2 * kMargin);
    if (opener) {
        opener->setEnabled(false);
        // A window that goes away takes its picture with it.
        connect(opener, &QObject::destroyed, this, &QWidget::close);
    }
}

PictureWindow *PictureWindow::open(const QString &file, QWidget *opener)
{
    const QImage picture = loadStationPicture(file);
    if (picture.isNull())
        return nullptr;
    auto *window = new PictureWindow(picture, opener);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void PictureWindow::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    close();
}

void PictureWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

void PictureWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_opener) {
        m_opener->setEnabled(true);
        m_opener->activateWindow();
    }
}

}  // namespace torvane
