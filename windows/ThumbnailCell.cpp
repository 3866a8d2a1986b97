#include "windows/ThumbnailCell.h"

#include "core/LookupRules.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QMovie>
#include <QPainter>

#include <cmath>

namespace torvane {

namespace {

constexpr QSize kThumbnailPixels(320, 240);
// An animation keeps frames of its whole canvas while it plays; a larger one is shown as a
// still picture of its first frame (30 of them from a site could otherwise take gigabytes).
constexpr qint64 kMaxAnimatedPixels = 1024 * 1024;

// A GIF's canvas (its logical screen) can be far larger than its frames, and is what the
// reader allocates for every frame.
QSize gifCanvas(const QByteArray &header)
{
    if (header.size() < 10)
        return {};
    const auto byte = [&header](int i) { return int(uchar(header.at(i))); };
    return {byte(6) | byte(7) << 8, byte(8) | byte(9) << 8};
}

/// The bar of a download: filled to its percentage in the cell's frame colour's contrast.
class ProgressBox : public QWidget {
public:
    using QWidget::QWidget;
    void setPercent(int percent)
    {
        m_percent = percent;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Base));
        painter.fillRect(QRectF(0, 0, width() * m_percent / 100.0, height()),
                         palette().color(QPalette::Highlight));
    }

private:
    int m_percent = 0;
};

QByteArray receivedImageFormat(const QByteArray &head)
{
    QByteArray format = pictureFormat(head);
    if (format.isEmpty() && head.startsWith("BM"))
        format = "bmp";
    if (format.isEmpty() && head.startsWith("RIFF") && head.mid(8, 4) == "WEBP")
        format = "webp";
    return format;
}

QLabel *cellLabel(QWidget *parent, const QString &name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    return label;
}

}  // namespace

ImageProbe probeImage(const QString &file)
{
    ImageProbe probe;
    QFile source(file);
    if (!source.open(QIODevice::ReadOnly) || source.size() == 0)
        return probe;
    const QByteArray header = source.peek(12);
    const QByteArray format = receivedImageFormat(header);
    if (format.isEmpty())
        return probe;
    QImageReader reader(&source, format);
    reader.setDecideFormatFromContent(false);
    if (!reader.canRead())
        return probe;
    probe.format = format;
    probe.size = reader.size();
    if (format == "gif")
        probe.size = probe.size.expandedTo(gifCanvas(header));
    probe.frames = std::max(1, reader.imageCount());
    if (qint64(probe.size.width()) * probe.size.height() > kMaxAnimatedPixels)
        probe.frames = 1;
    return probe;
}

QImage readImage(const QString &file, const ImageProbe &probe)
{
    QImageReader reader(file, probe.format);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(true);
    return reader.read();
}

