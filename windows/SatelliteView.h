#pragma once
// The satellite view: a place on the map host's web site in an embedded browser, with three
// actions on what it shows: copy the picture, save it as a bitmap, and paste it into the image
// transmission program EasyPal. A browser that fails is made anew twice, then once more after
// telling the operator, then the view closes.

#include "core/ProgramValues.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>

class QLabel;
class QTimer;
class QWebEngineView;

namespace torvane {

/// The title and the address of a viewer address "title*address" (no "*": no title).
struct ViewerAddress {
    QString title;
    QString address;
};
ViewerAddress splitViewerAddress(const QString &streetViewUrl);

/// The viewer (objectName "frmStView"). Deletes itself when closed.
class SatelliteView : public QWidget {
    Q_OBJECT
public:
    /// Failures after which the operator is told and the browser is made once more; one more
    /// failure closes the viewer.
    static constexpr int kQuietRetries = 2;

    SatelliteView(ProgramValues &values, const QString &streetViewUrl, QWidget *parent = nullptr);
    ~SatelliteView() override;

    /// Builds and shows a viewer of streetViewUrl; its browser starts once it is shown.
    static SatelliteView *open(ProgramValues &values, const QString &streetViewUrl);

    /// The picture the browser shows, at its own size.
    QImage capture() const;
    QWebEngineView *browser() const;
    int retries() const { return m_retries; }

    /// Asks where to save a copy of the map picture, starting at a file, and calls back with the
    /// file chosen: a file dialog that does not wait, unless replaced. No call back when the
    /// operator cancels or the view is gone.
    std::function<void(QWidget *, const QString &, std::function<void(const QString &)>)> askSaveFileName;

    QLabel *imgMenuBar = nullptr;
    QLabel *lblCopy = nullptr;
    QLabel *lblSave = nullptr;
    QLabel *lblPaste = nullptr;
    QWidget *picCap = nullptr;
    QTimer *Timer1 = nullptr;

public slots:
    void copyPicture();
    void savePicture();
    void pastePicture();
    /// The browser died or could not load the map: counted, then retried or given up.
    void browserFailed();

signals:
    /// The map page finished loading in the browser (ok false: it failed).
    void pageLoaded(bool ok);
    /// F7 was sent to EasyPal's window.
    void pasted();

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void startBrowser();
    void dropBrowser();
    void reportSaveFailure(const QString &file, const QString &problem);
    void layoutParts();
    QString item(int n) const;
    QLabel *actionLabel(const char *name, int item);

    ProgramValues &m_values;
    ViewerAddress m_address;
    QPointer<QWebEngineView> m_browser;
    bool m_firstLoadPending = false;
    bool m_failureCounted = false;  ///< the current browser's failure is already counted
    int m_retries = 0;
    QPointer<QWidget> m_failureBox;
};

}  // namespace torvane
