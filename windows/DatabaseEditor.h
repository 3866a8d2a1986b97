#pragma once
// The database editor: the list of every call in the local call database, the nine fields of
// one record, and buttons that look the call up on the current web source (the result is
// stored at once, as the main window stores it), save the fields as a record, and delete it.

#include "core/HostTable.h"
#include "core/ProgramValues.h"

#include <QPointer>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <memory>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace torvane {
class CallListModel;
class CallRecord;
class Geocoder;
class LookupControl;
class StationLookup;

/// The editor window (objectName "Form26"). Shown: hides the main window and stays on top;
/// closed: shows the main window again and raises FocusCallBox. Everything it saves goes to
/// CallData.db at once; edits not saved are dropped when it closes.
class DatabaseEditor : public QWidget {
    Q_OBJECT
public:
    /// mainWindow: hidden while this window is open, and where it is placed (may be null).
    DatabaseEditor(ProgramValues &values, const HostTable &hosts, QWidget *mainWindow,
                   QWidget *parent = nullptr);
    ~DatabaseEditor() override;

    /// The list's first visible row.
    int topRow() const;
    /// The list's model: every call of the file, in file order.
    const CallListModel &callList() const { return *m_calls; }

    // Controls (objectName is the same as the member name).
    QListView *lstCall = nullptr;
    QLineEdit *txtCall = nullptr;
    QLineEdit *txtName = nullptr;
    QLineEdit *txtAdd1 = nullptr;
    QLineEdit *txtAdd2 = nullptr;
    QLineEdit *txtCtry = nullptr;
    QLineEdit *txtLat = nullptr;
    QLineEdit *txtLon = nullptr;
    QLineEdit *txtClass = nullptr;
    QLineEdit *txtYearBorn = nullptr;
    QLabel *lblInfo = nullptr;
    QLabel *lblEntries = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Image1 = nullptr;
    QPushButton *cmdLookup = nullptr;
    QPushButton *cmdAddNewSite = nullptr;
    QPushButton *cmdDeleteSite = nullptr;
    QPushButton *cmdClose = nullptr;
    LookupControl *ucLookUp = nullptr;

signals:
    /// The main window is to take the focus into its call box.
    void FocusCallBox();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void layOutControls();
    void setCaptions();
    void connectLookUp();
    QString item(int n) const;
    QString sourceName() const;
    /// The nine fields in record order.
    QList<QLineEdit *> fields() const;

    void txtCallEdited();
    void txtCallChange();
    void coordinateChange(const QString &text);
    void entryClicked(int row);
    /// Fills the eight fields after the call from a record, each trimmed.
    void showFields(const CallRecord &record);
    void cmdAddNewSiteClick();
    void cmdDeleteSiteClick();
    void cmdLookupClick();
    void onGotPage(const QString &call);
    void onNotFound(const QString &call);
    void onLoginRequired(const QString &call);
    void onGotPicture(const QString &call);
    void lookupResolved(StationLookup *lookup);
    void endLookup();

    /// Re-reads the list (drawing frozen) and selects the call field's entry. scrollToAdded:
    /// the entry was added, and from row 15 on it becomes the 15th visible line; otherwise
    /// keepTopRow, when not -1, stays the first visible row.
    void refillList(bool scrollToAdded, int keepTopRow = -1);
    /// Selects the entry equal to the call field, or none; the list's own signals stay quiet.
    void selectCallEntry();
    void setTopRow(int row);
    void showEntryCount();
    void refreshButtons();
    void showPicture(const QString &call);
    void clearPicture();
    void openPictureWindow();
    /// Tells the operator that a change of the database failed.
    void reportFailure(const QString &error);
    void setBusy(bool busy);
    QString pictureFile(const QString &call) const;
    /// The call field's text, trimmed: the call the buttons act on.
    QString fieldCall() const;

    ProgramValues &m_values;
    HostTable m_hosts;
    QPointer<QWidget> m_mainWindow;
    CallListModel *m_calls = nullptr;
    QWidget *m_pictureFrame = nullptr;
    QRectF m_frameRect;  ///< where Image1 rests, in pixels of m_pictureFrame
    std::unique_ptr<Geocoder> m_geocoder;
    QPointer<StationLookup> m_lookup;  ///< the web lookup in progress, at most one
    bool m_selecting = false;          ///< the program moves the list's selection
};

}  // namespace torvane
