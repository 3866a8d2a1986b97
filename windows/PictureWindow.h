#pragma once
// The station picture window: a borderless window that shows a station's cached picture at its
// own size above the window that opened it, which stays disabled until a click closes it.

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

class QLabel;

namespace torvane {

/// A station picture file decoded: JPEG, PNG or GIF, told by its first bytes (anything else is
/// not decoded at all), turned as its orientation tag says. Null when it cannot be read.
QImage loadStationPicture(const QString &file);

/// The window's frame for a picture of the given size (pixels): 10 pixels of margin on every
/// side, centred over the opener, then moved into the available area. A picture too large for
/// that area is shown smaller, keeping its proportions.
QRect pictureWindowRect(const QSize &picture, const QRect &opener, const QRect &available);

/// The picture window (objectName "Form5"). Deletes itself when closed.
class PictureWindow : public QWidget {
    Q_OBJECT
public:
    /// Shows picture over opener, which is disabled until this window closes.
    PictureWindow(const QImage &picture, QWidget *opener);

    /// Opens the window on a picture file; nullptr (and nothing shown) when the file holds no
    /// picture.
    static PictureWindow *open(const QString &file, QWidget *opener);

    QLabel *Image1 = nullptr;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QPointer<QWidget> m_opener;
};

}  // namespace torvane
