#pragma once
// A received picture at full size: a borderless window above the viewer, enlarged when the
// picture is small, panned by moving the mouse when it is larger than the screen. A click or
// Escape closes it and the pointer goes back to where it was.

#include <QPoint>
#include <QPointer>
#include <QWidget>

class QLabel;
class QMovie;

namespace torvane {

/// The full-size window (objectName "Form10"). Deletes itself when closed.
class FullSizeWindow : public QWidget {
    Q_OBJECT
public:
    /// Opens file over viewer. A file without a picture is reported with failureText in a
    /// message box over the viewer and nullptr is returned.
    static FullSizeWindow *open(const QString &file, const QString &failureText, QWidget *viewer);

    QWidget *pic1 = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *AniGIF1 = nullptr;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FullSizeWindow(QWidget *viewer);
    bool load(const QString &file);
    void pan(const QPoint &globalPointer);

    QPointer<QWidget> m_viewer;
    QPoint m_pointerAtOpening;
};

}  // namespace torvane
