#pragma once
// One cell of the last-images viewer: the picture of a slot (still or animated), its number,
// the sender read from its trailer, a progress bar while it downloads, or an error card.

#include <QFrame>
#include <QImage>
#include <QPointer>

class QLabel;
class QMovie;

namespace torvane {

/// A received picture file decoded as an image only, by the reader its first bytes name
/// (JPEG, PNG, GIF, BMP or WebP): its size and number of frames, without the pixels.
struct ImageProbe {
    QByteArray format;  ///< empty when the file is no picture this program reads
    QSize size;
    int frames = 0;
};
ImageProbe probeImage(const QString &file);
/// The picture of a probed file (its first frame), by the probe's reader only.
QImage readImage(const QString &file, const ImageProbe &probe);

/// The card that stands for a picture that is not there: "Error", "Image n" and why.
QImage errorCard(const QSize &size, int imageNumber, const QString &why);

class ThumbnailCell : public QFrame {
    Q_OBJECT
public:
    ThumbnailCell(int slot, QWidget *parent);

    /// Empty cell: no picture, sender, mark or progress.
    void reset();
    /// Marks the cell as requested.
    void request();
    bool requested() const;
    bool downloading() const;
    /// Progress of the download: hidden once done reaches max; max 0 means not known.
    void showProgress(qint64 max, qint64 done);
    void setSender(const QString &sender);
    /// Shows the picture file; false (and the "corrupt" card) when it cannot be shown.
    bool showPicture(const QString &file);
    void showError(bool corrupt);
    /// Places the children for a cell size in pixels.
    void relayout();
    /// The size of the shown picture (0 x 0 when there is none) and whether it is animated.
    QSize pictureSize() const { return m_pictureSize; }
    bool animated() const;
    /// The reason on the error card: "not found", "corrupt", or empty without a card.
    QString errorText() const { return m_error; }

    QLabel *img15 = nullptr;
    QLabel *AniGIF15 = nullptr;
    QLabel *lblCall15 = nullptr;
    QLabel *lblFrom15 = nullptr;
    QLabel *lblNum = nullptr;
    QWidget *picProg15 = nullptr;

signals:
    void pressed(int slot);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QRect pictureArea() const;
    void placePicture();
    void dropPicture();

    int m_slot;
    int m_percent = 0;
    QImage m_still;
    QSize m_pictureSize;
    QString m_error;  ///< the reason on the error card, empty without one
    QPointer<QMovie> m_movie;
    bool m_waiting = false;
};

}  // namespace torvane
