#pragma once
// The last-images viewer: the 30 pictures a station's receiving site published last, as
// thumbnails five to a row, three rows at a time, scrolled with the wheel. It stays above the
// main window, which is disabled while it is open.

#include "core/ProgramValues.h"

#include <QPointer>
#include <QWidget>

#include <array>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

namespace torvane {

class FullSizeWindow;
class ImageDownloads;
class ThumbnailCell;

/// The viewer (objectName "Form9"). Deletes itself when closed.
class LastImagesWindow : public QWidget {
    Q_OBJECT
public:
    /// The per-user setting that keeps the info panel away.
    static const char *const kInfoSettingKey;

    LastImagesWindow(ProgramValues &values, QWidget *mainWindow);
    ~LastImagesWindow() override;

    /// Builds, shows and fills the viewer for values.DsstvSiteUrl.
    static LastImagesWindow *open(ProgramValues &values, QWidget *mainWindow);

    /// Starts the 30 downloads of the site afresh.
    void RequestLastImages();
    /// The strip's top in the window's units: 0 shows the first three rows.
    double stripTop() const { return m_stripTop; }
    ThumbnailCell *cell(int slot) const { return m_cells.at(slot); }
    FullSizeWindow *fullSizeWindow() const;

    QWidget *pic15 = nullptr;
    QFrame *Frame1 = nullptr;
    QLabel *Label1 = nullptr;
    QCheckBox *chkLoadTipsAtStartup = nullptr;
    QPushButton *cmdClose = nullptr;
    ImageDownloads *ucLast15 = nullptr;

signals:
    /// The viewer closed; the main window is enabled again.
    void closed();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildThumbnailGrid();
    void ResetThumbnails();
    void StoreImage(const QString &key, const QByteArray &download);
    void ShowThumbnail(const QString &file, int slot);
    void OpenFullSize(int slot);
    void showInfoPanel();
    void scroll(bool away);
    void turnWheel(int delta);
    void layoutStrip();
    double scale() const;
    QFont panelFont(int room) const;

    ProgramValues &m_values;
    QPointer<QWidget> m_mainWindow;
    std::array<ThumbnailCell *, 30> m_cells{};
    double m_stripTop = 0;
    int m_wheelRest = 0;
    int m_lastWidth = 0;
    QString m_caption;
    QPointer<FullSizeWindow> m_fullSize;
    bool m_fullSizePending = false;  ///< a press is about to open it
};

}  // namespace torvane