QImage errorCard(const QSize &size, int imageNumber, const QString &why)
{
    QImage card(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    card.fill(Qt::white);
    QPainter painter(&card);
    QFont font = painter.font();
    font.setPixelSize(std::max(8, size.height() / 7));
    painter.setFont(font);
    painter.setPen(Qt::darkRed);
    painter.drawText(card.rect(), Qt::AlignCenter,
                     QStringLiteral("Error\nImage %1\n%2").arg(imageNumber).arg(why));
    return card;
}

ThumbnailCell::ThumbnailCell(int slot, QWidget *parent) : QFrame(parent), m_slot(slot)
{
    const QString index = QStringLiteral("(%1)").arg(slot);
    setObjectName(QStringLiteral("Shape1") + index);
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    img15 = cellLabel(this, QStringLiteral("img15") + index);
    img15->setScaledContents(true);
    AniGIF15 = cellLabel(this, QStringLiteral("AniGIF15") + index);
    AniGIF15->setScaledContents(true);
    lblCall15 = cellLabel(this, QStringLiteral("lblCall15") + index);
    lblCall15->hide();
    lblFrom15 = cellLabel(this, QStringLiteral("lblFrom15") + index);
    lblFrom15->setAlignment(Qt::AlignCenter);
    lblNum = cellLabel(this, QStringLiteral("lblNum") + index);
    lblNum->setText(QString::number(slot + 1));
    lblNum->setAutoFillBackground(true);  // readable on any picture
    lblNum->setMargin(1);
    auto *progress = new ProgressBox(this);
    progress->setObjectName(QStringLiteral("picProg15") + index);
    picProg15 = progress;
    for (QWidget *child : {static_cast<QWidget *>(img15), static_cast<QWidget *>(AniGIF15)})
        child->setAttribute(Qt::WA_TransparentForMouseEvents);
    reset();
}

void ThumbnailCell::reset()
{
    dropPicture();
    img15->setToolTip(QString());
    lblCall15->clear();
    lblFrom15->clear();
    picProg15->hide();
    m_waiting = false;
    setPalette(QPalette());
}

void ThumbnailCell::request()
{
    lblCall15->setText(QStringLiteral("image") + QString::number(m_slot + 1));
    lblFrom15->clear();
    static_cast<ProgressBox *>(picProg15)->setPercent(0);
    picProg15->show();
    m_waiting = true;
}

bool ThumbnailCell::requested() const
{
    return !lblCall15->text().isEmpty();
}

bool ThumbnailCell::downloading() const
{
    // Until the picture or its error card is shown: the progress box goes at 100 %, before
    // the picture has been written.
    return m_waiting;
}

void ThumbnailCell::showProgress(qint64 max, qint64 done)
{
    if (max > 0 && done >= max) {
        picProg15->hide();
        return;
    }
    const int percent = max > 0 ? int(std::lround(done * 100.0 / max)) : 0;
    static_cast<ProgressBox *>(picProg15)->setPercent(percent);
    picProg15->show();
}

void ThumbnailCell::setSender(const QString &sender)
{
    lblFrom15->setText(sender.isEmpty() ? QString() : QStringLiteral("From ") + sender);
}

bool ThumbnailCell::showPicture(const QString &file)
{
    picProg15->hide();
    m_waiting = false;
    dropPicture();
    const ImageProbe probe = probeImage(file);
    if (probe.format.isEmpty() || probe.size.isEmpty()) {
        showError(true);
        return false;
    }
    if (probe.frames > 1) {
        auto *movie = new QMovie(file, probe.format, AniGIF15);
        if (!movie->isValid()) {
            delete movie;
            showError(true);
            return false;
        }
        m_movie = movie;
        AniGIF15->setMovie(movie);
        movie->start();
    } else {
        const QImage picture = readImage(file, probe);
        if (picture.isNull()) {
            showError(true);
            return false;
        }
        // A thumbnail needs no more pixels than a cell at twice its usual size.
        m_still = picture.width() > kThumbnailPixels.width() || picture.height() > kThumbnailPixels.height()
                      ? picture.scaled(kThumbnailPixels, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                      : picture;
    }
    m_pictureSize = probe.size;
    img15->setToolTip(QFileInfo(file).fileName());
    placePicture();
    return true;
}

void ThumbnailCell::showError(bool corrupt)
{
    picProg15->hide();
    m_waiting = false;
    dropPicture();
    m_error = corrupt ? QStringLiteral("corrupt") : QStringLiteral("not found");
    placePicture();
}

void ThumbnailCell::dropPicture()
{
    if (m_movie)
        m_movie->deleteLater();
    AniGIF15->clear();
    AniGIF15->hide();
    img15->clear();
    m_still = QImage();
    m_pictureSize = QSize();
    m_error.clear();
}

bool ThumbnailCell::animated() const
{
    return m_movie && !AniGIF15->isHidden();
}

QRect ThumbnailCell::pictureArea() const
{
    // The picture fills the cell above the sender's line.
    const int line = std::max(12, height() / 7);
    return QRect(3, 3, std::max(1, width() - 6), std::max(1, height() - line - 8));
}

void ThumbnailCell::placePicture()
{
    const QRect area = pictureArea();
    if (!m_error.isEmpty()) {
        img15->setGeometry(area);
        img15->setPixmap(QPixmap::fromImage(errorCard(area.size(), m_slot + 1, m_error)));
        img15->show();
        return;
    }
    if (m_pictureSize.isEmpty())
        return;
    QRect shown(QPoint(), m_pictureSize.scaled(area.size(), Qt::KeepAspectRatio));
    shown.moveCenter(area.center());
    if (m_movie) {
        AniGIF15->setGeometry(shown);
        AniGIF15->show();
        img15->hide();
        return;
    }
    img15->setGeometry(shown);
    img15->setPixmap(QPixmap::fromImage(m_still));
    img15->show();
}

void ThumbnailCell::relayout()
{
    const QRect area = pictureArea();
    const int line = std::max(12, height() / 7);
    QFont small = font();
    small.setPixelSize(std::max(9, line * 2 / 3));
    lblFrom15->setFont(small);
    lblNum->setFont(small);
    lblFrom15->setGeometry(2, height() - line - 3, width() - 4, line);
    picProg15->setGeometry(area.left(), area.bottom() + 2, area.width(), std::max(3, line / 3));
    lblNum->adjustSize();
    lblNum->move(4, 3);
    lblNum->raise();
    placePicture();
}

void ThumbnailCell::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    emit pressed(m_slot);
}

}  // namespace torvane
