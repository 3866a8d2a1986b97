#pragma once
// The station setup window: own call sign, own position and distance unit. Every edit goes
// straight into the program values; the locator of the typed position is shown as the operator
// types, and the own position can be fetched from the current web source.

#include "core/HostTable.h"
#include "core/ProgramValues.h"
#include "windows/InPlaceOfMain.h"

#include <QPoint>
#include <QPointer>
#include <optional>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace torvane {
class LookupControl;

/// Caption of cmdGetLatLon: item 42 with "???" replaced by the call. When the main window's
/// status text holds "(", "***" is replaced by the source name and a second line carries the
/// status text from its "(" on (the login state).
QString fetchButtonCaption(const QString &itemText, const QString &call,
                           const QString &sourceName, const QString &statusText);

/// The call that is looked up for the own position: cut before the first "-" or blank
/// (W1AW-2 and "W1AW 1" give W1AW), slashed zeros turned into the digit 0.
QString positionLookupCall(const QString &typed);

/// lblGrid: the grid item + ":   " + the six-character locator, or empty outside
/// -90 <= lat < 90 and -180 <= lon < 180 (degrees).
QString locatorText(const QString &gridItem, double lat, double lon);

/// A coordinate as the fields show it: plain decimal notation, every significant digit, never
/// an exponent (which the leading-number parse would misread).
QString coordinateText(double degrees);

/// A line of the latitude or longitude field after the comma rule: "," becomes ".".
QString withDecimalPoints(QString text);

/// How a latitude (limit 90) or longitude (limit 180) field reads: a number within the limit,
/// the start of one while it is typed ("", "-", "5."), or text that is refused.
enum class CoordinateInput { Number, Unfinished, Refused };
CoordinateInput readCoordinate(const QString &text, double limit, double *value);

/// The message for a refused latitude or longitude, in the language of languageIndex.
QString coordinateRefusedText(bool latitude, int languageIndex);

/// Texts shown in labels and buttons: the CR LF of the language items becomes a line break.
QString displayLines(QString text);


}  // namespace torvane

namespace torvane {

/// The station setup window. Shown: hides the main window and stays on top; closed: shows the
/// main window again and raises FocusCallBox.
class StationSetup : public QWidget {
    Q_OBJECT
public:
    /// mainWindow: hidden while this window is open, and where it is placed (may be null).
    /// statusText: the main window's source status text (lblStatus), read once at opening.
    StationSetup(torvane::ProgramValues &values, const torvane::HostTable &hosts, QWidget *mainWindow,
          const QString &statusText, QWidget *parent = nullptr);
    ~StationSetup() override;

    // Controls (objectName is the same as the member name).
    QLabel *Label1 = nullptr;
    QLabel *lblCall = nullptr;
    QLineEdit *txtCall = nullptr;
    QPushButton *cmdGetLatLon = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *txtLat = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *txtLon = nullptr;
    QLabel *lblGrid = nullptr;
    QLabel *lblDx = nullptr;
    QRadioButton *optMi = nullptr;
    QRadioButton *optKm = nullptr;
    QPushButton *cmdClose = nullptr;
    LookupControl *ucLookUp1 = nullptr;

signals:
    /// The main window is to take the focus into its call box.
    void FocusCallBox();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void setCaptions();
    void txtCallChange();
    void coordinateChange(QLineEdit *field, double &setting);
    void refreshLocator();
    void cmdGetLatLonClick();
    /// The fetch ended: pointer back, and the old text back when no position came.
    void endFetch(bool gotPosition);
    void setBusy(bool busy);
    QString item(int n) const;

    torvane::ProgramValues &m_values;
    QPointer<QWidget> m_mainWindow;
    QString m_statusText;
    bool m_busy = false;
    /// The position fetch in progress: its call, and what the fields held before it.
    struct Fetch {
        QString call;
        QString oldLatitude;
        QString oldLongitude;
        int serial = 0;
    };
    std::optional<Fetch> m_fetch;
    int m_fetchCount = 0;
};

}  // namespace torvane
